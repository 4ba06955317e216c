#pragma once

namespace quillane {

// The note area's messages and the fixed names of the console's files.
namespace note {
inline const char* const kEmpty = "";
inline const char* const kSelectPort = "Select detector connection port ...";
inline const char* const kWaiting = "Waiting for detector ...";
inline const char* const kCannotOpen = "Cannot open selected COM port !!!";
inline const char* const kSelectMode = "Select 'Calibration' or 'Setup' mode";
inline const char* const kAdjust = "Adjust the detectors in horizontal and vertical axis";
inline const char* const kNoSignal = "No signal !\nReturn the detector to previous position";
inline const char* const kUnknownError = "Unknown error = 1";
inline const char* const kSignalTooHigh = "Warning: Signal level exceeds acceptable value !";
inline const char* const kLowPower = "Warning: Low power level !";
inline const char* const kWalkTest =
    "Walk test the perimeter\nCheck for alarms\nIf necessary, change the sensitivity";
}  // namespace note

namespace files {
inline const char* const kBaseName = "Quillane";
inline const char* const kLogFile = "Quillane.log";
inline const char* const kSettingsFile = "Quillane.ini";
// The site record beside the settings file, and the start of each report's name.
inline const char* const kSiteRecordFile = "Quillane-site.jsonl";
inline const char* const kReportFilePrefix = "Quillane-report-";
// The forms of the reports, remembered per site beside the site record.
inline const char* const kSitesFile = "Quillane-sites.jsonl";
}  // namespace files

inline const char* const kBaseCaption = "Detector setup console";

}  // namespace quillane

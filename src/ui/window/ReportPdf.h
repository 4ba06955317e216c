#pragma once

#include <QString>

namespace quillane {

struct CommissioningReport;

// The commissioning report as a one-page A4 PDF: the detector and its
// settings in force, the calibration maximum, the walk test's alarms and a
// plot of its signal against the thresholds. Written whole or not at all;
// false, with the reason, when the file could not be written.
bool WriteReportPdf(const CommissioningReport& report, const QString& path, QString& error);

}  // namespace quillane

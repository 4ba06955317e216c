#pragma once

#include <optional>
#include <string>

namespace quillane {

class NumberFormat;

// Raw fields of the status words <-> the units the installer reads.
// Arguments taken from status words are already masked to their field width.

double SignalToMilliVolts(unsigned ref, unsigned amplif, unsigned count);
double PowerToVolts(unsigned pwr, double kdc, double urd);
// Wide enough for any index: the zone table's cells are not range-checked, and
// a hand-edited Dist20=2000000000 must show as a number, not overflow.
long long SensToPercent(int sensIndex);
int PercentToSens(int percent);
int DistToMetres(int zoneIndex);
double MinSpeedOf(unsigned velMin);
int MaxSpeedOf(unsigned velMax);
double DefaultPP(int sensIndex);
double DefaultMP(int sensIndex);
double DefaultBP(int sensIndex);
int DefaultDistSens(int zoneIndex);

// Zone-length combo items: item k is zone index k + 2 (10(k + 1) metres).
constexpr int kZoneItemCount = 30;
int ZoneItemToIndex(int item);
int ZoneIndexToItem(int zoneIndex);  // item 0 for a zone index below 2

// Threshold levels around the average A (mV) for a threshold percentage p.
double LowerLevel(double averageMv, double percent);  // LL: A - p*A*0.01
double UpperLevel(double averageMv, double percent);  // PL: A + p*A*0.01
// Deviation of the signal from the average in percent; nothing when aver is 0.
std::optional<double> Deviation(unsigned sig, unsigned aver);

// Whether a signal-driven redraw is due: at least 1/selectFilter seconds since
// the last one (monotonic seconds).
bool RefreshDue(double nowSeconds, double lastRefreshSeconds, int selectFilter);
// That interval, 1/selectFilter seconds.
double RefreshInterval(int selectFilter);

// Unit suffixes and the two-blank join of a value and its unit ("---" alone).
namespace unit {
inline const char* const kMetres = "m";
inline const char* const kMilliVolts = "mV";
inline const char* const kPercent = "%";
inline const char* const kMetresPerSecond = "m/s";
inline const char* const kVolts = "V";
}  // namespace unit
std::string WithUnit(const std::string& value, const char* unitText);

// The speed range as shown: minimum "0.0", "...", maximum as an integer, unit
// ("0.3...6  m/s").
std::string SpeedText(unsigned velMin, unsigned velMax, const NumberFormat& format);

}  // namespace quillane

#include "model/Conversions.h"

#include <string>

#include "model/NumberFormat.h"

namespace quillane {

namespace {

// The ADC's full scale enters as a multiplication by its reciprocal, and the
// products are formed in extended precision, so that the displayed figures
// come out as the detector's documentation gives them. The reciprocal itself
// is the double 0.0009775171065493646, not the closer extended value: a few
// counts (59 at ref 0, gain 0) land on the neighbouring double otherwise.
constexpr long double kPerCount = 1.0 / 1023.0;
constexpr long double kReferenceVolts[2] = {5.0L, 2.5L};
constexpr long double kGainTable[4] = {2287.5L, 375.0L, 61.0L, 10.0L};

}  // namespace

double SignalToMilliVolts(unsigned ref, unsigned amplif, unsigned count) {
    long double mv = kReferenceVolts[ref & 1u] * 1000.0L;
    mv = mv * count;
    mv = mv * kPerCount;
    return static_cast<double>(mv / kGainTable[amplif & 3u]);
}

double PowerToVolts(unsigned pwr, double kdc, double urd) {
    const long double v = static_cast<long double>(pwr) * 2.5L * kdc * kPerCount + urd;
    return static_cast<double>(v);
}

long long SensToPercent(int sensIndex) { return 100 - 2 * static_cast<long long>(sensIndex); }

// Truncates toward zero and leaves values outside 38-100 % unclamped: the
// spin editor never offers them.
int PercentToSens(int percent) { return (100 - percent) / 2; }

int DistToMetres(int zoneIndex) { return zoneIndex < 2 ? 0 : 10 * zoneIndex - 10; }

double MinSpeedOf(unsigned velMin) { return (velMin + 1) * 0.1; }

int MaxSpeedOf(unsigned velMax) { return 2 * static_cast<int>(velMax) + 4; }

double DefaultPP(int sensIndex) { return 10.5 + 1.5 * sensIndex; }
double DefaultMP(int sensIndex) { return 12.5 + 1.5 * sensIndex; }
double DefaultBP(int sensIndex) { return 22.5 + 1.5 * sensIndex; }

int DefaultDistSens(int zoneIndex) {
    if (zoneIndex <= 6) return 15;
    if (zoneIndex <= 10) return 10;
    if (zoneIndex <= 16) return 7;
    if (zoneIndex <= 20) return 6;
    if (zoneIndex <= 25) return 5;
    return 3;
}

int ZoneItemToIndex(int item) { return item + 2; }
int ZoneIndexToItem(int zoneIndex) { return zoneIndex >= 2 ? zoneIndex - 2 : 0; }

double LowerLevel(double averageMv, double percent) {
    return averageMv - percent * averageMv * 0.01;
}
double UpperLevel(double averageMv, double percent) {
    return averageMv + percent * averageMv * 0.01;
}

std::optional<double> Deviation(unsigned sig, unsigned aver) {
    if (aver == 0) return std::nullopt;
    return sig * 1.0 / aver * 100 - 100;
}

double RefreshInterval(int selectFilter) {
    // The combos offer only positive rates; anything else is held to one a second.
    return 1.0 / (selectFilter > 0 ? selectFilter : 1);
}

bool RefreshDue(double nowSeconds, double lastRefreshSeconds, int selectFilter) {
    const double interval = RefreshInterval(selectFilter);
    // A nanosecond of slack so that exactly one interval (0.2 s at five a
    // second) counts as passed despite the subtraction's rounding.
    return nowSeconds - lastRefreshSeconds + 1e-9 >= interval;
}

std::string WithUnit(const std::string& value, const char* unitText) {
    if (value == kNoValue) return value;  // no unit for a value that is not there
    return value + "  " + unitText;
}

std::string SpeedText(unsigned velMin, unsigned velMax, const NumberFormat& format) {
    return WithUnit(
        format.Fixed(MinSpeedOf(velMin), 1) + "..." + std::to_string(MaxSpeedOf(velMax)),
        unit::kMetresPerSecond);
}

}  // namespace quillane

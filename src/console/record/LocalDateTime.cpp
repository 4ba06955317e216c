#include "console/record/LocalDateTime.h"

#include <cmath>
#include <cstdio>

namespace quillane {
namespace {

constexpr long long kMsPerDay = 86400000LL;
// 1899-12-30, the clock's day 0, counted from 1970-01-01.
constexpr long long kDay0FromUnix = -25569;

struct Civil {
    long long year = 0;
    int month = 0, day = 0;
    int hour = 0, minute = 0, second = 0, ms = 0;
};

// Days since 1970-01-01 of a date in the proleptic Gregorian calendar. The
// year is counted from March, so that the leap day comes last and every
// 400-year cycle has the same 146097 days.
long long DaysFromCivil(long long y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yearOfEra = y - era * 400;
    const int monthFromMarch = m > 2 ? m - 3 : m + 9;
    const long long dayOfYear = (153 * monthFromMarch + 2) / 5 + d - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

void CivilFromDays(long long z, Civil& c) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long dayOfEra = z - era * 146097;
    const long long yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long monthFromMarch = (5 * dayOfYear + 2) / 153;
    c.day = static_cast<int>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
    c.month = static_cast<int>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
    c.year = yearOfEra + era * 400 + (c.month <= 2 ? 1 : 0);
}

// Rounded to the millisecond once, so that the date and the time of day of
// 23:59:59.9996 agree (the next day, 00:00:00.000).
Civil CivilOf(double days) {
    Civil c;
    if (!std::isfinite(days) || std::fabs(days) > 1e8) return c;
    const long long total = std::llround(days * static_cast<double>(kMsPerDay));
    long long day = total / kMsPerDay;
    long long ms = total % kMsPerDay;
    if (ms < 0) {
        ms += kMsPerDay;
        --day;
    }
    CivilFromDays(day + kDay0FromUnix, c);
    c.hour = static_cast<int>(ms / 3600000);
    c.minute = static_cast<int>(ms / 60000 % 60);
    c.second = static_cast<int>(ms / 1000 % 60);
    c.ms = static_cast<int>(ms % 1000);
    return c;
}

bool Digits(std::string_view text, std::size_t at, std::size_t count, int& value) {
    if (at + count > text.size()) return false;
    value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

int DaysInMonth(long long year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

std::string DateTimeText(double days) {
    const Civil c = CivilOf(days);
    char text[40];
    std::snprintf(text, sizeof text, "%04lld-%02d-%02dT%02d:%02d:%02d.%03d", c.year, c.month, c.day,
                  c.hour, c.minute, c.second, c.ms);
    return text;
}

std::optional<double> ParseDateTime(std::string_view text) {
    // Exactly the form DateTimeText writes: 23 characters.
    if (text.size() != 23 || text[4] != '-' || text[7] != '-' || text[10] != 'T' ||
        text[13] != ':' || text[16] != ':' || text[19] != '.')
        return std::nullopt;
    int year, month, day, hour, minute, second, ms;
    if (!Digits(text, 0, 4, year) || !Digits(text, 5, 2, month) || !Digits(text, 8, 2, day) ||
        !Digits(text, 11, 2, hour) || !Digits(text, 14, 2, minute) ||
        !Digits(text, 17, 2, second) || !Digits(text, 20, 3, ms))
        return std::nullopt;
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23 ||
        minute > 59 || second > 59)
        return std::nullopt;
    const long long dayNumber = DaysFromCivil(year, month, day) - kDay0FromUnix;
    const long long msOfDay = ((hour * 60LL + minute) * 60 + second) * 1000 + ms;
    return static_cast<double>(dayNumber) + static_cast<double>(msOfDay) / kMsPerDay;
}

std::string DateMinuteText(double days) {
    const Civil c = CivilOf(days);
    char text[32];
    std::snprintf(text, sizeof text, "%04lld-%02d-%02d %02d:%02d", c.year, c.month, c.day, c.hour,
                  c.minute);
    return text;
}

std::string TimeOfDayText(double days) {
    const Civil c = CivilOf(days);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", c.hour, c.minute, c.second);
    return text;
}

std::string DateText(double days) {
    const Civil c = CivilOf(days);
    char text[24];
    std::snprintf(text, sizeof text, "%04lld-%02d-%02d", c.year, c.month, c.day);
    return text;
}

std::string FileStampText(double days) {
    const Civil c = CivilOf(days);
    char text[32];
    std::snprintf(text, sizeof text, "%04lld%02d%02d-%02d%02d%02d", c.year, c.month, c.day, c.hour,
                  c.minute, c.second);
    return text;
}

}  // namespace quillane

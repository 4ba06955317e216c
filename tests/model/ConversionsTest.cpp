#include <gtest/gtest.h>

#include <climits>

#include "model/Conversions.h"
#include "model/NumberFormat.h"

namespace quillane {
namespace {

TEST(Conversions, WorkedFigures) {
    const NumberFormat f;
    EXPECT_EQ(f.Fixed(SignalToMilliVolts(0, 0, 1023), 3), "2.186");
    EXPECT_DOUBLE_EQ(SignalToMilliVolts(1, 3, 1023), 250.0);
    EXPECT_EQ(SignalToMilliVolts(1, 2, 0), 0.0);
    EXPECT_EQ(PowerToVolts(0, 14.33, 1.5), 1.5);
    EXPECT_EQ(f.Fixed(PowerToVolts(370, 14.33, 1.5), 1), "14.5");
    EXPECT_EQ(f.Fixed(PowerToVolts(1023, 14.33, 1.5), 3), "37.325");
    // Products with the double reciprocal of 1023, to the last bit.
    EXPECT_EQ(SignalToMilliVolts(0, 0, 59), 0.12606231538013662);
    EXPECT_EQ(PowerToVolts(701, 14.33, 1.5), 26.04870478983382);
    EXPECT_EQ(SpeedText(2, 1, NumberFormat('.')), "0.3...6  m/s");  // (2 + 1) x 0.1
    EXPECT_EQ(SpeedText(0, 3, NumberFormat(',')), "0,1...10  m/s");
    EXPECT_EQ(f.OneDecimalOptional(DefaultPP(1)), "12");
    EXPECT_EQ(DefaultPP(31) + DefaultMP(31) + DefaultBP(31), 57 + 59 + 69);
}

TEST(Conversions, IndexTables) {
    const int percentToSens[][2] = {{38, 31}, {39, 30}, {80, 10}, {100, 0}, {101, 0}, {102, -1}};
    for (const auto& c : percentToSens) EXPECT_EQ(PercentToSens(c[0]), c[1]) << c[0];
    // Any index a hand-edited zone table holds shows as its exact percentage.
    const long long sensToPercent[][2] = {
        {31, 38}, {0, 100}, {2000000000, -3999999900LL}, {INT_MIN, 100 + 4294967296LL}};
    for (const auto& c : sensToPercent)
        EXPECT_EQ(SensToPercent(static_cast<int>(c[0])), c[1]) << c[0];
    const int metres[][2] = {{0, 0}, {1, 0}, {2, 10}, {3, 20}, {31, 300}};
    for (const auto& c : metres) EXPECT_EQ(DistToMetres(c[0]), c[1]) << c[0];
    const int zoneItems[][2] = {{0, 0}, {1, 0}, {2, 0}, {11, 9}, {31, kZoneItemCount - 1}};
    for (const auto& c : zoneItems) EXPECT_EQ(ZoneIndexToItem(c[0]), c[1]) << c[0];
    EXPECT_EQ(ZoneItemToIndex(9), 11);
    const int distSens[][2] = {{0, 15}, {6, 15}, {7, 10}, {10, 10}, {11, 7}, {16, 7},
                               {17, 6}, {20, 6}, {21, 5}, {25, 5},  {26, 3}, {31, 3}};
    for (const auto& c : distSens) EXPECT_EQ(DefaultDistSens(c[0]), c[1]) << c[0];
}

TEST(Conversions, LevelsAndDeviation) {
    EXPECT_DOUBLE_EQ(LowerLevel(100, 10.5), 89.5);
    EXPECT_DOUBLE_EQ(UpperLevel(2, 50), 3);
    EXPECT_DOUBLE_EQ(*Deviation(600, 500), 20);
    EXPECT_FALSE(Deviation(500, 0).has_value());
}

TEST(Conversions, RefreshAtMostSelectFilterTimesASecond) {
    double last = 0;
    int refreshes = 0;
    for (double now : {100.0, 100.1, 100.2, 100.3, 100.39, 100.4}) {
        if (RefreshDue(now, last, 5)) {
            last = now;
            ++refreshes;
        }
    }
    EXPECT_EQ(refreshes, 3);  // 100.0, 100.2, 100.4
    EXPECT_FALSE(RefreshDue(10.004, 10, 200));
}

}  // namespace
}  // namespace quillane

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>

#include "TempDir.h"
#include "model/Conversions.h"
#include "model/CorrespondenceTables.h"
#include "model/NumberFormat.h"
#include "model/ProfileFile.h"

namespace quillane {
namespace {

using test::TempDir;

class CorrespondenceTablesTest : public ::testing::TestWithParam<char> {
protected:
    TempDir dir;
    NumberFormat format{GetParam()};
    ProfileFile file{dir.File("Quillane.ini")};
    CorrespondenceTables tables{format};

    void SetUp() override { tables.Fill(file); }
    std::string L(std::string s) const {
        for (char& c : s)
            if (c == '.') c = GetParam();
        return s;
    }
    static std::string Joined(const std::vector<std::string>& items) {
        std::string out;
        for (const auto& i : items) out += (out.empty() ? "" : " ") + i;
        return out;
    }
    static std::string Row(const StringGrid& g, int row) {
        std::vector<std::string> cells;
        for (int c = 0; c < g.ColumnCount(); ++c) cells.push_back(g.Cell(c, row));
        return Joined(cells);
    }
};

TEST_P(CorrespondenceTablesTest, DefaultTablesRowByRow) {
    const auto& s = tables.sgSense;
    EXPECT_EQ(Row(s, 0),
              "Sens 100 98 96 94 92 90 88 86 84 82 80 78 76 74 72 70 68 66 64 62 60 58 56 54 52 50 "
              "48 46 44 42 40 38");
    const std::string pl =
        L("10.5 12 13.5 15 16.5 18 19.5 21 22.5 24 25.5 27 28.5 30 31.5 33 "
          "34.5 36 37.5 39 40.5 42 43.5 45 46.5 48 49.5 51 52.5 54 55.5 57");
    const std::string ll =
        L("12.5 14 15.5 17 18.5 20 21.5 23 24.5 26 27.5 29 30.5 32 33.5 35 "
          "36.5 38 39.5 41 42.5 44 45.5 47 48.5 50 51.5 53 54.5 56 57.5 59");
    const std::string hl =
        L("22.5 24 25.5 27 28.5 30 31.5 33 34.5 36 37.5 39 40.5 42 43.5 45 "
          "46.5 48 49.5 51 52.5 54 55.5 57 58.5 60 61.5 63 64.5 66 67.5 69");
    EXPECT_EQ(Row(s, 1), "  PL " + pl);
    EXPECT_EQ(Row(s, 2), "  LL " + ll);
    EXPECT_EQ(Row(s, 3), "  HL " + hl);
    EXPECT_EQ(Joined(tables.RangePPItems()) + Joined(tables.RangeMPItems()) +
                  Joined(tables.RangeBPItems()),
              pl + ll + hl);
    EXPECT_EQ(Row(tables.sgDist, 0),
              "Zone 10 20 30 40 50 60 70 80 90 100 110 120 130 140 150 160 170 180 190 200 210 220 "
              "230 240 250 260 270 280 290 300");
    EXPECT_EQ(Row(tables.sgDist, 1),
              "Sens 15 15 15 15 15 10 10 10 10 7 7 7 7 7 7 6 6 6 6 5 5 5 5 5 3 3 3 3 3 3");
}

TEST_P(CorrespondenceTablesTest, LookupsParseTheCellAtTheMomentOfUse) {
    tables.sgSense.SetCell(1, 1, "abc");
    EXPECT_EQ(tables.ThresholdPP(0), 10.5);
    tables.sgSense.SetCell(1, 1, L("20.5"));
    EXPECT_EQ(tables.ThresholdPP(0), 20.5);
    tables.sgSense.SetCell(2, 2, GetParam() == '.' ? "1,5" : "1.5");  // the other locale's form
    EXPECT_EQ(tables.ThresholdMP(1), DefaultMP(1));
    tables.sgSense.SetCell(32, 3, "1e400");
    EXPECT_EQ(tables.ThresholdBP(31), 69);
    tables.sgDist.SetCell(10, 1, "20");  // 100 m
    EXPECT_EQ(SensToPercent(tables.DistSens(ZoneItemToIndex(9))), 60);
    EXPECT_EQ(tables.DistSens(31), 3);
    EXPECT_EQ(tables.DistSens(1), 15);           // the header "Sens"
    EXPECT_EQ(tables.DistSens(0), 15);           // no column at all
    tables.sgDist.SetCell(19, 1, "2000000000");  // hand-edited Dist20
    EXPECT_EQ(tables.ThresholdPP(tables.DistSens(20)), DefaultPP(2000000000));
    EXPECT_EQ(tables.ThresholdBP(INT_MAX), DefaultBP(INT_MAX));
    EXPECT_EQ(tables.ThresholdMP(-1), DefaultMP(-1));
    ASSERT_EQ(tables.RangePPItems().size(), 32u);
    EXPECT_EQ(tables.RangePPItems()[0], L("10.5"));  // the lists wait for the apply
}

TEST_P(CorrespondenceTablesTest, StoreKeepsTheEnteredValueAndShowsItRounded) {
    tables.sgSense.SetCell(1, 1, L("12.34"));
    tables.sgSense.SetCell(2, 2, "abc");
    tables.sgSense.SetCell(3, 3, "0");
    tables.sgSense.SetCell(4, 1, "");  // cleared: the column's default again
    tables.sgDist.SetCell(1, 1, "x");
    tables.sgDist.SetCell(2, 1, "40");  // out of range is kept
    tables.sgDist.SetCell(3, 1, "");
    ASSERT_TRUE(tables.Store(file));
    EXPECT_EQ(tables.sgSense.Cell(1, 1), L("12.34"));  // read back only from the disk
    tables.Fill(file);
    ASSERT_EQ(tables.RangePPItems().size(), 32u);
    EXPECT_EQ(file.ReadString("PP", "PP0", "") + " " + tables.sgSense.Cell(1, 1) + " " +
                  tables.RangePPItems()[0],
              L("12.34 12.3 12.3"));
    EXPECT_EQ(file.ReadString("MP", "MP1", "") + " " + tables.sgSense.Cell(2, 2), "14 14");
    EXPECT_EQ(file.ReadString("BP", "BP2", "") + " [" + tables.sgSense.Cell(3, 3) + "]", "0 []");
    EXPECT_EQ(tables.ThresholdBP(2), DefaultBP(2));
    EXPECT_EQ(file.ReadString("PP", "PP3", "") + " " + tables.sgSense.Cell(4, 1), "15 15");
    EXPECT_EQ(file.ReadString("Dist", "Dist2", ""), "15");
    EXPECT_EQ(tables.DistSens(3), 40);
    EXPECT_EQ(file.ReadString("Dist", "Dist4", "") + " " + tables.sgDist.Cell(3, 1), "15 15");

    CorrespondenceTables nextStart(format);
    nextStart.Fill(ProfileFile(dir.File("Quillane.ini")));
    EXPECT_EQ(nextStart.sgSense.Cell(1, 1), L("12.3"));
    EXPECT_EQ(nextStart.ThresholdPP(0), 12.3);
}

TEST_P(CorrespondenceTablesTest, FailedStoreKeepsEditsAndItemLists) {
    dir.Write("Quillane.ini", "");
    ::chmod(dir.File("Quillane.ini").c_str(), 0444);
    tables.sgSense.SetCell(1, 1, "abc");
    EXPECT_FALSE(tables.Store(file));
    EXPECT_EQ(tables.sgSense.Cell(1, 1), "abc");
    EXPECT_EQ(tables.RangePPItems().size(), 32u);
    EXPECT_EQ(dir.Read("Quillane.ini"), "");
}

INSTANTIATE_TEST_SUITE_P(Separators, CorrespondenceTablesTest, ::testing::Values('.', ','));

}  // namespace
}  // namespace quillane

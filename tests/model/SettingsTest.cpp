#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#endif

#include <map>
#include <tuple>

#include "TempDir.h"
#include "model/CorrespondenceTables.h"
#include "model/NumberFormat.h"
#include "model/ProfileFile.h"
#include "model/Settings.h"

namespace quillane {
namespace {

using test::TempDir;

// Keys per section (each section appears once in the files written here).
std::map<std::string, int> KeysPerSection(const std::string& text) {
    std::map<std::string, int> keys;
    std::string section;
    for (size_t b = 0, e; b < text.size(); b = e + 1) {
        e = text.find('\n', b);
        const std::string line = text.substr(b, e - b);
        if (line[0] == '[') section = line.substr(1, line.find(']') - 1);
        keys[section] += line.find('=') != std::string::npos;
    }
    return keys;
}

TEST(Settings, StartUpFallsBackOnAnythingMissingOrBroken) {
    struct Case {
        std::string file;
        double kdc, urd;
        int select, iSelect, tenPercent, iMax;
    } cases[] = {
        {"", 14.33, 1.5, 4, 5, 5, 5},
        {"[Filter]\r\nSelect=0\r\n", 14.33, 1.5, 0, 1, 5, 5},
        {"[Filter]\nSelect=24\nMaxTenPercent=25\n", 14.33, 1.5, -1, 200, -1, 0},  // one past
        {"[Filter]\nSelect=23\nMaxTenPercent=24\n", 14.33, 1.5, 23, 200, 24, 200},
        {"[Koef]\nKdc=abc\nUrd=1e400\n[Filter]\nSelect=99\nMaxTenPercent=-1\n", 14.33, 1.5, -1, 200,
         -1, 0},
        {"[Koef]\nKdc=inf\nUrd=nan\n[Filter]\nSelect=abc\nMaxTenPercent=1e400\n", 14.33, 1.5, 4, 5,
         5, 5},
        {"[koef]\nkdc=-1\nURD=10,5\n[Filter]\nSelect=23\nSelect=1\n[Filter]\nMaxTenPercent=0\n", -1,
         1.5, 23, 200, 5, 5},
        {std::string("\0\xff[\x01=\n", 6) + std::string(10 << 20, '\xAB'), 14.33, 1.5, 4, 5, 5, 5},
        {std::string(100000, '=') + "\n[Koef\nUrd=" + std::string(100000, '9'), 14.33, 1.5, 4, 5, 5,
         5},
    };
    for (const Case& c : cases) {
        TempDir dir;
        if (!c.file.empty()) dir.Write("Quillane.ini", c.file);
        const NumberFormat format('.');
        ConsoleSettings s;
        ReadSettings(ProfileFile(dir.File("Quillane.ini")), format, s);
        EXPECT_EQ(std::tie(s.dblKdc, s.dblUrd, s.selectFilterIndex, s.iSelectFilter,
                           s.tenPercentIndex, s.iMaxTenPercent),
                  std::tie(c.kdc, c.urd, c.select, c.iSelect, c.tenPercent, c.iMax))
            << c.file.substr(0, 60);
    }
}

class SettingsApply : public ::testing::TestWithParam<char> {
protected:
    TempDir dir;
    NumberFormat format{GetParam()};
    ProfileFile file{dir.File("Quillane.ini")};
    ConsoleSettings s;
    std::string error;
};

TEST_P(SettingsApply, WritesAllHundredAndThirtyKeys) {
    CorrespondenceTables tables(format);
    tables.Fill(file);
    s.selectFilterIndex = 0;
    ASSERT_TRUE(ApplySettings(file, format, "0", GetParam() == '.' ? "2.5" : "2,5", s, error));
    ASSERT_TRUE(tables.Store(file));
    EXPECT_EQ(s.dblKdc, 14.33);  // 0 keeps the factor, which is written again
    EXPECT_EQ(s.dblUrd, 2.5);
    EXPECT_EQ(s.iSelectFilter, 1);
    const std::map<std::string, int> expected = {{"Koef", 2}, {"Filter", 2}, {"PP", 32},
                                                 {"MP", 32},  {"BP", 32},    {"Dist", 30}};
    EXPECT_EQ(KeysPerSection(dir.Read("Quillane.ini")), expected);
    EXPECT_EQ(file.ReadString("Koef", "Kdc", ""), GetParam() == '.' ? "14.33" : "14,33");
    EXPECT_EQ(file.ReadString("Filter", "Select", ""), "0");
}

TEST_P(SettingsApply, ReadOnlyFileStopsAtTheFirstWriteAndLosesNothing) {
    const std::string before = "[Koef]\r\nKdc=12\r\n";
    dir.Write("Quillane.ini", before);
    dir.MakeReadOnly("Quillane.ini");
    EXPECT_FALSE(ApplySettings(file, format, "13", "", s, error));
    EXPECT_EQ(error, "Unable to write to " + dir.File("Quillane.ini"));
    EXPECT_EQ(s.dblKdc, 13);  // the new factor has already taken effect
    EXPECT_EQ(dir.Read("Quillane.ini"), before);
}

TEST_P(SettingsApply, ANewFactorThatIsNoFactorKeepsTheOldOneAndWritesIt) {
    const std::string sep(1, GetParam());
    const std::string other = GetParam() == '.' ? "," : ".";
    const struct {
        std::string typed;
        double kdc;
        std::string written;
    } cases[] = {
        {"0", 14.33, "14" + sep + "33"},
        {"0" + sep + "0", 14.33, "14" + sep + "33"},
        {"", 14.33, "14" + sep + "33"},
        {"abc", 14.33, "14" + sep + "33"},
        {"12" + other + "5", 14.33, "14" + sep + "33"},  // the other locale's form
        {"-2" + sep + "5", -2.5, "-2" + sep + "5"},      // no range check
    };
    for (const auto& c : cases) {
        ConsoleSettings fresh;
        ASSERT_TRUE(ApplySettings(file, format, c.typed, "", fresh, error));
        EXPECT_EQ(fresh.dblKdc, c.kdc) << c.typed;
        EXPECT_EQ(file.ReadString("Koef", "Kdc", ""), c.written) << c.typed;
    }
}

TEST_P(SettingsApply, AFailedApplyLeavesTheTablesUnstored) {
    const std::string before = "[PP]\r\nPP0=11\r\n";
    dir.Write("Quillane.ini", before);
    ::chmod(dir.File("Quillane.ini").c_str(), 0444);
    CorrespondenceTables tables(format);
    tables.Fill(file);
    tables.sgSense.SetCell(1, 1, "abc");
    EXPECT_FALSE(ApplyProperties(file, format, "20", "", s, tables, error));
    EXPECT_EQ(error, "Unable to write to " + dir.File("Quillane.ini"));
    EXPECT_EQ(dir.Read("Quillane.ini"), before);
    EXPECT_EQ(tables.sgSense.Cell(1, 1), "abc");
    ASSERT_EQ(tables.RangePPItems().size(), 32u);
    EXPECT_EQ(tables.RangePPItems()[0], "11");
}

#ifndef _WIN32
// A full disk (here: writes that would grow a file past its size fail, EFBIG)
// refuses only the commit, when every key has gone into the batch. The cells
// still keep what was typed (12.34, not the 12.3 read back), as with a
// read-only file, and the Settings page's lists stay.
TEST_P(SettingsApply, AFullDiskFailsTheApplyAndKeepsWhatWasTyped) {
    const std::string before = "[PP]\r\nPP0=11\r\n";
    const std::string typed = "12" + std::string(1, GetParam()) + "34";
    dir.Write("Quillane.ini", before);
    CorrespondenceTables tables(format);
    tables.Fill(file);
    tables.sgSense.SetCell(1, 1, typed);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit full = saved;
    full.rlim_cur = before.size();
    const auto previous = ::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &full);
    const bool applied = ApplyProperties(file, format, "20", "", s, tables, error);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, previous);
    EXPECT_FALSE(applied);
    EXPECT_EQ(dir.Read("Quillane.ini"), before);
    EXPECT_EQ(tables.sgSense.Cell(1, 1), typed);
    ASSERT_EQ(tables.RangePPItems().size(), 32u);
    EXPECT_EQ(tables.RangePPItems()[0], "11");
}
#endif

TEST_P(SettingsApply, RoundTripsAFileAnotherProgramWrote) {
    const char sep = GetParam();
    std::string theirs =
        "\xEF\xBB\xBF; written elsewhere\r\n[KOEF]\r\nKDC = 15" + std::string(1, sep) +
        "5\r\n\r\n[Other]\r\nKeep=me\r\n[Filter]\r\nSelect=9\r\nMaxTenPercent=0\r\n";
    dir.Write("Quillane.ini", theirs);
    ReadSettings(file, format, s);
    EXPECT_EQ(s.dblKdc, 15.5);
    EXPECT_EQ(s.iSelectFilter, 10);
    CorrespondenceTables tables(format);
    tables.Fill(file);
    ASSERT_TRUE(ApplySettings(file, format, "", "", s, error));
    ASSERT_TRUE(tables.Store(file));
    const std::string after = dir.Read("Quillane.ini");
    const std::string sepText(1, sep);
    const std::string expectedStart = "\xEF\xBB\xBF; written elsewhere\r\n[KOEF]\r\nKDC = 15" +
                                      sepText + "5\r\nUrd=1" + sepText +
                                      "5\r\n\r\n[Other]\r\nKeep=me\r\n[Filter]\r\nSelect=9\r\n"
                                      "MaxTenPercent=0\r\n[PP]\r\nPP0=10" +
                                      sepText + "5\r\nPP1=12\r\n";
    EXPECT_EQ(after.substr(0, expectedStart.size()), expectedStart);
    for (size_t i = after.find('\n'); i != std::string::npos; i = after.find('\n', i + 1))
        ASSERT_EQ(after[i - 1], '\r') << "bare line feed at " << i;
    ConsoleSettings again;
    ReadSettings(ProfileFile(dir.File("Quillane.ini")), format, again);
    EXPECT_EQ(again.dblKdc, 15.5);
    EXPECT_EQ(again.selectFilterIndex, 9);
    EXPECT_EQ(again.tenPercentIndex, 0);
}

INSTANTIATE_TEST_SUITE_P(Separators, SettingsApply, ::testing::Values('.', ','));

}  // namespace
}  // namespace quillane

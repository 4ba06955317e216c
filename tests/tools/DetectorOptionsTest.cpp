#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DetectorOptions.h"
#include "model/Conversions.h"

namespace quillane {
namespace {

using Args = std::vector<std::string>;

TEST(DetectorOptionsTest, DefaultsStreamAQuietDetector) {
    const DetectorOptionsResult r = ParseDetectorOptions({});
    ASSERT_EQ(r.error, "");
    EXPECT_EQ(r.options.com, 0);
    EXPECT_EQ(r.options.rate, 400);
    EXPECT_EQ(r.options.scenario, Scenario::kQuiet);
    EXPECT_FALSE(r.help);
}

TEST(DetectorOptionsTest, TakesValuesInBothSpellings) {
    const DetectorOptionsResult r = ParseDetectorOptions(
        {"--com",          "12",    "--rate=1440", "--model", "1",        "--version=7",
         "--letter",       "F3",    "--address",   "15",      "--regul",  "3",
         "--power",        "24.5",  "--gain",      "3",       "--ref",    "1",
         "--seed",         "99",    "--scenario",  "walk",    "--alarms", "2,6.5",
         "--hangup-after", "4",     "--duration",  "8.5",     "-v",       "-q",
         "--stats-file",   "/tmp/s"});
    ASSERT_EQ(r.error, "");
    const DetectorOptions& o = r.options;
    EXPECT_EQ(o.com, 12);
    EXPECT_EQ(o.rate, 1440);
    EXPECT_EQ(o.model, 1u);
    EXPECT_EQ(o.version, 7u);
    EXPECT_EQ(o.letter, 2u);
    EXPECT_EQ(o.address, 15u);
    EXPECT_EQ(o.regul, 3u);
    EXPECT_DOUBLE_EQ(o.powerVolts, 24.5);
    EXPECT_EQ(o.gain, 3u);
    EXPECT_EQ(o.ref, 1u);
    EXPECT_EQ(o.seed, 99u);
    EXPECT_EQ(o.alarms, (std::vector<double>{2, 6.5}));
    EXPECT_DOUBLE_EQ(o.hangupAfter, 4);
    EXPECT_DOUBLE_EQ(o.duration, 8.5);
    EXPECT_TRUE(o.verbose && o.quiet);
    EXPECT_EQ(o.statsFile, "/tmp/s");
}

TEST(DetectorOptionsTest, IgnoresTheCommandsNamed) {
    EXPECT_EQ(ParseDetectorOptions({"--ignore", "calibration,zone"}).options.ignored,
              kIgnoreCalibration | kIgnoreZone);
}

TEST(DetectorOptionsTest, LetterTakesTheShownNameOrTheRawField) {
    EXPECT_EQ(ParseDetectorOptions({"--letter", "F1"}).options.letter, 0u);
    EXPECT_EQ(ParseDetectorOptions({"--letter", "f4"}).options.letter, 3u);
    EXPECT_EQ(ParseDetectorOptions({"--letter", "2"}).options.letter, 2u);
}

// Each bad command line and a piece of the message that must name the fault.
TEST(DetectorOptionsTest, RejectsBadCommandLinesWithAClearMessage) {
    const std::vector<std::pair<Args, std::string>> cases = {
        {{"--rate", "0"}, "--rate '0' must be an integer from 1 to 1440"},
        {{"--rate", "1441"}, "1 to 1440"},
        {{"--rate", "400x"}, "--rate '400x'"},
        {{"--com", "0"}, "--com '0'"},
        {{"--com", "256"}, "1 to 255"},
        {{"--com"}, "--com needs a value"},
        {{"--model", "8"}, "0 to 7"},
        {{"--address", "-1"}, "0 to 15"},
        {{"--regul", "4"}, "0 to 3"},
        {{"--letter", "F5"}, "F1 to F4"},
        {{"--power", "40"}, "1.5 to 37.3"},
        {{"--power", "twelve"}, "--power 'twelve'"},
        {{"--scenario", "storm"}, "quiet, walk, calibration, warning or garbage"},
        {{"--scenario", "walk", "--alarms", "3,,5"}, "list of seconds"},
        {{"--alarms", "3"}, "--alarms needs --scenario walk"},
        {{"--dis", "2"}, "--dis needs --scenario warning"},
        {{"--scenario", "warning", "--dis", "0"}, "1 to 3"},
        {{"--scenario", "garbage", "--garbage-rate", "1.5"}, "0 to 1"},
        {{"--garbage-rate", "0.5"}, "needs --scenario garbage"},
        {{"--duration", "0"}, "positive"},
        {{"--hangup-after", "-3"}, "positive"},
        {{"--frobnicate"}, "unknown option '--frobnicate'"},
        {{"12"}, "unknown option '12'"},
        {{"--verbose=yes"}, "--verbose takes no value"},
        {{"--ignore", "calibration,storm"}, "calibration, mode, thresholds, zone"},
    };
    for (const auto& [args, message] : cases) {
        const DetectorOptionsResult r = ParseDetectorOptions(args);
        EXPECT_NE(r.error.find(message), std::string::npos)
            << args[0] << ": got '" << r.error << "'";
    }
}

TEST(DetectorOptionsTest, HelpIsNoError) {
    const DetectorOptionsResult r = ParseDetectorOptions({"--help"});
    EXPECT_TRUE(r.help);
    EXPECT_EQ(r.error, "");
    EXPECT_NE(DetectorUsage().find("--scenario"), std::string::npos);
}

// The console turns the count back with its factory factors; it must show the
// voltage asked for, to its one decimal.
TEST(DetectorOptionsTest, PowerCountShowsAsTheVoltageAskedFor) {
    for (double volts : {1.5, 9.0, 12.0, 13.8, 24.0, 37.3}) {
        EXPECT_NEAR(PowerToVolts(PowerCountForVolts(volts), 14.33, 1.5), volts, 0.05) << volts;
    }
    EXPECT_EQ(PowerCountForVolts(1.5), 0u);
    EXPECT_EQ(PowerCountForVolts(37.4), 1023u);
}

}  // namespace
}  // namespace quillane

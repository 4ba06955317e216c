// The site record: its dates, its lines read back, its file that rotates,
// and which events it writes when.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "FakeClock.h"
#include "StatusWords.h"
#include "TempDir.h"
#include "console/record/CommandMeaning.h"
#include "console/record/LocalDateTime.h"
#include "console/record/RecordEntry.h"
#include "console/record/RecordFile.h"
#include "console/record/RecordLine.h"
#include "console/record/SiteRecord.h"
#include "model/CorrespondenceTables.h"
#include "model/NumberFormat.h"
#include "model/ProfileFile.h"
#include "protocol/DetectorModel.h"
#include "protocol/FrameCodec.h"

namespace quillane {
namespace {

namespace word = test::word;

TEST(LocalDateTime, DaysAndTextsBothWays) {
    const struct {
        const char* text;
        const char* file;
    } round[] = {{"1899-12-30T00:00:00.000", "18991230-000000"},
                 {"2023-03-15T10:20:30.456", "20230315-102030"},
                 {"2024-02-29T23:59:59.999", "20240229-235959"},
                 {"2000-02-29T00:00:00.001", "20000229-000000"},
                 {"1900-03-01T12:00:00.000", "19000301-120000"}};
    for (const auto& c : round) {
        const std::optional<double> days = ParseDateTime(c.text);
        ASSERT_TRUE(days) << c.text;
        EXPECT_EQ(DateTimeText(*days), c.text);
        EXPECT_EQ(FileStampText(*days), c.file);
    }
    // The clock's day 45000 is 2023-03-15; half a millisecond before midnight
    // rounds into the next day, date and time alike.
    EXPECT_EQ(DateTimeText(45000.5), "2023-03-15T12:00:00.000");
    EXPECT_EQ(DateTimeText(45001 - 0.4 / 86400000), "2023-03-16T00:00:00.000");
    EXPECT_EQ(DateMinuteText(test::FakeClock::At(10, 20, 30, 456)), "2023-03-15 10:20");
    EXPECT_EQ(TimeOfDayText(test::FakeClock::At(9, 5, 7, 999)), "09:05:07");
}

TEST(LocalDateTime, OnlyTheRecordsOwnFormReads) {
    for (const char* text :
         {"", "2023-03-15 10:20:30.456", "2023-03-15T10:20:30", "2023-02-29T00:00:00.000",
          "2100-02-29T00:00:00.000", "2023-13-01T00:00:00.000", "2023-00-10T00:00:00.000",
          "2023-03-15T24:00:00.000", "2023-03-15T10:60:00.000", "2023-03-15T10:20:3a.456",
          "2023-03-15T10:20:30.456Z"})
        EXPECT_FALSE(ParseDateTime(text)) << text;
}

TEST(RecordLine, ReadsBackAsWritten) {
    const double at = test::FakeClock::At(10, 20, 30, 456);
    const std::string line = RecordLine(at, "detected")
                                 .Text("port", "COM\"5\"\\x")
                                 .Text("note", "two\nlines\t\x01 and \xC3\xA9")
                                 .Integer("count", -12)
                                 .Number("mV", 0.1235, 3)
                                 .Number("none", std::nan(""), 1)
                                 .Done();
    EXPECT_EQ(line.rfind("{\"time\":\"2023-03-15T10:20:30.456\",\"event\":\"detected\",", 0), 0u);
    ASSERT_EQ(line.back(), '\n');
    EXPECT_EQ(line.find('\n'), line.size() - 1);  // one line, whatever the texts hold

    const std::optional<RecordEntry> e = ParseRecordLine(line.substr(0, line.size() - 1));
    ASSERT_TRUE(e);
    EXPECT_DOUBLE_EQ(e->days, *ParseDateTime("2023-03-15T10:20:30.456"));
    EXPECT_EQ(e->event, "detected");
    EXPECT_EQ(e->Text("port"), "COM\"5\"\\x");
    EXPECT_EQ(e->Text("note"), "two\nlines\t\x01 and \xC3\xA9");
    EXPECT_EQ(e->Number("count"), -12);
    EXPECT_EQ(e->Number("mV"), 0.124);
    EXPECT_FALSE(e->Number("none"));
    EXPECT_FALSE(e->Number("port"));
}

TEST(RecordLine, LinesThatAreNotTheRecordsArePassedOver) {
    const std::string good =
        "{\"time\":\"2023-03-15T10:20:30.456\",\"event\":\"alarm\",\"count\":3}";
    const std::string text =
        good + "\n" + "{\"time\":\"2023-03-15T10:20:30.456\",\"event\":\"alarm\",\"count\":\n" +
        "{\"time\":\"2023-03-15T10:20:30.456\",\"event\":{\"nested\":1}}\n" +
        "{\"event\":\"alarm\"}\n" + "{\"time\":\"2023-03-15T10:20:30.456\",\"count\":3}\n" +
        "{\"time\":\"2023-03-15T10:20:30.456\",\"event\":\"alarm\"} tail\n" +
        "{\"time\":\"2023-03-15T10:20:30.456\",\"event\":\"alarm\",\"x\":1,5}\n" +
        "not json at all\n\n" + good;
    const std::vector<RecordEntry> entries = ParseRecord(text);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].Number("count"), 3);
}

TEST(RecordFile, SetsItselfAsideAtItsLimitAndKeepsOneOlderGeneration) {
    test::TempDir dir;
    const std::string path = dir.File("Quillane-site.jsonl");
    const std::string line(40, 'a');
    {
        RecordFile file(path, 100);
        EXPECT_EQ(file.OlderPath(), dir.File("Quillane-site.1.jsonl"));
        for (int i = 0; i < 3; ++i) ASSERT_TRUE(file.Append(line + std::to_string(i) + "\n"));
        // 84 bytes and 42 more would pass 100: the first two lines go aside.
        EXPECT_EQ(dir.Read("Quillane-site.1.jsonl"), line + "0\n" + line + "1\n");
        EXPECT_EQ(dir.Read("Quillane-site.jsonl"), line + "2\n");
    }
    // Another run of the console goes on where the last one stopped.
    RecordFile file(path, 100);
    for (int i = 3; i < 5; ++i) ASSERT_TRUE(file.Append(line + std::to_string(i) + "\n"));
    EXPECT_EQ(dir.Read("Quillane-site.1.jsonl"), line + "2\n" + line + "3\n");
    EXPECT_EQ(file.ReadBack(), line + "2\n" + line + "3\n" + line + "4\n");
    EXPECT_EQ(dir.Count(), 2);
}

TEST(RecordFile, ALineCutShortEndsBeforeTheNextAndNothingButAFileIsWritten) {
    test::TempDir dir;
    dir.Write("Quillane-site.jsonl", "{\"time\":\"2023-");
    RecordFile file(dir.File("Quillane-site.jsonl"));
    ASSERT_TRUE(file.Append("next\n"));
    EXPECT_EQ(dir.Read("Quillane-site.jsonl"), "{\"time\":\"2023-\nnext\n");

    RecordFile folder(dir.Path());  // a folder where the file should be
    EXPECT_FALSE(folder.Append("lost\n"));
    RecordFile nowhere(dir.File("missing/Quillane-site.jsonl"));
    EXPECT_FALSE(nowhere.Append("lost\n"));
}

TEST(CommandMeaning, WhatARunAsksInTheInstallersTerms) {
    NumberFormat format;
    CorrespondenceTables tables(format);
    tables.Fill(ProfileFile("/nonexistent/Quillane.ini"));
    tables.sgSense.SetCell(2, 1, "12.25");  // a hand-edited PL of index 1
    const struct {
        std::vector<std::uint16_t> words;
        const char* meaning;
    } cases[] = {
        {{frame::Command0(3, 0, 1)}, "PL 10.5  %, address 3, calibration mode"},
        {{frame::Command0(3, 0, 2)}, "PL 10.5  %, address 3, mode 2"},
        // Thresholds of different indices: no one sensitivity.
        {{frame::Command2(0, 0, 2, 0), frame::Command1(1, 31, 3), frame::Command0(0, 1, 0)},
         "PL 12.3  %, address 0, normal mode; LL 14  %, HL 69  %, unit F4; speeds 0.1...4  m/s, "
         "zone 10  m, setup method Manual"},
        {{frame::Command0(0, 31, 0), frame::Command1(31, 31, 0)},
         "sensitivity 38  %; PL 57  %, address 0, normal mode; LL 59  %, HL 69  %, unit F1"},
        {{}, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(CommandMeaning(c.words, tables), c.meaning);
}

class SiteRecordTest : public ::testing::Test {
protected:
    SiteRecordTest() {
        tables.Fill(ProfileFile("/nonexistent/Quillane.ini"));
        model.current[2] = word::State(0, 500);
        model.current[3] = word::Sens(10, 12);
        model.current[4] = word::Zone(2, 11, 14);
        model.current[6] = word::Identity(2, 3, 1, 9);
    }
    std::vector<RecordEntry> Entries() {
        record.Flush();
        return ParseRecord(record.File().ReadBack());
    }
    std::vector<std::string> Events() {
        std::vector<std::string> events;
        for (const RecordEntry& e : Entries()) events.push_back(e.event);
        return events;
    }
    void Signal(unsigned sig, double afterSeconds) {
        clock.Advance(afterSeconds);
        model.current[1] = word::Signal(sig);
        record.SignalWord(model);
    }

    test::TempDir dir;
    test::FakeClock clock;
    NumberFormat format;
    CorrespondenceTables tables{format};
    DetectorModel model;
    SiteRecord record{clock, tables, dir.File("Quillane-site.jsonl")};
};

TEST_F(SiteRecordTest, TheLinkIsLostOncePerDetection) {
    record.LinkLost();  // the start-up reset: nothing was linked
    record.DetectorFound(model, "COM7");
    record.LinkLost();
    record.LinkLost();  // a port chosen again while waiting
    const std::vector<RecordEntry> e = Entries();
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(e[0].event, "detected");
    EXPECT_EQ(e[0].Text("model"), "Korvel-TS");
    EXPECT_EQ(e[0].Number("version"), 3);
    EXPECT_EQ(e[0].Text("unit"), "F2");
    EXPECT_EQ(e[0].Number("address"), 9);
    EXPECT_EQ(e[1].event, "link_lost");
    EXPECT_EQ(e[1].Text("port"), "COM7");
}

TEST_F(SiteRecordTest, ARunIsWrittenWithWhatItAsksAndItsOutcomeFollows) {
    record.CommandRunQueued(
        {std::nullopt,
         {frame::Command0(9, 10, 0), frame::Command1(10, 10, 1), frame::Command2(1, 3, 11, 2)}});
    record.CommandRunQueued({CommandSource::CalibrationStop, {frame::Command0(9, 10, 0)}});
    CommandRun run;
    run.source = CommandSource::SetupApply;
    run.sent = {frame::Command0(9, 4, 0)};
    run.differing = {{command::Meaning::PlIndex, 4, 10}, {command::Meaning::Mode, 0, 2}};
    run.outcome = CommandOutcome::NotConfirmed;
    run.seconds = 1.234;
    record.CommandRunEnded(run);

    const std::vector<RecordEntry> e = Entries();
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(e[0].event, "command");
    EXPECT_EQ(e[0].Text("action"), "");
    EXPECT_EQ(e[0].Text("words"), "0x098A 0x2AAA 0x4DCB");
    EXPECT_EQ(e[0].Text("meaning"),
              "sensitivity 80  %; PL 25.5  %, address 9, normal mode; LL 27.5  %, HL 37.5  %, "
              "unit F2; speeds 0.2...10  m/s, zone 100  m, setup method Auto");
    EXPECT_EQ(e[1].Text("action"), "Calibration stop");
    EXPECT_EQ(e[1].Text("meaning"), "PL 25.5  %, address 9, normal mode");
    EXPECT_EQ(e[2].event, "command_outcome");
    EXPECT_EQ(e[2].Text("action"), "Setup apply");
    EXPECT_EQ(e[2].Text("outcome"), "not confirmed");
    // As the mark's tooltip says it, in the page's own units.
    EXPECT_EQ(e[2].Text("differing"),
              "Sensitivity: asked 92 %, detector reports 80 %; "
              "Mode: asked Normal, detector reports Calibration");
    EXPECT_EQ(e[2].Number("seconds"), 1.23);
}

TEST_F(SiteRecordTest, TheSignalIsKeptOnlyWhileThePageInViewCounts) {
    record.Counting(Page::Setup, SiteRecord::Count::On, 0);
    Signal(550, 0.1);  // Setup counts, but About is in view
    record.PageInView(Page::Setup);
    Signal(550, 0.1);  // +10 %
    Signal(400, 0.2);  // -20 %
    Signal(700, 0.2);  // +40 %, the period is not over yet
    Signal(500, 0.2);  // a new period
    record.Counting(Page::Setup, SiteRecord::Count::Alarm, 1);
    record.PageInView(Page::Settings);  // the period so far goes out
    Signal(900, 0.5);
    record.PageInView(Page::Setup);
    Signal(510, 0.1);
    record.Counting(Page::Setup, SiteRecord::Count::Reset, 1);
    record.Counting(Page::Setup, SiteRecord::Count::Off, 0);
    Signal(900, 1);

    std::vector<RecordEntry> signal;
    for (const RecordEntry& e : Entries())
        if (e.event == "signal") signal.push_back(e);
    ASSERT_EQ(signal.size(), 3u);
    EXPECT_EQ(signal[0].Number("low"), -20);
    EXPECT_EQ(signal[0].Number("high"), 40);
    EXPECT_EQ(signal[0].Text("page"), "Setup");
    EXPECT_EQ(signal[0].Number("pl"), 25.5);  // index 10
    EXPECT_EQ(signal[0].Number("ll"), 30.5);  // index 12
    EXPECT_EQ(signal[0].Number("hl"), 43.5);  // index 14
    EXPECT_EQ(signal[1].Number("high"), 0);
    EXPECT_EQ(signal[2].Number("high"), 2);
    EXPECT_EQ(Events(), (std::vector<std::string>{"counting_on", "signal", "alarm", "signal",
                                                  "count_reset", "signal", "counting_off"}));
}

}  // namespace
}  // namespace quillane

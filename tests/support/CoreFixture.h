#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "FakeClock.h"
#include "FakeLink.h"
#include "FakePortDirectory.h"
#include "FileText.h"
#include "RecordingView.h"
#include "StatusWords.h"
#include "TempDir.h"
#include "console/ConsoleCore.h"
#include "protocol/ExchangeLog.h"
#include "protocol/FrameCodec.h"

namespace quillane::test {

// The texts of a log's lines, without the "hh:nn:ss.zzz  " stamps.
inline std::vector<std::string> LogTexts(const std::string& path) {
    std::vector<std::string> texts;
    std::istringstream in(FileText(path));
    for (std::string line; std::getline(in, line);) texts.push_back(line.substr(14));
    return texts;
}

inline Bytes Join(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A full set as a detector in setup method 3 sends it: aver 500 normal,
// sensmp 12 senspp 10, zone 20 regul 3 sensbp 14, speeds 1 and 3, model 2
// program 3 letter 1 address 9, power 800.
// In words: 0x41F4, 0x6A0C, 0x8E74, 0xA00D, 0xC95A, 0xE320.
inline Bytes FullSet() {
    LinkUpSet set;
    set.sens = word::Sens(10, 12);
    set.zone = word::Zone(3, 20, 14);
    set.speed = word::Speed(0, 1, 3);
    set.power = word::Power(800);
    return Frames(set.Words());
}

// A console with a fake line, clock and window, logging into a temporary file.
class CoreFixture : public ::testing::Test {
protected:
    CoreFixture() {
        std::ofstream(logPath).flush();
        log.EnableLogIfPresent();
    }

    // One receive pass over the given bytes.
    void Pass(const Bytes& bytes) {
        link.Script(bytes);
        core.Recv();
    }
    // The log's lines so far, those it still held included.
    std::vector<std::string> Log() {
        log.Flush();
        return LogTexts(logPath);
    }

    TempDir dir;
    std::string logPath = dir.File("Quillane.log");
    FakeLink link;
    FakePortDirectory ports;
    FakeClock clock;
    ExchangeLog log{clock, logPath};
    RecordingView view;
    ConsoleCore core{link, ports, clock, log, view};
};

}  // namespace quillane::test

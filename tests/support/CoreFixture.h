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
#include "RecordingView.h"
#include "TempDir.h"
#include "console/ConsoleCore.h"
#include "protocol/ExchangeLog.h"
#include "protocol/FrameCodec.h"

namespace quillane::test {

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The texts of a log's lines, without the "hh:nn:ss.zzz  " stamps.
inline std::vector<std::string> LogTexts(const std::string& path) {
    std::vector<std::string> texts;
    std::istringstream in(ReadFile(path));
    for (std::string line; std::getline(in, line);) texts.push_back(line.substr(14));
    return texts;
}

inline Bytes Frames(std::initializer_list<frame::Word> words) {
    Bytes out;
    for (frame::Word w : words) {
        const frame::Frame f = frame::IncomingFrame(w);
        out.insert(out.end(), f.begin(), f.end());
    }
    return out;
}

inline Bytes Join(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A full set as a detector in setup method 3 sends it: aver 500 normal,
// sensmp 12 senspp 10, zone 20 regul 3 sensbp 14, speeds 1 and 3, model 2
// program 3 letter 1 address 9, power 800.
constexpr frame::Word kFullSet[] = {0x41F4, 0x6A0C, 0x8E74, 0xA00D, 0xC95A, 0xE320};

inline Bytes FullSet() {
    Bytes out;
    for (frame::Word w : kFullSet) out = Join(out, Frames({w}));
    return out;
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
    std::vector<std::string> Log() const { return LogTexts(logPath); }

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

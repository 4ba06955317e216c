// Start-up read and Properties apply of the settings file: a normal file of the
// 130 keys, and the same keys behind 2 and 20 MB of short lines that hold
// neither "=" nor "]" (what a line scan that searches past its own line end
// turns quadratic on, and what an apply that goes over the whole text once a
// key pays 130 times). Further sizes in MB as arguments (bench_settings 200).
// Prints figures; asserts nothing.

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "model/CorrespondenceTables.h"
#include "model/NumberFormat.h"
#include "model/ProfileFile.h"
#include "model/Settings.h"

namespace quillane {
namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Constructor steps 15 and 16: a fresh settings-file object, the factors and
// filters, then both tables.
double StartUpRead(const std::string& path, const NumberFormat& format, ConsoleSettings& s,
                   CorrespondenceTables& tables) {
    const auto start = Clock::now();
    const ProfileFile file(path);
    ReadSettings(file, format, s);
    tables.Fill(file);
    return MillisecondsSince(start);
}

// Every value moved by a step, so that each of the 130 writes changes the file
// (an unchanged value is not written again).
void EditEverything(int round, ConsoleSettings& s, CorrespondenceTables& tables) {
    const int step = round % 2;
    s.selectFilterIndex = 6 + step;  // never the defaults 4 and 5
    s.tenPercentIndex = 7 + step;
    for (int column = 1; column <= 32; ++column)
        for (int row = 1; row <= 3; ++row)
            tables.sgSense.SetCell(column, row, std::to_string(100 * row + column + step));
    for (int column = 1; column <= 30; ++column)
        tables.sgDist.SetCell(column, 1, std::to_string(40 + column + step));
}

// The Properties apply: four keys, then the tables stored and read back.
double Apply(const std::string& path, const NumberFormat& format, ConsoleSettings& s,
             CorrespondenceTables& tables, bool& ok) {
    const auto start = Clock::now();
    ProfileFile file(path);
    std::string error;
    const std::string kdc = format.General(s.dblKdc == 14.33 ? 14.34 : 14.33);
    ok = ApplyProperties(file, format, kdc, "", s, tables, error);
    return MillisecondsSince(start);
}

void Measure(const char* name, const std::string& path, int rounds) {
    const NumberFormat format('.');
    ConsoleSettings s;
    CorrespondenceTables tables(format);
    double readMs = 0, applyMs = 0;
    bool ok = true;
    for (int i = 0; i < rounds; ++i) {
        readMs += StartUpRead(path, format, s, tables);
        bool applied = false;
        EditEverything(i, s, tables);
        applyMs += Apply(path, format, s, tables, applied);
        ok = ok && applied;
    }
    const double bytes = static_cast<double>(std::filesystem::file_size(path));
    std::printf("%-22s %10.0f bytes  start-up read %9.3f ms  apply (130 writes) %9.1f ms%s\n", name,
                bytes, readMs / rounds, applyMs / rounds, ok ? "" : "  WRITE FAILED");
}

int Run(int argc, char** argv) {
    std::string folder =
        (std::filesystem::temp_directory_path() / "bench-settings-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string normal = folder + "/Quillane.ini";
    const std::string huge = folder + "/Huge.ini";
    {
        // One apply on an empty folder writes the file every console has after
        // its first apply.
        const NumberFormat format('.');
        ConsoleSettings s;
        CorrespondenceTables tables(format);
        bool ok = false;
        StartUpRead(normal, format, s, tables);
        Apply(normal, format, s, tables, ok);
    }
    const std::string keys = ReadAll(normal);
    Measure("normal file", normal, 20);
    std::vector<unsigned long> sizes = {2, 20};
    for (int i = 1; i < argc; ++i) sizes.push_back(std::strtoul(argv[i], nullptr, 10));
    const std::string line = "a line of some forty characters, no key\r\n";
    for (unsigned long megabytes : sizes) {
        std::string junk = "[Junk\r\n";
        while (junk.size() < (megabytes << 20)) junk += line;
        WriteAll(huge, junk + keys);
        const std::string name = std::to_string(megabytes) + " MB of short lines";
        Measure(name.c_str(), huge, 1);
    }
    std::filesystem::remove_all(folder);
    return 0;
}

}  // namespace
}  // namespace quillane

int main(int argc, char** argv) { return quillane::Run(argc, argv); }

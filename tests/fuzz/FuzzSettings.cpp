// The settings file read and written through arbitrary bytes: a file of any
// content is read without harm; a value written reads back (as reads trim
// blanks and one pair of quotes); and the write changes at most the one line
// (or adds one), so other sections and keys keep their bytes and values.
// Input: the section, key and value to write and three names to read before
// and after, each up to a backslash, then the file's bytes.
#include <fuzzer/FuzzedDataProvider.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "FileText.h"
#include "model/ProfileFile.h"

namespace {

void Check(bool holds) {
    if (!holds) std::abort();
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

std::string Trimmed(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// What a read gives for a value written as it is.
std::string AsRead(const std::string& value) {
    const std::string t = Trimmed(value);
    if (t.size() >= 2 && (t[0] == '"' || t[0] == '\'') && t.back() == t[0])
        return t.substr(1, t.size() - 2);
    return t;
}

bool HasLineBreak(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

// Names a write accepts.
bool Writable(const std::string& section, const std::string& key, const std::string& value) {
    return !HasLineBreak(section) && !HasLineBreak(key) && !HasLineBreak(value) &&
           section.find(']') == std::string::npos && key.find('=') == std::string::npos;
}

// Names a line of the file can carry back: no blanks around them (reads trim
// them), and a key that begins no comment or header line.
bool ReadsBack(const std::string& section, const std::string& key) {
    return Trimmed(section) == section && Trimmed(key) == key && !key.empty() && key[0] != ';' &&
           key[0] != '[';
}

// A private folder in memory where there is one (a write syncs to the disk),
// removed when the fuzzer ends. Its name outlives every static destructor.
const std::string& Folder() {
    static const std::string* folder = [] {
        const bool shm = std::filesystem::is_directory("/dev/shm");
        std::string pattern = std::string(shm ? "/dev/shm" : "/tmp") + "/quillane-fuzz-XXXXXX";
        auto* made = new std::string(::mkdtemp(pattern.data()));
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(*folder, ignored);
        });
        return made;
    }();
    return *folder;
}

// The old bytes the write replaced lie within one line (none for an addition).
bool ChangedOneLineAtMost(const std::string& before, const std::string& after) {
    size_t prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix])
        ++prefix;
    size_t suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    const std::string replaced = before.substr(prefix, before.size() - prefix - suffix);
    return !HasLineBreak(replaced);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string section = input.ConsumeRandomLengthString(24);
    const std::string key = input.ConsumeRandomLengthString(24);
    const std::string value = input.ConsumeRandomLengthString(48);
    std::string probes[3][2];
    for (auto& p : probes) {
        p[0] = input.ConsumeRandomLengthString(16);
        p[1] = input.ConsumeRandomLengthString(16);
    }
    const std::string before = input.ConsumeRemainingBytesAsString();
    const std::string path = Folder() + "/Quillane.ini";
    std::ofstream(path, std::ios::binary | std::ios::trunc) << before;

    quillane::ProfileFile file(path);
    std::string seen[3];
    for (int i = 0; i < 3; ++i) seen[i] = file.ReadString(probes[i][0], probes[i][1], "\x01");
    const bool written = file.WriteString(section, key, value);
    Check(written == Writable(section, key, value));
    if (!written) return 0;

    Check(ChangedOneLineAtMost(before, quillane::test::FileText(path)));
    const quillane::ProfileFile again(path);  // parsed afresh from the disk
    if (ReadsBack(section, key)) Check(again.ReadString(section, key, "\x01") == AsRead(value));
    for (int i = 0; i < 3; ++i) {
        // The file's names are read trimmed, so a name written with blanks
        // around it is found by the trimmed name.
        const bool same = Lower(probes[i][0]) == Lower(Trimmed(section)) &&
                          Lower(probes[i][1]) == Lower(Trimmed(key));
        if (!same) Check(again.ReadString(probes[i][0], probes[i][1], "\x01") == seen[i]);
    }
    return 0;
}

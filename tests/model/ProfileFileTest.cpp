#include <gtest/gtest.h>

#ifndef _WIN32
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <chrono>
#include <filesystem>
#include <random>

#include "TempDir.h"
#include "model/ProfileFile.h"

namespace quillane {
namespace {

using test::TempDir;

// The text with "|" as the line end under test.
std::string WithLineEnds(std::string text, const std::string& eol) {
    std::string out;
    for (char c : text) out += c == '|' ? eol : std::string(1, c);
    return out;
}

class ProfileFileRead : public ::testing::TestWithParam<const char*> {};

TEST_P(ProfileFileRead, ToleratesWhatOtherWritersLeave) {
    TempDir dir;
    dir.Write("s.ini", "\xEF\xBB\xBF" + WithLineEnds("; comment|orphan=1|[ Koef ]|  kdc =  12.5  |"
                                                     "a line without equals|Urd=\"2.5\"|Q='x'|"
                                                     "M=\"x'|Empty=|Kdc=7|[koef]|Extra=1|[Filter|"
                                                     "Select=0",
                                                     GetParam()));
    const ProfileFile f(dir.File("s.ini"));
    EXPECT_EQ(f.ReadString("KOEF", "KDC", "d"), "12.5");
    EXPECT_EQ(f.ReadString("Koef", "Urd", "d"), "2.5");
    EXPECT_EQ(f.ReadString("Koef", "Q", "d"), "x");
    EXPECT_EQ(f.ReadString("Koef", "M", "d"), "\"x'");
    EXPECT_EQ(f.ReadString("Koef", "Empty", "d"), "");
    EXPECT_EQ(f.ReadString("Koef", "Extra", "d"), "d");  // in the later duplicate section
    EXPECT_EQ(f.ReadString("Koef", "orphan", "d"), "d");
    EXPECT_EQ(f.ReadString("filter", "select", "d"), "0");
    EXPECT_EQ(f.ReadString("Dist", "Dist2", "d"), "d");
}

INSTANTIATE_TEST_SUITE_P(LineEnds, ProfileFileRead, ::testing::Values("\r\n", "\n", "\r"));

TEST(ProfileFileWrite, ChangesOnlyWhatItMust) {
    struct Case {
        const char *before, *section, *key, *value, *after;
    } cases[] = {
        {"; c\r\n[Koef]\r\nKDC = 1 \r\n\r\n[Filter]\r\n", "koef", "kdc", "2",
         "; c\r\n[Koef]\r\nKDC = 2\r\n\r\n[Filter]\r\n"},
        {"[Koef]\r\nKdc=1\r\n\r\n;x\r\n[Filter]\r\n", "Koef", "Urd", "2",
         "[Koef]\r\nKdc=1\r\nUrd=2\r\n\r\n;x\r\n[Filter]\r\n"},
        {"[A]\r\n[B]\r\n", "A", "k", "1", "[A]\r\nk=1\r\n[B]\r\n"},
        {"[A]\r\nk=1\r\n", "B", "x", "2", "[A]\r\nk=1\r\n[B]\r\nx=2\r\n"},
        {"[A]\r\nk=1", "B", "x", "2", "[A]\r\nk=1\r\n[B]\r\nx=2\r\n"},
        {"[A]\r\nk=1", "A", "j", "2", "[A]\r\nk=1\r\nj=2"},
        {"[A]\nk=1\n", "A", "j", "2", "[A]\nk=1\nj=2\n"},
        {"", "A", "k", "1", "[A]\r\nk=1\r\n"},
        {"\n", "A", "k", "1", "\n[A]\nk=1\n"},
        {"\xEF\xBB\xBF", "A", "k", "1", "\xEF\xBB\xBF[A]\r\nk=1\r\n"},
        {"[A]\r\nk=1\r\nK=2\r\n[a]\r\nk=3\r\n", "a", "K", "9",
         "[A]\r\nk=9\r\nK=2\r\n[a]\r\nk=3\r\n"},
        {"[A\r\nk=1\r\n", "A", "k", "\"q\"", "[A\r\nk=\"q\"\r\n"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        if (*c.before) dir.Write("s.ini", c.before);  // else no file at all
        ProfileFile f(dir.File("s.ini"));
        EXPECT_EQ(f.ReadString("Z", "z", "d"), "d");
        EXPECT_EQ(dir.Count(), *c.before ? 1 : 0) << "reading creates nothing";
        ASSERT_TRUE(f.WriteString(c.section, c.key, c.value)) << f.ErrorText();
        EXPECT_EQ(dir.Read("s.ini"), c.after) << c.before;
        EXPECT_EQ(f.ReadString(c.section, c.key, "d"),
                  std::string(c.value) == "\"q\"" ? "q" : c.value);
        EXPECT_EQ(dir.Count(), 1) << "no temporary file left behind";
    }
}

TEST(ProfileFileRead, SeesChangesMadeByAnotherProgram) {
    TempDir dir;
    dir.Write("s.ini", "[A]\r\nk=1\r\n");
    ProfileFile f(dir.File("s.ini"));
    EXPECT_EQ(f.ReadString("A", "k", "d"), "1");
    dir.Write("s.ini", "[A]\r\nk=2\r\n");  // same size: only the times tell
    const auto written = std::filesystem::last_write_time(dir.File("s.ini"));
    std::filesystem::last_write_time(dir.File("s.ini"), written - std::chrono::hours(1));
    EXPECT_EQ(f.ReadString("A", "k", "d"), "2");
    ASSERT_TRUE(f.WriteString("A", "j", "3"));
    EXPECT_EQ(dir.Read("s.ini"), "[A]\r\nk=2\r\nj=3\r\n");
}

#ifndef _WIN32
// Modes and symbolic links are the Linux side of keeping a file as it was.
TEST(ProfileFileWrite, KeepsModeAndWritesThroughASymbolicLink) {
    TempDir dir;
    dir.Write("real.ini", "[A]\nk=1\n");
    ::chmod(dir.File("real.ini").c_str(), 0640);
    std::filesystem::create_symlink("real.ini", dir.File("link.ini"));
    ProfileFile f(dir.File("link.ini"));
    ASSERT_TRUE(f.WriteString("A", "k", "2")) << f.ErrorText();
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.ini")));
    EXPECT_EQ(dir.Read("real.ini"), "[A]\nk=2\n");
    struct stat st;
    ASSERT_EQ(::stat(dir.File("real.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}
#endif

TEST(ProfileFileWrite, ReportsWhatItMayNotWriteAndLeavesItAlone) {
    TempDir dir;
    dir.Write("ro.ini", "[A]\r\nk=1\r\n");
    dir.MakeReadOnly("ro.ini");  // read-only even for the administrator
    ProfileFile ro(dir.File("ro.ini"));
    EXPECT_FALSE(ro.WriteString("A", "k", "2"));
    EXPECT_FALSE(ro.ErrorText().empty());
    EXPECT_EQ(dir.Read("ro.ini"), "[A]\r\nk=1\r\n");
    EXPECT_EQ(ro.ReadString("A", "k", "d"), "1");

    ProfileFile noFolder(dir.File("missing/s.ini"));
    EXPECT_FALSE(noFolder.WriteString("A", "k", "2"));
    std::filesystem::create_directory(dir.File("folder.ini"));
    ProfileFile folder(dir.File("folder.ini"));
    EXPECT_FALSE(folder.WriteString("A", "k", "2"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("folder.ini")));
    EXPECT_EQ(dir.Count(), 2);
    EXPECT_FALSE(folder.WriteString("A", "k", "two\nlines"));
#ifndef _WIN32
    if (::geteuid() == 0) return;  // the administrator writes into any folder
    ::chmod(dir.File("folder.ini").c_str(), 0555);
    EXPECT_FALSE(ProfileFile(dir.File("folder.ini/s.ini")).WriteString("A", "k", "1"));
#endif
}

// A batch reaches the disk as a whole at its commit, or not at all.
TEST(ProfileFileWrite, ABatchIsSeenAtOnceAndWrittenTogether) {
    TempDir dir;
    dir.Write("s.ini", "[A]\r\nk=1\r\n");
    ProfileFile f(dir.File("s.ini"));
    f.BeginBatch();
    EXPECT_TRUE(f.WriteString("A", "k", "2"));
    EXPECT_TRUE(f.WriteString("B", "n", "3"));
    EXPECT_EQ(f.ReadString("A", "k", "d"), "2");
    EXPECT_EQ(f.ReadString("B", "n", "d"), "3");
    EXPECT_EQ(dir.Read("s.ini"), "[A]\r\nk=1\r\n");
    EXPECT_TRUE(f.CommitBatch());
    EXPECT_EQ(dir.Read("s.ini"), "[A]\r\nk=2\r\n[B]\r\nn=3\r\n");
    EXPECT_EQ(dir.Count(), 1);

    f.BeginBatch();
    EXPECT_TRUE(f.WriteString("A", "k", "9"));
    f.DiscardBatch();
    EXPECT_EQ(f.ReadString("A", "k", "d"), "2");

    f.BeginBatch();
    EXPECT_TRUE(f.WriteString("A", "k", "7"));
    dir.MakeReadOnly("s.ini");  // taken away before the commit
    EXPECT_FALSE(f.CommitBatch());
    EXPECT_FALSE(f.ErrorText().empty());
    EXPECT_EQ(dir.Read("s.ini"), "[A]\r\nk=2\r\n[B]\r\nn=3\r\n");
    EXPECT_EQ(f.ReadString("A", "k", "d"), "2");
}

// A batch goes into the text in one pass at its commit; the file must come
// out as the same writes one by one would leave it.
TEST(ProfileFileWrite, ABatchLeavesTheFileAsWritesOneByOneWould) {
    const ProfileFile::Write writes[] = {
        {"A", "k", "2"},   {"A", "new", "3"}, {"B", "x", "4"},   {"N", "n1", "5"},
        {"a", "NEW", "6"}, {"n", "n2", "7"},  {"A", "k", " 8 "}, {"C", "c", "\"9\""},
    };
    for (const char* text : {"", "[A]\r\nk=1", "\xEF\xBB\xBF[a]\nK=1\nk=2\n[B]\n[A]\nj=5\n",
                             "[B]\r\nx=\r\n[A]\r\n;c\r\n\r\n[C]", "junk\r\n[A\r\nk=1\r\n"}) {
        TempDir dir;
        dir.Write("batch.ini", text);
        dir.Write("single.ini", text);
        ProfileFile batch(dir.File("batch.ini")), single(dir.File("single.ini"));
        batch.BeginBatch();
        for (const auto& w : writes) {
            ASSERT_TRUE(batch.WriteString(w.section, w.key, w.value));
            ASSERT_TRUE(single.WriteString(w.section, w.key, w.value));
            EXPECT_EQ(batch.ReadString(w.section, w.key, "d"),
                      single.ReadString(w.section, w.key, "d"));
        }
        EXPECT_EQ(dir.Read("batch.ini"), text);
        ASSERT_TRUE(batch.CommitBatch()) << batch.ErrorText();
        EXPECT_EQ(dir.Read("batch.ini"), dir.Read("single.ini")) << text;
    }
}

TEST(ProfileFileRead, SurvivesBinaryHugeAndPipeFiles) {
    TempDir dir;
    std::mt19937 random(7);
    std::string junk(1 << 20, '\0');
    for (char& c : junk) c = static_cast<char>(random());
    junk += "\n" + std::string(100000, 'x') + "\n";
    dir.Write("s.ini", junk + "[A]\nk=1\n");
    ProfileFile f(dir.File("s.ini"));
    EXPECT_EQ(f.ReadString("A", "k", "d"), "1");
    ASSERT_TRUE(f.WriteString("A", "k", "2"));
    EXPECT_EQ(dir.Read("s.ini"), junk + "[A]\nk=2\n");

#ifndef _WIN32
    ASSERT_EQ(::mkfifo(dir.File("pipe.ini").c_str(), 0644), 0);
    ProfileFile pipe(dir.File("pipe.ini"));
    EXPECT_EQ(pipe.ReadString("A", "k", "d"), "d");  // without waiting for a writer
    EXPECT_FALSE(pipe.WriteString("A", "k", "1"));
#endif
}

#ifndef _WIN32  // a writer killed half-way needs fork and kill

// Names in the folder that look like a temporary file of the settings file.
std::vector<std::string> TempFilesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        const std::string name = e.path().filename().string();
        if (name.rfind("s.ini.tmp", 0) == 0) names.push_back(name);
    }
    return names;
}

// Kills a writer that never stops as soon as its temporary file shows, until
// one kill lands before the rename; false when none does in `tries`.
bool KillAWriteHalfWay(const TempDir& dir, int tries) {
    const std::string folder = std::filesystem::path(dir.File("s.ini")).parent_path().string();
    const std::string big(1 << 20, 'v');  // a long write, so a kill lands inside it
    for (int attempt = 0; attempt < tries && TempFilesIn(folder).empty(); ++attempt) {
        const pid_t writer = ::fork();
        if (writer == 0) {
            // Two values in turn: a value the file already holds writes nothing.
            ProfileFile f(dir.File("s.ini"));
            for (int i = 0;; ++i) f.WriteString("A", "k", big + std::to_string(i % 2));
        }
        bool ended = false;
        while (TempFilesIn(folder).empty() && !ended)
            ended = ::waitpid(writer, nullptr, WNOHANG) != 0;
        ::kill(writer, SIGKILL);
        if (!ended) ::waitpid(writer, nullptr, 0);
    }
    return !TempFilesIn(folder).empty();
}

TEST(ProfileFileWrite, RemovesTemporaryFilesOfKilledWritesAtTheNextWrite) {
    TempDir dir;
    dir.Write("s.ini", "[A]\nk=1\n");
    ASSERT_TRUE(KillAWriteHalfWay(dir, 200));
    // A write in progress elsewhere: its process (our parent) still runs.
    const std::string live = "s.ini.tmp-" + std::to_string(::getppid()) + "-7";
    dir.Write(live, "half");
    dir.Write("other.ini.tmp-999999999-1", "not ours");
    ProfileFile f(dir.File("s.ini"));
    ASSERT_TRUE(f.WriteString("A", "k", "2"));
    const std::string folder = std::filesystem::path(dir.File("s.ini")).parent_path().string();
    EXPECT_EQ(TempFilesIn(folder), std::vector<std::string>{live});
    EXPECT_EQ(dir.Read("other.ini.tmp-999999999-1"), "not ours");
    EXPECT_EQ(f.ReadString("A", "k", ""), "2");
}

#endif

}  // namespace
}  // namespace quillane

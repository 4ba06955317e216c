#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <filesystem>
#include <fstream>
#include <string>

#include "TempDir.h"
#include "os/FileStore.h"

namespace quillane {
namespace {

namespace fs = std::filesystem;

// The same cases on Linux and on Windows (under Wine in CI): the settings
// file must behave alike on both.
class FileStoreTest : public ::testing::Test {
protected:
    std::string Path(const std::string& name) const { return dir_.File(name); }
    void Write(const std::string& name, const std::string& text) const { dir_.Write(name, text); }
    long Entries() const { return dir_.Count(); }
    const test::TempDir dir_;
};

TEST_F(FileStoreTest, ReadsWhatIsThereAndRefusesWhatIsNoRegularFile) {
    Write("s.ini", std::string("[A]\r\nk=\0x\r\n", 11));
    fs::create_directory(Path("folder.ini"));
    const struct {
        const char* name;
        bool exists, readable;
        std::string text;
        bool errorShown;
    } table[] = {
        {"s.ini", true, true, std::string("[A]\r\nk=\0x\r\n", 11), false},
        {"missing.ini", false, true, "", true},
        {"folder.ini", true, false, "", true},
    };
    for (const auto& row : table) {
        const FileContents c = ReadRegularFile(Path(row.name));
        EXPECT_EQ(c.id.exists, row.exists) << row.name;
        EXPECT_EQ(c.readable, row.readable) << row.name;
        EXPECT_EQ(c.text, row.text) << row.name;
        EXPECT_EQ(!c.error.empty(), row.errorShown) << row.name << ": " << c.error;
    }
    EXPECT_EQ(ReadRegularFile(Path("folder.ini")).error,
              Path("folder.ini") + ": not a regular file");
}

TEST_F(FileStoreTest, IdentityChangesWithEveryReplaceAndOnlyThen) {
    Write("s.ini", "[A]\nk=1\n");
    const FileIdentity before = StatFile(Path("s.ini"));
    EXPECT_TRUE(before.exists);
    EXPECT_EQ(before.size, 8);
    EXPECT_EQ(StatFile(Path("s.ini")), before);
    std::string error;
    ASSERT_TRUE(ReplaceFileAtomically(Path("s.ini"), "[A]\nk=2\n", error)) << error;
    const FileIdentity after = StatFile(Path("s.ini"));
    EXPECT_FALSE(after == before) << "same size, same second: the file itself is new";
    EXPECT_FALSE(StatFile(Path("missing.ini")).exists);
}

TEST_F(FileStoreTest, ReplaceLeavesTheNewTextAndNoTemporaryFile) {
    const struct {
        const char* name;  // UTF-8, as every path the console hands over
        const char* before;
    } table[] = {{"s.ini", "[A]\r\nk=1\r\n"}, {"new.ini", nullptr}, {"Z\xC3\xA4hler.ini", "x"}};
    long expected = 0;
    for (const auto& row : table) {
        if (row.before != nullptr) Write(row.name, row.before);
        std::string error;
        ASSERT_TRUE(ReplaceFileAtomically(Path(row.name), "[B]\r\nj=2\r\n", error))
            << row.name << ": " << error;
        EXPECT_EQ(ReadRegularFile(Path(row.name)).text, "[B]\r\nj=2\r\n") << row.name;
        EXPECT_TRUE(fs::exists(fs::u8path(Path(row.name)))) << row.name;
        EXPECT_EQ(Entries(), ++expected) << row.name;
    }
}

// What writes killed before their rename left beside a file goes with its
// next replace; what belongs to another file, is no file or is not named
// like ours stays. No process has id 999999999: it is beyond the largest id
// on Linux, and Windows ids are multiples of four.
TEST_F(FileStoreTest, ReplaceRemovesTheTemporaryFilesOfWritersThatAreGone) {
    const struct {
        const char* name;
        bool kept;
    } table[] = {{"s.ini.tmp-999999999-1", false},
                 {"other.ini.tmp-999999999-1", true},
                 {"s.ini.tmp-x-1", true},
                 {"s.ini.tmp-999999999", true},
                 {"s.ini.tmp999999", true}};
    for (const auto& row : table) Write(row.name, "half");
    fs::create_directory(Path("s.ini.tmp-999999999-2"));
    std::string error;
    ASSERT_TRUE(ReplaceFileAtomically(Path("s.ini"), "[A]\n", error)) << error;
    for (const auto& row : table) EXPECT_EQ(fs::exists(Path(row.name)), row.kept) << row.name;
    EXPECT_TRUE(fs::is_directory(Path("s.ini.tmp-999999999-2")));
}

TEST_F(FileStoreTest, WritableOnlyWhereAFileCanBeReplaced) {
    Write("ro.ini", "[A]\n");
    dir_.MakeReadOnly("ro.ini");
    fs::create_directory(Path("folder.ini"));
    const struct {
        std::string target;
        bool writable;
    } table[] = {{Path("new.ini"), true},
                 {Path("ro.ini"), false},
                 {Path("folder.ini"), false},
                 {Path("missing/s.ini"), false}};
    for (const auto& row : table) {
        std::string error;
        EXPECT_EQ(CheckFileWritable(row.target, error), row.writable) << row.target;
        EXPECT_EQ(error.empty(), row.writable) << row.target << ": " << error;
    }
    std::string error;
    EXPECT_FALSE(ReplaceFileAtomically(Path("missing/s.ini"), "x", error));
    EXPECT_NE(error.find("missing"), std::string::npos) << error;
}

#ifdef _WIN32
// A settings file the user hid stays hidden after the console rewrote it.
TEST_F(FileStoreTest, ReplaceKeepsTheFileAttributes) {
    Write("s.ini", "[A]\n");
    const std::wstring wide = fs::u8path(Path("s.ini")).wstring();
    ASSERT_TRUE(SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_HIDDEN));
    std::string error;
    ASSERT_TRUE(ReplaceFileAtomically(Path("s.ini"), "[B]\n", error)) << error;
    EXPECT_NE(GetFileAttributesW(wide.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
}
#endif

}  // namespace
}  // namespace quillane

// Where Ctrl+P puts a report: under a name that nothing held before, on real
// files and links.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "TempDir.h"
#include "console/record/ReportFile.h"

namespace quillane {
namespace {

namespace fs = std::filesystem;

// A report goes under a name that nothing held before, the next free one
// when its own is taken in any way.
TEST(ReportFile, TakesTheFirstNameNothingHolds) {
    const std::string name = "Quillane-report-20230315-102030.pdf";
    const struct {
        const char* what;
        std::function<void(const test::TempDir&)> take;
    } table[] = {
        {"nothing there", [](const test::TempDir&) {}},
        {"an earlier report", [&name](const test::TempDir& d) { d.Write(name, "%PDF-earlier"); }},
        {"a folder", [&name](const test::TempDir& d) { fs::create_directory(d.File(name)); }},
#ifndef _WIN32
        {"a link that leads nowhere",
         [&name](const test::TempDir& d) {
             fs::create_directory(d.File("other"));
             fs::create_symlink(d.File("other/planted.pdf"), d.File(name));
         }},
        {"a link to a file",
         [&name](const test::TempDir& d) {
             d.Write("victim", "kept");
             fs::create_symlink(d.File("victim"), d.File(name));
         }},
#endif
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.what);
        test::TempDir d;
        row.take(d);
        const bool taken = fs::exists(fs::symlink_status(d.File(name)));
        std::string error;
        const auto written = WriteReportFile(d.Path(), name, "%PDF-new", error);
        ASSERT_TRUE(written) << error;
        const std::string expected = taken ? "Quillane-report-20230315-102030-2.pdf" : name;
        EXPECT_EQ(*written, d.File(expected));
        EXPECT_EQ(d.Read(expected), "%PDF-new");
        EXPECT_FALSE(fs::exists(d.File("other/planted.pdf")));
        if (fs::exists(d.File("victim"))) {
            EXPECT_EQ(d.Read("victim"), "kept");
        }
    }
    // The second of one second, then the third; a folder that is not there
    // takes none.
    test::TempDir d;
    std::string error;
    WriteReportFile(d.Path(), name, "1", error);
    WriteReportFile(d.Path(), name, "2", error);
    EXPECT_EQ(WriteReportFile(d.Path(), name, "3", error),
              d.File("Quillane-report-20230315-102030-3.pdf"));
    EXPECT_FALSE(WriteReportFile(d.File("missing"), name, "4", error));
    EXPECT_NE(error.find("missing"), std::string::npos) << error;
}

}  // namespace
}  // namespace quillane

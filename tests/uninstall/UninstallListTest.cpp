// The uninstaller removes only what its list names inside its own folder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "uninstall/UninstallList.h"

namespace quillane::test {
namespace {

using Paths = std::vector<std::wstring>;

TEST(UninstallList, NamesOnlyPlacesInsideTheFolderAndItsFoldersDeepestFirst) {
    const UninstallList list = ParseUninstallList(
        L"quillane.exe\r\n"
        L"licenses\\3rdparty\\zlib\\LICENSE\r\n"
        L"platforms\\qwindows.dll\n"
        L"\r\n"
        L"..\\Other\\program.exe\r\n"
        L"licenses\\..\\..\\x.dll\r\n"
        L"C:\\Windows\\win.ini\r\n"
        L"\\Windows\\win.ini\r\n"
        L"\\\\server\\share\\file\r\n"
        L"quillane.exe:stream\r\n"
        L".\\quillane.exe\r\n"
        L"licenses\\\\double\r\n"
        L"licenses\\\r\n"
        L"styles/qwindowsvistastyle.dll\r\n"
        L"licenses\\3rdparty\\md4c\\LICENSE.md");
    EXPECT_EQ(list.files,
              (Paths{L"quillane.exe", L"licenses\\3rdparty\\zlib\\LICENSE",
                     L"platforms\\qwindows.dll", L"licenses\\3rdparty\\md4c\\LICENSE.md"}));
    ASSERT_EQ(list.folders.size(), 5u);
    const auto at = [&](const wchar_t* folder) {
        for (std::size_t i = 0; i < list.folders.size(); ++i)
            if (list.folders[i] == folder) return static_cast<int>(i);
        return -1;
    };
    // Each folder comes after the folders inside it.
    EXPECT_LT(at(L"licenses\\3rdparty\\zlib"), at(L"licenses\\3rdparty"));
    EXPECT_LT(at(L"licenses\\3rdparty\\md4c"), at(L"licenses\\3rdparty"));
    EXPECT_LT(at(L"licenses\\3rdparty"), at(L"licenses"));
    EXPECT_NE(at(L"platforms"), -1);
}

}  // namespace
}  // namespace quillane::test

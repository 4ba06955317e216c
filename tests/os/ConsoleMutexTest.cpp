// The installer's and the uninstaller's view of a running console.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "os/ConsoleMutex.h"

namespace quillane::test {
namespace {

TEST(ConsoleMutex, IsHeldWhileAnyConsoleRunsInAnySession) {
    ASSERT_FALSE(ConsoleMutex::Held());
    auto first = std::make_unique<ConsoleMutex>();
    auto second = std::make_unique<ConsoleMutex>();
    EXPECT_TRUE(ConsoleMutex::Held());
    first.reset();
    EXPECT_TRUE(ConsoleMutex::Held()) << "one console left";
    second.reset();
    EXPECT_FALSE(ConsoleMutex::Held());

    // A console of another session is seen by its global name alone.
    const std::string name = std::string("Global\\") + ConsoleMutex::kName;
    HANDLE other = CreateMutexW(nullptr, FALSE, std::wstring(name.begin(), name.end()).c_str());
    ASSERT_NE(other, nullptr);
    EXPECT_TRUE(ConsoleMutex::Held());
    CloseHandle(other);
    EXPECT_FALSE(ConsoleMutex::Held());
}

}  // namespace
}  // namespace quillane::test

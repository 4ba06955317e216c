#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <optional>
#include <string>

#include "EnvVar.h"
#include "TempDir.h"
#include "app/UserFolder.h"

namespace quillane {
namespace {

using test::SavedEnvVar;

TEST(UserFolderTest, FollowsTheSystemsFolderForUserSettings) {
#ifdef _WIN32
    const SavedEnvVar appData("APPDATA");
    const struct {
        std::optional<std::string> appData;
        QString folder;
    } cases[] = {
        {"C:\\Users\\ann\\AppData\\Roaming", "C:/Users/ann/AppData/Roaming/Quillane"},
        {"roaming", ""},  // not a place of its own
        {std::nullopt, ""},
    };
    for (const auto& c : cases) {
        appData.Set(c.appData);
        EXPECT_EQ(QDir::fromNativeSeparators(UserFolder()), c.folder)
            << c.appData.value_or("unset");
    }
#else
    const SavedEnvVar config("XDG_CONFIG_HOME");
    const SavedEnvVar home("HOME");
    const struct {
        std::optional<std::string> config;
        std::optional<std::string> home;
        QString folder;
    } cases[] = {
        {"/srv/cfg", "/home/ann", "/srv/cfg/quillane"},
        {"cfg", "/home/ann", "/home/ann/.config/quillane"},  // relative: ignored
        {std::nullopt, "/home/ann", "/home/ann/.config/quillane"},
        {std::nullopt, std::nullopt, ""},
        {"", "home", ""},
    };
    for (const auto& c : cases) {
        config.Set(c.config);
        home.Set(c.home);
        EXPECT_EQ(UserFolder(), c.folder)
            << c.config.value_or("unset") << " / " << c.home.value_or("unset");
    }
#endif
}

TEST(UserFolderTest, MakesTheFolderAndWorksThereOrLeavesTheWorkingFolder) {
    const test::TempDir dir;
    const QString before = QDir::currentPath();
    dir.Write("file", "x");
    const QString root = QString::fromStdString(dir.Path());

    EXPECT_FALSE(EnterUserFolder(QString()));
    EXPECT_FALSE(EnterUserFolder(root + "/file/below"));
    EXPECT_EQ(QDir::currentPath(), before);

    const QString folder = root + "/new/Quillane";
    ASSERT_TRUE(EnterUserFolder(folder));
    EXPECT_EQ(QFileInfo(QDir::currentPath()).canonicalFilePath(),
              QFileInfo(folder).canonicalFilePath());
    // A folder that is there already is used as it is.
    ASSERT_TRUE(QDir::setCurrent(before));
    EXPECT_TRUE(EnterUserFolder(folder));
    ASSERT_TRUE(QDir::setCurrent(before));
}

}  // namespace
}  // namespace quillane

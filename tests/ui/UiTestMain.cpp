// Widget tests run headless, each in a throw-away working folder of its own
// (the console reads and writes its settings file in the current folder, and
// one process may run every test), with a point as the decimal separator.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <memory>

#include "EnvVar.h"
#include "TempDir.h"

namespace {

class FreshWorkingFolder : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override {
        folder_ = std::make_unique<quillane::test::TempDir>();
        QDir::setCurrent(QString::fromStdString(folder_->Path()));
    }
    void OnTestEnd(const ::testing::TestInfo&) override {
        QDir::setCurrent(QDir::tempPath());  // a folder in use is not removed on Windows
        folder_.reset();
    }
    std::unique_ptr<quillane::test::TempDir> folder_;
};

}  // namespace

int main(int argc, char** argv) {
    // A platform set from outside wins.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        quillane::test::SetEnvVar("QT_QPA_PLATFORM", "offscreen");
    quillane::test::SetEnvVar("LC_ALL", "C");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshWorkingFolder);
    return RUN_ALL_TESTS();
}

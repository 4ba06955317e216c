// Widget tests run headless, in a throw-away working folder (the console reads
// its settings file from the current folder), with a point as the decimal
// separator.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>

#include "EnvVar.h"
#include "TempDir.h"

int main(int argc, char** argv) {
    // A platform set from outside wins (a Windows build runs on its own).
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        quillane::test::SetEnvVar("QT_QPA_PLATFORM", "offscreen");
    quillane::test::SetEnvVar("LC_ALL", "C");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    const quillane::test::TempDir workDir;
    QDir::setCurrent(QString::fromStdString(workDir.Path()));
    return RUN_ALL_TESTS();
}

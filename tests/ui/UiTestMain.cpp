// Widget tests run headless, in a throw-away working folder (the console reads
// its settings file from the current folder), with a point as the decimal
// separator.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QDir>

#include "TempDir.h"

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("LC_ALL", "C", 1);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    const quillane::test::TempDir workDir;
    QDir::setCurrent(QString::fromStdString(workDir.Path()));
    return RUN_ALL_TESTS();
}

// The built console program, run as a user runs it from a terminal: what it
// answers without a window.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include "TempDir.h"

namespace quillane {
namespace {

struct Outcome {
    int status = -1;
    QString out;
    QString err;
};

// The program with the given arguments and environment; a hang ends the test.
Outcome RunProgram(const QStringList& args, const QProcessEnvironment& env) {
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(QUILLANE_PROGRAM), args);
    Outcome o;
    if (!program.waitForFinished(60000) || program.exitStatus() != QProcess::NormalExit) {
        program.kill();
        program.waitForFinished();
        return o;
    }
    o.status = program.exitCode();
    o.out = QString::fromLocal8Bit(program.readAllStandardOutput());
    o.err = QString::fromLocal8Bit(program.readAllStandardError());
    return o;
}

// A terminal without a desktop session: the Linux console, or ssh without -X.
QProcessEnvironment WithoutDisplay(const test::TempDir& runtime) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QLatin1String(name));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(runtime.Path()));
    return env;
}

// What each option means is the parser's test; here, that the program acts on
// it before any window, with the right exit status and stream.
TEST(ProgramTest, AnswersHelpVersionAndMistakesWithoutAWindow) {
    const test::TempDir runtime;
    const QProcessEnvironment env = WithoutDisplay(runtime);
    const struct {
        const char* arg;
        int status;
        QString out;  // the start of it
        QString err;  // all of it
    } cases[] = {
        {"--version", 0, QStringLiteral("quillane " QUILLANE_VERSION "\n"), ""},
        {"--help", 0, "Usage: quillane [options]\n", ""},
        {"--bogus", 2, "",
         "quillane: unknown option \"--bogus\" (quillane --help lists the options)\n"},
    };
    for (const auto& c : cases) {
        const Outcome o = RunProgram({QLatin1String(c.arg)}, env);
        EXPECT_EQ(o.status, c.status) << c.arg;
        if (c.out.isEmpty()) {
            EXPECT_EQ(o.out, "") << c.arg;
        } else {
            EXPECT_TRUE(o.out.startsWith(c.out)) << c.arg << o.out.toStdString();
        }
        EXPECT_EQ(o.err, c.err) << c.arg;
    }
}

TEST(ProgramTest, SaysInOneLineThatItNeedsADisplay) {
    const test::TempDir runtime;
    QProcessEnvironment unset = WithoutDisplay(runtime);
    QProcessEnvironment deadX11 = unset;
    // No X server listens on display 65000 (it would need TCP port 71000).
    deadX11.insert(QStringLiteral("DISPLAY"), QStringLiteral(":65000"));
    const struct {
        const char* what;
        QProcessEnvironment env;
        QString line;  // the start of the one line
    } cases[] = {
        {"no DISPLAY", unset,
         "quillane: no display: the console needs a desktop session (neither DISPLAY nor "
         "WAYLAND_DISPLAY is set)\n"},
        {"a DISPLAY nobody serves", deadX11,
         "quillane: no display: the console cannot open its window ("},
    };
    for (const auto& c : cases) {
        const Outcome o = RunProgram({}, c.env);
        EXPECT_EQ(o.status, 1) << c.what << o.err.toStdString();
        EXPECT_TRUE(o.err.startsWith(c.line)) << c.what << o.err.toStdString();
        EXPECT_EQ(o.err.count(QLatin1Char('\n')), 1) << c.what << o.err.toStdString();
        EXPECT_EQ(o.out, "") << c.what;
    }
}

}  // namespace
}  // namespace quillane

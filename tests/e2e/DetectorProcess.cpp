#include "DetectorProcess.h"

#include <signal.h>
#include <stdlib.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTest>

namespace quillane::test {

DetectorProcess::DetectorProcess(int port, const QStringList& options) : port_(port) {
    const QDir root(root_.path());
    root.mkpath(QStringLiteral("config"));
    root.mkpath(QStringLiteral("dev"));
    root.mkpath(QStringLiteral("work"));
    QFile log(root.filePath(QStringLiteral("work/Quillane.log")));
    log.open(QIODevice::WriteOnly);
    log.close();

    // The console in this process finds its port aliases through the same
    // variable, read when it lists the ports.
    if (qEnvironmentVariableIsSet("XDG_CONFIG_HOME")) savedXdg_ = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", root.filePath(QStringLiteral("config")).toLocal8Bit());
    savedCwd_ = QDir::currentPath();
    QDir::setCurrent(root.filePath(QStringLiteral("work")));

    process_.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    process_.start(
        QStringLiteral(QUILLANE_DETECTOR),
        QStringList{QStringLiteral("--com"), QString::number(port), QStringLiteral("-q")} +
            options);
    started_ = process_.waitForStarted(15000) &&
               WaitFor([this] { return Output().contains(QStringLiteral("port ") + PortName()); });
}

DetectorProcess::~DetectorProcess() {
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(2000);
    }
    QDir::setCurrent(savedCwd_);
    if (savedXdg_)
        qputenv("XDG_CONFIG_HOME", *savedXdg_);
    else
        qunsetenv("XDG_CONFIG_HOME");
}

std::string DetectorProcess::DeviceRoot() const {
    return QDir(root_.path()).filePath(QStringLiteral("dev")).toStdString();
}

QString DetectorProcess::Output() {
    output_ += QString::fromLocal8Bit(process_.readAllStandardOutput());
    return output_;
}

QString DetectorProcess::Log() const {
    QFile f(QDir(root_.path()).filePath(QStringLiteral("work/Quillane.log")));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(f.readAll());
}

QStringList DetectorProcess::LogLines(const QString& needle) const {
    return Log().split(QLatin1Char('\n')).filter(needle);
}

void DetectorProcess::HangUp() {
    if (process_.state() == QProcess::Running)
        ::kill(static_cast<pid_t>(process_.processId()), SIGUSR1);
}

bool DetectorProcess::StopCleanly() {
    if (process_.state() != QProcess::Running) return false;
    ::kill(static_cast<pid_t>(process_.processId()), SIGINT);
    if (!process_.waitForFinished(15000)) return false;
    static const QRegularExpression summary(QStringLiteral("sent \\d+ frames\\n$"));
    return process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0 &&
           Output().contains(summary);
}

bool WaitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.hasExpired(ms)) return false;
        QTest::qWait(20);
    }
    return true;
}

}  // namespace quillane::test

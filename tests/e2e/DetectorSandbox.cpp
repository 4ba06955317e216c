#include "DetectorSandbox.h"

#include <signal.h>

#include <QDir>
#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <vector>

namespace quillane::test {
namespace {

// Makes the working folder with its empty exchange log and returns it.
std::string MakeWorkFolder(const PtySandbox& sandbox) {
    const std::filesystem::path work = sandbox.Root() / "work";
    std::filesystem::create_directories(work);
    std::ofstream(work / "Quillane.log").flush();
    return work.string();
}

// Makes `folder` current and returns the folder that was.
QString EnterFolder(const std::string& folder) {
    const QString was = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(folder));
    return was;
}

std::vector<std::string> Arguments(int port, const QStringList& options) {
    std::vector<std::string> args{"--com", std::to_string(port), "-q"};
    for (const QString& o : options) args.push_back(o.toStdString());
    return args;
}

}  // namespace

// The console in this process finds its port aliases through the sandbox's
// XDG_CONFIG_HOME too, read when it lists the ports.
DetectorSandbox::DetectorSandbox(int port, const QStringList& options)
    : port_(port),
      workDir_(MakeWorkFolder(sandbox_)),
      savedCwd_(EnterFolder(workDir_)),
      process_(Arguments(port, options)) {
    const std::string expected = "port " + PortName().toStdString() + " ";
    started_ = process_.ReadLine().rfind(expected, 0) == 0;
}

DetectorSandbox::~DetectorSandbox() { QDir::setCurrent(savedCwd_); }

QString DetectorSandbox::Output() { return QString::fromStdString(process_.Output()); }

QString DetectorSandbox::Log() const {
    QFile f(QString::fromStdString(workDir_ + "/Quillane.log"));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(f.readAll());
}

QStringList DetectorSandbox::LogLines(const QString& needle) const {
    return Log().split(QLatin1Char('\n')).filter(needle);
}

void DetectorSandbox::HangUp() { process_.Signal(SIGUSR1); }

bool DetectorSandbox::StopCleanly() {
    if (!process_.Running()) return false;
    static const QRegularExpression summary(QStringLiteral("sent \\d+ frames\\n$"));
    return process_.Stop(SIGINT) == 0 && Output().contains(summary);
}

bool WaitFor(const std::function<bool()>& done, int ms) {
    // Looked at again after every event the console handles (its timer,
    // bytes on its line), which is what brings the awaited; a timer of its
    // own ends a wait that would otherwise hang.
    bool hung = false;
    QTimer hang;
    hang.setSingleShot(true);
    QObject::connect(&hang, &QTimer::timeout, [&hung] { hung = true; });
    hang.start(ms);
    while (!done()) {
        if (hung) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

}  // namespace quillane::test

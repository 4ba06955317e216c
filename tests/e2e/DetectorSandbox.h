#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <string>

#include "DetectorProcess.h"
#include "PtySandbox.h"

namespace quillane::test {

// The real virtual detector as a child process, in a sandbox of its own: a
// private XDG_CONFIG_HOME (so the console's port list holds only its alias), an
// empty device root (so no real serial device is ever probed) and a working
// folder holding an empty Quillane.log, which turns the console's exchange log
// on as the witness of what crossed the line. The working folder is current
// while the sandbox lives.
class DetectorSandbox {
public:
    DetectorSandbox(int port, const QStringList& options);
    ~DetectorSandbox();
    DetectorSandbox(const DetectorSandbox&) = delete;
    DetectorSandbox& operator=(const DetectorSandbox&) = delete;

    // Whether the detector came up and printed its "port COM<n> <device>" line.
    bool Started() const { return started_; }
    QString PortName() const { return QStringLiteral("COM%1").arg(port_); }
    std::string DeviceRoot() const { return sandbox_.DeviceRoot(); }

    // Everything the detector printed on standard output so far.
    QString Output();
    // Lines of the exchange log that contain `needle`, in order.
    QStringList LogLines(const QString& needle) const;
    QString Log() const;

    // Drops the line now (SIGUSR1): the old device dies, a new one takes the
    // alias and a new port line follows.
    void HangUp();

    // Ctrl-C, as a user stops it. True when it was still running (a console
    // that closed its end leaves it waiting, not crashed) and ended cleanly
    // with its summary line.
    bool StopCleanly();

private:
    int port_;
    PtySandbox sandbox_;
    std::string workDir_;
    QString savedCwd_;
    DetectorProcess process_;
    bool started_ = false;
};

// Runs the event loop (and so the console) until `done` holds after one of
// its events; for at most `ms` milliseconds, a bound against hanging, not a
// timed assertion: generous, since a loaded build machine may take seconds
// to show a window.
bool WaitFor(const std::function<bool()>& done, int ms = 20000);

}  // namespace quillane::test

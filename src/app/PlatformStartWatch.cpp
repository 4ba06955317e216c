#include "app/PlatformStartWatch.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "app/CommandLine.h"
#include "app/UserMessage.h"

namespace quillane {

namespace {

struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};

// A message handler is a plain function: what it needs lives here, for the
// one watch there is at a time. The display connection's own thread may speak
// while it starts.
std::mutex heldLock;
std::vector<HeldMessage> held;
QtMessageHandler previous = nullptr;

// The platform plugin says why before it gives up ("could not connect to
// display :99"); that is the reason worth the one line.
QString Reason(const QString& fatal) {
    QString reason = fatal;
    for (const HeldMessage& m : held) {
        if (m.category.startsWith("qt.qpa") && m.type != QtDebugMsg) {
            reason = m.text;
            break;
        }
    }
    return reason.section(QLatin1Char('\n'), 0, 0);
}

void Watch(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    const std::lock_guard<std::mutex> lock(heldLock);
    if (type == QtFatalMsg) {
        TellUser("quillane: no display: the console cannot open its window (" +
                     Reason(text).toStdString() + ")\n",
                 MessageKind::Error);
        std::_Exit(kExitNoDisplay);
    }
    held.push_back({type, QByteArray(context.category), text});
}

}  // namespace

PlatformStartWatch::PlatformStartWatch() : watching_(true) {
    {
        const std::lock_guard<std::mutex> lock(heldLock);
        held.clear();
    }
    previous = qInstallMessageHandler(Watch);
}

PlatformStartWatch::~PlatformStartWatch() { Done(); }

void PlatformStartWatch::Done() {
    if (!watching_) return;
    watching_ = false;
    qInstallMessageHandler(previous);
    std::vector<HeldMessage> messages;
    {
        const std::lock_guard<std::mutex> lock(heldLock);
        messages.swap(held);
    }
    for (const HeldMessage& m : messages) {
        const QMessageLogContext context(nullptr, 0, nullptr, m.category.constData());
        qt_message_output(m.type, context, m.text);
    }
}

}  // namespace quillane

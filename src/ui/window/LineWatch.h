#pragma once

#include <QObject>
#include <cstdint>

namespace quillane {

class ByteLink;

// Wakes the window when bytes arrive on the line, instead of a timer that
// looks every millisecond whether any have. After each wake it stays quiet
// until the window asks it to watch again: the window reads, rests and looks
// once more before it sleeps on the line again, and while a command word
// ticks out it does not watch at all. On POSIX a socket notifier on the
// line's descriptor, on Windows an event notifier on the event of a pending
// wait for the next byte.
class LineWatch : public QObject {
    Q_OBJECT

public:
    explicit LineWatch(QObject* parent = nullptr);
    ~LineWatch() override;

    // Watches the open line from now on. A line whose handle changed is
    // taken up anew; one that offers none is not watched.
    void Watch(ByteLink& line);
    // Not watched until the next Watch.
    void Pause();
    // Lets go of the line: before it is closed or opened anew, since a
    // notifier must never outlive the handle it watches.
    void Forget();

signals:
    // Bytes have arrived (or the line hung up). The watch is paused.
    void Readable();

private:
    // Per operating system: the notifier for a handle, turning it on (and
    // starting the wait that sets the handle, on Windows) and off.
    void Take(std::intptr_t handle);
    void Resume();
    void Enable(bool on);
    void Wake();

    ByteLink* line_ = nullptr;
    std::intptr_t handle_ = -1;
    QObject* notifier_ = nullptr;
    bool watching_ = false;
};

}  // namespace quillane

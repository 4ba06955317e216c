#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quillane {

// The detector's end of the line: a pseudo-terminal whose slave device the
// console opens through a port alias. The detector keeps the slave open too,
// so the terminal and its settings live on while the console closes and
// reopens its port.
class PtyEndpoint {
public:
    PtyEndpoint() = default;
    ~PtyEndpoint();
    PtyEndpoint(const PtyEndpoint&) = delete;
    PtyEndpoint& operator=(const PtyEndpoint&) = delete;

    bool Open();
    // Points the alias at the device; a stale alias (its device gone) is
    // replaced, a live one is left alone and reported.
    bool LinkAlias(const std::string& aliasPath);
    // Hang-up: drops both ends, so the console's port goes dead, then offers a
    // fresh device behind the same alias.
    bool Reopen();
    // Removes the alias if it still points here, and closes both ends.
    void Close();
    // Before a stop: a console that holds the line gets a moment (about
    // 100 ms at the most) to read what was sent last, which the hang-up of
    // Close would otherwise drop, however promptly the console reads.
    void LetConsoleRead();

    // Writes every byte. When nobody reads and the line is full, the bytes
    // waiting unread are dropped, as a serial line loses what no one receives.
    bool Write(const std::uint8_t* bytes, std::size_t count);
    // Bytes the console sent, 0 when none.
    std::size_t Read(std::uint8_t* buffer, std::size_t size);

    // Whether a console holds the line and has set it up: it locks its port
    // (flock) for as long as it has it open, and drops what waited on the line
    // before it sets the line's speed. An exclusive flag belongs to the terminal, which we
    // keep open, so one left by a program that died without clearing it
    // would shut the line to every later console; a flag that no lock backs
    // is cleared here.
    bool ConsoleHolds();

    int MasterFd() const { return master_; }
    const std::string& DevicePath() const { return devicePath_; }
    const std::string& AliasPath() const { return aliasPath_; }
    long long DroppedBytes() const { return dropped_; }
    const std::string& LastError() const { return error_; }

private:
    bool Fail(const std::string& what);
    bool SlaveLocked() const;
    bool SlaveSetUp() const;
    void CloseEnds();
    bool PointAlias();
    void DropUnread();

    int master_ = -1;
    int slave_ = -1;
    std::string devicePath_;
    std::string aliasPath_;
    long long dropped_ = 0;
    std::string error_;
};

}  // namespace quillane

#pragma once

#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

namespace quillane {

// Another program that has a serial device, as far as we can tell.
struct PortHolder {
    long long pid = 0;
    std::string program;  // its command name, empty when it cannot be read
};

// The processes other than ours that have some serial devices open, from one
// look through /proc/<pid>/fd, as fuser finds them (only the processes we may
// look at). A port another program uses without a lock must be left to it;
// on Windows the system refuses the open instead.
class DeviceUsers {
public:
    // Looks for the given devices only; a missing device has no users.
    static DeviceUsers Scan(const std::vector<std::string>& devicePaths,
                            const std::string& procRoot = "/proc");

    // A process that has devicePath open. The process holding a
    // pseudo-terminal's other end (the virtual detector, which keeps the
    // device open too) is the line's far end and does not count.
    bool Holder(const std::string& devicePath, PortHolder* holder) const;

    // Whether a character device is a terminal, by the kernel's list of
    // terminal drivers (<procRoot>/tty/drivers). Anything else, and a list
    // that cannot be read, counts as one: opening it will tell.
    bool Terminal(const std::string& devicePath) const;

private:
    struct Use {
        dev_t device;      // the device number the open file is
        dev_t filesystem;  // where its inode lives (a pseudo-terminal's devpts)
        long long pid;
    };
    std::string procRoot_;
    std::vector<Use> uses_;
    std::vector<std::pair<long long, int>> masters_;  // pid, pseudo-terminal index
    struct Minors {
        unsigned majorNumber, first, last;
    };
    static std::vector<Minors> TerminalDrivers(const std::string& driversPath);
    std::vector<Minors> terminals_;  // empty when the list could not be read
};

// A UNIX98 pseudo-terminal's slave side (/dev/pts/<n>): a terminal that lives
// as long as its far end keeps the master, whoever opens and closes the slave.
bool IsPtySlave(dev_t device);

// The UUCP lock convention: LCK..<device name> in one of lockDirs, holding the
// locking process's id in text, or from older tools as a binary int. Only a
// lock whose process still runs counts; one naming our own process is an
// earlier process's with our id.
bool UucpLockHolder(const std::string& devicePath, const std::vector<std::string>& lockDirs,
                    PortHolder* holder);

// Why a device must be left alone, found without opening it: a character
// device that is no terminal (whoever has /dev/null open does not hold a
// port), a live UUCP lock in /var/lock or /run/lock, or a process that has it
// open. Empty when none says so.
std::string HeldElsewhere(const std::string& devicePath, const DeviceUsers& users);

}  // namespace quillane

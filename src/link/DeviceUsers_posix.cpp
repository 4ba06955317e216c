#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>

#include "link/DeviceUsers.h"
#include "link/PortReasons.h"

namespace quillane {

namespace {

// UNIX98 pseudo-terminal slaves and the master multiplexer (/dev/ptmx).
constexpr unsigned kFirstPtySlaveMajor = 136;
constexpr unsigned kLastPtySlaveMajor = 143;
const dev_t kPtmx = makedev(5, 2);

int PtyIndex(dev_t device) {
    return static_cast<int>((major(device) - kFirstPtySlaveMajor) * 256 + minor(device));
}

struct DirCloser {
    void operator()(DIR* d) const { ::closedir(d); }
};
using Dir = std::unique_ptr<DIR, DirCloser>;

// A decimal process or descriptor number; -1 for any other name.
long long NumberOf(const char* name) {
    if (*name < '0' || *name > '9') return -1;
    char* end = nullptr;
    errno = 0;
    const long long n = std::strtoll(name, &end, 10);
    return (*end == '\0' && errno == 0) ? n : -1;
}

std::string FirstLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

// The pseudo-terminal a /dev/ptmx descriptor is the master of, from the
// "tty-index:" line of its fdinfo; -1 when the kernel does not say.
int MasterIndex(const std::string& fdinfoPath) {
    std::ifstream in(fdinfoPath);
    const std::string key = "tty-index:";
    for (std::string line; std::getline(in, line);) {
        if (line.compare(0, key.size(), key) == 0) return std::atoi(line.c_str() + key.size());
    }
    return -1;
}

bool ProcessIsAlive(long long pid) {
    return pid > 0 && pid <= INT_MAX && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

std::string ProgramOf(const std::string& procRoot, long long pid) {
    return FirstLine(procRoot + "/" + std::to_string(pid) + "/comm");
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The name the lock file carries: that of the device itself, behind any
// alias or /dev/serial/by-id link.
std::string LockName(const std::string& devicePath) {
    char* real = ::realpath(devicePath.c_str(), nullptr);
    const std::string resolved = real != nullptr ? real : devicePath;
    std::free(real);
    return BaseName(resolved);
}

// The process a UUCP lock file names, -1 when it names none: ten characters
// of text as most tools write it ("      4242\n"), or the process id as a
// 4-byte binary int, as older tools do. Text of four characters cannot pass
// for a binary id: its bytes would make a number far above any process id.
long long LockPid(const std::string& lockPath) {
    std::ifstream in(lockPath, std::ios::binary);
    char bytes[64] = {};
    in.read(bytes, sizeof bytes - 1);
    const std::string content(bytes, static_cast<size_t>(in.gcount()));
    if (content.size() == sizeof(std::int32_t) &&
        content.find_first_not_of("0123456789 \t\n") != std::string::npos) {
        std::int32_t pid = 0;
        std::memcpy(&pid, content.data(), sizeof pid);
        return pid;
    }
    // Leading blanks are skipped by strtoll.
    char* end = nullptr;
    const long long pid = std::strtoll(bytes, &end, 10);
    return end == bytes ? -1 : pid;
}

}  // namespace

bool IsPtySlave(dev_t device) {
    return major(device) >= kFirstPtySlaveMajor && major(device) <= kLastPtySlaveMajor;
}

DeviceUsers DeviceUsers::Scan(const std::vector<std::string>& devicePaths,
                              const std::string& procRoot) {
    DeviceUsers users;
    users.procRoot_ = procRoot;
    std::vector<dev_t> wanted;
    for (const std::string& path : devicePaths) {
        struct stat st;
        if (::stat(path.c_str(), &st) == 0 && S_ISCHR(st.st_mode)) wanted.push_back(st.st_rdev);
    }
    if (wanted.empty()) return users;
    users.terminals_ = TerminalDrivers(procRoot + "/tty/drivers");
    Dir proc(::opendir(procRoot.c_str()));
    if (!proc) return users;
    const long long self = ::getpid();
    while (const dirent* p = ::readdir(proc.get())) {
        const long long pid = NumberOf(p->d_name);
        if (pid < 0 || pid == self) continue;
        const std::string base = procRoot + "/" + p->d_name;
        Dir fds(::opendir((base + "/fd").c_str()));
        if (!fds) continue;  // not ours to look at, or gone
        while (const dirent* f = ::readdir(fds.get())) {
            if (NumberOf(f->d_name) < 0) continue;
            struct stat st;
            if (::stat((base + "/fd/" + f->d_name).c_str(), &st) != 0 || !S_ISCHR(st.st_mode))
                continue;
            if (st.st_rdev == kPtmx) {
                users.masters_.emplace_back(pid, MasterIndex(base + "/fdinfo/" + f->d_name));
                continue;
            }
            for (dev_t d : wanted) {
                if (d == st.st_rdev) users.uses_.push_back(Use{st.st_rdev, st.st_dev, pid});
            }
        }
    }
    return users;
}

bool DeviceUsers::Holder(const std::string& devicePath, PortHolder* holder) const {
    struct stat st;
    if (::stat(devicePath.c_str(), &st) != 0 || !S_ISCHR(st.st_mode)) return false;
    const bool pty = IsPtySlave(st.st_rdev);
    for (const Use& use : uses_) {
        if (use.device != st.st_rdev) continue;
        // Each devpts instance numbers its terminals from 0.
        if (pty && use.filesystem != st.st_dev) continue;
        const std::pair<long long, int> farEnd(use.pid, PtyIndex(st.st_rdev));
        bool isFarEnd = false;
        for (const auto& m : masters_) isFarEnd = isFarEnd || (pty && m == farEnd);
        if (isFarEnd) continue;
        *holder = PortHolder{use.pid, ProgramOf(procRoot_, use.pid)};
        return true;
    }
    return false;
}

// The device numbers of the terminal drivers, one a line:
// "serial   /dev/ttyS   4 64-111 serial" (a single minor has no range).
std::vector<DeviceUsers::Minors> DeviceUsers::TerminalDrivers(const std::string& driversPath) {
    std::vector<Minors> ranges;
    std::ifstream in(driversPath);
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        std::string name, node, minors;
        unsigned majorNumber = 0;
        if (!(fields >> name >> node >> majorNumber >> minors)) continue;
        char* end = nullptr;
        const unsigned long first = std::strtoul(minors.c_str(), &end, 10);
        const unsigned long last = *end == '-' ? std::strtoul(end + 1, nullptr, 10) : first;
        ranges.push_back({majorNumber, static_cast<unsigned>(first), static_cast<unsigned>(last)});
    }
    return ranges;
}

bool DeviceUsers::Terminal(const std::string& devicePath) const {
    struct stat st;
    if (terminals_.empty() || ::stat(devicePath.c_str(), &st) != 0 || !S_ISCHR(st.st_mode))
        return true;
    for (const Minors& m : terminals_) {
        if (major(st.st_rdev) == m.majorNumber && minor(st.st_rdev) >= m.first &&
            minor(st.st_rdev) <= m.last)
            return true;
    }
    return false;
}

bool UucpLockHolder(const std::string& devicePath, const std::vector<std::string>& lockDirs,
                    PortHolder* holder) {
    const std::string name = "LCK.." + LockName(devicePath);
    for (const std::string& dir : lockDirs) {
        const long long pid = LockPid(dir + "/" + name);
        if (pid <= 0 || pid == ::getpid() || !ProcessIsAlive(pid)) continue;
        *holder = PortHolder{pid, ProgramOf("/proc", pid)};
        return true;
    }
    return false;
}

std::string HeldElsewhere(const std::string& devicePath, const DeviceUsers& users) {
    if (!users.Terminal(devicePath)) return kNotSerialText;
    PortHolder holder;
    if (UucpLockHolder(devicePath, {"/var/lock", "/run/lock"}, &holder) ||
        users.Holder(devicePath, &holder))
        return InUseText(holder.pid, holder.program);
    return {};
}

}  // namespace quillane

#include "model/ProfileFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <unordered_map>
#include <utility>
#include <vector>

#include "model/NumberFormat.h"

namespace quillane {

namespace {

// What tells one state of the file on disk from another.
struct FileIdentity {
    bool exists = false;
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    struct timespec mtime = {}, ctime = {};

    bool operator==(const FileIdentity& o) const {
        return exists == o.exists && dev == o.dev && ino == o.ino && size == o.size &&
               mtime.tv_sec == o.mtime.tv_sec && mtime.tv_nsec == o.mtime.tv_nsec &&
               ctime.tv_sec == o.ctime.tv_sec && ctime.tv_nsec == o.ctime.tv_nsec;
    }
};

FileIdentity IdentityOf(const struct stat& st) {
    FileIdentity id;
    id.exists = true;
    id.dev = st.st_dev;
    id.ino = st.st_ino;
    id.size = st.st_size;
    id.mtime = st.st_mtim;
    id.ctime = st.st_ctim;
    return id;
}

FileIdentity StatIdentity(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return FileIdentity{};
    return IdentityOf(st);
}

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

void TrimRange(const std::string& text, size_t& b, size_t& e) {
    while (b < e && IsBlank(text[b])) ++b;
    while (e > b && IsBlank(text[e - 1])) --e;
}

// Searches only the line, never the rest of a large file; `end` when absent.
size_t FindIn(const std::string& text, char c, size_t begin, size_t end) {
    const void* hit = std::memchr(text.data() + begin, c, end - begin);
    return hit ? static_cast<size_t>(static_cast<const char*>(hit) - text.data()) : end;
}

std::string ErrnoText(const std::string& what) { return what + ": " + std::strerror(errno); }

}  // namespace

// One parsed state of the file. Positions index `text`.
struct ProfileFile::Snapshot {
    struct Key {
        size_t valueBegin = 0;  // first byte after "=" and its blanks
        size_t valueEnd = 0;    // end of the line's text
    };
    struct Section {
        // End of the text and start of the next line of the section's last key
        // line (its header when it has no key): where a new key goes.
        size_t lastEnd = 0, lastNext = 0;
        std::unordered_map<std::string, Key> keys;  // lower-case names, first wins
    };

    FileIdentity id;
    bool readable = true;
    std::string readError;
    std::string text;
    std::string eol = "\r\n";
    std::vector<Section> sections;
    std::unordered_map<std::string, size_t> sectionIndex;  // lower-case names, first wins

    void Parse();
    void ParseLine(size_t begin, size_t end, size_t next, Section*& current);
};

void ProfileFile::Snapshot::Parse() {
    size_t pos = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    bool eolSeen = false;
    Section* current = nullptr;
    while (pos < text.size()) {
        size_t end = pos;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
        size_t next = end;
        if (next < text.size())
            next +=
                (text[next] == '\r' && next + 1 < text.size() && text[next + 1] == '\n') ? 2 : 1;
        if (!eolSeen && next > end) {
            eol = text.substr(end, next - end);
            eolSeen = true;
        }
        ParseLine(pos, end, next, current);
        pos = next;
    }
}

void ProfileFile::Snapshot::ParseLine(size_t begin, size_t end, size_t next, Section*& current) {
    size_t b = begin, e = end;
    TrimRange(text, b, e);
    if (b == e || text[b] == ';') return;
    if (text[b] == '[') {
        // A header without its "]" still names a section: the rest of the line.
        size_t nb = b + 1, ne = FindIn(text, ']', nb, e);
        TrimRange(text, nb, ne);
        const std::string name = Lower(text.substr(nb, ne - nb));
        if (sectionIndex.count(name) != 0) {
            current = nullptr;  // a later duplicate is never looked at
            return;
        }
        sections.push_back(Section{end, next, {}});
        sectionIndex.emplace(name, sections.size() - 1);
        current = &sections.back();
        return;
    }
    const size_t eq = FindIn(text, '=', b, e);
    if (current == nullptr || eq == e) return;
    size_t kb = b, ke = eq;
    TrimRange(text, kb, ke);
    if (kb == ke) return;
    size_t vb = eq + 1;
    while (vb < e && IsBlank(text[vb])) ++vb;
    if (vb == e) vb = eq + 1;
    current->keys.emplace(Lower(text.substr(kb, ke - kb)), Key{vb, end});
    current->lastEnd = end;
    current->lastNext = next;
}

namespace {

using Snapshot = ProfileFile::Snapshot;

std::shared_ptr<Snapshot> Load(const std::string& path) {
    auto snap = std::make_shared<Snapshot>();
    // Not blocking: a pipe in the file's place must not hang the start-up.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        snap->id = StatIdentity(path);  // missing, or there but not readable
        snap->readable = !snap->id.exists;
        snap->readError = ErrnoText(path);
        return snap;
    }
    struct stat st;
    const bool statted = ::fstat(fd, &st) == 0;
    if (statted) snap->id = IdentityOf(st);
    if (statted && !S_ISREG(st.st_mode)) {
        // A pipe or a device (/dev/zero) could feed us without end.
        snap->readable = false;
        snap->readError = path + ": not a regular file";
        ::close(fd);
        return snap;
    }
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n > 0) {
            snap->text.append(buf, static_cast<size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            if (n < 0) {
                snap->readable = false;
                snap->readError = ErrnoText(path);
                snap->text.clear();
            }
            break;
        }
    }
    ::close(fd);
    snap->Parse();
    return snap;
}

std::string Unquoted(const std::string& value) {
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        return value.substr(1, value.size() - 2);
    return value;
}

std::string EditedText(const Snapshot& s, const std::string& section, const std::string& key,
                       const std::string& value) {
    std::string text = s.text;
    const std::string line = key + "=" + value;
    auto sit = s.sectionIndex.find(Lower(section));
    if (sit == s.sectionIndex.end()) {
        const size_t body = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
        if (text.size() > body && text.back() != '\n' && text.back() != '\r') text += s.eol;
        return text + "[" + section + "]" + s.eol + line + s.eol;
    }
    const Snapshot::Section& sec = s.sections[sit->second];
    auto kit = sec.keys.find(Lower(key));
    if (kit != sec.keys.end()) {
        const Snapshot::Key& k = kit->second;
        return text.replace(k.valueBegin, k.valueEnd - k.valueBegin, value);
    }
    if (sec.lastNext == sec.lastEnd) return text.insert(sec.lastEnd, s.eol + line);
    return text.insert(sec.lastNext, line + s.eol);
}

// Writes go to the file a symbolic link points at, so the link survives.
std::string ResolvedTarget(std::string path) {
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        std::string link(static_cast<size_t>(st.st_size > 0 ? st.st_size : 4096), '\0');
        const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
        if (n < 0) return path;
        link.resize(static_cast<size_t>(n));
        const size_t slash = path.rfind('/');
        path = (link[0] == '/' || slash == std::string::npos) ? link
                                                              : path.substr(0, slash + 1) + link;
    }
    return path;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

int CreateUniqueTemp(const std::string& target, std::string& tempPath) {
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = target + ".tmp" + std::to_string(rd() % 1000000u);
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// A new file beside the target, flushed to the disk, then renamed over it:
// the target holds either the old or the new text at every moment.
bool ReplaceAtomically(const std::string& target, const std::string& text, std::string& error) {
    struct stat old;
    const bool existed = ::stat(target.c_str(), &old) == 0;
    std::string temp;
    const int fd = CreateUniqueTemp(target, temp);
    if (fd < 0) {
        error = ErrnoText(target);
        return false;
    }
    if (existed) {
        // The new file takes the old one's permissions and, where we may, owner.
        ::fchmod(fd, old.st_mode & 07777);
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) errno = 0;
    }
    bool ok = WriteAll(fd, text) && ::fsync(fd) == 0;
    if (!ok) error = ErrnoText(target);
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = ErrnoText(target);
    }
    if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
        ok = false;
        error = ErrnoText(target);
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    const int dir = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);  // makes the rename itself durable; the text is safe either way
        ::close(dir);
    }
    return true;
}

bool CheckWritable(const std::string& target, const Snapshot& snap, std::string& error) {
    if (!snap.readable) {
        error = snap.readError;  // writing would lose what we cannot read
        return false;
    }
    struct stat st;
    if (::stat(target.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) {
            error = target + ": not a regular file";
            return false;
        }
        if ((st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0) {
            error = target + ": read-only file";
            return false;
        }
    }
    if (::access(FolderOf(target).c_str(), W_OK) != 0) {
        error = ErrnoText(FolderOf(target));
        return false;
    }
    return true;
}

bool HasLineBreak(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

}  // namespace

ProfileFile::ProfileFile(std::string path) : path_(std::move(path)) {}

std::shared_ptr<const ProfileFile::Snapshot> ProfileFile::Current() const {
    if (!cache_ || !(cache_->id == StatIdentity(path_))) cache_ = Load(path_);
    return cache_;
}

std::string ProfileFile::ReadString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue) const {
    const auto snap = Current();
    auto sit = snap->sectionIndex.find(Lower(section));
    if (sit == snap->sectionIndex.end()) return defaultValue;
    const auto& keys = snap->sections[sit->second].keys;
    auto kit = keys.find(Lower(key));
    if (kit == keys.end()) return defaultValue;
    size_t b = kit->second.valueBegin, e = kit->second.valueEnd;
    TrimRange(snap->text, b, e);
    return Unquoted(snap->text.substr(b, e - b));
}

bool ProfileFile::WriteString(const std::string& section, const std::string& key,
                              const std::string& value) {
    error_.clear();
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value) ||
        section.find(']') != std::string::npos || key.find('=') != std::string::npos) {
        error_ = path_ + ": name or value not allowed in a settings file";
        return false;
    }
    const auto snap = Current();
    const std::string target = ResolvedTarget(path_);
    if (!CheckWritable(target, *snap, error_)) return false;
    auto next = std::make_shared<Snapshot>();
    next->text = EditedText(*snap, section, key, value);
    if (snap->id.exists && next->text == snap->text) return true;  // already on disk
    if (!ReplaceAtomically(target, next->text, error_)) {
        cache_.reset();
        return false;
    }
    next->id = StatIdentity(path_);
    next->Parse();
    cache_ = std::move(next);
    return true;
}

double ProfileFile::ReadFloat(const std::string& section, const std::string& key,
                              double defaultValue, const NumberFormat& format) const {
    return format.ParseFloat(ReadString(section, key, "")).value_or(defaultValue);
}

int ProfileFile::ReadInteger(const std::string& section, const std::string& key,
                             int defaultValue) const {
    return NumberFormat::ParseInt(ReadString(section, key, "")).value_or(defaultValue);
}

bool ProfileFile::WriteFloat(const std::string& section, const std::string& key, double value,
                             const NumberFormat& format) {
    return WriteString(section, key, format.General(value));
}

bool ProfileFile::WriteInteger(const std::string& section, const std::string& key, int value) {
    return WriteString(section, key, std::to_string(value));
}

}  // namespace quillane

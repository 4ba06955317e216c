#include "model/ProfileFile.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <utility>
#include <vector>

#include "os/FileStore.h"
#include "model/NumberFormat.h"

namespace quillane {

namespace {

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
    FileContents file = ReadRegularFile(path);
    snap->id = file.id;
    snap->readable = file.readable;
    snap->readError = std::move(file.error);
    snap->text = std::move(file.text);
    snap->Parse();
    return snap;
}

std::string Unquoted(const std::string& value) {
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        return value.substr(1, value.size() - 2);
    return value;
}

// The text with the writes in it, made in one pass: each write lands where
// a write of its own would have put it, one after the other. A known key's
// value is replaced in place; a new key goes after the last key line of its
// section; a new section goes at the end, in the order first written.
std::string WithWrites(const Snapshot& s, const std::vector<ProfileFile::Write>& writes) {
    struct Edit {
        size_t at, end;  // the bytes replaced
        bool insert;     // after a replacement at the same place
        std::string text;
    };
    std::vector<Edit> edits;
    std::vector<std::string> added(s.sections.size());
    std::vector<std::pair<std::string, std::string>> fresh;  // header name, key lines
    std::unordered_map<std::string, size_t> freshAt;
    for (const ProfileFile::Write& w : writes) {
        const std::string line = w.key + "=" + w.value;
        auto sit = s.sectionIndex.find(Lower(w.section));
        if (sit == s.sectionIndex.end()) {
            auto f = freshAt.emplace(Lower(w.section), fresh.size());
            if (f.second) fresh.emplace_back(w.section, "");
            fresh[f.first->second].second += line + s.eol;
            continue;
        }
        const Snapshot::Section& sec = s.sections[sit->second];
        auto kit = sec.keys.find(Lower(w.key));
        if (kit != sec.keys.end()) {
            edits.push_back({kit->second.valueBegin, kit->second.valueEnd, false, w.value});
        } else {
            // A last line without a line break gets one before the new key.
            added[sit->second] += sec.lastNext == sec.lastEnd ? s.eol + line : line + s.eol;
        }
    }
    for (size_t i = 0; i < added.size(); ++i) {
        if (added[i].empty()) continue;
        const Snapshot::Section& sec = s.sections[i];
        const size_t at = sec.lastNext == sec.lastEnd ? sec.lastEnd : sec.lastNext;
        edits.push_back({at, at, true, std::move(added[i])});
    }
    std::sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) {
        return a.at != b.at ? a.at < b.at : a.insert < b.insert;
    });
    std::string text;
    size_t size = s.text.size();
    for (const Edit& e : edits) size += e.text.size();
    for (const auto& f : fresh) size += f.first.size() + f.second.size() + 2 * s.eol.size() + 2;
    text.reserve(size);
    size_t pos = 0;
    for (const Edit& e : edits) {
        text.append(s.text, pos, e.at - pos);
        text += e.text;
        pos = e.end;
    }
    text.append(s.text, pos, std::string::npos);
    if (fresh.empty()) return text;
    const size_t body = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    if (text.size() > body && text.back() != '\n' && text.back() != '\r') text += s.eol;
    for (const auto& f : fresh) text += "[" + f.first + "]" + s.eol + f.second;
    return text;
}

std::string PendingKey(const std::string& section, const std::string& key) {
    return Lower(section) + '\n' + Lower(key);
}

bool CheckWritable(const std::string& target, const Snapshot& snap, std::string& error) {
    if (!snap.readable) {
        error = snap.readError;  // writing would lose what we cannot read
        return false;
    }
    return CheckFileWritable(target, error);
}

bool HasLineBreak(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

}  // namespace

ProfileFile::ProfileFile(std::string path) : path_(std::move(path)) {}

std::shared_ptr<const ProfileFile::Snapshot> ProfileFile::Current() const {
    if (!cache_ || !(cache_->id == StatFile(path_))) cache_ = Load(path_);
    return cache_;
}

const ProfileFile::Write* ProfileFile::Pending(const std::string& section,
                                               const std::string& key) const {
    if (pending_.empty()) return nullptr;
    auto it = pendingAt_.find(PendingKey(section, key));
    return it == pendingAt_.end() ? nullptr : &pending_[it->second];
}

std::string ProfileFile::ReadString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue) const {
    // A write held by the batch reads as it will once it is in the file.
    if (const Write* w = Pending(section, key)) {
        size_t b = 0, e = w->value.size();
        TrimRange(w->value, b, e);
        return Unquoted(w->value.substr(b, e - b));
    }
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
    // Writes go to the file a symbolic link points at, so the link survives.
    const std::string target = ResolveSymbolicLinks(path_);
    if (!CheckWritable(target, *snap, error_)) return false;
    if (batching_) {
        Hold(*snap, Write{section, key, value});
        return true;
    }
    auto next = std::make_shared<Snapshot>();
    next->text = WithWrites(*snap, {Write{section, key, value}});
    if (next->text == snap->text && snap->id.exists) return true;  // nothing new
    if (!ReplaceFileAtomically(target, next->text, error_)) {
        cache_.reset();
        return false;
    }
    next->id = StatFile(path_);
    next->Parse();
    cache_ = std::move(next);
    return true;
}

// Held until the commit; the text and what it parsed to stay as on the disk.
void ProfileFile::Hold(const Snapshot& snap, Write write) {
    const std::string at = PendingKey(write.section, write.key);
    auto it = pendingAt_.find(at);
    if (it != pendingAt_.end()) {
        pending_[it->second].value = std::move(write.value);
        return;
    }
    // A value the file holds already is nothing new.
    auto sit = snap.sectionIndex.find(Lower(write.section));
    if (sit != snap.sectionIndex.end()) {
        const auto& keys = snap.sections[sit->second].keys;
        auto kit = keys.find(Lower(write.key));
        if (kit != keys.end() &&
            snap.text.compare(kit->second.valueBegin, kit->second.valueEnd - kit->second.valueBegin,
                              write.value) == 0)
            return;
    }
    pendingAt_.emplace(at, pending_.size());
    pending_.push_back(std::move(write));
}

void ProfileFile::BeginBatch() {
    DropPending();
    batching_ = true;
}

bool ProfileFile::CommitBatch() {
    batching_ = false;
    if (pending_.empty()) return true;
    error_.clear();
    const auto snap = Current();
    auto written = std::make_shared<Snapshot>();
    written->text = WithWrites(*snap, pending_);
    DropPending();
    if (written->text == snap->text && snap->id.exists) return true;  // nothing new
    const std::string target = ResolveSymbolicLinks(path_);
    if (!CheckWritable(target, *snap, error_) ||
        !ReplaceFileAtomically(target, written->text, error_)) {
        cache_.reset();  // what the disk holds is read again
        return false;
    }
    written->id = StatFile(path_);
    written->Parse();
    cache_ = std::move(written);
    return true;
}

void ProfileFile::DiscardBatch() {
    DropPending();
    batching_ = false;
}

void ProfileFile::DropPending() {
    pending_.clear();
    pendingAt_.clear();
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

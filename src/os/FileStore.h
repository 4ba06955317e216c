#pragma once

#include <cstdint>
#include <string>

namespace quillane {

// The operating system's side of the settings file, kept apart so that the
// profile format itself is plain C++ and the same on Linux and Windows, and
// of the files the console keeps as its own (the site record, the reports).
// Paths are UTF-8 on both. Every failure comes back as false or a flag, with the
// system's reason in the error text, prefixed by the path it concerns.

// What tells one state of a file on disk from another. The stamps are opaque:
// only equality means anything.
struct FileIdentity {
    bool exists = false;
    std::uint64_t volume = 0, index = 0;  // which file (device and inode)
    std::int64_t size = 0;
    std::int64_t modifiedHigh = 0, modifiedLow = 0;  // last write
    std::int64_t changedHigh = 0, changedLow = 0;    // metadata change (Linux), creation (Windows)

    bool operator==(const FileIdentity& o) const {
        return exists == o.exists && volume == o.volume && index == o.index && size == o.size &&
               modifiedHigh == o.modifiedHigh && modifiedLow == o.modifiedLow &&
               changedHigh == o.changedHigh && changedLow == o.changedLow;
    }
};

// A whole file as read. A missing file reads as readable and empty (exists is
// false); a file that is there but cannot be read, or is no regular file (a
// folder, a pipe, a device that could feed us without end), is not readable.
struct FileContents {
    FileIdentity id;
    bool readable = true;
    std::string text;
    std::string error;
};

// The identity of the file a path names now (through symbolic links).
FileIdentity StatFile(const std::string& path);

// Reads a regular file whole without ever blocking on what stands in its place.
FileContents ReadRegularFile(const std::string& path);

// The newest `most` bytes of a file the console keeps as its own (all of it
// when it is smaller; id.size is the whole file's). What stands at the name
// itself is read, never what it leads to: a symbolic link there (on Windows,
// a reparse point that stands for another name) is not readable, nor is
// anything but a regular file.
FileContents ReadOwnFileEnd(const std::string& path, std::int64_t most);

// Where a new file was to go.
enum class NewFile { Written, NameTaken, Failed };
// Writes bytes into a new file at path, made only when nothing at all is at
// the name: no file, no folder and no symbolic link, not even one that leads
// nowhere, so that nothing is ever written through a name someone else
// prepared. Flushed to the disk; whole or not at all (a failed write removes
// the new file again). Failed comes with the reason in error.
NewFile WriteNewFile(const std::string& path, const std::string& bytes, std::string& error);

// The file a chain of symbolic links ends at, so that a write replaces the
// file and the link survives; the path itself when it is no link.
std::string ResolveSymbolicLinks(std::string path);

// False, with the reason, when target exists but is no regular file or is
// read-only, or when its folder cannot take a new file.
bool CheckFileWritable(const std::string& target, std::string& error);

// Writes text to a new file beside target, flushes it to the disk and renames
// it over target, which thus holds the old or the new text at every moment.
// The new file keeps the old one's permissions (attributes on Windows).
// Temporary files that killed writes left beside target ("<name>.tmp-<pid>-<n>",
// their process gone) are removed first, so they never pile up.
bool ReplaceFileAtomically(const std::string& target, const std::string& text, std::string& error);

}  // namespace quillane

#pragma once

#include <random>
#include <string>

namespace quillane {

// The temporary files an atomic replace writes beside its target
// ("<name>.tmp-<pid>-<n>"), the same on every system; the calls they need of
// the system below have each system's body in FileStore_<system>.cpp.

// A new temporary file's name beside target: our process id, so that a later
// write can tell a file left by a killed writer from one being written now,
// and a new random tail on each call.
std::string TempNameFor(const std::string& target, std::random_device& rd);

// Removes what writes killed before their rename left beside target.
void RemoveStaleTempFiles(const std::string& target);

long long CurrentProcessId();
bool ProcessIsAlive(long long pid);
void RemoveFile(const std::string& path);

}  // namespace quillane

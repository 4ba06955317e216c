#pragma once

#include <cstdlib>
#include <string>

namespace quillane::test {

// Sets or removes an environment variable of this process, on Linux and on
// Windows (whose C library has no setenv).
inline void SetEnvVar(const char* name, const std::string& value) {
#ifdef _WIN32
    _putenv_s(name, value.c_str());
#else
    ::setenv(name, value.c_str(), 1);
#endif
}

inline void UnsetEnvVar(const char* name) {
#ifdef _WIN32
    _putenv_s(name, "");  // an empty value removes it
#else
    ::unsetenv(name);
#endif
}

}  // namespace quillane::test

#pragma once

#include <cstdlib>
#include <optional>
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

// Puts a variable back as it was when the test is over; meanwhile Set gives
// it a value or, with none, removes it.
class SavedEnvVar {
public:
    explicit SavedEnvVar(const char* name) : name_(name) {
        if (const char* old = std::getenv(name)) value_ = old;
    }
    ~SavedEnvVar() { Set(value_); }
    SavedEnvVar(const SavedEnvVar&) = delete;
    SavedEnvVar& operator=(const SavedEnvVar&) = delete;
    void Set(const std::optional<std::string>& value) const {
        if (value)
            SetEnvVar(name_, *value);
        else
            UnsetEnvVar(name_);
    }

private:
    const char* name_;
    std::optional<std::string> value_;
};

}  // namespace quillane::test

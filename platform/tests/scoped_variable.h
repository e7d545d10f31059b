// An environment variable set for a test, or removed, and put back as it was afterwards, so
// that the tests that change one leave the process as they found it.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace quillmar::platform {

class ScopedVariable {
 public:
  // Sets `name` to `value`, or removes it when `value` is null (on Windows an empty value too).
  ScopedVariable(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) {
      old_ = old;
    }
    set(value);
  }
  ~ScopedVariable() { set(old_ ? old_->c_str() : nullptr); }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  // Sets or removes the variable in the runtime's copy and the system's alike.
  void set(const char* value) const {
#ifdef _WIN32
    _putenv_s(name_.c_str(), value != nullptr ? value : "");
#else
    if (value != nullptr) {
      setenv(name_.c_str(), value, 1);
    } else {
      unsetenv(name_.c_str());
    }
#endif
  }

  std::string name_;
  std::optional<std::string> old_;
};

}  // namespace quillmar::platform

// An environment variable set (or unset) while it lives, and then as it was.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

namespace velotrix::test {

class ScopedVariable {
  public:
    // value nullptr: the variable is unset.
    ScopedVariable(std::string name, const char* value) : name_(std::move(name)) {
        const char* old = std::getenv(name_.c_str());
        old_ = old != nullptr ? std::optional<std::string>(old) : std::nullopt;
        Set(value);
    }
    ~ScopedVariable() { Set(old_ ? old_->c_str() : nullptr); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

  private:
    void Set(const char* value) {
        value != nullptr ? setenv(name_.c_str(), value, 1) : unsetenv(name_.c_str());
    }

    std::string name_;
    std::optional<std::string> old_;
};

}  // namespace velotrix::test

// How the uninstaller's steps report failure. The uninstaller is built
// without the C++ exception runtime, which alone would be a third of it: a
// step that cannot be done hands back the fixed English text the user
// reads, each caller passes it on unchanged, and the program's outermost
// frame shows it (main.cpp) or sends it to whoever waits (/S).
#pragma once

#include <string>
#include <utility>

namespace uninstaller {

// Done, or the text that says why not.
class [[nodiscard]] Outcome {
 public:
  Outcome() = default;  // done
  static Outcome Failed(std::string text) {
    Outcome failed;
    failed.failure_ = std::move(text);
    return failed;
  }

  bool failed() const noexcept { return !failure_.empty(); }
  const std::string& failure() const noexcept { return failure_; }

 private:
  std::string failure_;  // never empty for a failure: every text says something
};

// A value, or the text that says why there is none.
template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : value_(std::move(value)) {}
  Result(Outcome failed) : outcome_(std::move(failed)) {}

  bool failed() const noexcept { return outcome_.failed(); }
  const Outcome& outcome() const noexcept { return outcome_; }
  const std::string& failure() const noexcept { return outcome_.failure(); }
  // Only for a result that did not fail.
  const T& operator*() const noexcept { return value_; }
  const T* operator->() const noexcept { return &value_; }

 private:
  T value_{};
  Outcome outcome_;
};

}  // namespace uninstaller

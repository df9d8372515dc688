// How the uninstaller's steps report failure. The uninstaller is built
// without the C++ exception runtime, which alone would be a third of it: a
// step that cannot be done hands back the fixed English text the user
// reads, each caller passes it on unchanged, and the program's outermost
// frame shows it (main.cpp) or sends it to whoever waits (/S). With the text
// goes the system call that failed, which only /S reports
// (platform::DiagnosisLine).
#pragma once

#include "platform/error.h"

#include <string>
#include <utility>

namespace uninstaller {

// Done, or the text that says why not and the call that failed, if any.
class [[nodiscard]] Outcome {
 public:
  Outcome() = default;  // done
  static Outcome Failed(std::string text, platform::FailedCall call = {}) {
    Outcome failed;
    failed.failure_ = std::move(text);
    failed.call_ = std::move(call);
    return failed;
  }

  bool failed() const noexcept { return !failure_.empty(); }
  const std::string& failure() const noexcept { return failure_; }
  const platform::FailedCall& call() const noexcept { return call_; }

 private:
  std::string failure_;  // never empty for a failure: every text says something
  platform::FailedCall call_;
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

// Work handed to a thread of its own while the window's thread goes on
// reading its messages. The work's thread starts with the object and is
// waited for when it goes; an error the work raised is caught where that
// thread begins (no exception may leave it) and raised again on the
// window's thread by Finish.
#pragma once

#include "platform/error.h"
#include "platform/unique_resource.h"

#include <windows.h>

#include <functional>
#include <optional>

namespace wizard {

class BackgroundWork {
 public:
  // Raises "Out of memory" (with the system's code) when no thread can be
  // started: then the work has not run.
  explicit BackgroundWork(std::function<void()> work);
  ~BackgroundWork();
  BackgroundWork(const BackgroundWork&) = delete;
  BackgroundWork& operator=(const BackgroundWork&) = delete;

  // Waits until the work has ended (true) or a message has come for this
  // thread or `milliseconds` have passed (false).
  bool EndedOrMessage(DWORD milliseconds) const noexcept;
  // Once it has ended: raises what the work raised, if anything.
  void Finish();

 private:
  static DWORD WINAPI Run(void* self) noexcept;
  void Keep(const platform::SetupError& error) noexcept;

  std::function<void()> work_;
  std::optional<platform::SetupError> error_;
  const char* failure_ = nullptr;  // an error that carried no text of ours
  platform::UniqueHandle thread_;
};

}  // namespace wizard

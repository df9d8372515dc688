#include "wizard/background_work.h"

#include "product/program_texts.h"

#include <new>

namespace wizard {

BackgroundWork::BackgroundWork(std::function<void()> work) : work_(std::move(work)) {
  thread_.reset(CreateThread(nullptr, 0, Run, this, 0, nullptr));
  if (!thread_) {
    platform::Raise(product::kOutOfMemory, platform::Win32Failure("CreateThread", GetLastError()));
  }
}

// The work ends on its own (it is never abandoned), so waiting cannot hang
// once it was told to stop.
BackgroundWork::~BackgroundWork() {
  WaitForSingleObject(thread_.get(), INFINITE);
}

bool BackgroundWork::EndedOrMessage(DWORD milliseconds) const noexcept {
  const HANDLE thread = thread_.get();
  return MsgWaitForMultipleObjects(1, &thread, FALSE, milliseconds, QS_ALLINPUT) == WAIT_OBJECT_0;
}

void BackgroundWork::Finish() {
  WaitForSingleObject(thread_.get(), INFINITE);
  if (error_) platform::Raise(error_->text(), error_->call());
  if (failure_ == product::kOutOfMemory) throw std::bad_alloc();
  if (failure_) platform::Raise(failure_);
}

DWORD WINAPI BackgroundWork::Run(void* self) noexcept {
  auto& work = *static_cast<BackgroundWork*>(self);
  try {
    work.work_();
  } catch (const platform::SetupError& error) {
    work.Keep(error);
  } catch (const std::bad_alloc&) {
    work.failure_ = product::kOutOfMemory;
  } catch (...) {
    work.failure_ = product::kUnexpectedError;
  }
  return 0;
}

// Keeping the error's text needs memory too; without it, the error is told
// as the lack of memory it then is.
void BackgroundWork::Keep(const platform::SetupError& error) noexcept {
  try {
    error_.emplace(error);
  } catch (...) {
    failure_ = product::kOutOfMemory;
  }
}

}  // namespace wizard

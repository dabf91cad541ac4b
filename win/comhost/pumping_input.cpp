#include "comhost/pumping_input.h"

#include "com/guard.h"

namespace frambolist::win {

PumpingInput::PumpingInput(std::istream& in)
    : in_(in), ready_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  // The Windows toolchains' C++ library has no std::thread (it is built on
  // Win32 threads), so the reader is a plain Win32 thread. It may be blocked
  // on a terminal when the program ends; it ends with the process.
  if (HANDLE reader = CreateThread(nullptr, 0, &ReadLines, this, 0, nullptr))
    CloseHandle(reader);
  else
    Append({}, true);
}

PumpingInput::~PumpingInput() { CloseHandle(ready_); }

DWORD WINAPI PumpingInput::ReadLines(void* self) {
  auto& input = *static_cast<PumpingInput*>(self);
  // Out of memory, the script ends where the reading stopped.
  GuardedCallback(
      [&] {
        std::string line;
        while (std::getline(input.in_, line)) input.Append(std::move(line), false);
      },
      [] {});
  input.Append({}, true);
  return 0;
}

void PumpingInput::Append(std::string line, bool ended) {
  AcquireSRWLockExclusive(&lock_);
  if (ended)
    ended_ = true;
  else
    lines_.push_back(std::move(line));
  SetEvent(ready_);
  ReleaseSRWLockExclusive(&lock_);
}

bool PumpingInput::NextLine(std::string& line) {
  while (true) {
    AcquireSRWLockExclusive(&lock_);
    const bool taken = !lines_.empty();
    if (taken) {
      line = std::move(lines_.front());
      lines_.pop_front();
      if (lines_.empty() && !ended_) ResetEvent(ready_);
    }
    const bool ended = ended_;
    ReleaseSRWLockExclusive(&lock_);
    if (taken) return true;
    if (ended) return false;
    if (MsgWaitForMultipleObjects(1, &ready_, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
          PostQuitMessage(static_cast<int>(msg.wParam));
          return false;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
  }
}

}  // namespace frambolist::win

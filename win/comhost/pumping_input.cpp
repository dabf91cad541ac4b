#include "comhost/pumping_input.h"

namespace frambolist::win {

PumpingInput::PumpingInput(std::istream& in)
    : in_(in), ready_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  reader_ = std::thread([this] {
    std::string line;
    while (std::getline(in_, line)) {
      std::lock_guard lock(mutex_);
      lines_.push_back(line);
      SetEvent(ready_);
    }
    std::lock_guard lock(mutex_);
    ended_ = true;
    SetEvent(ready_);
  });
}

PumpingInput::~PumpingInput() {
  // The reader may be blocked on a terminal; it ends with the process.
  if (reader_.joinable()) reader_.detach();
  CloseHandle(ready_);
}

bool PumpingInput::NextLine(std::string& line) {
  while (true) {
    {
      std::lock_guard lock(mutex_);
      if (!lines_.empty()) {
        line = std::move(lines_.front());
        lines_.pop_front();
        if (lines_.empty() && !ended_) ResetEvent(ready_);
        return true;
      }
      if (ended_) return false;
    }
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

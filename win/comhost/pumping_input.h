#pragma once
// Script lines read on a thread of their own, so that the host's thread
// keeps its windows alive (painting, timers, the add-in's dialogs) while it
// waits for the next line, as a host's user-interface thread must.

#include <windows.h>

#include <deque>
#include <istream>
#include <string>

namespace frambolist::win {

class PumpingInput {
 public:
  explicit PumpingInput(std::istream& in);
  ~PumpingInput();
  PumpingInput(const PumpingInput&) = delete;
  PumpingInput& operator=(const PumpingInput&) = delete;

  // The next line; false at the end. Dispatches window messages meanwhile.
  bool NextLine(std::string& line);

 private:
  std::istream& in_;
  HANDLE ready_;                 // set while lines (or the end) are waiting
  SRWLOCK lock_ = SRWLOCK_INIT;  // guards lines_ and ended_
  std::deque<std::string> lines_;
  bool ended_ = false;

  static DWORD WINAPI ReadLines(void* self);
  void Append(std::string line, bool ended);
};

}  // namespace frambolist::win

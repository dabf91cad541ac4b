#pragma once
// What the add-in puts on screen, seen from the host program: a hook on the
// host's thread notices message boxes and the add-in's form windows as they
// appear, and a hidden window of ours, reached from inside the add-in's modal
// loops, answers them: a message box is printed and closed with OK; a form
// is driven by the script's next lines until it is hidden or destroyed.

#include <windows.h>

#include "hostprog/session.h"

namespace frambolist::win {

class WindowWatch {
 public:
  explicit WindowWatch(hostprog::Session& session);
  ~WindowWatch();
  WindowWatch(const WindowWatch&) = delete;
  WindowWatch& operator=(const WindowWatch&) = delete;

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK DriverProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

  hostprog::Session& session_;
  HHOOK hook_ = nullptr;
  HWND driver_ = nullptr;
};

}  // namespace frambolist::win

#pragma once
// A top-level window standing for a simulated host's main window, active
// while the host runs, as Office's is when the user works with the toolbar:
// the owner of the add-in's modal windows.

#include <windows.h>

#include <string_view>

namespace frambolist::win {

class HostWindow {
 public:
  // "Microsoft HOST (simulated)", shown and made the active window.
  explicit HostWindow(std::string_view host);
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  HWND hwnd() const { return hwnd_; }

 private:
  HWND hwnd_ = nullptr;
};

}  // namespace frambolist::win

#include "comhost/host_window.h"

#include <string>

#include "com/strings.h"

namespace frambolist::win {

HostWindow::HostWindow(std::string_view host) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"FrambolistSimulatedHost";
  RegisterClassW(&wc);  // once a process; later calls fail harmlessly
  const std::wstring title = L"Microsoft " + Widen(host) + L" (simulated)";
  hwnd_ = CreateWindowExW(0, wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                          0, 800, 600, nullptr, nullptr, wc.hInstance, nullptr);
  SetForegroundWindow(hwnd_);
  SetActiveWindow(hwnd_);
}

HostWindow::~HostWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
}

}  // namespace frambolist::win

#include "ui/win32_dialogs.h"

#include <algorithm>
#include <iterator>

#include "forms/form.h"
#include "ui/form_window.h"
#include "ui/modal_owner.h"

namespace frambolist::win {

namespace {

// Office calls add-ins in system-aware mode; a dialog that creates its own
// windows says so for its lifetime and restores the host's setting after.
// The call exists from Windows 10 1607, so it is looked up at run time.
class SystemDpiAwareness {
 public:
  SystemDpiAwareness() {
    using Set = HANDLE(WINAPI*)(HANDLE);
    if (HMODULE user32 = GetModuleHandleW(L"user32.dll")) {
      set_ = reinterpret_cast<Set>(
          reinterpret_cast<void*>(GetProcAddress(user32, "SetThreadDpiAwarenessContext")));
    }
    if (set_) previous_ = set_(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-2)));  // system aware
  }
  ~SystemDpiAwareness() {
    if (set_ && previous_) set_(previous_);
  }
  SystemDpiAwareness(const SystemDpiAwareness&) = delete;
  SystemDpiAwareness& operator=(const SystemDpiAwareness&) = delete;

 private:
  HANDLE(WINAPI* set_)(HANDLE) = nullptr;
  HANDLE previous_ = nullptr;
};

}  // namespace

Win32Dialogs::Win32Dialogs(HINSTANCE instance) : instance_(instance) {}
Win32Dialogs::~Win32Dialogs() = default;

void Win32Dialogs::ShowModal(forms::Form& form) {
  // Shown already, further out on the stack: that showing goes on, and
  // nothing here may replace or destroy the window its loop runs on.
  if (std::find(in_loop_.begin(), in_loop_.end(), &form) != in_loop_.end()) return;
  SystemDpiAwareness dpi_awareness;
  const HWND owner = ModalOwner();
  auto& window = windows_[&form];
  if (!window || !window->alive()) window = std::make_unique<FormWindow>(instance_, form);
  if (!window->alive()) return;  // the window could not be made: nothing to wait for

  in_loop_.push_back(&form);
  HWND previous = current_;
  current_ = window->hwnd();
  {
    ThreadWindowsDisabled host_windows(window->hwnd());
    window->Sync();
    window->ShowOver(owner, [&host_windows] { host_windows.EnableAgain(); });
    window->RunModalLoop();
  }
  current_ = previous;
  in_loop_.pop_back();  // loops end in the reverse order of their start
  if (!window->alive()) windows_.erase(&form);
}

bool Win32Dialogs::ReleaseWindowsForUnload() {
  if (!in_loop_.empty()) return false;
  for (auto it = windows_.begin(); it != windows_.end();) {
    it = it->second->Destroy() ? windows_.erase(it) : std::next(it);
  }
  if (!windows_.empty()) return false;
  UnregisterFormClasses(instance_);
  return true;
}

}  // namespace frambolist::win

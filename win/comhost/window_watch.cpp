#include "comhost/window_watch.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>
#include <iostream>
#include <string>

#include "com/guard.h"
#include "com/strings.h"
#include "forms/frm_options.h"
#include "forms/frm_splash.h"
#include "ui/win32_dialogs.h"

namespace frambolist::win {

namespace {

constexpr UINT kMessageBoxShown = WM_APP + 1;
constexpr UINT kFormShown = WM_APP + 2;
// The next script line for the dialog shown last, once its modal loop has
// taken the keys that the line before sent.
constexpr UINT kNextDialogLine = WM_APP + 3;
constexpr int kMessageBoxTextId = 0xFFFF;

WindowWatch* active = nullptr;
HWND driver_window = nullptr;

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[128] = {};
  const int n = GetClassNameW(hwnd, name, 128);
  return std::wstring(name, static_cast<size_t>(n > 0 ? n : 0));
}

std::wstring TextOf(HWND hwnd) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

bool IsFormWindow(HWND hwnd) { return ClassOf(hwnd).rfind(kFormClassPrefix, 0) == 0; }

// The design of the add-in's form of that name; a form this program does not
// know is a script error, not another form's design.
forms::FormDesign DesignOf(const std::string& form) {
  if (form == "frmSplash") return forms::SplashDesign();
  if (form == "frmOptions") return forms::OptionsDesign();
  throw hostprog::ScriptError("the add-in shows a form this program does not know: " + form);
}

// An add-in form on screen, driven through its real window.
class Win32Dialog final : public hostprog::ShownDialog {
 public:
  explicit Win32Dialog(HWND hwnd)
      : hwnd_(hwnd),
        name_(Narrow(ClassOf(hwnd).substr(std::wcslen(kFormClassPrefix)))),
        design_(DesignOf(name_)) {
    HDC screen = GetDC(nullptr);
    dpi_ = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
  }
  std::string Name() const override { return name_; }
  bool Loaded() const override { return IsWindow(hwnd_); }
  bool Visible() const override { return IsWindow(hwnd_) && IsWindowVisible(hwnd_); }
  bool HasControl(const std::string& name, int index) const override {
    return Control(name, index) != nullptr;
  }

  // A click as a user makes it: buttons take BM_CLICK, labels and the image
  // a mouse click, a frame a click on a bare part of it.
  void Click(const std::string& name, int index) override {
    const forms::ControlDesign* design = Design(name, index);
    HWND control = Control(name, index);
    if (!design || !control) return;
    switch (design->kind) {
      case forms::ControlKind::CommandButton:
      case forms::ControlKind::OptionButton:
        SendMessageW(control, BM_CLICK, 0, 0);
        break;
      case forms::ControlKind::Label:
      case forms::ControlKind::Image:
        SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
        if (IsWindow(control)) SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
        break;
      case forms::ControlKind::Frame: {
        RECT r;
        GetWindowRect(control, &r);
        POINT p{r.left + 3, r.bottom - 3};
        ScreenToClient(hwnd_, &p);
        SendMessageW(hwnd_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        if (IsWindow(hwnd_)) SendMessageW(hwnd_, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
        break;
      }
    }
  }
  // A key as the keyboard sends it: down and up to the window with the
  // focus, through the dialog's own modal loop (which translates it, gives
  // it to the dialog manager or previews it) before the next line runs.
  void Key(int char_code) override {
    HWND focus = GetFocus();
    if (!focus || (focus != hwnd_ && !IsChild(hwnd_, focus))) focus = hwnd_;
    UINT key = 0;
    switch (char_code) {
      case 13:
        key = VK_RETURN;
        break;
      case 27:
        key = VK_ESCAPE;
        break;
      case 32:
        key = VK_SPACE;
        break;
      default:
        key = LOBYTE(VkKeyScanW(static_cast<wchar_t>(char_code)));
    }
    const UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
    PostMessageW(focus, WM_KEYDOWN, key, static_cast<LPARAM>(1 | (scan << 16)));
    PostMessageW(focus, WM_KEYUP, key,
                 static_cast<LPARAM>(1 | (scan << 16) | (1u << 30) | (1u << 31)));
  }
  void Close() override { SendMessageW(hwnd_, WM_SYSCOMMAND, SC_CLOSE, 0); }

  std::optional<host::Value> Property(const std::string& name, int index,
                                      const std::string& property) const override {
    const forms::ControlDesign* design = Design(name, index);
    HWND control = Control(name, index);
    if (!design || !control) return std::nullopt;
    if (property == "Caption") return host::Value(Narrow(TextOf(control)));
    if (property == "Value" && design->kind == forms::ControlKind::OptionButton) {
      return host::Value(SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED);
    }
    // Positions in twips inside the container, read back from the window.
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, hwnd_, reinterpret_cast<POINT*>(&r), 2);
    if (!design->container.empty()) {
      RECT frame;
      GetWindowRect(Control(design->container, -1), &frame);
      MapWindowPoints(HWND_DESKTOP, hwnd_, reinterpret_cast<POINT*>(&frame), 2);
      OffsetRect(&r, -frame.left, -frame.top);
    }
    auto twips = [&](LONG pixels) {
      return host::Value(static_cast<int32_t>(MulDiv(pixels, 1440, dpi_)));
    };
    if (property == "Left") return twips(r.left);
    if (property == "Top") return twips(r.top);
    if (property == "Width") return twips(r.right - r.left);
    if (property == "Height") return twips(r.bottom - r.top);
    return std::nullopt;
  }

 private:
  const forms::ControlDesign* Design(const std::string& name, int index) const {
    for (const auto& c : design_.controls) {
      if (c.name == name && c.index == index) return &c;
    }
    return nullptr;
  }
  HWND Control(const std::string& name, int index) const {
    const forms::ControlDesign* c = Design(name, index);
    if (!c || !IsWindow(hwnd_)) return nullptr;
    return GetDlgItem(hwnd_, kFirstControlId + static_cast<int>(c - design_.controls.data()));
  }

  HWND hwnd_;
  std::string name_;
  forms::FormDesign design_;
  int dpi_ = 96;
};

}  // namespace

WindowWatch::WindowWatch(hostprog::Session& session) : session_(session) {
  active = this;
  session_.OnDialogGone([this] {
    dialogs_.pop_back();
    CheckHostEnabled("after a dialog");
  });
  WNDCLASSW wc{};
  wc.lpfnWndProc = &WindowWatch::DriverProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"FrambolistHostDriver";
  RegisterClassW(&wc);
  driver_ = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            wc.hInstance, nullptr);
  driver_window = driver_;
  hook_ = SetWindowsHookExW(WH_CALLWNDPROCRET, &WindowWatch::Hook, nullptr, GetCurrentThreadId());
}

WindowWatch::~WindowWatch() {
  session_.OnDialogGone(nullptr);
  if (hook_) UnhookWindowsHookEx(hook_);
  if (driver_) DestroyWindow(driver_);
  active = nullptr;
  driver_window = nullptr;
}

LRESULT CALLBACK WindowWatch::Hook(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HC_ACTION && driver_window) {
    GuardedCallback(
        [&] {
          const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lparam);
          if (call->message == WM_INITDIALOG && ClassOf(call->hwnd) == L"#32770" &&
              GetDlgItem(call->hwnd, kMessageBoxTextId)) {
            PostMessageW(driver_window, kMessageBoxShown, reinterpret_cast<WPARAM>(call->hwnd), 0);
          } else if (call->message == WM_SHOWWINDOW && call->wParam && IsFormWindow(call->hwnd)) {
            PostMessageW(driver_window, kFormShown, reinterpret_cast<WPARAM>(call->hwnd), 0);
          }
        },
        [] {});
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

// A modal window stands over the host when its owner chain ends at the
// host's window: owned by it directly, or by one of our dialogs that is (a
// message box over the About box, say). Every window of the chain is
// disabled while it is up, and must be enabled again once it is gone.
void WindowWatch::CheckModal(HWND shown, const char* what) {
  if (!host_window_ || !IsWindow(host_window_)) return;
  std::vector<HWND> chain;
  for (HWND owner = GetWindow(shown, GW_OWNER); owner; owner = GetWindow(owner, GW_OWNER)) {
    chain.push_back(owner);
    if (owner == host_window_) break;
  }
  if (chain.empty() || chain.back() != host_window_) {
    std::cerr << "modal fault: " << what << " is not owned by the host's window\n";
    ++modal_faults_;
  }
  if (IsWindowEnabled(host_window_)) {
    std::cerr << "modal fault: the host's window is enabled while " << what << " is up\n";
    ++modal_faults_;
  }
  for (HWND owner : chain) {
    if (std::find(owners_to_enable_.begin(), owners_to_enable_.end(), owner) ==
        owners_to_enable_.end())
      owners_to_enable_.push_back(owner);
  }
}

void WindowWatch::CheckHostEnabled(const char* when) {
  const bool dialog_up = !dialogs_.empty();
  if (host_window_ && IsWindow(host_window_) && IsWindowEnabled(host_window_) == dialog_up) {
    std::cerr << "modal fault: the host's window is "
              << (dialog_up ? "enabled while a dialog is still up " : "still disabled ") << when
              << "\n";
    ++modal_faults_;
  }
  // Our dialogs that owned a nested window: enabled again (or gone).
  for (HWND owner : std::exchange(owners_to_enable_, {})) {
    if (owner != host_window_ && IsWindow(owner) && !IsWindowEnabled(owner)) {
      std::cerr << "modal fault: a dialog that owned a nested window is still disabled " << when
                << "\n";
      ++modal_faults_;
    }
  }
}

// A dialog takes the script's lines one a message: between two lines the
// dialog's own modal loop runs, and takes the keys a line sent.
void WindowWatch::NextDialogLine(WPARAM dialog) {
  // A line for a dialog that has gone meanwhile (its modal loop closed it)
  // is no line for the one under it.
  if (dialogs_.empty() || reinterpret_cast<WPARAM>(dialogs_.back().get()) != dialog) return;
  MSG pending;
  if (PeekMessageW(&pending, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE) ||
      session_.StepDialog())
    PostMessageW(driver_, kNextDialogLine, dialog, 0);  // after the keys, and what they bring
}

LRESULT CALLBACK WindowWatch::DriverProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (!active ||
      (message != kMessageBoxShown && message != kFormShown && message != kNextDialogLine)) {
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }
  HWND shown = reinterpret_cast<HWND>(wparam);
  if (message != kNextDialogLine && !IsWindow(shown)) return 0;
  // We are inside the add-in's modal loop: no exception may cross it, so a
  // script error ends the run here, and any other failure too.
  return GuardedCallback(
      [&]() -> LRESULT {
        try {
          if (message == kNextDialogLine) {
            active->NextDialogLine(wparam);
            return 0;
          }
          active->CheckModal(shown, message == kMessageBoxShown ? "a message box" : "a dialog");
          if (message == kMessageBoxShown) {
            active->session_.out()
                << "message: " << Narrow(TextOf(GetDlgItem(shown, kMessageBoxTextId))) << "\n";
            PostMessageW(shown, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(shown, IDOK)));
            return 0;
          }
          active->dialogs_.push_back(std::make_unique<Win32Dialog>(shown));
          active->session_.BeginDialog(*active->dialogs_.back());
          active->NextDialogLine(reinterpret_cast<WPARAM>(active->dialogs_.back().get()));
        } catch (const hostprog::ScriptError& e) {
          active->session_.ReportScriptError(e, std::cerr);
          std::_Exit(2);
        }
        return 0;
      },
      []() -> LRESULT {
        std::cerr << "error: the host program failed while a window of the add-in was up\n";
        std::_Exit(2);
      });
}

}  // namespace frambolist::win

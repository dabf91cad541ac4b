#include "ui/form_window.h"

#include <olectl.h>

#include <utility>

#include "com/guard.h"
#include "com/strings.h"
#include "ui/modal_owner.h"
#include "com/owned.h"
#include "ui/win32_dialogs.h"

namespace frambolist::win {

namespace {

using forms::ControlKind;

std::wstring ClassName(const forms::Form& form) { return kFormClassPrefix + Widen(form.name()); }

// The classes registered, for UnregisterFormClasses.
std::vector<std::wstring>& RegisteredClasses() {
  static std::vector<std::wstring> names;
  return names;
}

void RegisterFormClass(HINSTANCE instance, const std::wstring& name, WNDPROC proc) {
  WNDCLASSEXW existing = {};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(instance, name.c_str(), &existing)) return;
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = name.c_str();
  wc.hIcon = static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
  wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), 0));
  if (RegisterClassExW(&wc)) RegisteredClasses().push_back(name);
}

// The logo, decoded by OLE from the GIF in the library's resources.
ComPtr<IPicture> LoadLogo(HINSTANCE instance) {
  ComPtr<IPicture> picture;
  HRSRC found =
      FindResourceW(instance, MAKEINTRESOURCEW(kLogoResource), MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (!found) return picture;
  const DWORD size = SizeofResource(instance, found);
  const void* bytes = LockResource(LoadResource(instance, found));
  if (!bytes || size == 0) return picture;
  OwnedGlobalMemory copy(GlobalAlloc(GMEM_MOVEABLE, size));
  if (!copy) return picture;
  if (void* target = GlobalLock(copy.get())) {
    memcpy(target, bytes, size);
    GlobalUnlock(copy.get());
  }
  ComPtr<IStream> stream;
  if (FAILED(CreateStreamOnHGlobal(copy.get(), TRUE, stream.Receive()))) return picture;
  copy.Release();  // the stream frees it now
  OleLoadPicture(stream.get(), static_cast<LONG>(size), FALSE, IID_PPV_ARGS(picture.Receive()));
  return picture;
}

const wchar_t* WindowClassOf(ControlKind kind) {
  return kind == ControlKind::Label || kind == ControlKind::Image ? L"STATIC" : L"BUTTON";
}

DWORD StyleOf(const forms::ControlDesign& c, bool first_in_group) {
  DWORD style = WS_CHILD | WS_VISIBLE;
  switch (c.kind) {
    case ControlKind::CommandButton:
      return style | WS_TABSTOP | BS_PUSHBUTTON;
    case ControlKind::Frame:
      return style | BS_GROUPBOX;
    // Not automatic: the form decides which option is selected.
    case ControlKind::OptionButton:
      return style | WS_TABSTOP | BS_RADIOBUTTON | (first_in_group ? WS_GROUP : 0);
    case ControlKind::Label:
      return style | SS_LEFT | SS_NOTIFY;
    case ControlKind::Image:
      return style | SS_OWNERDRAW | SS_NOTIFY;
  }
  return style;
}

}  // namespace

void UnregisterFormClasses(HINSTANCE instance) {
  for (const std::wstring& name : std::exchange(RegisteredClasses(), {}))
    UnregisterClassW(name.c_str(), instance);
}

FormWindow::FormWindow(HINSTANCE instance, forms::Form& form) : instance_(instance), form_(form) {
  HDC screen = GetDC(nullptr);
  dpi_ = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  if (dpi_ <= 0) dpi_ = 96;

  const std::wstring class_name = ClassName(form);
  RegisterFormClass(instance, class_name, &FormWindow::Proc);
  const forms::FormDesign& design = form.design();
  const bool tool_window = design.border == forms::BorderStyle::FixedToolWindow;
  const DWORD style =
      WS_POPUP | WS_CLIPSIBLINGS | (tool_window ? WS_CAPTION | WS_SYSMENU : WS_DLGFRAME);
  const DWORD ex_style = WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME;  // kept out of the taskbar
  RECT frame{0, 0, Pixels(design.client_width), Pixels(design.client_height)};
  AdjustWindowRectEx(&frame, style, FALSE, ex_style);
  const std::wstring caption = Widen(design.caption);
  CreateWindowExW(ex_style, class_name.c_str(), caption.c_str(), style, 0, 0,
                  frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance,
                  this);
  if (!hwnd_) return;
  // The window points back at this object: it must not outlive a throw.
  try {
    dialog_font_ = OwnedFont(CreateFontW(
        -MulDiv(8, dpi_, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"MS Shell Dlg"));
    CreateControls();
  } catch (...) {
    DestroyWindow(hwnd_);
    throw;
  }
}

// The window goes before the fonts its controls use.
FormWindow::~FormWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
}

RECT FormWindow::PixelRect(const forms::ControlDesign& c) const {
  int left = c.rect.left, top = c.rect.top;
  if (!c.container.empty()) {
    if (const forms::ControlDesign* frame = form_.FindControl(c.container)) {
      left += frame->rect.left;
      top += frame->rect.top;
    }
  }
  return RECT{Pixels(left), Pixels(top), Pixels(left + c.rect.width), Pixels(top + c.rect.height)};
}

void FormWindow::CreateControls() {
  const auto& controls = form_.design().controls;
  for (size_t i = 0; i < controls.size(); ++i) {
    const forms::ControlDesign& c = controls[i];
    const bool first_in_group = c.kind == ControlKind::OptionButton &&
                                (i == 0 || controls[i - 1].kind != ControlKind::OptionButton);
    const RECT r = PixelRect(c);
    HWND control = CreateWindowExW(
        0, WindowClassOf(c.kind), Widen(form_.Caption(c.name, c.index)).c_str(),
        StyleOf(c, first_in_group), r.left, r.top, r.right - r.left, r.bottom - r.top, hwnd_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + i)), instance_, nullptr);
    HFONT font = dialog_font_.get();
    if (c.font) {
      const std::wstring face = Widen(c.font->name);
      OwnedFont design_font(CreateFontW(-MulDiv(c.font->points, dpi_, 72), 0, 0, 0, c.font->weight,
                                        FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                                        face.c_str()));
      font = design_font.get();
      design_fonts_.push_back(std::move(design_font));
    }
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (c.kind == ControlKind::Image && !logo_) logo_ = LoadLogo(instance_);
    controls_.push_back(control);
  }
}

void FormWindow::ShowOver(HWND owner, std::function<void()> before_hide) {
  before_hide_ = std::move(before_hide);
  // A popup's parent is its owner: it stays above the host and goes with it.
  SetWindowLongPtrW(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
  CentreOnOwnerMonitor(hwnd_, owner);
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  if (HWND first = GetNextDlgTabItem(hwnd_, nullptr, FALSE)) SetFocus(first);
  FollowFocusWithDefaultButton();
}

void FormWindow::FollowFocusWithDefaultButton() {
  HWND focus = GetFocus();
  const auto& controls = form_.design().controls;
  HWND wanted = nullptr;
  for (size_t i = 0; i < controls.size() && i < controls_.size(); ++i) {
    if (controls_[i] == focus && controls[i].kind == ControlKind::CommandButton) wanted = focus;
  }
  if (wanted == default_button_) return;
  // IsDialogMessage sends Enter to the focused button that carries the
  // default style (DLGC_DEFPUSHBUTTON).
  if (default_button_ && IsWindow(default_button_))
    SendMessageW(default_button_, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  if (wanted) SendMessageW(wanted, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  default_button_ = wanted;
}

void FormWindow::Sync() {
  if (!hwnd_) return;
  const auto& controls = form_.design().controls;
  for (size_t i = 0; i < controls.size() && i < controls_.size(); ++i) {
    if (controls[i].kind == ControlKind::OptionButton) {
      const bool on = form_.OptionValue(controls[i].name, controls[i].index);
      SendMessageW(controls_[i], BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    }
  }
  const bool going = !form_.loaded() || (!form_.visible() && IsWindowVisible(hwnd_));
  // The host's windows first, so that the activation returns to them.
  if (going && before_hide_) std::exchange(before_hide_, nullptr)();
  if (!form_.loaded()) {
    DestroyWindow(hwnd_);
  } else if (!form_.visible() && IsWindowVisible(hwnd_)) {
    ShowWindow(hwnd_, SW_HIDE);
  }
}

void FormWindow::RunModalLoop() {
  const bool key_preview = form_.design().key_preview;
  MSG msg;
  while (hwnd_ && form_.visible()) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // the host's own loop must see it too
      break;
    }
    if (got == -1) break;
    const bool ours = msg.hwnd == hwnd_ || IsChild(hwnd_, msg.hwnd);
    if (key_preview && ours && msg.message == WM_KEYDOWN) {
      TranslateMessage(&msg);  // the character follows as WM_CHAR
      continue;
    }
    if (key_preview && ours && msg.message == WM_CHAR) {
      form_.UserKeyPress(static_cast<int>(msg.wParam));
      Sync();
      continue;
    }
    if (!IsDialogMessageW(hwnd_, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    // Tab, the arrows or a click may have moved the focus.
    if (hwnd_) FollowFocusWithDefaultButton();
  }
  // A form hidden or unloaded by something other than its own events (the
  // window destroyed from outside) ends the showing too.
  if (!hwnd_ && form_.visible()) form_.Hide();
}

void FormWindow::ClickAt(POINT p) {
  // Frames let clicks through to the form; one on a bare part of a frame is
  // the frame's click.
  for (const forms::ControlDesign& c : form_.design().controls) {
    if (c.kind != ControlKind::Frame) continue;
    const RECT r = PixelRect(c);
    if (PtInRect(&r, p)) {
      form_.UserClick(c.name, c.index);
      Sync();
      return;
    }
  }
}

void FormWindow::DrawLogo(const DRAWITEMSTRUCT& item) {
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
  if (!logo_) return;
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  logo_->get_Width(&width);
  logo_->get_Height(&height);
  logo_->Render(item.hDC, item.rcItem.left, item.rcItem.top, item.rcItem.right - item.rcItem.left,
                item.rcItem.bottom - item.rcItem.top, 0, height, width, -height, &item.rcItem);
}

LRESULT CALLBACK FormWindow::Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  return GuardedCallback(
      [&]() -> LRESULT {
        if (message == WM_NCCREATE) {
          auto* self =
              static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
          self->hwnd_ = hwnd;
          SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
        auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (!self) return DefWindowProcW(hwnd, message, wparam, lparam);
        if (message == WM_NCDESTROY) {
          SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
          self->hwnd_ = nullptr;
          self->controls_.clear();
          self->default_button_ = nullptr;
          return DefWindowProcW(hwnd, message, wparam, lparam);
        }
        return self->Handle(message, wparam, lparam);
      },
      [&] { return DefWindowProcW(hwnd, message, wparam, lparam); });
}

LRESULT FormWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wparam);
      const auto& controls = form_.design().controls;
      // BN_CLICKED and STN_CLICKED; IDOK and IDCANCEL (Enter, Esc) mean nothing here.
      if (HIWORD(wparam) == BN_CLICKED && id >= kFirstControlId &&
          id < kFirstControlId + static_cast<int>(controls.size())) {
        const forms::ControlDesign& c = controls[static_cast<size_t>(id - kFirstControlId)];
        form_.UserClick(c.name, c.index);
        Sync();
      }
      return 0;
    }
    case WM_NEXTDLGCTL: {  // Tab and Shift+Tab, from IsDialogMessage
      HWND target = LOWORD(lparam) ? reinterpret_cast<HWND>(wparam)
                                   : GetNextDlgTabItem(hwnd_, GetFocus(), wparam != 0);
      if (target) SetFocus(target);
      FollowFocusWithDefaultButton();
      return 0;
    }
    case WM_LBUTTONUP:
      ClickAt(POINT{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))});
      return 0;
    case WM_CHAR:  // a key that reaches the form itself (no control has the focus)
      if (form_.design().key_preview) {
        form_.UserKeyPress(static_cast<int>(wparam));
        Sync();
      }
      return 0;
    case WM_CLOSE:  // the window's close command: the Closed state
      form_.UserCloseCommand();
      Sync();
      return 0;
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wparam);
      const auto& controls = form_.design().controls;
      for (size_t i = 0; i < controls_.size(); ++i) {
        const auto& color = controls[i].fore_color;
        if (controls_[i] == reinterpret_cast<HWND>(lparam) && color.has_value())
          SetTextColor(dc, static_cast<COLORREF>(*color));
      }
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_DRAWITEM:
      DrawLogo(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
      return TRUE;
    default:
      return DefWindowProcW(hwnd_, message, wparam, lparam);
  }
}

}  // namespace frambolist::win

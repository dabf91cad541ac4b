#pragma once
// One form's window: its controls at the design's positions converted from
// twips (a twip is dpi/1440 pixels), the design's fonts and colours, and the
// user's clicks, keys and close command handed to the form.

#include <windows.h>
#include <ocidl.h>

#include <functional>
#include <vector>

#include "com/com_ptr.h"
#include "forms/form.h"
#include "com/owned.h"

namespace frambolist::win {

// Unregisters the window classes of every form this library registered.
void UnregisterFormClasses(HINSTANCE instance);

class FormWindow {
 public:
  FormWindow(HINSTANCE instance, forms::Form& form);
  ~FormWindow();
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;

  HWND hwnd() const { return hwnd_; }
  bool alive() const { return hwnd_ != nullptr; }
  // Destroys the window now; false when it could not be (a window of
  // another thread).
  bool Destroy() { return !hwnd_ || (DestroyWindow(hwnd_) && !hwnd_); }
  // Shows the window owned by `owner` and centred on its monitor;
  // `before_hide` runs when the form hides or unloads, before the window goes.
  void ShowOver(HWND owner, std::function<void()> before_hide);
  // Brings the window in line with the form: option checks, then hidden or
  // destroyed as the form is.
  void Sync();
  // Runs until the form is hidden or unloaded.
  void RunModalLoop();

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
  void CreateControls();
  RECT PixelRect(const forms::ControlDesign& control) const;
  int Pixels(int twips) const { return MulDiv(twips, dpi_, 1440); }
  void ClickAt(POINT client_point);
  void DrawLogo(const DRAWITEMSTRUCT& item);
  // The focused command button is the default one, as on a Visual Basic
  // form: Enter chooses it. With the focus elsewhere there is none, and Enter
  // means nothing of its own.
  void FollowFocusWithDefaultButton();

  HINSTANCE instance_;
  forms::Form& form_;
  HWND hwnd_ = nullptr;
  int dpi_ = 96;
  OwnedFont dialog_font_;
  std::vector<OwnedFont> design_fonts_;
  std::vector<HWND> controls_;  // in design order
  ComPtr<IPicture> logo_;
  std::function<void()> before_hide_;
  HWND default_button_ = nullptr;
};

}  // namespace frambolist::win

#pragma once
// A dialog of the add-in as its design describes it (controls, positions in
// twips, captions, fonts), with the load, show, hide and unload life of a
// Visual Basic form. The form logic is platform-independent; a DialogToolkit
// draws it and runs its modal loop, reporting the user's clicks, keys and the
// window's close command back here.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace frambolist::forms {

enum class ControlKind { CommandButton, Frame, OptionButton, Label, Image };

struct Twips {
  int left, top, width, height;
};

struct FontDesign {
  std::string name;
  int points;
  int weight;  // 700 is bold
};

struct ControlDesign {
  std::string name{};
  int index = -1;  // position in a control array (Option1(2)); -1 for none
  ControlKind kind = ControlKind::Label;
  std::string caption{};
  Twips rect{};  // inside its container
  int tab_order = -1;
  std::string container{};  // the frame that holds it; empty for the form
  std::optional<FontDesign> font{};
  std::optional<uint32_t> fore_color{};  // 0x00BBGGRR
  bool value = false;                    // option buttons: selected in the design

  std::string DisplayName() const {
    return index < 0 ? name : name + "(" + std::to_string(index) + ")";
  }
};

enum class BorderStyle { FixedToolWindow, FixedDialog };

struct FormDesign {
  std::string name;
  std::string caption;
  int client_width, client_height;  // twips
  BorderStyle border;
  bool key_preview;  // the form sees key presses before its controls
  std::vector<ControlDesign> controls;
};

class Form {
 public:
  explicit Form(FormDesign design) : design_(std::move(design)) {}
  virtual ~Form() = default;
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const FormDesign& design() const { return design_; }
  const std::string& name() const { return design_.name; }
  bool loaded() const { return loaded_; }
  bool visible() const { return visible_; }

  // Loads the form if it is not loaded (running Form_Load), shows it modally
  // over the host's window, and returns once it is hidden or unloaded; at
  // once if it is shown already.
  void ShowModal(platform::Platform& platform);
  void Hide() { visible_ = false; }
  // Unloading ends the showing and forgets every control's state; the next
  // load starts again from the design.
  void Unload();

  // The user's actions, as the toolkit reports them. A click moves the
  // keyboard's focus to a button it clicks. A key goes to the form where it
  // previews keys; otherwise to the control with the focus, as the Win32
  // dialog manager gives it: Enter and Space choose a focused command
  // button, Space selects a focused option button, and Enter there (no
  // default button to choose) does nothing.
  void UserClick(std::string_view control, int index = -1);
  void UserKeyPress(int char_code);
  void UserCloseCommand() { Unload(); }
  // The control with the keyboard's focus: at each showing, the first
  // button in tab order.
  const ControlDesign* Focus() const;

  // Control state as a user sees it now.
  const ControlDesign* FindControl(std::string_view name, int index = -1) const;
  bool OptionValue(std::string_view name, int index) const;
  const std::string& Caption(std::string_view name, int index) const;

 protected:
  virtual void Form_Load() {}
  virtual void OnClick(std::string_view /*control*/, int /*index*/) {}
  virtual void Form_KeyPress(int /*char_code*/) {}
  platform::Platform& platform() { return *platform_; }

 private:
  struct ControlState {
    std::string caption;
    bool value;
  };
  void Load();
  size_t IndexOf(const ControlDesign& control) const {
    return static_cast<size_t>(&control - design_.controls.data());
  }

  FormDesign design_;
  std::optional<size_t> focus_;  // into design_.controls
  bool loaded_ = false;
  bool visible_ = false;
  std::vector<ControlState> state_;
  platform::Platform* platform_ = nullptr;
};

}  // namespace frambolist::forms

#include "forms/form.h"

namespace frambolist::forms {

namespace {
// The controls that the keyboard's focus reaches (Tab, a click).
bool TakesFocus(const ControlDesign& c) {
  return c.kind == ControlKind::CommandButton || c.kind == ControlKind::OptionButton;
}
}  // namespace

void Form::Load() {
  state_.clear();
  for (const ControlDesign& c : design_.controls) state_.push_back({c.caption, c.value});
  loaded_ = true;
  Form_Load();
}

void Form::ShowModal(platform::Platform& platform) {
  // Shown already, by a showing further out (the host delivered a second
  // click while the dialog is up): as in Visual Basic, nothing new is shown,
  // and the showing under way goes on until the form hides or unloads.
  if (visible_) return;
  platform_ = &platform;
  if (!loaded_) Load();
  visible_ = true;
  // The focus starts on the first control that takes it, in tab order.
  focus_.reset();
  for (const ControlDesign& c : design_.controls) {
    if (!TakesFocus(c) || c.tab_order < 0) continue;
    if (!focus_ || c.tab_order < design_.controls[*focus_].tab_order) focus_ = IndexOf(c);
  }
  platform.dialogs.ShowModal(*this);
  // A toolkit that returns early (its window destroyed under it) leaves the
  // form hidden rather than claiming it is still on screen.
  visible_ = false;
}

void Form::Unload() {
  loaded_ = false;
  visible_ = false;
}

const ControlDesign* Form::FindControl(std::string_view name, int index) const {
  for (const ControlDesign& c : design_.controls) {
    if (c.name == name && c.index == index) return &c;
  }
  return nullptr;
}

bool Form::OptionValue(std::string_view name, int index) const {
  const ControlDesign* c = FindControl(name, index);
  if (!c) return false;
  return loaded_ ? state_[IndexOf(*c)].value : c->value;
}

const std::string& Form::Caption(std::string_view name, int index) const {
  static const std::string none;
  const ControlDesign* c = FindControl(name, index);
  if (!c) return none;
  return loaded_ ? state_[IndexOf(*c)].caption : c->caption;
}

const ControlDesign* Form::Focus() const { return focus_ ? &design_.controls[*focus_] : nullptr; }

void Form::UserClick(std::string_view control, int index) {
  const ControlDesign* c = FindControl(control, index);
  if (!c || !loaded_) return;
  if (TakesFocus(*c)) focus_ = IndexOf(*c);
  if (c->kind == ControlKind::OptionButton) {
    // Option buttons in one container are one group. Click comes only when
    // an option becomes selected, by mouse or keyboard.
    if (state_[IndexOf(*c)].value) return;
    for (const ControlDesign& other : design_.controls) {
      if (other.kind == ControlKind::OptionButton && other.container == c->container) {
        state_[IndexOf(other)].value = &other == c;
      }
    }
  }
  OnClick(control, index);
}

void Form::UserKeyPress(int char_code) {
  if (!loaded_) return;
  if (design_.key_preview) {
    Form_KeyPress(char_code);
    return;
  }
  constexpr int kEnter = 13, kSpace = 32;
  const ControlDesign* focus = Focus();
  if (!focus) return;
  const bool chooses = (char_code == kEnter && focus->kind == ControlKind::CommandButton) ||
                       (char_code == kSpace && TakesFocus(*focus));
  if (chooses) UserClick(focus->name, focus->index);
}

}  // namespace frambolist::forms

// The platform as the script sees it: message boxes and opened pages are
// printed, and a dialog takes the script's lines until it is closed.

#include "hostprog/session.h"

#include <iostream>
#include <utility>

#include "hostprog/words.h"

namespace frambolist::hostprog {

using host::Value;

void Session::Show(std::string_view text) {
  out_ << "message: " << text << "\n";
  if (inside_message_box_) inside_message_box_(*this);
}

void Session::OpenPage(std::string_view address) { out_ << "open " << address << "\n"; }

namespace {

// A form of the add-in, driven directly (no window in between).
class FormDialog final : public ShownDialog {
 public:
  explicit FormDialog(forms::Form& form) : form_(form) {}
  std::string Name() const override { return form_.name(); }
  bool Visible() const override { return form_.visible(); }
  bool Loaded() const override { return form_.loaded(); }
  bool HasControl(const std::string& name, int index) const override {
    return form_.FindControl(name, index);
  }
  void Click(const std::string& name, int index) override { form_.UserClick(name, index); }
  void Key(int char_code) override { form_.UserKeyPress(char_code); }
  void Close() override { form_.UserCloseCommand(); }
  std::optional<Value> Property(const std::string& name, int index,
                                const std::string& property) const override {
    const forms::ControlDesign* c = form_.FindControl(name, index);
    if (!c) return std::nullopt;
    if (property == "Caption") return Value(form_.Caption(name, index));
    if (property == "Value" && c->kind == forms::ControlKind::OptionButton)
      return Value(form_.OptionValue(name, index));
    if (property == "Left") return Value(int32_t{c->rect.left});
    if (property == "Top") return Value(int32_t{c->rect.top});
    if (property == "Width") return Value(int32_t{c->rect.width});
    if (property == "Height") return Value(int32_t{c->rect.height});
    return std::nullopt;
  }

 private:
  forms::Form& form_;
};

}  // namespace

void Session::ShowModal(forms::Form& form) {
  FormDialog dialog(form);
  RunDialog(dialog);
}

void Session::RunDialog(ShownDialog& dialog) {
  BeginDialog(dialog);
  while (StepDialog()) {
  }
}

void Session::BeginDialog(ShownDialog& dialog) {
  out_ << "show " << dialog.Name() << "\n";
  // The script's lines go to this dialog until it goes, then to the one
  // that was up before it, if any.
  shown_dialogs_.push_back(dialog_);
  dialog_ = &dialog;
}

bool Session::StepDialog() {
  ShownDialog* const stepped = dialog_;
  if (stepped->Loaded() && stepped->Visible()) {
    std::optional<ScriptLine> line;
    try {
      line = script_->Next();
      if (line) Execute(*line);  // which ends the dialogs it closed
    } catch (const ScriptError& e) {
      if (!script_->interactive()) {
        EndDialog();
        throw;
      }
      ReportScriptError(e, err_ ? *err_ : std::cerr);
      return true;
    }
    if (!line) {
      const std::string name = stepped->Name();
      EndDialog();
      throw Error("the script ended while " + name + " is shown");
    }
  }
  EndGoneDialogs();
  return dialog_ == stepped;
}

void Session::EndGoneDialogs() {
  while (dialog_ && !(dialog_->Loaded() && dialog_->Visible())) {
    out_ << (dialog_->Loaded() ? "hide " : "unload ") << dialog_->Name() << "\n";
    EndDialog();
    if (on_dialog_gone_) on_dialog_gone_();
  }
}

void Session::EndDialog() {
  dialog_ = shown_dialogs_.back();
  shown_dialogs_.pop_back();
}

}  // namespace frambolist::hostprog

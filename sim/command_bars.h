#pragma once
// The Office command-bar model as the simulated hosts offer it.
//
// Host behaviour the tests rely on:
// - CommandBars.Add(Name, Position, MenuBar, Temporary) makes a hidden bar and
//   refuses a name already in use with -2147024809 "Invalid procedure call or
//   argument".
// - Controls.Add(Type, Id, Parameter, Before, Temporary) appends a button
//   (type 1, or none given) or an edit box (type 2).
// - Controls read back what was written last; Enabled starts true, BeginGroup
//   false, Text "".
// - A user's click on an enabled button raises Click(Ctrl, CancelDefault); a
//   user's committed edit of an enabled edit box raises Change(Ctrl). Text
//   written by the add-in raises nothing; a disabled control takes no click
//   and no edit. The CommandBars' OnUpdate follows each of these.
// - Office delivers a control's event to the sinks of every control of the
//   same kind with the same Id and Tag, on any bar, with the clicked control
//   as Ctrl. Every custom control has Id 1, so untagged controls (ours
//   without a Tag, another add-in's) all share their events.
// - A click on a button whose OnAction is "!<ProgId>" of an add-in that is
//   not connected makes the host load and connect that add-in first.
// - CommandBar.Delete removes the bar and its controls; a temporary bar
//   otherwise stays until the host closes, whatever becomes of its add-in.

#include <memory>
#include <string>
#include <vector>

#include "sim/sim_object.h"

namespace frambolist::sim {

class Control : public SimObject {
 public:
  enum class Kind { Button, EditBox };
  Control(World& world, Kind kind);

  Kind kind() const { return kind_; }
  // Whether Office counts `other` as the same control for its events.
  bool SharesEventsWith(const Control& other) const {
    return kind_ == other.kind_ && id == other.id && tag == other.tag;
  }
  // The user's actions; the failures that the add-in's handlers report.
  std::vector<HostError> UserClick();
  std::vector<HostError> UserType(const std::string& text);

  // State, as the host program prints it.
  std::string caption, tooltip_text, on_action, text, tag;
  int32_t id = 1;  // every custom control's
  bool enabled = true;
  bool begin_group = false;
  int32_t style = 0;
  int32_t face_id = 0;

 private:
  Kind kind_;
};

class CommandBar : public SimObject {
 public:
  CommandBar(World& world, std::string name, bool temporary);

  std::string name;
  int32_t position = 4;  // floating, until the add-in docks it
  bool visible = false;
  bool temporary;
  std::vector<std::shared_ptr<Control>> controls;

 private:
  Outcome<Value> Delete(std::span<const Value> args);
};

// The transient collection objects the add-in asks for.
std::shared_ptr<SimObject> MakeCommandBars(World& world);
std::shared_ptr<SimObject> MakeControls(World& world, std::shared_ptr<CommandBar> bar);

}  // namespace frambolist::sim

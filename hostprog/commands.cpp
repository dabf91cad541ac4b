// The script language's commands, in one table: what each takes and does,
// and which of them a user can give while a dialog of the add-in is up.

#include "hostprog/session.h"

#include <charconv>

#include "connectors/toolbar_layout.h"
#include "hostprog/words.h"
#include "sim/shapes.h"
#include "sim/value_text.h"

namespace frambolist::hostprog {

using host::Value;

// A control the user can click or type into: one of the add-in's toolbar,
// else another add-in's (`foreign`).
sim::Control& Session::UserControl(const std::string& name) {
  if (!connectors::IsToolbarField(name)) {
    RequireHost();
    if (auto found = foreign_controls_.find(name); found != foreign_controls_.end())
      return *found->second;
  }
  return ToolbarControl(name);
}

sim::Control& Session::ToolbarControl(const std::string& field) {
  sim::CommandBar* bar = RequireHost().NewestBar(connectors::kToolbarName);
  const auto& layout = connectors::ToolbarLayout();
  for (size_t i = 0; i < layout.size(); ++i) {
    if (layout[i].field != field) continue;
    if (!bar) throw Error("there is no toolbar");
    if (i >= bar->controls.size()) throw Error("the toolbar has no " + field);
    return *bar->controls[i];
  }
  throw Error("no toolbar control named " + field);
}

// The script language, one row a command: its name, how many words it takes
// (its own included), whether a user can give it while a dialog of the
// add-in is up, and what it does. A dialog's own commands (key, close, and
// click and print on its controls) act on the dialog shown.
void Session::Execute(const ScriptLine& line) {
  enum Where : bool { kOutsideDialogs = false, kAnywhere = true };
  struct Command {
    std::string_view name;
    size_t min_words, max_words;
    Where where;
    void (Session::*run)(const Words& words);
  };
  static constexpr Command kCommands[] = {
      {"start", 2, 3, kOutsideDialogs, &Session::StartCommand},
      {"window", 2, 2, kOutsideDialogs, &Session::WindowCommand},
      {"connect", 1, 1, kAnywhere, &Session::HostCommand},
      {"quit", 1, 1, kAnywhere, &Session::HostCommand},
      {"disconnect", 1, 1, kAnywhere, &Session::HostCommand},
      {"activate", 2, 2, kOutsideDialogs, &Session::ActivateCommand},
      {"add", 4, 6, kOutsideDialogs, &Session::AddCommand},
      {"group", 3, 1000, kOutsideDialogs, &Session::GroupCommand},
      {"select", 2, 1000, kOutsideDialogs, &Session::SelectCommand},
      {"resize", 4, 4, kOutsideDialogs, &Session::ResizeCommand},
      {"rotate", 3, 3, kOutsideDialogs, &Session::RotateCommand},
      {"type", 3, 3, kOutsideDialogs, &Session::TypeCommand},
      {"click", 2, 2, kAnywhere, &Session::ClickCommand},
      {"key", 2, 2, kAnywhere, &Session::KeyCommand},
      {"close", 1, 1, kAnywhere, &Session::CloseCommand},
      {"print", 2, 2, kAnywhere, &Session::PrintCommand},
      {"locale", 3, 3, kOutsideDialogs, &Session::LocaleCommand},
      {"fail", 3, 5, kOutsideDialogs, &Session::FailCommand},
      {"heal", 1, 1, kOutsideDialogs, &Session::HealCommand},
      {"refuse", 2, 2, kOutsideDialogs, &Session::RefuseCommand},
      {"trace", 2, 2, kOutsideDialogs, &Session::TraceCommand},
      {"set", 3, 3, kOutsideDialogs, &Session::SetCommand},
      {"foreign", 3, 3, kOutsideDialogs, &Session::ForeignCommand},
  };
  const std::string& name = line.words[0];
  const Command* command = nullptr;
  for (const Command& c : kCommands) {
    if (c.name == name) command = &c;
  }
  if (dialog_ && (!command || command->where != kAnywhere))
    throw Error("'" + name + "' cannot be used while " + dialog_->Name() + " is shown");
  if (!command) throw Error("unknown command: " + Quoted(name));
  ExpectWords(line, command->min_words, command->max_words);
  ++command_depth_;
  try {
    (this->*command->run)(line.words);
  } catch (...) {
    --command_depth_;
    throw;
  }
  EndGoneDialogs();
  if (--command_depth_ == 0) RefreshRibbons();
}

// `start HOST [VERSION]`: Office's major version, 11 (Office 2003, command
// bars only) unless given; 12 and later draw ribbons.
void Session::StartCommand(const Words& w) {
  int version = 11;
  if (w.size() > 2) {
    version = IntegerWord(w[2]);
    if (version != 11 && version != 12 && version != 14 && version != 15 && version != 16)
      throw Error("no such Office version: " + w[2] + " (11, 12, 14, 15 or 16)");
  }
  Start(w[1], version);
}

// `window new` opens a new document in a window of its own; `window N`
// makes the N-th window (from 1) the active one.
void Session::WindowCommand(const Words& w) {
  sim::World& world = RequireHost();
  if (world.version() < 12)
    throw Error("one window per host before Office 2007 (start the host with 12 or later)");
  if (w[1] == "new") {
    ReportFailures(world.NewWindow());
    return;
  }
  const int32_t n = IntegerWord(w[1]);
  if (n < 1 || static_cast<size_t>(n) > world.window_count())
    throw Error("no window " + w[1] + " (there are " + std::to_string(world.window_count()) + ")");
  ReportFailures(world.ActivateWindow(static_cast<size_t>(n - 1)));
}

sim::AddinRibbon* Session::RibbonWith(std::string_view id) {
  for (Connected& c : addins_) {
    if (c.ribbon && c.ribbon->Find(id)) return c.ribbon.get();
  }
  return nullptr;
}

void Session::RefreshRibbons() {
  for (size_t i = 0; i < addins_.size(); ++i) {
    if (addins_[i].ribbon) addins_[i].ribbon->Refresh();
  }
}

void Session::HostCommand(const Words& w) { ExecuteHostCommand(w[0]); }

void Session::ActivateCommand(const Words& w) {
  sim::World& world = RequireHost();
  if (world.kind() != sim::HostKind::Excel) throw Error("sheets exist in Excel only");
  ReportFailures(world.ActivateSheet(w[1]));
}

void Session::AddCommand(const Words& w) {
  sim::World& world = RequireHost();
  sim::Shape shape{.name = w[1], .width = NumberWord(w[2]), .height = NumberWord(w[3])};
  for (size_t i = 4; i < w.size(); ++i) {
    if (w[i] == "inline") {
      if (world.kind() != sim::HostKind::Word) throw Error("in-line pictures exist in Word only");
      shape.is_inline = true;
    } else {
      shape.rotation = AngleWord(w[i]);
    }
  }
  if (shape.width < 0 || shape.height < 0) throw Error("a shape's size cannot be negative");
  if (!world.AddShape(shape)) throw Error("a shape named " + w[1] + " exists already");
}

sim::Shape& Session::ShapeNamed(const std::string& name) {
  sim::Shape* shape = RequireHost().FindShape(name);
  if (!shape) throw Error("no shape named " + name);
  return *shape;
}

void Session::ResizeCommand(const Words& w) {
  sim::Shape& shape = ShapeNamed(w[1]);
  const double width = NumberWord(w[2]), height = NumberWord(w[3]);
  if (width < 0 || height < 0) throw Error("a shape's size cannot be negative");
  ReportFailures(RequireHost().Resize(shape, width, height));
}

void Session::RotateCommand(const Words& w) {
  sim::Shape& shape = ShapeNamed(w[1]);
  ReportFailures(RequireHost().Rotate(shape, AngleWord(w[2])));
}

void Session::SelectCommand(const Words& w) {
  sim::World& world = RequireHost();
  // GROUP/MEMBER: one shape inside a group.
  if (const size_t slash = w[1].find('/'); slash != std::string::npos) {
    if (w.size() != 2) throw Error("a shape inside a group is selected alone");
    sim::Shape& group = ShapeNamed(w[1].substr(0, slash));
    sim::Shape& member = ShapeNamed(w[1].substr(slash + 1));
    if (member.group != &group) throw Error(member.name + " is not in the group " + group.name);
    ReportFailures(world.SelectInGroup(group, member));
    return;
  }
  std::vector<sim::Shape*> shapes;
  if (!(w.size() == 2 && w[1] == "none")) {
    for (size_t i = 1; i < w.size(); ++i) {
      sim::Shape& shape = ShapeNamed(w[i]);
      if (shape.group)
        throw Error(shape.name + " is in the group " + shape.group->name + ": select " +
                    shape.group->name + "/" + shape.name);
      shapes.push_back(&shape);
    }
  }
  ReportFailures(world.Select(shapes));
}

// `group NAME MEMBER...`: the user groups shapes (PowerPoint and Word).
void Session::GroupCommand(const Words& w) {
  sim::World& world = RequireHost();
  if (world.kind() == sim::HostKind::Excel) throw Error("groups are PowerPoint's and Word's only");
  if (world.FindShape(w[1])) throw Error("a shape named " + w[1] + " exists already");
  std::vector<sim::Shape*> members;
  for (size_t i = 2; i < w.size(); ++i) {
    sim::Shape& member = ShapeNamed(w[i]);
    if (member.group || !member.members.empty() || member.is_inline)
      throw Error(member.name + " cannot be grouped");
    members.push_back(&member);
  }
  world.Group(w[1], members);
}

// Another add-in's untagged custom control, on a bar of its own: in Office
// it shares its events with every untagged custom control of its kind.
void Session::ForeignCommand(const Words& w) {
  sim::World& world = RequireHost();
  if (w[1] != "button" && w[1] != "box") throw Error("foreign takes button or box, not " + w[1]);
  if (connectors::IsToolbarField(w[2]) || foreign_controls_.contains(w[2]))
    throw Error("a control named " + w[2] + " exists already");
  if (!foreign_bar_) {
    foreign_bar_ = std::make_shared<sim::CommandBar>(world, "Another add-in", true);
    foreign_bar_->visible = true;
    world.bars().push_back(foreign_bar_);
  }
  auto control = std::make_shared<sim::Control>(
      world, w[1] == "box" ? sim::Control::Kind::EditBox : sim::Control::Kind::Button);
  control->caption = w[2];
  foreign_bar_->controls.push_back(control);
  foreign_controls_[w[2]] = control;
}

void Session::TypeCommand(const Words& w) {
  if (sim::AddinRibbon* ribbon = RibbonWith(w[1])) {
    if (ribbon->Find(w[1])->kind != sim::DeclaredControl::Kind::EditBox)
      throw Error(w[1] + " is not an edit box");
    ribbon->Type(w[1], w[2]);
    ReportFailures(RequireHost().RaiseCommandBarsUpdate());
    return;
  }
  sim::Control& control = UserControl(w[1]);
  if (control.kind() != sim::Control::Kind::EditBox) throw Error(w[1] + " is not an edit box");
  ReportFailures(control.UserType(w[2]));
}

void Session::ClickCommand(const Words& w) {
  if (dialog_) {
    auto [name, index] = ControlName(w[1]);
    if (dialog_->HasControl(name, index)) {
      dialog_->Click(name, index);
      return;
    }
    if (RibbonWith(w[1]))
      throw Error(w[1] + " is on the ribbon, which no macro can click (" + dialog_->Name() +
                  " is shown)");
    // The host delivers a click on its toolbar even so, as a macro or
    // another add-in could while the dialog is up.
    if (!connectors::IsToolbarField(w[1]) && !foreign_controls_.contains(w[1]))
      throw Error(dialog_->Name() + " has no control " + w[1]);
  }
  if (sim::AddinRibbon* ribbon = RibbonWith(w[1])) {
    ribbon->Click(w[1]);
    ReportFailures(RequireHost().RaiseCommandBarsUpdate());
    return;
  }
  ReportFailures(UserControl(w[1]).UserClick());
}

void Session::KeyCommand(const Words& w) {
  if (!dialog_) throw Error("no dialog is shown");
  dialog_->Key(KeyCode(w[1]));
}

void Session::CloseCommand(const Words&) {
  if (!dialog_) throw Error("no dialog is shown");
  dialog_->Close();
}

void Session::LocaleCommand(const Words& w) {
  CheckSeparator(w[1], "decimal", false);
  CheckSeparator(w[2], "group", true);
  number_format_ = {w[1], w[2]};
  if (locale_observer_) locale_observer_(number_format_);
}

void Session::FailCommand(const Words& w) {
  // "fail #N ...": the N-th call from now, whatever its member.
  const bool by_number = w[1].starts_with("#");
  // The number is the failing call's result code, read as the add-in reads
  // one that comes through COM: 0x800A01A8 (-2146827864) is 424.
  const int32_t number = host::ErrorNumberFromResult(static_cast<uint32_t>(IntegerWord(w[2])));
  PendingFault fault{w[1], {number, "Automation error"}, false};
  size_t next = 3;
  if (next < w.size() && w[next] != "always") {
    // A host that gives no description: Visual Basic shows "Automation error".
    if (!w[next].empty()) fault.error.description = w[next];
    ++next;
  }
  if (next < w.size()) {
    if (w[next] != "always") throw Error("expected 'always', not " + w[next]);
    fault.always = true;
    ++next;
  }
  if (next != w.size()) throw Error("too many words for 'fail'");
  if (by_number) {
    const int32_t call = IntegerWord(w[1].substr(1));
    if (call < 1) throw Error("calls are counted from 1: " + Quoted(w[1]));
    if (fault.always) throw Error("'always' does not go with a call number");
    RequireHost().faults().ArmCallNumber(call, fault.error);
    return;
  }
  if (world_)
    world_->faults().Arm(fault.member, fault.error, fault.always);
  else
    pending_faults_.push_back(fault);
}

void Session::RefuseCommand(const Words& w) {
  if (w[1] == "updates") {
    if (world_)
      world_->faults().RefuseEventsOf(std::string(host::event_interfaces::kCommandBarsEvents));
    else
      refuse_updates_ = true;
    return;
  }
  if (w[1] != "events") throw Error("refuse takes events or updates, not " + Quoted(w[1]));
  if (world_)
    world_->faults().RefuseNextSubscription();
  else
    refuse_subscription_ = true;
}

// Another add-in, a macro or the user customising the bar writes a control's
// property: no event follows, as none follows the add-in's own writes.
void Session::SetCommand(const Words& w) {
  const size_t dot = w[1].rfind('.');
  if (dot == std::string::npos) throw Error("set takes CONTROL.PROPERTY: " + Quoted(w[1]));
  const std::string field = w[1].substr(0, dot);
  if (RibbonWith(field)) throw Error("no macro can write a ribbon control: " + field);
  if (!connectors::IsToolbarField(field)) throw Error("no toolbar control named " + field);
  sim::Control& control = ToolbarControl(field);
  Value value(w[2]);
  if (w[2] == "true" || w[2] == "false") {
    value = Value(w[2] == "true");
  } else if (int32_t n = 0; std::from_chars(w[2].data(), w[2].data() + w[2].size(), n).ptr ==
                                w[2].data() + w[2].size() &&
                            !w[2].empty()) {
    value = Value(n);
  }
  auto put = control.PutByOthers(w[1].substr(dot + 1), value);
  if (!put.ok()) throw Error("the control refuses " + w[1] + ": " + put.error().description);
}

void Session::HealCommand(const Words&) {
  pending_faults_.clear();
  refuse_subscription_ = false;
  if (world_) world_->faults().Heal();
}

void Session::TraceCommand(const Words& w) {
  if (w[1] != "on" && w[1] != "off") throw Error("trace takes on or off");
  trace_ = w[1] == "on";
  if (!world_) return;
  if (trace_)
    world_->SetTrace([this](const std::string& text) { out_ << text << "\n"; });
  else
    world_->SetTrace(nullptr);
}

void Session::PrintCommand(const Words& w) { Print(w[1], dialog_); }

}  // namespace frambolist::hostprog

#include "hostprog/session.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <iostream>

#include "connectors/toolbar_layout.h"
#include "forms/instances.h"
#include "procs/units.h"
#include "sim/applications.h"
#include "sim/command_bars.h"
#include "sim/shapes.h"
#include "sim/value_text.h"

namespace frambolist::hostprog {

namespace {

using host::Value;

ScriptError Error(const std::string& message) { return ScriptError(message); }

void ExpectWords(const ScriptLine& line, size_t at_least, size_t at_most) {
  if (line.words.size() < at_least || line.words.size() > at_most) {
    throw Error("wrong number of words for '" + line.words[0] + "'");
  }
}

// A word as the user wrote it, quoted so that an empty one shows.
std::string Quoted(const std::string& word) { return "\"" + word + "\""; }

// A finite number: sizes and angles are what a user could draw.
double NumberWord(const std::string& word) {
  double value = 0;
  auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (ec != std::errc() || end != word.data() + word.size() || !std::isfinite(value)) {
    throw Error("not a finite number: " + Quoted(word));
  }
  return value;
}

// An angle in degrees, stored as the hosts store it: normalised into [0, 360).
float AngleWord(const std::string& word) {
  auto angle = sim::NormalisedAngle(Value(NumberWord(word)));
  if (!angle.ok()) throw Error("not an angle: " + word);
  return angle.value();
}

int32_t IntegerWord(const std::string& word) {
  int32_t value = 0;
  auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (ec == std::errc::result_out_of_range && end == word.data() + word.size()) {
    throw Error("out of range for a 32-bit number: " + Quoted(word));
  }
  if (ec != std::errc() || end != word.data() + word.size())
    throw Error("not a whole number: " + Quoted(word));
  return value;
}

// Whether `text` is well-formed UTF-8: no stray continuation byte, no
// truncated or overlong sequence, no surrogate, nothing beyond U+10FFFF.
bool IsUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const auto byte = [&](size_t at) { return static_cast<unsigned char>(text[at]); };
    const unsigned char lead = byte(i);
    size_t length = 0;
    char32_t code = 0, least = 0;
    if (lead < 0x80) {
      ++i;
      continue;
    } else if ((lead & 0xE0) == 0xC0) {
      length = 2, code = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3, code = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4, code = lead & 0x07, least = 0x10000;
    } else {
      return false;
    }
    if (i + length > text.size()) return false;
    for (size_t k = 1; k < length; ++k) {
      if ((byte(i + k) & 0xC0) != 0x80) return false;
      code = (code << 6) | (byte(i + k) & 0x3F);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    i += length;
  }
  return true;
}

// Windows keeps at most three characters for each separator (LOCALE_SDECIMAL,
// LOCALE_STHOUSAND), and a number needs a decimal separator.
void CheckSeparator(const std::string& separator, const char* what, bool may_be_empty) {
  // Windows keeps the separators as UTF-16; a byte sequence that is no text
  // could not be set there, so it is refused here as well.
  if (!IsUtf8(separator))
    throw Error(std::string("the ") + what + " separator is not valid UTF-8 text");
  size_t characters = 0;
  for (unsigned char c : separator) characters += (c & 0xC0) != 0x80;
  if (characters == 0 && !may_be_empty)
    throw Error(std::string("the ") + what + " separator cannot be empty");
  if (characters > 3)
    throw Error(std::string("the ") + what +
                " separator is longer than 3 characters: " + Quoted(separator));
}

// "Option1(2)" is the control array Option1 at index 2.
std::pair<std::string, int> ControlName(const std::string& word) {
  const size_t open = word.find('(');
  if (open == std::string::npos || word.back() != ')') return {word, -1};
  return {word.substr(0, open), IntegerWord(word.substr(open + 1, word.size() - open - 2))};
}

int KeyCode(const std::string& word) {
  if (word == "Enter") return 13;
  if (word == "Esc") return 27;
  if (word == "Space") return 32;
  if (word.size() == 1) return static_cast<unsigned char>(word[0]);
  throw Error("not a key: " + word);
}

std::string_view PositionName(int32_t position) {
  switch (position) {
    case 0:
      return "left";
    case 1:
      return "top";
    case 2:
      return "right";
    case 3:
      return "bottom";
    case 4:
      return "floating";
    default:
      return "elsewhere";
  }
}

}  // namespace

Session::Session(std::ostream& out, const LoaderFactory& make_loader)
    : out_(out), platform_{*this, *this, *this, *this}, loader_(make_loader(platform_)) {}

Session::~Session() {
  if (world_ && !ended_) Quit();
}

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
  const std::string name = dialog.Name();
  out_ << "show " << name << "\n";
  while (dialog.Loaded() && dialog.Visible()) {
    std::optional<ScriptLine> line;
    try {
      line = script_->Next();
      if (line) ExecuteInDialog(*line, dialog);
    } catch (const ScriptError& e) {
      if (!script_->interactive()) throw;
      ReportScriptError(e, err_ ? *err_ : std::cerr);
      continue;
    }
    if (!line) throw Error("the script ended while " + name + " is shown");
  }
  out_ << (dialog.Loaded() ? "hide " : "unload ") << name << "\n";
}

void Session::ExpectHostRunning() const {
  if (ended_) throw Error("the host has quit");
}

int Session::Run(ScriptReader& script, std::ostream& err, bool keep_running) {
  script_ = &script;
  err_ = &err;
  while (true) {
    try {
      auto line = script.Next();
      if (!line) break;
      if (ended_) throw Error("the host has quit: nothing can follow 'quit'");
      Execute(*line);
    } catch (const ScriptError& e) {
      ReportScriptError(e, err);
      if (!script.interactive()) return 2;
    }
  }
  if (world_ && !ended_ && !keep_running) Quit();
  out_ << std::flush;
  return 0;
}

void Session::RunLine(const std::string& text) {
  const auto words = SplitWords(text);
  if (!words.empty()) Execute(ScriptLine{script_ ? script_->line_number() : 0, words});
}

void Session::ReportScriptError(const ScriptError& error, std::ostream& err) {
  out_ << std::flush;
  err << "script error, line " << (script_ ? script_->line_number() : 0) << ": " << error.what()
      << "\n"
      << std::flush;
}

sim::World& Session::RequireHost() {
  if (!world_) throw Error("no host is running (start one first)");
  return *world_;
}

void Session::ReportFailures(const std::vector<host::HostError>& failures) {
  for (const host::HostError& e : failures)
    out_ << "error: " << e.number << " " << e.description << "\n";
}

void Session::Start(const std::string& host) {
  if (world_) throw Error("one host per run");
  sim::HostKind kind;
  if (host == "powerpoint")
    kind = sim::HostKind::PowerPoint;
  else if (host == "excel")
    kind = sim::HostKind::Excel;
  else if (host == "word")
    kind = sim::HostKind::Word;
  else
    throw Error("no such host: " + host);
  world_ = std::make_unique<sim::World>(kind);
  for (const PendingFault& f : pending_faults_) world_->faults().Arm(f.member, f.error, f.always);
  pending_faults_.clear();
  if (std::exchange(refuse_subscription_, false)) world_->faults().RefuseNextSubscription();
  if (trace_) world_->SetTrace([this](const std::string& line) { out_ << line << "\n"; });
  if (on_host_started_) on_host_started_(*world_);
  world_->SetLoadOnDemand([this](const std::string& prog_id) { LoadOnDemand(prog_id); });
  ConnectAll(1);  // ext_cm_Startup
  if (on_startup_done_ && !ended_) on_startup_done_();
}

// Loads every add-in registered for the host with load behaviour 3.
void Session::ConnectAll(int32_t connect_mode) {
  for (const std::string& prog_id : loader_->StartupAddins(sim::HostName(world_->kind()))) {
    ConnectOne(prog_id, connect_mode);
    if (ended_) return;  // the host quit while a connection was under way
  }
}

// Office loads an add-in that a button's OnAction names when the button is
// clicked while the add-in is not connected (switched off, say).
void Session::LoadOnDemand(const std::string& prog_id) {
  for (const Connected& c : addins_) {
    if (c.prog_id == prog_id) return;
  }
  for (const std::string& registered : loader_->StartupAddins(sim::HostName(world_->kind()))) {
    if (registered == prog_id) ConnectOne(prog_id, 0);  // ext_cm_AfterStartup
  }
}

void Session::ConnectOne(const std::string& prog_id, int32_t connect_mode) {
  std::string why;
  std::shared_ptr<LoadedAddin> addin = loader_->Create(prog_id, why);
  if (!addin) {
    // What Office's COM Add-ins dialog would list: the add-in, not loaded.
    out_ << "not loaded: " << prog_id << ": " << why << "\n";
    return;
  }
  host::ObjectRef instance = sim::MakeAddInInstance(*world_, prog_id)->Ref();
  // Listed before it is connected, as Office's add-in list has it: a quit or
  // a switch-off that the user gives while the connection shows a message
  // reaches this add-in too. The local hold keeps it for the length of the
  // call, whatever the host lets go of meanwhile.
  addins_.push_back({addin, instance, prog_id});
  auto failure =
      addin->OnConnection(Value(world_->ApplicationRef()), connect_mode, Value(instance));
  if (failure) ReportFailures({*failure});
}

void Session::Quit() {
  for (Connected& c : addins_) c.addin->OnBeginShutdown();
  ReleaseAddins(kHostShutdown);
  world_->Close();
  ended_ = true;
}

// Office disconnects each add-in and then releases it, before the instance
// object it was given.
void Session::ReleaseAddins(int32_t remove_mode) {
  for (Connected& c : addins_) c.addin->OnDisconnection(remove_mode);
  for (Connected& c : addins_) c.addin.reset();
  addins_.clear();
}

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
// (its own included), and what it does.
void Session::Execute(const ScriptLine& line) {
  struct Command {
    std::string_view name;
    size_t min_words, max_words;
    void (Session::*run)(const Words& words);
  };
  static constexpr Command kCommands[] = {
      {"start", 2, 2, &Session::StartCommand},    {"connect", 1, 1, &Session::HostCommand},
      {"quit", 1, 1, &Session::HostCommand},      {"activate", 2, 2, &Session::ActivateCommand},
      {"add", 4, 6, &Session::AddCommand},        {"select", 2, 1000, &Session::SelectCommand},
      {"type", 3, 3, &Session::TypeCommand},      {"click", 2, 2, &Session::ClickCommand},
      {"key", 2, 2, &Session::DialogOnlyCommand}, {"close", 1, 1, &Session::DialogOnlyCommand},
      {"locale", 3, 3, &Session::LocaleCommand},  {"fail", 3, 5, &Session::FailCommand},
      {"heal", 1, 1, &Session::HealCommand},      {"trace", 2, 2, &Session::TraceCommand},
      {"print", 2, 2, &Session::PrintCommand},    {"set", 3, 3, &Session::SetCommand},
      {"refuse", 2, 2, &Session::RefuseCommand}, {"disconnect", 1, 1, &Session::HostCommand},
      {"foreign", 3, 3, &Session::ForeignCommand}, {"resize", 4, 4, &Session::ResizeCommand},
      {"rotate", 3, 3, &Session::RotateCommand},
  };
  for (const Command& command : kCommands) {
    if (command.name != line.words[0]) continue;
    ExpectWords(line, command.min_words, command.max_words);
    (this->*command.run)(line.words);
    return;
  }
  throw Error("unknown command: " + Quoted(line.words[0]));
}

void Session::StartCommand(const Words& w) { Start(w[1]); }

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
  std::vector<sim::Shape*> shapes;
  if (!(w.size() == 2 && w[1] == "none")) {
    for (size_t i = 1; i < w.size(); ++i) {
      shapes.push_back(&ShapeNamed(w[i]));
    }
  }
  ReportFailures(world.Select(shapes));
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
  sim::Control& control = UserControl(w[1]);
  if (control.kind() != sim::Control::Kind::EditBox) throw Error(w[1] + " is not an edit box");
  ReportFailures(control.UserType(w[2]));
}

void Session::ClickCommand(const Words& w) { ReportFailures(UserControl(w[1]).UserClick()); }

void Session::DialogOnlyCommand(const Words&) { throw Error("no dialog is shown"); }

void Session::LocaleCommand(const Words& w) {
  CheckSeparator(w[1], "decimal", false);
  CheckSeparator(w[2], "group", true);
  number_format_ = {w[1], w[2]};
  if (locale_observer_) locale_observer_(number_format_);
}

void Session::FailCommand(const Words& w) {
  // "fail #N ...": the N-th call from now, whatever its member.
  const bool by_number = w[1].starts_with("#");
  PendingFault fault{w[1], {IntegerWord(w[2]), "Automation error"}, false};
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
  if (w[1] != "events") throw Error("refuse takes events, not " + Quoted(w[1]));
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

void Session::PrintCommand(const Words& w) { Print(w[1], nullptr); }

// The host's own commands, which the user may also give while a dialog of
// the add-in is up: the host connects its add-ins anew, or shuts down.
void Session::ExecuteHostCommand(const std::string& command) {
  RequireHost();
  ExpectHostRunning();
  if (command == "quit") {
    Quit();
    return;
  }
  // As the COM Add-ins dialog does: the connector is disconnected and
  // released (switched off); `connect` then connects a new one.
  ReleaseAddins(kUserClosed);
  if (command == "connect") ConnectAll(0);  // ext_cm_AfterStartup
}

void Session::ExecuteInDialog(const ScriptLine& line, ShownDialog& dialog) {
  const std::string& command = line.words[0];
  const auto& w = line.words;
  if (command == "click") {
    ExpectWords(line, 2, 2);
    auto [name, index] = ControlName(w[1]);
    if (dialog.HasControl(name, index)) {
      dialog.Click(name, index);
    } else if (connectors::IsToolbarField(w[1]) || foreign_controls_.contains(w[1])) {
      // The host delivers a click on its toolbar even so, as a macro or
      // another add-in could while the dialog is up.
      ReportFailures(UserControl(w[1]).UserClick());
    } else {
      throw Error(dialog.Name() + " has no control " + w[1]);
    }
  } else if (command == "key") {
    ExpectWords(line, 2, 2);
    dialog.Key(KeyCode(w[1]));
  } else if (command == "close") {
    ExpectWords(line, 1, 1);
    dialog.Close();
  } else if (command == "print") {
    ExpectWords(line, 2, 2);
    Print(w[1], &dialog);
  } else if (command == "connect" || command == "quit" || command == "disconnect") {
    ExpectWords(line, 1, 1);
    ExecuteHostCommand(command);
  } else {
    throw Error("'" + command + "' cannot be used while " + dialog.Name() + " is shown");
  }
}

void Session::Print(const std::string& what, ShownDialog* dialog) {
  if (what == "CurrentUnit") {
    // The add-in's own variable, asked of the add-in (through COM, the DLL's).
    if (addins_.empty()) throw Error("no add-in is loaded to ask for CurrentUnit");
    out_ << "CurrentUnit = " << sim::QuotedText(addins_.front().addin->CurrentUnit()) << "\n";
    return;
  }
  if (what == "toolbar") {
    PrintToolbar();
    return;
  }
  const size_t dot = what.rfind('.');
  if (dot == std::string::npos) throw Error("cannot print " + what);
  const std::string object = what.substr(0, dot);
  const std::string property = what.substr(dot + 1);
  auto fail = [&]() -> ScriptError { return Error("no such thing to print: " + what); };
  auto emit = [&](const Value& value) { out_ << what << " = " << sim::ValueText(value) << "\n"; };

  if (dialog) {
    auto [name, index] = ControlName(object);
    if (dialog->HasControl(name, index)) {
      auto value = dialog->Property(name, index, property);
      if (!value) throw fail();
      return emit(*value);
    }
  }

  sim::World& world = RequireHost();
  if (object == "CmdBar") {
    sim::CommandBar* bar = world.NewestBar(connectors::kToolbarName);
    if (!bar) throw Error("there is no toolbar");
    if (property == "Name") return emit(Value(bar->name));
    if (property == "Position") return emit(Value(bar->position));
    if (property == "Visible") return emit(Value(bar->visible));
    if (property == "Temporary") return emit(Value(bar->temporary));
    throw fail();
  }
  // What a script may print of a toolbar control, and of a shape; a reader
  // gives nothing where the control or shape has no such property.
  using ControlReader = std::optional<Value> (*)(const sim::Control&);
  static constexpr std::pair<std::string_view, ControlReader> kControlProperties[] = {
      {"Caption", [](const sim::Control& c) -> std::optional<Value> { return Value(c.caption); }},
      {"TooltipText",
       [](const sim::Control& c) -> std::optional<Value> { return Value(c.tooltip_text); }},
      {"OnAction",
       [](const sim::Control& c) -> std::optional<Value> { return Value(c.on_action); }},
      {"Enabled", [](const sim::Control& c) -> std::optional<Value> { return Value(c.enabled); }},
      {"BeginGroup",
       [](const sim::Control& c) -> std::optional<Value> { return Value(c.begin_group); }},
      {"Style", [](const sim::Control& c) -> std::optional<Value> { return Value(c.style); }},
      {"FaceId",
       [](const sim::Control& c) -> std::optional<Value> {
         if (c.kind() != sim::Control::Kind::Button) return std::nullopt;
         return Value(c.face_id);
       }},
      {"Text",
       [](const sim::Control& c) -> std::optional<Value> {
         if (c.kind() != sim::Control::Kind::EditBox) return std::nullopt;
         return Value(c.text);
       }},
  };
  using ShapeReader = std::optional<Value> (*)(const sim::Shape&, sim::HostKind);
  // Excel reads lengths as doubles, PowerPoint and Word as singles.
  static constexpr auto kLength = [](double points, sim::HostKind host) {
    return host == sim::HostKind::Excel ? Value(points) : Value(static_cast<float>(points));
  };
  static constexpr std::pair<std::string_view, ShapeReader> kShapeProperties[] = {
      {"Width",
       [](const sim::Shape& s, sim::HostKind h) -> std::optional<Value> {
         return kLength(s.width, h);
       }},
      {"Height",
       [](const sim::Shape& s, sim::HostKind h) -> std::optional<Value> {
         return kLength(s.height, h);
       }},
      {"Rotation",
       [](const sim::Shape& s, sim::HostKind) -> std::optional<Value> {
         if (s.is_inline) return std::nullopt;
         return Value(s.rotation);
       }},
      {"LockAspectRatio",
       [](const sim::Shape& s, sim::HostKind) -> std::optional<Value> {
         return Value(s.lock_aspect_ratio);
       }},
      {"Name",
       [](const sim::Shape& s, sim::HostKind) -> std::optional<Value> { return Value(s.name); }},
  };
  auto emit_from = [&](const auto& table, auto&&... of) {
    for (const auto& [name, read] : table) {
      if (name != property) continue;
      if (auto value = read(of...)) return emit(*value);
    }
    throw fail();
  };
  if (connectors::IsToolbarField(object))
    return emit_from(kControlProperties, ToolbarControl(object));
  if (sim::Shape* shape = world.FindShape(object))
    return emit_from(kShapeProperties, *shape, world.kind());
  throw fail();
}

// The whole bar on one line, left to right, as a person would read it: icons
// by number, captions and box texts in quotes, greyed controls marked, and a
// bar before each control that starts a group.
void Session::PrintToolbar() {
  sim::CommandBar* bar = RequireHost().NewestBar(connectors::kToolbarName);
  if (!bar) throw Error("there is no toolbar");
  out_ << "toolbar " << sim::QuotedText(bar->name) << " " << (bar->visible ? "visible" : "hidden")
       << " " << PositionName(bar->position) << ":";
  for (const auto& c : bar->controls) {
    out_ << (c->begin_group ? " | [" : " [");
    if (c->kind() == sim::Control::Kind::EditBox) {
      out_ << "box " << sim::QuotedText(c->text);
    } else {
      // msoButtonAutomatic (0) and icon-only (1) show the icon; 2 and 3 the caption.
      const bool icon = c->style != 2 && c->face_id != 0;
      const bool caption = c->style >= 2;
      if (icon) out_ << "icon " << c->face_id;
      if (icon && caption) out_ << " ";
      if (caption) out_ << sim::QuotedText(c->caption);
      if (!icon && !caption) out_ << "button";
    }
    if (!c->enabled) out_ << " greyed";
    out_ << "]";
  }
  out_ << "\n";
}

}  // namespace frambolist::hostprog

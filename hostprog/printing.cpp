// The `print` command: a property of the host, the toolbar, a shape or a
// dialog, in the form every example's expected output holds.

#include "hostprog/session.h"

#include "connectors/toolbar_layout.h"
#include "forms/instances.h"
#include "hostprog/words.h"
#include "procs/units.h"
#include "sim/shapes.h"
#include "sim/value_text.h"

namespace frambolist::hostprog {

using host::Value;

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
  if (what == "ribbon") {
    RequireHost();
    bool any = false;
    for (Connected& c : addins_) {
      if (!c.ribbon) continue;
      out_ << c.ribbon->Line() << "\n";
      any = true;
    }
    if (!any) throw Error("there is no ribbon of an add-in");
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
  // What the active window's ribbon shows of a control: its label, and a
  // box's text, a toggle's pressed state, the enabled state of the others.
  if (sim::AddinRibbon* ribbon = RibbonWith(object)) {
    using Kind = sim::DeclaredControl::Kind;
    const Kind kind = ribbon->Find(object)->kind;
    const sim::AddinRibbon::Shown& shown = ribbon->ShownNow(object);
    if (property == "Label") return emit(Value(shown.label));
    if (property == "Text" && kind == Kind::EditBox) return emit(Value(shown.text));
    if (property == "Pressed" && kind == Kind::ToggleButton) return emit(Value(shown.pressed));
    if (property == "Enabled" && kind != Kind::ToggleButton) return emit(Value(shown.enabled));
    throw fail();
  }
  if (object == "NormalTemplate" && property == "Saved" && world.kind() == sim::HostKind::Word)
    return emit(Value(world.template_saved()));
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
  if (!bar) {
    out_ << "no toolbar " << sim::QuotedText(connectors::kToolbarName) << "\n";
    return;
  }
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

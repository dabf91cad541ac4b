#include "sim/ribbon.h"

#include "sim/value_text.h"

namespace frambolist::sim {

struct AddinRibbon::Invalidated {
  std::set<std::string> ids;
  bool all = false;
};

namespace {

// IRibbonUI: what the add-in invalidates is asked for again.
class RibbonUi : public SimObject {
 public:
  RibbonUi(World& world, std::shared_ptr<AddinRibbon::Invalidated> invalidated)
      : SimObject(world, "IRibbonUI"), invalidated_(std::move(invalidated)) {
    Member(
        "InvalidateControl",
        [this](std::span<const Value> args) -> Outcome<Value> {
          auto id = Arg(args, 0).ToText();
          if (!id.ok()) return host_errors::TypeMismatch();
          invalidated_->ids.insert(id.value());
          return Value();
        },
        {}, kOneIndex);
    Member("Invalidate", [this](auto) -> Outcome<Value> {
      invalidated_->all = true;
      return Value();
    });
  }

 private:
  std::shared_ptr<AddinRibbon::Invalidated> invalidated_;
};

// IRibbonControl: the control, and the window whose ribbon calls.
class RibbonControl : public SimObject {
 public:
  RibbonControl(World& world, std::string id, std::string tag, host::ObjectRef context)
      : SimObject(world, "IRibbonControl"),
        id_(std::move(id)),
        tag_(std::move(tag)),
        context_(std::move(context)) {
    Member("Id", [this](auto) { return Outcome<Value>(Value(id_)); });
    Member("Tag", [this](auto) { return Outcome<Value>(Value(tag_)); });
    Member("Context", [this](auto) { return Outcome<Value>(Value(context_)); });
  }

 private:
  std::string id_, tag_;
  host::ObjectRef context_;
};

}  // namespace

std::string_view RibbonIdOf(HostKind kind) {
  switch (kind) {
    case HostKind::PowerPoint:
      return "Microsoft.PowerPoint.Presentation";
    case HostKind::Excel:
      return "Microsoft.Excel.Workbook";
    case HostKind::Word:
      return "Microsoft.Word.Document";
  }
  return {};
}

std::unique_ptr<AddinRibbon> AddinRibbon::Load(World& world, RibbonClient& client,
                                               std::function<void(const std::string&)> report) {
  const std::string xml = client.GetCustomUI(RibbonIdOf(world.kind()));
  if (xml.empty()) return nullptr;
  std::vector<std::string> faults;
  CustomUi ui = ReadCustomUi(
      xml, world.version(), [&](std::string_view name) { return client.KnowsCallback(name); },
      faults);
  for (const std::string& fault : faults) report(fault);
  auto ribbon = std::make_unique<AddinRibbon>(world, std::move(ui), client, std::move(report));
  if (!ribbon->ui_.on_load.empty()) {
    const Value ribbon_ui[] = {Value(ribbon->ribbon_ui_->Ref())};
    ribbon->Call(&ribbon->ui_.on_load, ribbon_ui);
  }
  ribbon->Refresh();
  return ribbon;
}

AddinRibbon::AddinRibbon(World& world, CustomUi ui, RibbonClient& client,
                         std::function<void(const std::string&)> report)
    : world_(world),
      ui_(std::move(ui)),
      client_(client),
      report_(std::move(report)),
      invalidated_(std::make_shared<Invalidated>()),
      ribbon_ui_(std::make_shared<RibbonUi>(world, invalidated_)) {}

const DeclaredControl* AddinRibbon::Find(std::string_view id) const {
  for (const DeclaredGroup& group : ui_.groups) {
    for (const DeclaredControl& control : group.controls) {
      if (control.id == id) return &control;
    }
  }
  return nullptr;
}

std::map<std::string, AddinRibbon::Shown>& AddinRibbon::Drawn(size_t key) { return drawn_[key]; }

void AddinRibbon::Refresh() {
  Invalidated asked = std::exchange(*invalidated_, {});
  const bool per_window = world_.RibbonPerWindow();
  const size_t ribbons = per_window ? world_.window_count() : 1;
  for (size_t key = 0; key < ribbons; ++key) {
    const size_t window = per_window ? key : world_.active_window();
    const bool first = !drawn_.contains(key);
    for (const DeclaredGroup& group : ui_.groups) {
      for (const DeclaredControl& control : group.controls) {
        if (first || asked.all || asked.ids.contains(control.id)) Ask(key, window, control);
      }
    }
  }
}

Value AddinRibbon::Control(const DeclaredControl& control, size_t window) {
  const std::string* tag = control.Attribute("tag");
  return Value(std::make_shared<RibbonControl>(world_, control.id, tag ? *tag : std::string(),
                                               world_.window(window)->Ref())
                   ->Ref());
}

std::optional<Value> AddinRibbon::Call(const std::string* callback, std::span<const Value> args) {
  if (!callback) return std::nullopt;
  auto result = client_.Callback(*callback, args);
  if (!result.ok()) {
    report_("callback " + QuotedText(*callback) + " failed with " +
            std::to_string(result.error().number));
    return std::nullopt;
  }
  return result.value();
}

// Asks for what the XML leaves to callbacks; the rest stands in the XML.
void AddinRibbon::Ask(size_t key, size_t window, const DeclaredControl& control) {
  Shown& shown = Drawn(key)[control.id];
  const Value args[] = {Control(control, window)};
  auto text_of = [&](const char* getter, const char* fixed, std::string& into) {
    if (auto got = Call(control.Attribute(getter), args)) {
      if (auto text = got->ToText(); text.ok()) into = text.value();
    } else if (const std::string* value = control.Attribute(fixed)) {
      into = *value;
    }
  };
  auto flag_of = [&](const char* getter, const char* fixed, bool& into) {
    if (auto got = Call(control.Attribute(getter), args)) {
      if (auto flag = got->ToBool(); flag.ok()) into = flag.value();
    } else if (const std::string* value = control.Attribute(fixed)) {
      into = *value != "false";
    }
  };
  text_of("getLabel", "label", shown.label);
  if (control.kind == DeclaredControl::Kind::EditBox) text_of("getText", "", shown.text);
  flag_of("getEnabled", "enabled", shown.enabled);
  if (control.kind == DeclaredControl::Kind::ToggleButton) flag_of("getPressed", "", shown.pressed);
}

const AddinRibbon::Shown& AddinRibbon::ShownNow(std::string_view id) {
  return Drawn(RibbonKey())[std::string(id)];
}

void AddinRibbon::Type(std::string_view id, const std::string& text) {
  const DeclaredControl* control = Find(id);
  Shown& shown = Drawn(RibbonKey())[std::string(id)];
  if (!control || control->kind != DeclaredControl::Kind::EditBox || !shown.enabled) return;
  shown.text = text;
  const Value args[] = {Control(*control, world_.active_window()), Value(text)};
  Call(control->Attribute("onChange"), args);
}

void AddinRibbon::Click(std::string_view id) {
  const DeclaredControl* control = Find(id);
  Shown& shown = Drawn(RibbonKey())[std::string(id)];
  if (!control || control->kind == DeclaredControl::Kind::EditBox || !shown.enabled) return;
  const Value ribbon_control = Control(*control, world_.active_window());
  if (control->kind == DeclaredControl::Kind::ToggleButton) {
    shown.pressed = !shown.pressed;
    const Value args[] = {ribbon_control, Value(shown.pressed)};
    Call(control->Attribute("onAction"), args);
  } else {
    const Value args[] = {ribbon_control};
    Call(control->Attribute("onAction"), args);
  }
}

std::string AddinRibbon::Line() {
  std::string line;
  for (const DeclaredGroup& group : ui_.groups) {
    if (!line.empty()) line += "\n";
    line += "ribbon ";
    line += QuotedText(group.label);
    line += ':';
    for (const DeclaredControl& control : group.controls) {
      const Shown& shown = ShownNow(control.id);
      line += " [";
      line += control.id;
      line += ' ';
      line += QuotedText(shown.label);
      if (control.kind == DeclaredControl::Kind::EditBox) {
        line += ' ';
        line += QuotedText(shown.text);
      }
      if (control.kind == DeclaredControl::Kind::ToggleButton)
        line += shown.pressed ? " pressed" : " not pressed";
      if (!shown.enabled) line += " greyed";
      line += "]";
    }
  }
  return line;
}

}  // namespace frambolist::sim

#include "sim/command_bars.h"

#include <array>

#include "sim/world.h"

namespace frambolist::sim {

namespace {

// Property accessors bound to a field; writes convert as the host's typed
// property would, and refuse what does not convert.
// The conversion each field's type takes, as Visual Basic makes it.
Outcome<std::string> Convert(const Value& v, std::string*) { return v.ToText(); }
Outcome<bool> Convert(const Value& v, bool*) { return v.ToBool(); }
Outcome<int32_t> Convert(const Value& v, int32_t*) { return v.ToLong(); }

template <class Field>
auto Write(Field& field) {
  return [&field](const Value& v) -> Outcome<void> {
    auto converted = Convert(v, &field);
    if (!converted.ok()) return host_errors::TypeMismatch();
    field = converted.value();
    return {};
  };
}
template <class Field>
auto Read(Field& field) {
  return [&field](std::span<const Value>) -> Outcome<Value> { return Value(field); };
}

// Collections answer Item(index) from 1, and by name where items have one.
template <class Items, class NameOf>
Outcome<Value> ItemOf(Items& items, const Value& key, NameOf name_of) {
  if (key.is<std::string>()) {
    for (auto& item : items) {
      if (name_of(*item) == key.as<std::string>()) return Value(item->Ref());
    }
    return host_errors::InvalidArgument();
  }
  auto index = key.ToLong();
  if (!index.ok() || index.value() < 1 || index.value() > static_cast<int32_t>(items.size())) {
    return host_errors::InvalidArgument();
  }
  return Value(items[static_cast<size_t>(index.value() - 1)]->Ref());
}

class CommandBars : public SimObject {
 public:
  explicit CommandBars(World& world) : SimObject(world, "CommandBars") {
    OfferEvents(host::event_interfaces::kCommandBarsEvents, {"OnUpdate"});
    Member("Count", [this](auto) {
      return Outcome<Value>(Value(static_cast<int32_t>(world_.bars().size())));
    });
    auto item = [this](std::span<const Value> args) {
      return ItemOf(world_.bars(), Arg(args, 0), [](const CommandBar& b) { return b.name; });
    };
    Member("Item", item, {}, kOneIndex);
    Member("", item, {}, kOneIndex);
    // Add(Name, Position, MenuBar, Temporary)
    Member("Add", [this](std::span<const Value> args) { return Add(args); }, {}, {0, 4});
  }

 private:
  Outcome<Value> Add(std::span<const Value> args) {
    std::string name = "Custom " + std::to_string(world_.bars().size() + 1);
    if (!Arg(args, 0).IsMissing()) {
      auto text = Arg(args, 0).ToText();
      if (!text.ok()) return host_errors::TypeMismatch();
      name = text.value();
    }
    for (auto& bar : world_.bars()) {
      if (bar->name == name) return host_errors::InvalidArgument();
    }
    bool temporary = false;
    if (!Arg(args, 3).IsMissing()) {
      auto t = Arg(args, 3).ToBool();
      if (!t.ok()) return host_errors::TypeMismatch();
      temporary = t.value();
    }
    auto bar = std::make_shared<CommandBar>(world_, name, temporary);
    if (!Arg(args, 1).IsMissing()) {
      auto p = Arg(args, 1).ToLong();
      if (!p.ok()) return host_errors::TypeMismatch();
      bar->position = p.value();
    }
    world_.bars().push_back(bar);
    world_.NoteBarChange();
    return Value(bar->Ref());
  }
};

class Controls : public SimObject {
 public:
  Controls(World& world, std::shared_ptr<CommandBar> bar)
      : SimObject(world, "CommandBarControls"), bar_(std::move(bar)) {
    Member("Count", [this](auto) {
      return Outcome<Value>(Value(static_cast<int32_t>(bar_->controls.size())));
    });
    auto item = [this](std::span<const Value> args) {
      return ItemOf(bar_->controls, Arg(args, 0), [](const Control& c) { return c.caption; });
    };
    Member("Item", item, {}, kOneIndex);
    Member("", item, {}, kOneIndex);
    // Add(Type, Id, Parameter, Before, Temporary)
    Member("Add", [this](std::span<const Value> args) { return Add(args); }, {}, {0, 5});
  }

 private:
  Outcome<Value> Add(std::span<const Value> args) {
    int32_t type = 1;
    if (!Arg(args, 0).IsMissing()) {
      auto t = Arg(args, 0).ToLong();
      if (!t.ok()) return host_errors::TypeMismatch();
      type = t.value();
    }
    if (type != 1 && type != 2) return host_errors::InvalidArgument();
    auto control = std::make_shared<Control>(
        world_, type == 2 ? Control::Kind::EditBox : Control::Kind::Button);
    bar_->controls.push_back(control);
    world_.NoteBarChange();
    return Value(control->Ref());
  }

  std::shared_ptr<CommandBar> bar_;
};

}  // namespace

Control::Control(World& world, Kind kind)
    : SimObject(world, kind == Kind::EditBox ? "CommandBarComboBox" : "CommandBarButton"),
      kind_(kind) {
  WritesChangeBars();
  Member("Type",
         [this](auto) { return Outcome<Value>(Value(int32_t{kind_ == Kind::EditBox ? 2 : 1})); });
  Member("Caption", Read(caption), Write(caption));
  Member("TooltipText", Read(tooltip_text), Write(tooltip_text));
  Member("OnAction", Read(on_action), Write(on_action));
  Member("Enabled", Read(enabled), Write(enabled));
  Member("BeginGroup", Read(begin_group), Write(begin_group));
  Member("Style", Read(style), Write(style));
  Member("Tag", Read(tag), Write(tag));
  Member("Id", Read(id));
  if (kind == Kind::EditBox) {
    Member("Text", Read(text), Write(text));
    OfferEvents(host::event_interfaces::kCommandBarComboBox, {"Change"});
  } else {
    Member("FaceId", Read(face_id), Write(face_id));
    OfferEvents(host::event_interfaces::kCommandBarButton, {"Click"});
  }
}

namespace {

// Office raises a control's event on every control it counts as the same
// one: the clicked control first, then the others in bar order. The list is
// made before any handler runs, and holds each control while it is raised.
template <class MakeArgs>
std::vector<HostError> RaiseOnSharing(World& world, Control& source, std::string_view event,
                                      MakeArgs make_args) {
  auto self = std::static_pointer_cast<Control>(source.shared_from_this());
  std::vector<std::shared_ptr<Control>> sharing{self};
  for (const auto& bar : world.bars()) {
    for (const auto& control : bar->controls) {
      if (control != self && control->SharesEventsWith(source)) sharing.push_back(control);
    }
  }
  std::vector<HostError> failures;
  for (const auto& control : sharing) {
    auto args = make_args();
    auto more = control->Raise(event, args);
    failures.insert(failures.end(), more.begin(), more.end());
  }
  return failures;
}

}  // namespace

std::vector<HostError> Control::UserClick() {
  if (!enabled || kind_ != Kind::Button) return {};
  // Held until the last handler returns: a handler may delete the bar.
  auto self = shared_from_this();
  if (on_action.starts_with("!<") && on_action.ends_with(">"))
    world_.LoadOnDemand(on_action.substr(2, on_action.size() - 3));
  return world_.AndCommandBarsUpdate(RaiseOnSharing(world_, *this, "Click", [&] {
    return std::array<Value, 2>{Value(Ref()), Value(false)};
  }));
}

std::vector<HostError> Control::UserType(const std::string& typed) {
  if (!enabled || kind_ != Kind::EditBox) return {};
  text = typed;
  return world_.AndCommandBarsUpdate(
      RaiseOnSharing(world_, *this, "Change", [&] { return std::array<Value, 1>{Value(Ref())}; }));
}

CommandBar::CommandBar(World& world, std::string bar_name, bool is_temporary)
    : SimObject(world, "CommandBar"), name(std::move(bar_name)), temporary(is_temporary) {
  WritesChangeBars();
  Member("Name", Read(name), Write(name));
  Member("Position", Read(position), Write(position));
  Member("Visible", Read(visible), Write(visible));
  Member("Temporary", Read(temporary));
  Member("Delete", [this](std::span<const Value> args) { return Delete(args); });
  Member("Controls", [this](auto) {
    auto self = std::static_pointer_cast<CommandBar>(shared_from_this());
    return Outcome<Value>(Value(MakeControls(world_, self)->Ref()));
  });
}

Outcome<Value> CommandBar::Delete(std::span<const Value> args) {
  if (!args.empty()) return host_errors::BadParamCount();
  auto& bars = world_.bars();
  std::erase_if(bars, [this](const auto& bar) { return bar.get() == this; });
  world_.NoteBarChange();
  return Value();
}

std::shared_ptr<SimObject> MakeCommandBars(World& world) {
  return std::make_shared<CommandBars>(world);
}

std::shared_ptr<SimObject> MakeControls(World& world, std::shared_ptr<CommandBar> bar) {
  return std::make_shared<Controls>(world, std::move(bar));
}

}  // namespace frambolist::sim

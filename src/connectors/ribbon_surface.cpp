#include "connectors/ribbon_surface.h"

#include <array>
#include <map>
#include <set>
#include <vector>

#include "connectors/error_policy.h"
#include "connectors/toolbar_layout.h"
#include "host/names.h"
#include "procs/units.h"

namespace frambolist::connectors {

using host::Dispatch;
using host::Outcome;
using host::Value;

namespace {

struct BoxView {
  std::string text = "0";
  bool enabled = true;
  bool operator==(const BoxView&) const = default;
};
using ById = std::less<>;

struct WindowBoxes {
  host::ObjectRef window;  // held, so that its identity stays its own
  std::map<std::string, BoxView, ById> state;
  std::map<std::string, BoxView, ById> shown;  // what this window's ribbon last drew
};

}  // namespace

// What the ribbon controls hold. The control objects reach it weakly: a
// handler may still hold one when the connector has gone.
struct RibbonState {
  std::map<std::string, host::ObjectRef, ById> controls;          // by toolbar field
  std::map<std::string, std::string, ById> labels, shown_labels;  // by ribbon id
  int32_t face_id = kFaceIdLockOn;
  bool shown_pressed = true;
  // Entry 0 stands for "no window known yet".
  std::vector<WindowBoxes> windows{1};
  size_t active = 0;
  size_t current = 0;                   // the active window, or the window of the running callback
  int callbacks = 0;                    // running, one inside another while a dialog is up
  std::set<std::string, ById> touched;  // written since the last invalidation
  // Invalidated, and not asked for again yet: Office asks once the user's
  // action is over, and one invalidation is enough until then.
  std::set<std::string, ById> invalidated;
  // Invalidated whatever the record says: the boxes of a shared ribbon when
  // another window becomes active.
  std::set<std::string, ById> forced;
  bool shared = false;
  Dispatch ribbon_ui;  // IRibbonUI, from onLoad
  int depth = 0;

  size_t WindowOf(const Dispatch& window) {
    if (!window) return 0;
    const void* identity = window.ref()->Identity();
    for (size_t i = 1; i < windows.size(); ++i) {
      if (windows[i].window->Identity() == identity) return i;
    }
    windows.push_back({window.ref(), {}, {}});
    return windows.size() - 1;
  }
  BoxView& Box(const std::string& id) { return windows[current].state[id]; }
  BoxView& Shown(const std::string& id) { return windows[current].shown[id]; }
  bool Pressed() const { return face_id == kFaceIdLockOn; }

  bool Differs(const std::string& id) {
    if (labels.contains(id) && labels[id] != shown_labels[id]) return true;
    if (id == "ButAspect" && Pressed() != shown_pressed) return true;
    for (WindowBoxes& w : windows) {
      if (w.state.contains(id) && w.state[id] != w.shown[id]) return true;
    }
    return false;
  }

  // Office asks again for what changed; each control once.
  void InvalidateChanged() {
    const auto forced_now = std::exchange(forced, {});
    for (const std::string& id : std::exchange(touched, {})) {
      if (invalidated.contains(id) || (!forced_now.contains(id) && !Differs(id))) continue;
      invalidated.insert(id);
      EndQuietly([&] { ribbon_ui.Call("InvalidateControl", {Value(id)}); });
    }
  }
  // Office asks for `id` again: what it shows is what it is told now.
  void Asked(const std::string& id) { invalidated.erase(id); }
};

namespace {

// A toolbar field's object on the ribbon: what a handler reads and writes
// there is the state of the ribbon control `id_` (for a caption, the box it
// labels), and its events are raised when Office calls back.
class RibbonControl final : public host::Object {
 public:
  RibbonControl(const std::shared_ptr<RibbonState>& state, const ControlLayout& row, std::string id)
      : state_(state), row_(row), id_(std::move(id)) {}

  void AddRef() noexcept override { ++refs_; }
  void Release() noexcept override {
    if (--refs_ == 0) delete this;
  }

  Outcome<Value> Get(std::string_view member, std::span<const Value>) override {
    const auto state = state_.lock();
    if (!state) return host::errors::ObjectVariableNotSet();
    RibbonState& s = *state;
    if (host::EqualsIgnoringCase(member, "Caption")) return Value(s.labels[id_]);
    if (IsBox() && host::EqualsIgnoringCase(member, "Text")) return Value(s.Box(id_).text);
    if (IsBox() && host::EqualsIgnoringCase(member, "Enabled")) return Value(s.Box(id_).enabled);
    if (IsToggle() && host::EqualsIgnoringCase(member, "FaceId")) return Value(s.face_id);
    return host::errors::MemberNotSupported();
  }

  Outcome<void> Put(std::string_view member, const Value& value) override {
    const auto state = state_.lock();
    if (!state) return host::errors::ObjectVariableNotSet();
    RibbonState& s = *state;
    auto write = [&](auto& field, auto converted) -> Outcome<void> {
      if (!converted.ok()) return host::errors::TypeMismatch();
      field = converted.value();
      s.touched.insert(id_);
      return {};
    };
    if (host::EqualsIgnoringCase(member, "Caption")) return write(s.labels[id_], value.ToText());
    if (IsBox() && host::EqualsIgnoringCase(member, "Text"))
      return write(s.Box(id_).text, value.ToText());
    if (IsBox() && host::EqualsIgnoringCase(member, "Enabled"))
      return write(s.Box(id_).enabled, value.ToBool());
    if (IsToggle() && host::EqualsIgnoringCase(member, "FaceId"))
      return write(s.face_id, value.ToLong());
    return host::errors::MemberNotSupported();
  }

  Outcome<Value> Call(std::string_view, std::span<const Value>) override {
    return host::errors::MemberNotSupported();
  }

  Outcome<host::Subscription> Subscribe(std::string_view interface_id,
                                        std::shared_ptr<host::EventSink> sink) override {
    if (row_.event_interface.empty() || interface_id != row_.event_interface)
      return host::errors::NoEvents();
    const std::string_view raised[] = {row_.event};
    if (auto unknown = host::CheckHandledEvents(*sink, raised)) return *unknown;
    const int id = next_sink_++;
    sinks_.emplace_back(id, std::move(sink));
    host::ObjectRef self(this);  // the subscription keeps this object
    return host::Subscription([self, id] {
      std::erase_if(static_cast<RibbonControl*>(self.get())->sinks_,
                    [id](const auto& s) { return s.first == id; });
    });
  }

  // As Office raises a command-bar control's event, with the control as
  // Ctrl. A failure that the handler reports has nowhere to go: Office
  // takes none from a ribbon callback.
  void Raise() {
    std::vector<Value> args{Value(host::ObjectRef(this))};
    if (row_.event == "Click") args.emplace_back(false);  // CancelDefault
    const auto sinks = sinks_;
    for (const auto& [id, sink] : sinks) (void)sink->OnEvent(row_.event, args);
  }

 private:
  ~RibbonControl() = default;
  bool IsBox() const { return row_.ribbon == RibbonRole::kEditBox; }
  bool IsToggle() const { return row_.ribbon == RibbonRole::kToggleButton; }

  std::weak_ptr<RibbonState> state_;
  const ControlLayout& row_;
  std::string id_;
  std::vector<std::pair<int, std::shared_ptr<host::EventSink>>> sinks_;
  int next_sink_ = 1;
  int refs_ = 1;
};

void RaiseOn(RibbonState& s, const std::string& field) {
  if (auto found = s.controls.find(field); found != s.controls.end())
    static_cast<RibbonControl*>(found->second.get())->Raise();
}

// What a callback's IRibbonControl says: its id, and the window whose ribbon
// called (none where Context cannot be read: the active window then).
struct Caller {
  std::string id;
  Dispatch window;
};
std::optional<Caller> CallerOf(const Value& control, bool with_window) {
  const Dispatch ribbon_control = Dispatch::FromValue(control);
  auto id = ribbon_control.GetPath({{"Id"}});
  if (!id.ok()) return std::nullopt;
  auto text = id.value().ToText();
  if (!text.ok()) return std::nullopt;
  Caller caller{text.value(), {}};
  if (!with_window) return caller;
  if (auto context = ribbon_control.GetPath({{"Context"}}); context.ok())
    caller.window = Dispatch(context.value().ObjectOrNothing());
  return caller;
}

using Run = Outcome<Value> (*)(RibbonState&, const Caller&, std::span<const Value>);

// The callbacks the XML names, with the arguments Office passes (the
// IRibbonControl first). The getters record what Office now shows.
struct CallbackEntry {
  std::string_view name;
  size_t arguments;
  bool needs_window;  // reads or writes a box's state, which is per window
  Run run;
};
constexpr CallbackEntry kCallbacks[] = {
    {"Ribbon_GetLabel", 1, false,
     [](RibbonState& s, const Caller& c, std::span<const Value>) -> Outcome<Value> {
       s.Asked(c.id);
       return Value(s.shown_labels[c.id] = s.labels[c.id]);
     }},
    {"Ribbon_GetText", 1, true,
     [](RibbonState& s, const Caller& c, std::span<const Value>) -> Outcome<Value> {
       s.Asked(c.id);
       return Value(s.Shown(c.id).text = s.Box(c.id).text);
     }},
    {"Ribbon_GetEnabled", 1, true,
     [](RibbonState& s, const Caller& c, std::span<const Value>) -> Outcome<Value> {
       s.Asked(c.id);
       return Value(s.Shown(c.id).enabled = s.Box(c.id).enabled);
     }},
    {"Ribbon_GetPressed", 1, false,
     [](RibbonState& s, const Caller& c, std::span<const Value>) -> Outcome<Value> {
       s.Asked(c.id);
       return Value(s.shown_pressed = s.Pressed());
     }},
    // Office's box keeps what the user typed: that is what it shows now.
    {"Ribbon_OnChange", 2, true,
     [](RibbonState& s, const Caller& c, std::span<const Value> args) -> Outcome<Value> {
       auto typed = args[1].ToText();
       if (!typed.ok()) return Value();
       s.Box(c.id).text = s.Shown(c.id).text = typed.value();
       s.touched.insert(c.id);
       RaiseOn(s, c.id);
       return Value();
     }},
    // Office has drawn the button pressed, or not, already.
    {"Ribbon_OnToggle", 2, true,
     [](RibbonState& s, const Caller& c, std::span<const Value> args) -> Outcome<Value> {
       if (auto pressed = args[1].ToBool(); pressed.ok()) s.shown_pressed = pressed.value();
       s.touched.insert(c.id);
       RaiseOn(s, c.id);
       return Value();
     }},
    {"Ribbon_OnAction", 1, true,
     [](RibbonState& s, const Caller& c, std::span<const Value>) -> Outcome<Value> {
       RaiseOn(s, c.id);
       return Value();
     }},
};

const CallbackEntry* FindCallback(std::string_view name) {
  for (const CallbackEntry& entry : kCallbacks) {
    if (host::EqualsIgnoringCase(entry.name, name)) return &entry;
  }
  return nullptr;
}

constexpr std::string_view kOnLoad = "Ribbon_Load";

constexpr auto kCallbackNames = [] {
  std::array<std::string_view, std::size(kCallbacks) + 1> names{kOnLoad};
  for (size_t i = 0; i < std::size(kCallbacks); ++i) names[i + 1] = kCallbacks[i].name;
  return names;
}();

}  // namespace

std::span<const std::string_view> RibbonSurface::CallbackNames() { return kCallbackNames; }

RibbonSurface::RibbonSurface(bool shared) : state_(std::make_shared<RibbonState>()) {
  state_->shared = shared;
  const auto& layout = ToolbarLayout();
  for (size_t i = 0; i < layout.size(); ++i) {
    const ControlLayout& row = layout[i];
    // A caption's writes reach the label of the box after it.
    const bool caption = row.ribbon == RibbonRole::kLabelOfNext && i + 1 < layout.size();
    const std::string id(caption ? layout[i + 1].field : row.field);
    state_->controls[std::string(row.field)] =
        host::ObjectRef::Adopt(new RibbonControl(state_, row, id));
    for (const PropertyWrite& write : row.writes) {
      if (write.property != "Caption") continue;
      state_->labels[id] =
          write.kind == PropertyWrite::Kind::kUnitCaption
              ? write.value.as<std::string>() + std::string(procs::NameOf(procs::CurrentUnit)) + ")"
              : write.value.as<std::string>();
    }
  }
  state_->shown_labels = state_->labels;
}

RibbonSurface::~RibbonSurface() = default;

Dispatch RibbonSurface::ControlOf(std::string_view field) const {
  auto found = state_->controls.find(field);
  return found == state_->controls.end() ? Dispatch() : Dispatch(found->second);
}

bool RibbonSurface::NoteActiveWindow(const Dispatch& window) {
  RibbonState& s = *state_;
  const size_t index = s.WindowOf(window);
  const bool changed = index != s.active;
  s.active = index;
  if (s.callbacks == 0) s.current = index;
  // A shared ribbon still shows the other window's boxes.
  if (changed && s.shared) {
    for (const ControlLayout& row : ToolbarLayout()) {
      if (row.ribbon != RibbonRole::kEditBox) continue;
      s.touched.emplace(row.field);
      s.forced.emplace(row.field);
    }
  }
  return changed;
}

void RibbonSurface::Enter() { ++state_->depth; }

void RibbonSurface::Leave() {
  if (--state_->depth == 0) state_->InvalidateChanged();
}

bool RibbonSurface::KnowsCallback(std::string_view name) {
  return host::EqualsIgnoringCase(name, kOnLoad) || FindCallback(name) != nullptr;
}

Outcome<Value> RibbonSurface::Callback(std::string_view name, std::span<const Value> args) {
  RibbonState& s = *state_;
  if (host::EqualsIgnoringCase(name, kOnLoad)) {
    if (args.size() != 1) return host::errors::WrongArgumentCount();
    s.ribbon_ui = Dispatch(args[0].ObjectOrNothing());
    return Value();
  }
  const CallbackEntry* entry = FindCallback(name);
  if (!entry) return host::errors::MemberNotSupported();
  if (args.size() != entry->arguments) return host::errors::WrongArgumentCount();
  const std::optional<Caller> caller = CallerOf(args[0], entry->needs_window);
  if (!caller) return Value();  // no control we could name: nothing to answer
  Outcome<Value> result = Value();
  // The callback's window, for as long as it runs.
  const size_t outer = s.current;
  if (entry->needs_window) s.current = caller->window ? s.WindowOf(caller->window) : s.active;
  ++s.callbacks;
  auto restore = [&] {
    --s.callbacks;
    s.current = s.callbacks == 0 ? s.active : outer;
  };
  try {
    AsOneAction([&] { result = entry->run(s, *caller, args); });
  } catch (...) {
    restore();
    throw;
  }
  restore();
  return result;
}

}  // namespace frambolist::connectors

// The three connector classes: their host reference, its events, and the
// wiring of every reference that receives events to its handler.

#include "connectors/connectors.h"

#include <algorithm>

#include "connectors/error_policy.h"
#include "connectors/host_values.h"

namespace frambolist::connectors {

namespace {
using host::Value;
namespace iid = host::event_interfaces;

// Routes `event_name` to `handler`, ignoring every other event of the source.
template <class Handler>
EventRouter::Route On(std::string_view event_name, Handler handler) {
  return [event_name, handler](std::string_view event, std::span<Value, kMaxEventArgs> args) {
    if (event == event_name) handler(args);
  };
}
}  // namespace

Connector::Connector(HostKind host, platform::Platform& platform)
    : TxHeight(iid::kCommandBarComboBox, Router(On("Change", [this](auto args) { TxHeight_Change(args[0]); }))),
      TxWidth(iid::kCommandBarComboBox, Router(On("Change", [this](auto args) { TxWidth_Change(args[0]); }))),
      ButAspect(iid::kCommandBarButton,
                Router(On("Click", [this](auto args) { ButAspect_Click(args[0], args[1]); }))),
      TxRotate(iid::kCommandBarComboBox, Router(On("Change", [this](auto args) { TxRotate_Change(args[0]); }))),
      ButSettings(iid::kCommandBarButton,
                  Router(On("Click", [this](auto args) { ButSettings_Click(args[0], args[1]); }))),
      ButAbout(iid::kCommandBarButton, Router(On("Click", [this](auto args) { ButAbout_Click(args[0], args[1]); }))),
      traits_(TraitsOf(host)),
      message_box_(*this, platform.message_box),
      platform_{message_box_, platform.locale, platform.dialogs, platform.shell} {}

Connector::~Connector() {
  // Hosts may still hold the routers: they must not reach this connector.
  for (auto& router : routers_) router->Detach();
}

std::shared_ptr<EventRouter> Connector::Router(EventRouter::Route route) {
  routers_.push_back(std::make_shared<EventRouter>(std::move(route), [this]() -> std::shared_ptr<const void> {
    return weak_from_this().lock();
  }));
  return routers_.back();
}

std::vector<host::WithEvents*> Connector::EventReferences() {
  return {&HostReference(), &TxHeight, &TxWidth, &ButAspect, &TxRotate, &ButSettings, &ButAbout};
}

void Connector::AddinInstance_OnDisconnection(int32_t /*RemoveMode*/) {
  connected_ = false;
  for (auto& router : routers_) router->Detach();
  for (host::WithEvents* reference : EventReferences()) reference->Disconnect();
}

Connect::Connect(platform::Platform& platform)
    : Connector(HostKind::PowerPoint, platform),
      PPTApp(iid::kPowerPointApplication,
             Router(On("WindowSelectionChange", [this](auto args) { PPTApp_WindowSelectionChange(args[0]); }))) {}

ConnectXl::ConnectXl(platform::Platform& platform)
    : Connector(HostKind::Excel, platform),
      EXApp(iid::kExcelApplication,
            Router([this](std::string_view event, std::span<Value, kMaxEventArgs> args) {
              if (event == "SheetSelectionChange") EXApp_SheetSelectionChange(args[0], args[1]);
              else if (event == "SheetActivate") EXApp_SheetActivate(args[0]);
            })),
      EXBars(iid::kCommandBarsEvents, Router(On("OnUpdate", [this](auto) { EXBars_OnUpdate(); }))) {}

ConnectWd::ConnectWd(platform::Platform& platform)
    : Connector(HostKind::Word, platform),
      WdApp(iid::kWordApplication,
            Router(On("WindowSelectionChange", [this](auto args) { WdApp_WindowSelectionChange(args[0]); }))) {}

void Connect::PPTApp_WindowSelectionChange(const Value& Sel) { TrackSelection(host::Dispatch::FromValue(Sel)); }

void ConnectWd::WdApp_WindowSelectionChange(const Value& Sel) { TrackSelection(host::Dispatch::FromValue(Sel)); }

std::vector<host::WithEvents*> ConnectXl::EventReferences() {
  auto references = Connector::EventReferences();
  references.push_back(&EXBars);
  return references;
}

// A worksheet has no ShapeRange, so the sheet that the event passes can never
// give the selection's shapes; the active window's selection can.
void ConnectXl::EXApp_SheetSelectionChange(const Value& /*Sh*/, const Value& /*Target*/) { ShowSelection(); }

void ConnectXl::EXBars_OnUpdate() {
  // Raised many times a second while the user works: most updates change
  // nothing, and they must cost little and never touch the toolbar.
  if (SelectedShapeNames() != shown_selection_) ShowSelection();
}

void ConnectXl::ShowSelection() {
  TrackSelection(host::Dispatch());
  shown_selection_ = SelectedShapeNames();
}

std::string ConnectXl::SelectedShapeNames() {
  std::string names;
  EndQuietly([&] {
    const host::Dispatch range = EXApp->Obj("ActiveWindow").Obj("Selection").Obj("ShapeRange");
    const int32_t count = LongOf(range.Get("Count"));
    names = std::to_string(count);
    // A selection of more shapes than this is told apart by its count alone.
    constexpr int32_t kNamesRead = 64;
    for (int32_t i = 1; i <= std::min(count, kNamesRead); ++i) names += "\n" + TextOf(range.Obj("Item", {Value(i)}).Get("Name"));
  });
  return names;
}

// The update event comes from the host's CommandBars. Without it the add-in
// still works as Excel's own events allow, so a refusal is no failure of the
// connection.
void ConnectXl::AfterConnection() {
  EndQuietly([&] { EXBars.Set(EXApp->Obj("CommandBars")); });
}

std::shared_ptr<Connector> CreateConnector(std::string_view class_name, platform::Platform& platform) {
  if (class_name == "Connect") return std::make_shared<Connect>(platform);
  if (class_name == "ConnectXl") return std::make_shared<ConnectXl>(platform);
  if (class_name == "ConnectWd") return std::make_shared<ConnectWd>(platform);
  return nullptr;
}

}  // namespace frambolist::connectors

// The three connector classes: their host reference, its events, and the
// wiring of every reference that receives events to its handler.

#include "connectors/connectors.h"

#include "connectors/error_policy.h"
#include "connectors/throwing_conversions.h"
#include "connectors/toolbar_layout.h"

namespace frambolist::connectors {

namespace {
using host::Value;
namespace iid = host::event_interfaces;
}  // namespace

Connector::Connector(HostKind host, platform::Platform& platform)
    : traits_(TraitsOf(host)),
      message_box_(*this, platform.message_box),
      platform_{message_box_, platform.locale, platform.dialogs, platform.shell} {
  int route = 0;  // the control's row
  for (const ControlLayout& control : ToolbarLayout()) {
    if (control.handler)
      (this->*control.reference).ListenTo(control.event_interface, Router(route));
    ++route;
  }
}

Connector::~Connector() {
  // Hosts may still hold the routers: they must not reach this connector.
  for (auto& router : routers_) router->Detach();
}

std::shared_ptr<EventRouter> Connector::Router(int route) {
  routers_.push_back(std::make_shared<EventRouter>(static_cast<EventTarget&>(*this), route));
  return routers_.back();
}

void Connector::RouteEvent(int route, std::string_view event,
                           std::span<Value, kMaxEventArgs> args) {
  // Routes are made only by Router: the host's are negative, a control's
  // is its row.
  auto route_event = [&] {
    if (route < 0)
      RouteHostEvent(route, event, args);
    else if (const ControlLayout& control = ToolbarLayout()[static_cast<size_t>(route)];
             event == control.event)
      KeepingTemplateSaved([&] { control.handler(*this, args); });
  };
  if (ribbon_)
    ribbon_->AsOneAction(route_event);
  else
    route_event();
}

void Connector::NoteActiveWindow(const host::Dispatch& window) {
  if (ribbon_ && ribbon_->NoteActiveWindow(window)) shown_.reset();
}

std::vector<host::WithEvents*> Connector::EventReferences() {
  std::vector<host::WithEvents*> references{&HostReference(), &CommandBarsReference()};
  for (const ControlLayout& control : ToolbarLayout()) {
    if (control.handler) references.push_back(&(this->*control.reference));
  }
  return references;
}

void Connector::AfterConnection() {
  EndQuietly([&] { CommandBarsReference().Set(HostApplication().Obj("CommandBars")); });
}

void Connector::AddinInstance_OnDisconnection(int32_t RemoveMode) {
  // Switched off by the user, the add-in takes its toolbar away: left
  // behind, its buttons ("!<ProgId>") would load the add-in again, whose new
  // connection would find the bar's name taken. Under a trap: a bar that
  // cannot be deleted stays as it is. At the host's shutdown the host
  // discards the temporary bar itself.
  constexpr int32_t kUserClosed = 1;  // ext_dm_UserClosed
  if (!ever_connected_) return;
  if (RemoveMode == kUserClosed && connected_)
    KeepingTemplateSaved([&] { EndQuietly([&] { CmdBar.Call("Delete"); }); });
  connected_ = false;
  for (auto& router : routers_) router->Detach();
  for (host::WithEvents* reference : EventReferences()) reference->Disconnect();
}

Connect::Connect(platform::Platform& platform)
    : Connector(HostKind::PowerPoint, platform),
      PPTApp(iid::kPowerPointApplication, Router(kApplication)),
      PPTBars(iid::kCommandBarsEvents, Router(kCommandBars)) {}

ConnectXl::ConnectXl(platform::Platform& platform)
    : Connector(HostKind::Excel, platform),
      EXApp(iid::kExcelApplication, Router(kApplication)),
      EXBars(iid::kCommandBarsEvents, Router(kCommandBars)) {}

ConnectWd::ConnectWd(platform::Platform& platform)
    : Connector(HostKind::Word, platform),
      WdApp(iid::kWordApplication, Router(kApplication)),
      WdBars(iid::kCommandBarsEvents, Router(kCommandBars)) {}

void Connect::RouteHostEvent(int route, std::string_view event,
                             std::span<Value, kMaxEventArgs> args) {
  if (route == kApplication && event == "WindowSelectionChange")
    PPTApp_WindowSelectionChange(args[0]);
  else if (route == kCommandBars && event == "OnUpdate")
    PPTBars_OnUpdate();
}

void ConnectXl::RouteHostEvent(int route, std::string_view event,
                               std::span<Value, kMaxEventArgs> args) {
  if (route == kApplication && event == "SheetSelectionChange")
    EXApp_SheetSelectionChange(args[0], args[1]);
  else if (route == kApplication && event == "SheetActivate")
    EXApp_SheetActivate(args[0]);
  else if (route == kCommandBars && event == "OnUpdate")
    EXBars_OnUpdate();
}

void ConnectWd::RouteHostEvent(int route, std::string_view event,
                               std::span<Value, kMaxEventArgs> args) {
  if (route == kApplication && event == "WindowSelectionChange")
    WdApp_WindowSelectionChange(args[0]);
  else if (route == kCommandBars && event == "OnUpdate")
    WdBars_OnUpdate();
}

void Connect::PPTApp_WindowSelectionChange(const Value& Sel) {
  const host::Dispatch selection = host::Dispatch::FromValue(Sel);
  TrackSelection(&selection);
}

void ConnectWd::WdApp_WindowSelectionChange(const Value& Sel) {
  const host::Dispatch selection = host::Dispatch::FromValue(Sel);
  TrackSelection(&selection);
}

// A worksheet has no ShapeRange, so the sheet that the event passes can never
// give the selection's shapes; the active window's selection can.
void ConnectXl::EXApp_SheetSelectionChange(const Value& /*Sh*/, const Value& /*Target*/) {
  TrackSelection(nullptr);
}

std::shared_ptr<Connector> CreateConnector(std::string_view class_name,
                                           platform::Platform& platform) {
  if (class_name == "Connect") return std::make_shared<Connect>(platform);
  if (class_name == "ConnectXl") return std::make_shared<ConnectXl>(platform);
  if (class_name == "ConnectWd") return std::make_shared<ConnectWd>(platform);
  return nullptr;
}

}  // namespace frambolist::connectors

// The three connector classes: their host reference, its events, and the
// wiring of every reference that receives events to its handler.

#include "connectors/connectors.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "connectors/error_policy.h"
#include "connectors/host_values.h"
#include "connectors/toolbar_fields.h"
#include "connectors/toolbar_layout.h"

namespace frambolist::connectors {

namespace {
using host::Value;
namespace iid = host::event_interfaces;
}  // namespace

Connector::Connector(HostKind host, platform::Platform& platform)
    : TxHeight(iid::kCommandBarComboBox, Router(kTxHeight)),
      TxWidth(iid::kCommandBarComboBox, Router(kTxWidth)),
      ButAspect(iid::kCommandBarButton, Router(kButAspect)),
      TxRotate(iid::kCommandBarComboBox, Router(kTxRotate)),
      ButSettings(iid::kCommandBarButton, Router(kButSettings)),
      ButAbout(iid::kCommandBarButton, Router(kButAbout)),
      traits_(TraitsOf(host)),
      message_box_(*this, platform.message_box),
      platform_{message_box_, platform.locale, platform.dialogs, platform.shell} {
  ToolbarFields fields(*this);
  for (const ControlLayout& control : ToolbarLayout()) {
    if (!ToolbarFields::Exists(fields.Find(control.field))) {
      throw std::logic_error("the toolbar layout names no field of the connector: " +
                             std::string(control.field));
    }
  }
}

Connector::~Connector() {
  // Hosts may still hold the routers: they must not reach this connector.
  for (auto& router : routers_) router->Detach();
}

std::shared_ptr<EventRouter> Connector::Router(Route route) {
  routers_.push_back(std::make_shared<EventRouter>(static_cast<EventTarget&>(*this), route));
  return routers_.back();
}

void Connector::RouteEvent(int route, std::string_view event,
                           std::span<Value, kMaxEventArgs> args) {
  const bool change = event == "Change", click = event == "Click";
  switch (route) {
    case kTxHeight:
      if (change) TxHeight_Change(args[0]);
      break;
    case kTxWidth:
      if (change) TxWidth_Change(args[0]);
      break;
    case kTxRotate:
      if (change) TxRotate_Change(args[0]);
      break;
    case kButAspect:
      if (click) ButAspect_Click(args[0], args[1]);
      break;
    case kButSettings:
      if (click) ButSettings_Click(args[0], args[1]);
      break;
    case kButAbout:
      if (click) ButAbout_Click(args[0], args[1]);
      break;
    default:
      RouteHostEvent(route, event, args);
  }
}

std::vector<host::WithEvents*> Connector::EventReferences() {
  return {&HostReference(), &TxHeight, &TxWidth, &ButAspect, &TxRotate, &ButSettings, &ButAbout};
}

void Connector::AddinInstance_OnDisconnection(int32_t RemoveMode) {
  // Switched off by the user, the add-in takes its toolbar away: left
  // behind, its buttons ("!<ProgId>") would load the add-in again, whose new
  // connection would find the bar's name taken. Under a trap: a bar that
  // cannot be deleted stays as it is. At the host's shutdown the host
  // discards the temporary bar itself.
  constexpr int32_t kUserClosed = 1;  // ext_dm_UserClosed
  if (RemoveMode == kUserClosed && connected_) EndQuietly([&] { CmdBar.Call("Delete"); });
  connected_ = false;
  for (auto& router : routers_) router->Detach();
  for (host::WithEvents* reference : EventReferences()) reference->Disconnect();
}

Connect::Connect(platform::Platform& platform)
    : Connector(HostKind::PowerPoint, platform),
      PPTApp(iid::kPowerPointApplication, Router(kApplication)) {}

ConnectXl::ConnectXl(platform::Platform& platform)
    : Connector(HostKind::Excel, platform),
      EXApp(iid::kExcelApplication, Router(kApplication)),
      EXBars(iid::kCommandBarsEvents, Router(kCommandBars)) {}

ConnectWd::ConnectWd(platform::Platform& platform)
    : Connector(HostKind::Word, platform), WdApp(iid::kWordApplication, Router(kApplication)) {}

void Connect::RouteHostEvent(int route, std::string_view event,
                             std::span<Value, kMaxEventArgs> args) {
  if (route == kApplication && event == "WindowSelectionChange")
    PPTApp_WindowSelectionChange(args[0]);
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
}

void Connect::PPTApp_WindowSelectionChange(const Value& Sel) {
  TrackSelection(host::Dispatch::FromValue(Sel));
}

void ConnectWd::WdApp_WindowSelectionChange(const Value& Sel) {
  TrackSelection(host::Dispatch::FromValue(Sel));
}

std::vector<host::WithEvents*> ConnectXl::EventReferences() {
  auto references = Connector::EventReferences();
  references.push_back(&EXBars);
  return references;
}

// A worksheet has no ShapeRange, so the sheet that the event passes can never
// give the selection's shapes; the active window's selection can.
void ConnectXl::EXApp_SheetSelectionChange(const Value& /*Sh*/, const Value& /*Target*/) {
  ShowSelection();
}

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
    for (int32_t i = 1; i <= std::min(count, kNamesRead); ++i)
      names += "\n" + TextOf(range.Obj("Item", {Value(i)}).Get("Name"));
  });
  return names;
}

// The update event comes from the host's CommandBars. Without it the add-in
// still works as Excel's own events allow, so a refusal is no failure of the
// connection.
void ConnectXl::AfterConnection() {
  EndQuietly([&] { EXBars.Set(EXApp->Obj("CommandBars")); });
}

std::shared_ptr<Connector> CreateConnector(std::string_view class_name,
                                           platform::Platform& platform) {
  if (class_name == "Connect") return std::make_shared<Connect>(platform);
  if (class_name == "ConnectXl") return std::make_shared<ConnectXl>(platform);
  if (class_name == "ConnectWd") return std::make_shared<ConnectWd>(platform);
  return nullptr;
}

}  // namespace frambolist::connectors

// The three connector classes: their host reference, its events, and the
// binding of every reference that receives events to its handlers.

#include "connectors/connectors.h"

#include <type_traits>
#include <variant>

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
  for (const ControlLayout& control : ToolbarLayout()) {
    if (!control.RaisesEvents()) continue;
    // A control's handler may change the toolbar, which Word keeps in a
    // template: run it under the template's saved state.
    EventHandler handler = std::visit(
        [this](auto member) -> EventHandler {
          if constexpr (std::is_same_v<decltype(member), std::nullptr_t>)
            return [](EventArgs) {};  // a caption: never reached
          else
            return Handler(*this, member);
        },
        control.handler);
    (this->*control.reference)
        .ListenTo(control.event_interface,
                  Router({{control.event, [this, handler = std::move(handler)](EventArgs args) {
                             KeepingTemplateSaved([&] { handler(args); });
                           }}}));
  }
}

Connector::~Connector() {
  // Hosts may still hold the routers: they must not reach this connector.
  for (auto& router : routers_) router->Detach();
}

std::shared_ptr<EventRouter> Connector::Router(std::vector<EventBinding> bindings) {
  routers_.push_back(
      std::make_shared<EventRouter>(static_cast<EventTarget&>(*this), std::move(bindings)));
  return routers_.back();
}

void Connector::RunHandler(const std::function<void()>& handler) {
  if (ribbon_)
    ribbon_->AsOneAction(handler);
  else
    handler();
}

void Connector::NoteActiveWindow(const host::Dispatch& window) {
  if (ribbon_ && ribbon_->NoteActiveWindow(window)) shown_.reset();
}

std::vector<host::WithEvents*> Connector::EventReferences() {
  std::vector<host::WithEvents*> references{&HostReference(), &CommandBarsReference()};
  for (const ControlLayout& control : ToolbarLayout()) {
    if (control.RaisesEvents()) references.push_back(&(this->*control.reference));
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

// Each host reference takes the events named here, and only those: a name
// that the host's event interface lacks fails the subscription.
Connect::Connect(platform::Platform& platform)
    : Connector(HostKind::PowerPoint, platform),
      PPTApp(iid::kPowerPointApplication,
             Router({{"WindowSelectionChange",
                      Handler(*this, &Connect::PPTApp_WindowSelectionChange)}})),
      PPTBars(iid::kCommandBarsEvents,
              Router({{"OnUpdate", Handler(*this, &Connect::PPTBars_OnUpdate)}})) {}

ConnectXl::ConnectXl(platform::Platform& platform)
    : Connector(HostKind::Excel, platform),
      EXApp(
          iid::kExcelApplication,
          Router({{"SheetSelectionChange", Handler(*this, &ConnectXl::EXApp_SheetSelectionChange)},
                  {"SheetActivate", Handler(*this, &ConnectXl::EXApp_SheetActivate)}})),
      EXBars(iid::kCommandBarsEvents,
             Router({{"OnUpdate", Handler(*this, &ConnectXl::EXBars_OnUpdate)}})) {}

ConnectWd::ConnectWd(platform::Platform& platform)
    : Connector(HostKind::Word, platform),
      WdApp(iid::kWordApplication,
            Router({{"WindowSelectionChange",
                     Handler(*this, &ConnectWd::WdApp_WindowSelectionChange)}})),
      WdBars(iid::kCommandBarsEvents,
             Router({{"OnUpdate", Handler(*this, &ConnectWd::WdBars_OnUpdate)}})) {}

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

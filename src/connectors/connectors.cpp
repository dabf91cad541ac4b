// The three connector classes: their host reference, its events, and the
// wiring of every reference that receives events to its handler.

#include "connectors/connectors.h"

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
    : TxHeight(iid::kCommandBarComboBox, height_events_),
      TxWidth(iid::kCommandBarComboBox, width_events_),
      ButAspect(iid::kCommandBarButton, aspect_events_),
      TxRotate(iid::kCommandBarComboBox, rotate_events_),
      ButSettings(iid::kCommandBarButton, settings_events_),
      ButAbout(iid::kCommandBarButton, about_events_),
      traits_(TraitsOf(host)),
      platform_(platform),
      height_events_(On("Change", [this](auto args) { TxHeight_Change(args[0]); })),
      width_events_(On("Change", [this](auto args) { TxWidth_Change(args[0]); })),
      rotate_events_(On("Change", [this](auto args) { TxRotate_Change(args[0]); })),
      aspect_events_(On("Click", [this](auto args) { ButAspect_Click(args[0], args[1]); })),
      settings_events_(On("Click", [this](auto args) { ButSettings_Click(args[0], args[1]); })),
      about_events_(On("Click", [this](auto args) { ButAbout_Click(args[0], args[1]); })) {}

Connect::Connect(platform::Platform& platform)
    : Connector(HostKind::PowerPoint, platform),
      application_events_(On("WindowSelectionChange",
                             [this](auto args) { PPTApp_WindowSelectionChange(args[0]); })),
      PPTApp(iid::kPowerPointApplication, application_events_) {}

ConnectXl::ConnectXl(platform::Platform& platform)
    : Connector(HostKind::Excel, platform),
      application_events_([this](std::string_view event, std::span<Value, kMaxEventArgs> args) {
        if (event == "SheetSelectionChange") EXApp_SheetSelectionChange(args[0], args[1]);
        else if (event == "SheetActivate") EXApp_SheetActivate(args[0]);
      }),
      EXApp(iid::kExcelApplication, application_events_) {}

ConnectWd::ConnectWd(platform::Platform& platform)
    : Connector(HostKind::Word, platform),
      application_events_(On("WindowSelectionChange",
                             [this](auto args) { WdApp_WindowSelectionChange(args[0]); })),
      WdApp(iid::kWordApplication, application_events_) {}

void Connect::PPTApp_WindowSelectionChange(const Value& Sel) { TrackSelection(host::Dispatch::FromValue(Sel)); }

void ConnectWd::WdApp_WindowSelectionChange(const Value& Sel) { TrackSelection(host::Dispatch::FromValue(Sel)); }

// A worksheet has no ShapeRange, so the sheet that the event passes can never
// give the selection's shapes; the active window's selection can.
void ConnectXl::EXApp_SheetSelectionChange(const Value& /*Sh*/, const Value& /*Target*/) {
  TrackSelection(host::Dispatch());
}

std::unique_ptr<Connector> CreateConnector(std::string_view class_name, platform::Platform& platform) {
  if (class_name == "Connect") return std::make_unique<Connect>(platform);
  if (class_name == "ConnectXl") return std::make_unique<ConnectXl>(platform);
  if (class_name == "ConnectWd") return std::make_unique<ConnectWd>(platform);
  return nullptr;
}

}  // namespace frambolist::connectors

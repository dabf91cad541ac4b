#pragma once
// What the three connectors Connect (PowerPoint), ConnectXl (Excel) and
// ConnectWd (Word) share: the toolbar fields, the connection event and the
// toolbar and dialog handlers. Each subclass adds its host reference and the
// host's application-event handlers; everything else that differs is in
// HostTraits.

#include <memory>
#include <optional>

#include "connectors/event_router.h"
#include "connectors/host_traits.h"
#include "host/dispatch.h"
#include "host/with_events.h"
#include "platform/platform.h"

namespace frambolist::connectors {

class Connector {
 public:
  virtual ~Connector() = default;
  Connector(const Connector&) = delete;
  Connector& operator=(const Connector&) = delete;

  // The add-in connection interface. A failure returned is the connection's
  // failure for the host (only Excel's policy lets one through).
  std::optional<host::HostError> AddinInstance_OnConnection(const host::Value& Application,
                                                            int32_t ConnectMode,
                                                            const host::Value& AddInInst);
  void AddinInstance_OnBeginShutdown() {}

  const HostTraits& traits() const { return traits_; }

  // The toolbar, kept for as long as the host keeps the connector.
  host::Dispatch CmdBar;
  host::Dispatch LblHeight;
  host::WithEvents TxHeight;
  host::Dispatch LblWidth;
  host::WithEvents TxWidth;
  host::WithEvents ButAspect;
  host::Dispatch LblRotate;
  host::WithEvents TxRotate;
  host::WithEvents ButSettings;
  host::WithEvents ButAbout;

  // The toolbar's handlers, the same in every host.
  void TxHeight_Change(const host::Value& Ctrl);
  void TxWidth_Change(const host::Value& Ctrl);
  void TxRotate_Change(const host::Value& Ctrl);
  void ButAspect_Click(const host::Value& Ctrl, host::Value& CancelDefault);
  void ButSettings_Click(const host::Value& Ctrl, host::Value& CancelDefault);
  void ButAbout_Click(const host::Value& Ctrl, host::Value& CancelDefault);

 protected:
  Connector(HostKind host, platform::Platform& platform);

  // PPTApp, EXApp or WdApp.
  virtual host::WithEvents& HostReference() = 0;
  const host::Dispatch& HostApplication() { return *HostReference(); }

  // Shows the selection's geometry in the boxes. `selection` is the event's
  // selection in PowerPoint and Word; Excel reads the active window's.
  void TrackSelection(const host::Dispatch& selection);

  const HostTraits& traits_;
  platform::Platform& platform_;

 private:
  template <class Policy>
  void RunConnectionSteps(const Policy& policy, const host::Dispatch& application, const host::Dispatch& add_in);

  enum class Dimension { Height, Width };
  void EditSize(Dimension own);
  float ReadOtherDimension(Dimension other, float previous);

  EventRouter height_events_, width_events_, rotate_events_;
  EventRouter aspect_events_, settings_events_, about_events_;
};

// A new connector for one of the registered class names ("Connect",
// "ConnectXl", "ConnectWd"), or null for any other name.
std::unique_ptr<Connector> CreateConnector(std::string_view class_name, platform::Platform& platform);

}  // namespace frambolist::connectors

#pragma once
// What the three connectors Connect (PowerPoint), ConnectXl (Excel) and
// ConnectWd (Word) share: the toolbar fields, the connection event and the
// toolbar and dialog handlers.
//
// Hosts differ in two ways, each with one home. What a host has of its own
// (its application reference and the application events it raises) is a
// subclass: those fields and handlers exist in one host only. How a shared
// handler behaves in each host is HostTraits, as data: a shared handler
// never asks which host it runs in.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "connectors/event_router.h"
#include "connectors/host_traits.h"
#include "connectors/ribbon_surface.h"
#include "host/dispatch.h"
#include "host/with_events.h"
#include "platform/platform.h"

namespace frambolist::connectors {

// What the selection handler shows: whether it enables the boxes first, each
// box's text in the order it writes them, and whether the failure that ends
// it (if any) disables them.
struct ShownSelection {
  bool enables = false;
  std::vector<std::pair<const host::WithEvents*, std::string>> texts;
  bool disables = false;
  bool operator==(const ShownSelection&) const = default;
};

// Owned through shared_ptr (CreateConnector): a handler holds its connector
// for the length of the event, whatever the host releases meanwhile.
class Connector : public std::enable_shared_from_this<Connector>, EventTarget {
  // First, so that they exist before the fields below connect to them.
  bool connected_ = false;
  bool ever_connected_ = false;
  std::vector<std::shared_ptr<EventRouter>> routers_;

 public:
  virtual ~Connector();
  Connector(const Connector&) = delete;
  Connector& operator=(const Connector&) = delete;

  // The add-in connection interface. A failure returned is the connection's
  // failure for the host (only Excel's policy lets one through). A connector
  // connects once: connected again, or after its disconnection, it refuses
  // (E_UNEXPECTED) and changes nothing; without an Application it refuses
  // (E_POINTER) before any step.
  std::optional<host::HostError> AddinInstance_OnConnection(const host::Value& Application,
                                                            int32_t ConnectMode,
                                                            const host::Value& AddInInst);
  void AddinInstance_OnBeginShutdown() {}
  // The host switches the add-in off (or closes): the connector lets go of
  // every event connection, so no handler runs again, and a handler waiting
  // in a modal window ends when the window closes. Switched off by the user
  // (ext_dm_UserClosed), it first deletes its toolbar. Never connected, it
  // has nothing to let go of and does nothing.
  void AddinInstance_OnDisconnection(int32_t RemoveMode);
  // The host has released the connector: as a disconnection, for a host that
  // releases without disconnecting first.
  void HostReleased() { AddinInstance_OnDisconnection(0); }

  const HostTraits& traits() const { return traits_; }

  // Office 2007 and later ask for a ribbon instead (IRibbonExtensibility):
  // the group's XML for the host's document windows, empty for any other
  // ribbon id and for a connection that built the toolbar.
  std::string GetCustomUI(std::string_view ribbon_id) const;
  static bool KnowsRibbonCallback(std::string_view name) {
    return RibbonSurface::KnowsCallback(name);
  }
  // A callback named in the XML. Never a handler's failure: Office takes
  // none from a ribbon callback.
  host::Outcome<host::Value> RibbonCallback(std::string_view name,
                                            std::span<const host::Value> args);

  // The toolbar, kept for as long as the host keeps the connector. Each
  // control's row in ToolbarLayout (toolbar_layout.h) says what it is and
  // which handler its event runs; the captions receive no events.
  host::Dispatch CmdBar;
  host::WithEvents LblHeight;
  host::WithEvents TxHeight;
  host::WithEvents LblWidth;
  host::WithEvents TxWidth;
  host::WithEvents ButAspect;
  host::WithEvents LblRotate;
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

  // The router for one reference's events, with the handler of each; it
  // holds this connector while a handler runs.
  std::shared_ptr<EventRouter> Router(std::vector<EventBinding> bindings);
  // Every handler runs as one action of the ribbon's.
  void RunHandler(const std::function<void()>& handler) override;
  std::shared_ptr<const void> Hold() override { return weak_from_this().lock(); }
  // Once the connection has built the toolbar: subscribes to the command
  // bars' update event. Without it the add-in still works as the host's
  // selection events allow, so a refusal is no failure of the connection.
  void AfterConnection();
  // Every reference that receives events, the host's included.
  std::vector<host::WithEvents*> EventReferences();
  // After any modal window: a connector disconnected or released meanwhile
  // ends its handler there (HandlerAbandoned).
  void ThrowIfAbandonedDuringModal() const {
    if (!connected_) throw HandlerAbandoned{};
  }

  // PPTApp, EXApp or WdApp.
  virtual host::WithEvents& HostReference() = 0;
  const host::Dispatch& HostApplication() { return *HostReference(); }
  // PPTBars, EXBars or WdBars: the host's CommandBars, for their update event.
  virtual host::WithEvents& CommandBarsReference() = 0;

  // Shows the selection's geometry in the boxes. `selection` is the event's
  // selection in PowerPoint and Word; Excel's (null) is the active window's.
  void TrackSelection(const host::Dispatch* selection);
  // On the command bars' update: shows the active window's selection as the
  // selection handler would, when that differs from what it showed last.
  void RefreshOnUpdate();

  const HostTraits& traits_;

 private:
  // The message box that the handlers and the connection show, checked on
  // its return as every modal window is.
  class CheckedMessageBox final : public platform::OkMessageBox {
   public:
    CheckedMessageBox(const Connector& connector, platform::OkMessageBox& shown)
        : c_(connector), shown_(shown) {}
    void Show(std::string_view text) override {
      shown_.Show(text);
      c_.ThrowIfAbandonedDuringModal();
    }

   private:
    const Connector& c_;
    platform::OkMessageBox& shown_;
  };
  CheckedMessageBox message_box_;

 protected:
  platform::Platform platform_;

 private:
  template <class Policy>
  void RunConnectionSteps(const Policy& policy, const host::Dispatch& application,
                          const host::Dispatch& add_in);
  template <class Policy>
  void BuildToolbar(const Policy& policy, const host::Dispatch& add_in);
  // Office 2007 and later: the ribbon's controls in the toolbar's fields.
  template <class Policy>
  void RunRibbonSteps(const Policy& policy, const host::Dispatch& application, int version);
  void DeleteBarLeftBehind();
  // Runs an action that may change the toolbar (the connection, a
  // handler's writes, the deletion) so that Word's customization context is
  // left as saved as it was: a user who quits Word is not asked to save a
  // template that only the add-in touched. It reads the template's state
  // before the work and, if it was saved, marks it so again after, also
  // when the work failed part-way.
  void KeepingTemplateSaved(const std::function<void()>& work);
  // Tells the ribbon which window the handlers' writes go to; what the
  // boxes showed in another window says nothing of this one.
  void NoteActiveWindow(const host::Dispatch& window);

  // Office 2007 and later: the ribbon that stands for the toolbar.
  std::unique_ptr<RibbonSurface> ribbon_;

  ShownSelection ReadSelection(const host::Dispatch* selection);
  void ShowSelection(const ShownSelection& view);
  void WriteSelection(const ShownSelection& view);
  // What the boxes were last given by the selection handler or an update;
  // empty before the first, and after a refresh that failed part-way.
  std::optional<ShownSelection> shown_;

  enum class Dimension { Height, Width };
  void EditSize(Dimension own);
  float ReadOtherDimension(Dimension other, float previous);
};

// A new connector for one of the registered class names ("Connect",
// "ConnectXl", "ConnectWd"), or null for any other name.
std::shared_ptr<Connector> CreateConnector(std::string_view class_name,
                                           platform::Platform& platform);

}  // namespace frambolist::connectors

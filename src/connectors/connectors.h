#pragma once
// The three connector classes, one per host.

#include "connectors/connector.h"

namespace frambolist::connectors {

class Connect final : public Connector {  // PowerPoint
 public:
  explicit Connect(platform::Platform& platform);
  void PPTApp_WindowSelectionChange(const host::Value& Sel);

  host::WithEvents PPTApp;

 private:
  host::WithEvents& HostReference() override { return PPTApp; }
  void RouteHostEvent(int route, std::string_view event,
                      std::span<host::Value, kMaxEventArgs> args) override;
};

class ConnectXl final : public Connector {  // Excel
 public:
  explicit ConnectXl(platform::Platform& platform);
  void EXApp_SheetActivate(const host::Value& /*Sh*/) {}
  void EXApp_SheetSelectionChange(const host::Value& Sh, const host::Value& Target);
  // Excel raises no application event when the user selects a shape, picture
  // or chart, only this update of the command bars, after every change of the
  // user interface (and often besides): the boxes follow the selection
  // through it.
  void EXBars_OnUpdate();

  host::WithEvents EXApp;
  // The host's CommandBars, for their update event.
  host::WithEvents EXBars;

 private:
  host::WithEvents& HostReference() override { return EXApp; }
  void RouteHostEvent(int route, std::string_view event,
                      std::span<host::Value, kMaxEventArgs> args) override;
  std::vector<host::WithEvents*> EventReferences() override;
  void AfterConnection() override;
  // Shows the selection's geometry and remembers which selection it was.
  void ShowSelection();
  // Which shapes the active window's selection holds, in few host calls:
  // their count and names, or empty when it holds none (cells).
  std::string SelectedShapeNames();

  std::optional<std::string> shown_selection_;
};

class ConnectWd final : public Connector {  // Word
 public:
  explicit ConnectWd(platform::Platform& platform);
  void WdApp_WindowSelectionChange(const host::Value& Sel);

  host::WithEvents WdApp;

 private:
  host::WithEvents& HostReference() override { return WdApp; }
  void RouteHostEvent(int route, std::string_view event,
                      std::span<host::Value, kMaxEventArgs> args) override;
};

}  // namespace frambolist::connectors

#pragma once
// The three connector classes, one per host.

#include "connectors/connector.h"

namespace frambolist::connectors {

class Connect final : public Connector {  // PowerPoint
 public:
  explicit Connect(platform::Platform& platform);
  void PPTApp_WindowSelectionChange(const host::Value& Sel);
  void PPTBars_OnUpdate() { RefreshOnUpdate(); }

  host::WithEvents PPTApp;
  host::WithEvents PPTBars;

 private:
  host::WithEvents& HostReference() override { return PPTApp; }
  host::WithEvents& CommandBarsReference() override { return PPTBars; }
};

class ConnectXl final : public Connector {  // Excel
 public:
  explicit ConnectXl(platform::Platform& platform);
  // Excel's connector has always received SheetActivate and done nothing
  // with it: the boxes follow a sheet switch through the command bars'
  // update that Excel raises after it, which reads the new sheet's
  // selection. Kept subscribed, so that the connection's calls stay those
  // that Excel has always seen.
  void EXApp_SheetActivate(const host::Value& /*Sh*/) {}
  void EXApp_SheetSelectionChange(const host::Value& Sh, const host::Value& Target);
  // Excel raises no application event when the user selects a shape, picture
  // or chart, only this update of the command bars, after every change of the
  // user interface (and often besides): the boxes follow the selection
  // through it.
  void EXBars_OnUpdate() { RefreshOnUpdate(); }

  host::WithEvents EXApp;
  host::WithEvents EXBars;

 private:
  host::WithEvents& HostReference() override { return EXApp; }
  host::WithEvents& CommandBarsReference() override { return EXBars; }
};

class ConnectWd final : public Connector {  // Word
 public:
  explicit ConnectWd(platform::Platform& platform);
  void WdApp_WindowSelectionChange(const host::Value& Sel);
  void WdBars_OnUpdate() { RefreshOnUpdate(); }

  host::WithEvents WdApp;
  host::WithEvents WdBars;

 private:
  host::WithEvents& HostReference() override { return WdApp; }
  host::WithEvents& CommandBarsReference() override { return WdBars; }
};

}  // namespace frambolist::connectors

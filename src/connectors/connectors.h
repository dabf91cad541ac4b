#pragma once
// The three connector classes, one per host. In each, the router of the
// application's events is declared before the host reference, which keeps a
// reference to it: members are constructed in declaration order.

#include "connectors/connector.h"

namespace frambolist::connectors {

class Connect final : public Connector {  // PowerPoint
 public:
  explicit Connect(platform::Platform& platform);
  void PPTApp_WindowSelectionChange(const host::Value& Sel);

 private:
  EventRouter application_events_;

 public:
  host::WithEvents PPTApp;

 private:
  host::WithEvents& HostReference() override { return PPTApp; }
};

class ConnectXl final : public Connector {  // Excel
 public:
  explicit ConnectXl(platform::Platform& platform);
  void EXApp_SheetActivate(const host::Value& /*Sh*/) {}
  void EXApp_SheetSelectionChange(const host::Value& Sh, const host::Value& Target);

 private:
  EventRouter application_events_;

 public:
  host::WithEvents EXApp;

 private:
  host::WithEvents& HostReference() override { return EXApp; }
};

class ConnectWd final : public Connector {  // Word
 public:
  explicit ConnectWd(platform::Platform& platform);
  void WdApp_WindowSelectionChange(const host::Value& Sel);

 private:
  EventRouter application_events_;

 public:
  host::WithEvents WdApp;

 private:
  host::WithEvents& HostReference() override { return WdApp; }
};

}  // namespace frambolist::connectors

#include "com/event_table.h"

#include <objbase.h>

#include "com/strings.h"
#include "host/events.h"

namespace frambolist::win {

namespace {

namespace iid = host::event_interfaces;

constexpr EventEntry kEvents[] = {
    {iid::kPowerPointApplication, 2001, "WindowSelectionChange"},  // EApplication
    {iid::kExcelApplication, 1558, "SheetSelectionChange"},        // AppEvents
    {iid::kExcelApplication, 1561, "SheetActivate"},
    {iid::kWordApplication, 12, "WindowSelectionChange"},  // ApplicationEvents4
    {iid::kCommandBarComboBox, 1, "Change"},
    {iid::kCommandBarButton, 1, "Click", 1},
    {iid::kCommandBarsEvents, 1, "OnUpdate"},  // _CommandBarsEvents
};

bool SameInterface(REFIID iid, std::string_view text) {
  IID parsed;
  return IidFromString(text, &parsed) && IsEqualIID(parsed, iid);
}

}  // namespace

bool IidFromString(std::string_view text, IID* iid) {
  const std::wstring wide = Widen(text);
  return SUCCEEDED(IIDFromString(const_cast<wchar_t*>(wide.c_str()), iid));
}

const EventEntry* FindEvent(REFIID iid, DISPID dispid) {
  for (const EventEntry& e : kEvents) {
    if (e.dispid == dispid && SameInterface(iid, e.interface_id)) return &e;
  }
  return nullptr;
}

const EventEntry* FindEvent(REFIID iid, std::string_view name) {
  for (const EventEntry& e : kEvents) {
    if (e.name == name && SameInterface(iid, e.interface_id)) return &e;
  }
  return nullptr;
}

}  // namespace frambolist::win

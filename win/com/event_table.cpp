#include "com/event_table.h"

#include "host/events.h"
#include "host/names.h"

namespace frambolist::win {

namespace {

namespace iid = host::event_interfaces;

#define FRAMBOLIST_INTERFACE(id) id, IidOf(id)
constexpr EventEntry kEvents[] = {
    {FRAMBOLIST_INTERFACE(iid::kPowerPointApplication), 2001,
     "WindowSelectionChange"},                                                     // EApplication
    {FRAMBOLIST_INTERFACE(iid::kExcelApplication), 1558, "SheetSelectionChange"},  // AppEvents
    {FRAMBOLIST_INTERFACE(iid::kExcelApplication), 1561, "SheetActivate"},
    {FRAMBOLIST_INTERFACE(iid::kWordApplication), 12,
     "WindowSelectionChange"},  // ApplicationEvents4
    {FRAMBOLIST_INTERFACE(iid::kCommandBarComboBox), 1, "Change"},
    {FRAMBOLIST_INTERFACE(iid::kCommandBarButton), 1, "Click", 1},
    {FRAMBOLIST_INTERFACE(iid::kCommandBarsEvents), 1, "OnUpdate"},  // _CommandBarsEvents
};
#undef FRAMBOLIST_INTERFACE

}  // namespace

const EventEntry* FindEvent(REFIID iid, DISPID dispid) {
  for (const EventEntry& e : kEvents) {
    if (e.dispid == dispid && IsEqualIID(iid, e.iid)) return &e;
  }
  return nullptr;
}

const EventEntry* FindEvent(REFIID iid, std::string_view name) {
  for (const EventEntry& e : kEvents) {
    if (host::EqualsIgnoringCase(e.name, name) && IsEqualIID(iid, e.iid)) return &e;
  }
  return nullptr;
}

std::optional<IID> EventInterfaceOf(std::string_view interface_id) {
  for (const EventEntry& e : kEvents) {
    if (e.interface_id == interface_id) return e.iid;
  }
  return std::nullopt;
}

}  // namespace frambolist::win

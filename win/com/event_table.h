#pragma once
// The Office events the add-in handles, by event interface and DISPID, as
// the hosts' type libraries number them.

#include <windows.h>
#include <oaidl.h>

#include <string_view>

namespace frambolist::win {

struct EventEntry {
  std::string_view interface_id;  // as in host::event_interfaces
  DISPID dispid;
  std::string_view name;
  int by_ref_bool = -1;  // the argument passed by reference (CancelDefault), if any
};

const EventEntry* FindEvent(REFIID iid, DISPID dispid);
const EventEntry* FindEvent(REFIID iid, std::string_view name);
// The core names event interfaces by their id strings.
bool IidFromString(std::string_view text, IID* iid);

}  // namespace frambolist::win

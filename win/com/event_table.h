#pragma once
// The Office events the add-in handles, by event interface and DISPID, as
// the hosts' type libraries number them.

#include <windows.h>
#include <oaidl.h>

#include <optional>
#include <stdexcept>
#include <string_view>

namespace frambolist::win {

// The IID that an id string of the core's ("{914934C2-5A91-...}") spells,
// worked out by the compiler: a malformed string fails the build.
consteval IID IidOf(std::string_view text) {
  auto hex = [&](size_t from, size_t digits) {
    unsigned long long value = 0;
    for (size_t i = from; i < from + digits; ++i) {
      const char c = text.at(i);
      const int digit = c >= '0' && c <= '9'   ? c - '0'
                        : c >= 'A' && c <= 'F' ? c - 'A' + 10
                        : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                               : throw std::invalid_argument("not an IID");
      value = value * 16 + static_cast<unsigned>(digit);
    }
    return value;
  };
  if (text.size() != 38 || text[0] != '{' || text[9] != '-' || text[14] != '-' || text[19] != '-' ||
      text[24] != '-' || text[37] != '}') {
    throw std::invalid_argument("not an IID");
  }
  IID iid{};
  iid.Data1 = static_cast<unsigned long>(hex(1, 8));
  iid.Data2 = static_cast<unsigned short>(hex(10, 4));
  iid.Data3 = static_cast<unsigned short>(hex(15, 4));
  iid.Data4[0] = static_cast<unsigned char>(hex(20, 2));
  iid.Data4[1] = static_cast<unsigned char>(hex(22, 2));
  for (size_t i = 0; i < 6; ++i) iid.Data4[2 + i] = static_cast<unsigned char>(hex(25 + 2 * i, 2));
  return iid;
}

struct EventEntry {
  std::string_view interface_id;  // as in host::event_interfaces
  IID iid;                        // the same, as Windows compares it
  DISPID dispid;
  std::string_view name;
  int by_ref_bool = -1;  // the argument passed by reference (CancelDefault), if any
};

const EventEntry* FindEvent(REFIID iid, DISPID dispid);
// By name, as automation compares names.
const EventEntry* FindEvent(REFIID iid, std::string_view name);
// The IID of an event interface the core names by its id string; none for
// an interface whose events the add-in does not handle.
std::optional<IID> EventInterfaceOf(std::string_view interface_id);

}  // namespace frambolist::win

#pragma once
// The add-in records by which each host finds its connector, and the
// registry entries that registering the library writes under the current
// user's hive. Read by the Windows registration and by the host program,
// which loads add-ins as a host does.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace frambolist::connectors {

struct AddinRecord {
  std::string_view class_name;  // "Connect"
  std::string_view host;        // "PowerPoint", "Excel", "Word"
  std::string_view prog_id;     // "Kworrendival.Connect"
  std::string_view clsid;       // "{...}"
  std::string_view addin_root;  // below HKEY_CURRENT_USER
  std::string_view friendly_name;
  std::string_view description;
  uint32_t load_behavior;  // 3: load when the host starts
  uint32_t command_line_safe;
};

std::span<const AddinRecord> AddinRecords();
const AddinRecord* FindRecordByProgId(std::string_view prog_id);
const AddinRecord* FindRecordByClsid(std::string_view clsid);

// One value to write below HKEY_CURRENT_USER; an empty name is the key's
// default value.
struct RegistryValue {
  std::string key;
  std::string name;
  std::variant<std::string, uint32_t> data;
};

// Everything registration writes, for a library at `library_path`.
std::vector<RegistryValue> RegistrationValues(std::string_view library_path);
// The keys that unregistering removes, each with everything below it (what
// another program added there included): the hosts' add-in entries first,
// then the classes; exactly the keys registration creates, nothing above.
std::vector<std::string> RegistrationKeys();

}  // namespace frambolist::connectors

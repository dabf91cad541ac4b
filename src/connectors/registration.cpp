#include "connectors/registration.h"

#include "host/names.h"

#include <algorithm>

namespace frambolist::connectors {

namespace {

constexpr std::string_view kFriendlyName = "Office Frambolist";
constexpr std::string_view kDescription = "Creates a Frambolist Toolbar for MS Office";

constexpr AddinRecord kRecords[] = {
    {"Connect", "PowerPoint", "Kworrendival.Connect", "{04329925-59F2-4D34-8B7F-24D30B5AFE6E}",
     "Software\\Microsoft\\Office\\PowerPoint", kFriendlyName, kDescription, 3, 0},
    {"ConnectXl", "Excel", "Kworrendival.ConnectXl", "{177D656B-3B9D-4C6B-8295-8A5D958BAA1A}",
     "Software\\Microsoft\\Office\\Excel", kFriendlyName, kDescription, 3, 0},
    {"ConnectWd", "Word", "Kworrendival.ConnectWd", "{0794606A-076F-45E0-992F-0517D6AA9D3B}",
     "Software\\Microsoft\\Office\\Word", kFriendlyName, kDescription, 3, 0},
};

std::string ClassKey(const AddinRecord& r) {
  return "Software\\Classes\\CLSID\\" + std::string(r.clsid);
}
std::string ProgIdKey(const AddinRecord& r) {
  return "Software\\Classes\\" + std::string(r.prog_id);
}
std::string AddinKey(const AddinRecord& r) {
  return std::string(r.addin_root) + "\\Addins\\" + std::string(r.prog_id);
}

}  // namespace

std::span<const AddinRecord> AddinRecords() { return kRecords; }

const AddinRecord* FindRecordByProgId(std::string_view prog_id) {
  auto it = std::find_if(std::begin(kRecords), std::end(kRecords),
                         [&](const AddinRecord& r) { return r.prog_id == prog_id; });
  return it == std::end(kRecords) ? nullptr : it;
}

const AddinRecord* FindRecordByClsid(std::string_view clsid) {
  auto it = std::find_if(std::begin(kRecords), std::end(kRecords), [&](const AddinRecord& r) {
    return host::EqualsIgnoringCase(r.clsid, clsid);
  });
  return it == std::end(kRecords) ? nullptr : it;
}

std::vector<RegistryValue> RegistrationValues(std::string_view library_path) {
  std::vector<RegistryValue> values;
  for (const AddinRecord& r : kRecords) {
    const std::string readable = std::string(r.prog_id);
    values.push_back({ClassKey(r), "", readable});
    values.push_back({ClassKey(r) + "\\InprocServer32", "", std::string(library_path)});
    values.push_back(
        {ClassKey(r) + "\\InprocServer32", "ThreadingModel", std::string("Apartment")});
    values.push_back({ClassKey(r) + "\\ProgID", "", readable});
    values.push_back({ProgIdKey(r), "", readable});
    values.push_back({ProgIdKey(r) + "\\CLSID", "", std::string(r.clsid)});
    values.push_back({AddinKey(r), "FriendlyName", std::string(r.friendly_name)});
    values.push_back({AddinKey(r), "Description", std::string(r.description)});
    values.push_back({AddinKey(r), "LoadBehavior", r.load_behavior});
    values.push_back({AddinKey(r), "CommandLineSafe", r.command_line_safe});
  }
  return values;
}

std::vector<std::string> RegistrationKeys() {
  // The hosts' add-in entries go first: an entry left behind by a failure
  // would make its host try to load a class that is gone at every start.
  std::vector<std::string> keys;
  for (const AddinRecord& r : kRecords) keys.push_back(AddinKey(r));
  for (const AddinRecord& r : kRecords) {
    keys.push_back(ProgIdKey(r));
    keys.push_back(ClassKey(r));
  }
  return keys;
}

}  // namespace frambolist::connectors

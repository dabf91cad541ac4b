// The registry entries by which each host finds its connector, written out
// value by value from what COM and the Office hosts look for, and the keys
// that unregistering removes.

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <string_view>
#include <tuple>

#include "connectors/registration.h"

namespace frambolist::connectors {
namespace {

using Entry = std::tuple<std::string, std::string, std::string>;  // key, value name, data

std::string TextOf(const RegistryValue& v) {
  return std::holds_alternative<uint32_t>(v.data)
             ? "dword:" + std::to_string(std::get<uint32_t>(v.data))
             : std::get<std::string>(v.data);
}

// The class identifiers are ours to choose; everything else is fixed. Each is
// read from the ProgId's CLSID value, which must name the class whose
// InprocServer32 loads the library.
std::map<std::string, std::string> ClassOfEachProgId(const std::vector<RegistryValue>& values) {
  const std::string_view classes = "Software\\Classes\\", clsid = "\\CLSID";
  std::map<std::string, std::string> clsids;
  for (const RegistryValue& v : values) {
    std::string_view key = v.key;
    if (!key.starts_with(classes) || !key.ends_with(clsid) || !v.name.empty()) continue;
    key.remove_prefix(classes.size());
    key.remove_suffix(clsid.size());
    if (key.starts_with("Kworrendival.")) clsids[std::string(key)] = std::get<std::string>(v.data);
  }
  return clsids;
}

TEST(Registration, WritesEveryValueCOMAndTheHostsLookFor) {
  const std::string dll = "C:\\Users\\A User\\AppData\\Local\\Frambolist\\frambolist.dll";
  const auto values = RegistrationValues(dll);
  const auto clsids = ClassOfEachProgId(values);
  ASSERT_EQ(clsids.size(), 3u);

  std::set<Entry> expected;
  std::set<std::string> distinct;
  const std::regex guid("\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}");
  for (auto [prog_id, host] : {std::pair{"Kworrendival.Connect", "PowerPoint"},
                               std::pair{"Kworrendival.ConnectXl", "Excel"},
                               std::pair{"Kworrendival.ConnectWd", "Word"}}) {
    ASSERT_TRUE(clsids.contains(prog_id)) << prog_id;
    const std::string clsid = clsids.at(prog_id);
    EXPECT_TRUE(std::regex_match(clsid, guid)) << clsid;
    distinct.insert(clsid);
    const std::string cls = "Software\\Classes\\CLSID\\" + clsid;
    const std::string addin =
        std::string("Software\\Microsoft\\Office\\") + host + "\\Addins\\" + prog_id;
    expected.insert({
        {cls, "", prog_id},
        {cls + "\\InprocServer32", "", dll},
        {cls + "\\InprocServer32", "ThreadingModel", "Apartment"},
        {cls + "\\ProgID", "", prog_id},
        {std::string("Software\\Classes\\") + prog_id, "", prog_id},
        {std::string("Software\\Classes\\") + prog_id + "\\CLSID", "", clsid},
        {addin, "FriendlyName", "Office Frambolist"},
        {addin, "Description", "Creates a Frambolist Toolbar for MS Office"},
        {addin, "LoadBehavior", "dword:3"},
        {addin, "CommandLineSafe", "dword:0"},
    });
  }
  EXPECT_EQ(distinct.size(), 3u);

  std::set<Entry> written;
  for (const RegistryValue& v : values) {
    EXPECT_TRUE(written.insert({v.key, v.name, TextOf(v)}).second) << "twice: " << v.key;
  }
  EXPECT_EQ(written, expected);

  // The connector each host creates is found by its class and by its ProgId.
  for (const auto& [prog_id, clsid] : clsids) {
    const AddinRecord* record = FindRecordByProgId(prog_id);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->prog_id, prog_id);
    EXPECT_EQ(FindRecordByClsid(clsid), record);
    std::string lower = clsid;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(FindRecordByClsid(lower), record) << "COM compares class identifiers in any case";
  }
  EXPECT_FALSE(FindRecordByProgId("Kworrendival.Connectx"));
  EXPECT_FALSE(FindRecordByClsid("{00000000-0000-0000-0000-000000000000}"));
}

// Unregistering removes each key with everything below it, the hosts'
// entries first: an entry left behind by a failure would have its host try
// to load a class that is gone at every start. Nothing above them goes.
TEST(Registration, UnregisteringRemovesTheHostsEntriesFirstThenTheClasses) {
  const auto clsids = ClassOfEachProgId(RegistrationValues("x.dll"));
  ASSERT_EQ(clsids.size(), 3u);
  const std::vector<std::string> expected = {
      "Software\\Microsoft\\Office\\PowerPoint\\Addins\\Kworrendival.Connect",
      "Software\\Microsoft\\Office\\Excel\\Addins\\Kworrendival.ConnectXl",
      "Software\\Microsoft\\Office\\Word\\Addins\\Kworrendival.ConnectWd",
      "Software\\Classes\\Kworrendival.Connect",
      "Software\\Classes\\CLSID\\" + clsids.at("Kworrendival.Connect"),
      "Software\\Classes\\Kworrendival.ConnectXl",
      "Software\\Classes\\CLSID\\" + clsids.at("Kworrendival.ConnectXl"),
      "Software\\Classes\\Kworrendival.ConnectWd",
      "Software\\Classes\\CLSID\\" + clsids.at("Kworrendival.ConnectWd"),
  };
  EXPECT_EQ(RegistrationKeys(), expected);
}

}  // namespace
}  // namespace frambolist::connectors

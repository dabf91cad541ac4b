// The registration records by which each host finds its connector, and the
// registry entries that registering and unregistering write and remove.

#include <gtest/gtest.h>

#include <algorithm>

#include "connectors/registration.h"

namespace frambolist::connectors {
namespace {

TEST(Registration, RecordsMatchWhatTheHostsLookFor) {
  struct Row {
    const char* prog_id;
    const char* root;
  } rows[] = {
      {"Kworrendival.Connect", "Software\\Microsoft\\Office\\PowerPoint"},
      {"Kworrendival.ConnectXl", "Software\\Microsoft\\Office\\Excel"},
      {"Kworrendival.ConnectWd", "Software\\Microsoft\\Office\\Word"},
  };
  ASSERT_EQ(AddinRecords().size(), 3u);
  for (const Row& r : rows) {
    const AddinRecord* record = FindRecordByProgId(r.prog_id);
    ASSERT_TRUE(record) << r.prog_id;
    EXPECT_EQ(record->addin_root, r.root);
    EXPECT_EQ(record->friendly_name, "Office Frambolist");
    EXPECT_EQ(record->description, "Creates a Frambolist Toolbar for MS Office");
    EXPECT_EQ(record->load_behavior, 3u);
    EXPECT_EQ(record->command_line_safe, 0u);
    EXPECT_EQ(FindRecordByClsid(record->clsid), record);
  }
  // Unregistering removes every key that registering wrote (each with what
  // lies below it), and the hosts' entries before the classes they load.
  const auto values = RegistrationValues("C:\\x.dll");
  const auto keys = RegistrationKeys();
  for (const RegistryValue& v : values) {
    EXPECT_TRUE(std::any_of(keys.begin(), keys.end(), [&](const std::string& k) {
      return v.key == k || v.key.starts_with(k + "\\");
    })) << v.key;
  }
  const auto first_class = std::find_if(keys.begin(), keys.end(), [](const std::string& k) {
    return k.starts_with("Software\\Classes");
  });
  EXPECT_TRUE(std::all_of(first_class, keys.end(),
                          [](const std::string& k) { return k.starts_with("Software\\Classes"); }));
  EXPECT_EQ(first_class - keys.begin(), 3);
  EXPECT_NE(std::find_if(values.begin(), values.end(),
                         [](const RegistryValue& v) {
                           return v.name == "ThreadingModel" &&
                                  std::get<std::string>(v.data) == "Apartment";
                         }),
            values.end());
}

}  // namespace
}  // namespace frambolist::connectors

// Registration of the DLL beside this test (run-wine.sh registers it first):
// a registration that fails part-way must leave nothing, or Excel and
// PowerPoint would load an add-in whose registration was reported as failed.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "com/strings.h"
#include "connectors/registration.h"

namespace frambolist::win {
namespace {

using Entry = HRESULT(STDAPICALLTYPE*)();

Entry Export(HMODULE library, const char* name) {
  return reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

bool KeyExists(const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, Widen(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

// A volatile key takes no lasting subkey: the add-in entry below it cannot be
// written.
void RecreateKey(const wchar_t* path, DWORD options) {
  RegDeleteTreeW(HKEY_CURRENT_USER, path);
  RegDeleteKeyW(HKEY_CURRENT_USER, path);
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, options, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

TEST(Registration, ARegistrationThatFailsPartWayTakesBackEverythingItWrote) {
  HMODULE library = LoadLibraryW(L"frambolist.dll");
  ASSERT_TRUE(library);
  const Entry register_server = Export(library, "DllRegisterServer");
  const Entry unregister_server = Export(library, "DllUnregisterServer");
  ASSERT_TRUE(register_server && unregister_server);
  ASSERT_EQ(unregister_server(), S_OK);

  // Word's entry is the last one written: everything else is in place when
  // it fails. PowerPoint's entry is there already, empty (as another tool
  // might leave it): it stays, and gets no value.
  const wchar_t* word_addins = L"Software\\Microsoft\\Office\\Word\\Addins";
  const wchar_t* powerpoint_entry =
      L"Software\\Microsoft\\Office\\PowerPoint\\Addins\\Kworrendival.Connect";
  RecreateKey(word_addins, REG_OPTION_VOLATILE);
  RecreateKey(powerpoint_entry, REG_OPTION_NON_VOLATILE);
  EXPECT_NE(register_server(), S_OK);
  for (const std::string& key : connectors::RegistrationKeys()) {
    if (Widen(key) == powerpoint_entry) continue;
    EXPECT_FALSE(KeyExists(key)) << key << " is left after a failed registration";
  }
  HKEY entry = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, powerpoint_entry, 0, KEY_READ, &entry), ERROR_SUCCESS);
  DWORD values = 99;
  RegQueryInfoKeyW(entry, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                   nullptr, nullptr, nullptr);
  RegCloseKey(entry);
  EXPECT_EQ(values, 0u) << "values written into a key that was there before are left";
  RegDeleteKeyW(HKEY_CURRENT_USER, powerpoint_entry);

  // As the other tests found it: registered.
  RecreateKey(word_addins, REG_OPTION_NON_VOLATILE);
  EXPECT_EQ(register_server(), S_OK);
  for (const std::string& key : connectors::RegistrationKeys()) EXPECT_TRUE(KeyExists(key)) << key;
  FreeLibrary(library);
}

}  // namespace
}  // namespace frambolist::win

#include "addin/registration.h"

#include <string>

#include "com/strings.h"
#include "connectors/registration.h"

namespace frambolist::win {

namespace {

std::wstring ModulePath(HMODULE library) {
  std::wstring path(MAX_PATH, L'\0');
  while (true) {
    const DWORD n = GetModuleFileNameW(library, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

// An open registry key, closed when it goes.
class RegistryKey {
 public:
  RegistryKey() = default;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  ~RegistryKey() {
    if (key_) RegCloseKey(key_);
  }
  HKEY get() const { return key_; }
  HKEY* Receive() { return &key_; }

 private:
  HKEY key_ = nullptr;
};

bool Exists(const std::wstring& path) {
  RegistryKey key;
  return RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.Receive()) !=
         ERROR_FILE_NOT_FOUND;
}

bool Write(const connectors::RegistryValue& value) {
  const std::wstring path = Widen(value.key);
  const std::wstring name = Widen(value.name);
  RegistryKey key;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_SET_VALUE, nullptr, key.Receive(), nullptr) != ERROR_SUCCESS) {
    return false;
  }
  LONG status;
  if (const auto* text = std::get_if<std::string>(&value.data)) {
    const std::wstring wide = Widen(*text);
    status = RegSetValueExW(key.get(), name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(wide.c_str()),
                            static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
  } else {
    const DWORD number = std::get<uint32_t>(value.data);
    status = RegSetValueExW(key.get(), name.c_str(), 0, REG_DWORD,
                            reinterpret_cast<const BYTE*>(&number), sizeof number);
  }
  return status == ERROR_SUCCESS;
}

}  // namespace

bool RegisterAddins(HMODULE library) {
  const std::wstring path = ModulePath(library);
  if (path.empty()) return false;
  bool ok = true;
  for (const auto& value : connectors::RegistrationValues(Narrow(path))) ok = Write(value) && ok;
  return ok;
}

// Every key goes with what lies below it, whatever another program added
// there; only a key that is still there afterwards is a failure, and the
// others go regardless.
bool UnregisterAddins() {
  bool ok = true;
  for (const std::string& key : connectors::RegistrationKeys()) {
    const std::wstring path = Widen(key);
    RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
    if (Exists(path)) ok = false;
  }
  return ok;
}

}  // namespace frambolist::win

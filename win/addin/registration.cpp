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

bool Write(const connectors::RegistryValue& value) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, Widen(value.key).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const std::wstring name = Widen(value.name);
  LONG status;
  if (const auto* text = std::get_if<std::string>(&value.data)) {
    const std::wstring wide = Widen(*text);
    status = RegSetValueExW(key, name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(wide.c_str()),
                            static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
  } else {
    const DWORD number = std::get<uint32_t>(value.data);
    status = RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
  }
  RegCloseKey(key);
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

bool UnregisterAddins() {
  bool ok = true;
  for (const std::string& key : connectors::RegistrationKeys()) {
    const LONG status = RegDeleteKeyW(HKEY_CURRENT_USER, Widen(key).c_str());
    ok = ok && (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND);
  }
  return ok;
}

}  // namespace frambolist::win

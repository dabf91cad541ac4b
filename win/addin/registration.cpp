#include "addin/registration.h"

#include <algorithm>
#include <string>
#include <vector>

#include "com/owned.h"
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

bool Exists(const std::wstring& path) {
  OwnedRegistryKey key;
  return RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.Receive()) !=
         ERROR_FILE_NOT_FOUND;
}

bool Write(const connectors::RegistryValue& value) {
  const std::wstring path = Widen(value.key);
  const std::wstring name = Widen(value.name);
  OwnedRegistryKey key;
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

// What one registration has changed, so that a registration that fails
// part-way can take all of it back: a host must never find an add-in entry
// whose registration was reported as failed. Keys it created go whole; values
// it overwrote in keys that were there before get their old data back.
class RegistrationUndo {
 public:
  // Call before writing `name` under `path`.
  void Before(const std::wstring& path, const std::wstring& name) {
    if (!Exists(path)) {
      NoteCreatedKey(path);
      return;
    }
    for (const std::wstring& created : created_keys_) {
      if (path.starts_with(created + L"\\") || path == created) return;  // goes whole anyway
    }
    OldValue old;
    old.path = path;
    old.name = name;
    OwnedRegistryKey key;
    DWORD size = 0;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, key.Receive()) ==
            ERROR_SUCCESS &&
        RegQueryValueExW(key.get(), ValueName(name), nullptr, &old.type, nullptr, &size) ==
            ERROR_SUCCESS) {
      old.data.resize(size);
      old.existed = RegQueryValueExW(key.get(), ValueName(name), nullptr, &old.type,
                                     old.data.data(), &size) == ERROR_SUCCESS;
      old.data.resize(size);
    }
    old_values_.push_back(std::move(old));
  }

  // Puts back what the registration changed, newest first.
  void Undo() {
    for (auto it = old_values_.rbegin(); it != old_values_.rend(); ++it) {
      OwnedRegistryKey key;
      if (RegOpenKeyExW(HKEY_CURRENT_USER, it->path.c_str(), 0, KEY_SET_VALUE, key.Receive()) !=
          ERROR_SUCCESS) {
        continue;
      }
      if (it->existed) {
        RegSetValueExW(key.get(), ValueName(it->name), 0, it->type, it->data.data(),
                       static_cast<DWORD>(it->data.size()));
      } else {
        RegDeleteValueW(key.get(), ValueName(it->name));
      }
    }
    for (auto it = created_keys_.rbegin(); it != created_keys_.rend(); ++it)
      RegDeleteTreeW(HKEY_CURRENT_USER, it->c_str());
  }

 private:
  struct OldValue {
    std::wstring path, name;
    bool existed = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
  };

  static const wchar_t* ValueName(const std::wstring& name) {
    return name.empty() ? nullptr : name.c_str();
  }

  // The highest key of `path` that does not exist yet: creating `path`
  // creates it and everything below it.
  void NoteCreatedKey(const std::wstring& path) {
    for (size_t end = path.find(L'\\');; end = path.find(L'\\', end + 1)) {
      const std::wstring ancestor = path.substr(0, end);
      if (!Exists(ancestor)) {
        if (std::find(created_keys_.begin(), created_keys_.end(), ancestor) == created_keys_.end())
          created_keys_.push_back(ancestor);
        return;
      }
      if (end == std::wstring::npos) return;
    }
  }

  std::vector<std::wstring> created_keys_;
  std::vector<OldValue> old_values_;
};

}  // namespace

// All or nothing: at the first value that cannot be written, everything this
// call wrote is taken back and the failure reported.
bool RegisterAddins(HMODULE library) {
  const std::wstring path = ModulePath(library);
  if (path.empty()) return false;
  RegistrationUndo undo;
  for (const auto& value : connectors::RegistrationValues(Narrow(path))) {
    undo.Before(Widen(value.key), Widen(value.name));
    if (!Write(value)) {
      undo.Undo();
      return false;
    }
  }
  return true;
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

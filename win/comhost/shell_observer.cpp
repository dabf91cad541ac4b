#include "comhost/shell_observer.h"

#include "com/guard.h"

#include <objbase.h>
#include <shellapi.h>

#include <cstring>
#include <string>

namespace frambolist::win {

namespace {

std::ostream* output = nullptr;

HINSTANCE WINAPI ObservedShellExecuteA(HWND, LPCSTR, LPCSTR file, LPCSTR, LPCSTR, INT) {
  auto result = [](INT_PTR code) { return reinterpret_cast<HINSTANCE>(code); };
  return GuardedCallback(
      [&] {
        if (output) *output << "open " << (file ? file : "") << "\n";
        return result(42);  // above 32: success
      },
      [&] { return result(SE_ERR_OOM); });
}

HMODULE LibraryOf(REFCLSID clsid) {
  wchar_t text[64];
  StringFromGUID2(clsid, text, 64);
  const std::wstring key = std::wstring(L"Software\\Classes\\CLSID\\") + text + L"\\InprocServer32";
  wchar_t path[MAX_PATH] = {};
  DWORD size = sizeof path;
  if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, path, &size) !=
      ERROR_SUCCESS) {
    size = sizeof path;
    if (RegGetValueW(HKEY_CLASSES_ROOT,
                     (std::wstring(L"CLSID\\") + text + L"\\InprocServer32").c_str(), nullptr,
                     RRF_RT_REG_SZ, nullptr, path, &size) != ERROR_SUCCESS)
      return nullptr;
  }
  return GetModuleHandleW(path);
}

}  // namespace

void SetShellOutput(std::ostream* out) { output = out; }

void ObserveShellOfLoadedAddin(REFCLSID clsid) {
  auto* base = reinterpret_cast<BYTE*>(LibraryOf(clsid));
  if (!base) return;
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (dir.VirtualAddress == 0) return;
  for (auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
       import->Name; ++import) {
    if (_stricmp(reinterpret_cast<const char*>(base + import->Name), "shell32.dll") != 0) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* by_name =
          reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(by_name->Name), "ShellExecuteA") != 0) continue;
      DWORD old = 0;
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old);
      slots->u1.Function = reinterpret_cast<ULONG_PTR>(&ObservedShellExecuteA);
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
    }
  }
}

}  // namespace frambolist::win

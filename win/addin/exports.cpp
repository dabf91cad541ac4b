// The four exports of an in-process COM server.

#include <windows.h>
#include <olectl.h>

#include "addin/class_factory.h"
#include "addin/module.h"
#include "addin/registration.h"
#include "addin/win_platform.h"
#include "com/guard.h"
#include "com/strings.h"
#include "connectors/registration.h"

namespace {
HMODULE module_handle = nullptr;
}

namespace frambolist::win {
HMODULE ThisModule() { return module_handle; }
}  // namespace frambolist::win

using namespace frambolist;
using namespace frambolist::win;

// cannot throw: keeps a handle (nothing else may run under the loader lock)
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    module_handle = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, LPVOID* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return Guarded([&]() -> HRESULT {
    wchar_t text[64] = {};
    if (StringFromGUID2(clsid, text, 64) == 0) return CLASS_E_CLASSNOTAVAILABLE;
    const connectors::AddinRecord* record = connectors::FindRecordByClsid(Narrow(text));
    if (!record) return CLASS_E_CLASSNOTAVAILABLE;
    auto factory = ClassFactory::New(record->class_name, AddinPlatform());
    return factory->QueryInterface(riid, out);
  });
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  if (LiveObjectCount() != 0 || ServerLockCount() != 0) return S_FALSE;
  // No object is left, but a window of ours may be (the hidden units dialog,
  // kept for the next use): freed under it, the library would crash the host
  // at that window's next message. Such windows go now, or the answer is no.
  return Guarded([] { return ReleaseWindowsForUnload() ? S_OK : S_FALSE; });
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
  return Guarded([] { return RegisterAddins(ThisModule()) ? S_OK : SELFREG_E_CLASS; });
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
  return Guarded([] { return UnregisterAddins() ? S_OK : SELFREG_E_CLASS; });
}

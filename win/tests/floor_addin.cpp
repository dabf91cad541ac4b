// The floor for the load figures: the least in-process COM add-in that a
// host can load, with the same imports as ours (so Windows loads the same
// system DLLs for it) and a connection interface whose methods return at
// once. Registered per user as "Frambolist.FloorAddin" by its own
// DllRegisterServer. Not a product: only frambolist_load_benchmark uses it.

#include <windows.h>
#include <ole2.h>
#include <olectl.h>
#include <shellapi.h>

#include <atomic>
#include <new>

#include "com/extensibility.h"

namespace {

// {6B0E4F1A-7C2D-4E93-A8B5-1F3D9C7E2A40}
constexpr CLSID kFloorClsid = {
    0x6b0e4f1a, 0x7c2d, 0x4e93, {0xa8, 0xb5, 0x1f, 0x3d, 0x9c, 0x7e, 0x2a, 0x40}};
constexpr wchar_t kClsidKey[] = L"Software\\Classes\\CLSID\\{6B0E4F1A-7C2D-4E93-A8B5-1F3D9C7E2A40}";
constexpr wchar_t kProgIdKey[] = L"Software\\Classes\\Frambolist.FloorAddin\\CLSID";

std::atomic<long> g_objects{0};
HMODULE g_module = nullptr;

// One function of each system DLL that the add-in imports, so that loading
// the floor loads the same DLLs.
using AnyFunction = void (*)();
extern "C" {
volatile AnyFunction g_same_imports[] = {
    reinterpret_cast<AnyFunction>(&GetActiveWindow),  // USER32
    reinterpret_cast<AnyFunction>(&GetStockObject),   // GDI32
    reinterpret_cast<AnyFunction>(&ShellExecuteW),    // SHELL32
    reinterpret_cast<AnyFunction>(&SysAllocString),   // OLEAUT32
    reinterpret_cast<AnyFunction>(&CoTaskMemFree),    // ole32
};
}

class FloorAddin final : public frambolist::win::IDTExtensibility2 {
 public:
  FloorAddin() { ++g_objects; }
  ~FloorAddin() { --g_objects; }
  STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IDispatch) &&
        !IsEqualIID(riid, frambolist::win::IID_IDTExtensibility2)) {
      return E_NOINTERFACE;
    }
    *out = static_cast<frambolist::win::IDTExtensibility2*>(this);
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG left = --refs_;
    if (left == 0) {
      this->~FloorAddin();
      CoTaskMemFree(this);
    }
    return left;
  }
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return count ? S_OK : E_POINTER;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return DISP_E_UNKNOWNNAME;
  }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                      UINT*) override {
    return DISP_E_MEMBERNOTFOUND;
  }
  STDMETHODIMP OnConnection(IDispatch*, frambolist::win::ext_ConnectMode, IDispatch*,
                            SAFEARRAY**) override {
    return S_OK;
  }
  STDMETHODIMP OnDisconnection(frambolist::win::ext_DisconnectMode, SAFEARRAY**) override {
    return S_OK;
  }
  STDMETHODIMP OnAddInsUpdate(SAFEARRAY**) override { return S_OK; }
  STDMETHODIMP OnStartupComplete(SAFEARRAY**) override { return S_OK; }
  STDMETHODIMP OnBeginShutdown(SAFEARRAY**) override { return S_OK; }

 private:
  std::atomic<ULONG> refs_{1};
};

class FloorFactory final : public IClassFactory {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IClassFactory))
      return E_NOINTERFACE;
    *out = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }  // static
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    // Without the C++ library's allocator, as the least DLL would be.
    void* memory = CoTaskMemAlloc(sizeof(FloorAddin));
    if (!memory) return E_OUTOFMEMORY;
    auto* addin = new (memory) FloorAddin;
    const HRESULT hr = addin->QueryInterface(riid, out);
    addin->Release();
    return hr;
  }
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};
FloorFactory g_factory;

bool SetString(const wchar_t* key, const wchar_t* name, const wchar_t* value) {
  HKEY handle = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle,
                      nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const LONG result = RegSetValueExW(
      handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
      static_cast<DWORD>(static_cast<size_t>(lstrlenW(value) + 1) * sizeof(wchar_t)));
  RegCloseKey(handle);
  return result == ERROR_SUCCESS;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
  if (reason == DLL_PROCESS_ATTACH) g_module = instance;
  return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!IsEqualCLSID(clsid, kFloorClsid)) return CLASS_E_CLASSNOTAVAILABLE;
  return g_factory.QueryInterface(riid, out);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return g_objects == 0 ? S_OK : S_FALSE; }

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
  wchar_t path[MAX_PATH];
  if (!GetModuleFileNameW(g_module, path, MAX_PATH)) return SELFREG_E_CLASS;
  wchar_t server_key[128];
  lstrcpyW(server_key, kClsidKey);
  lstrcatW(server_key, L"\\InprocServer32");
  const bool ok = SetString(kClsidKey, nullptr, L"Frambolist.FloorAddin") &&
                  SetString(server_key, nullptr, path) &&
                  SetString(server_key, L"ThreadingModel", L"Apartment") &&
                  SetString(kProgIdKey, nullptr, L"{6B0E4F1A-7C2D-4E93-A8B5-1F3D9C7E2A40}");
  return ok ? S_OK : SELFREG_E_CLASS;
}

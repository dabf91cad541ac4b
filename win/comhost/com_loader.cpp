#include "comhost/com_loader.h"

#include <windows.h>
#include <oleauto.h>

#include <vector>

#include "com/com_ptr.h"
#include "com/errors.h"
#include "com/extensibility.h"
#include "com/owned.h"
#include "com/values.h"
#include "com/strings.h"
#include "com/variant.h"
#include "served_hosts/dispatch_server.h"
#include "comhost/shell_observer.h"

namespace frambolist::win {

namespace {

// An empty array of variants for the `custom` parameter, as the hosts pass
// (by reference, and theirs to keep).
struct CustomArray {
  OwnedSafeArray array{SafeArrayCreateVector(VT_VARIANT, 0, 0)};
  SAFEARRAY* lent = array.get();
  SAFEARRAY** get() { return &lent; }
};

class ComAddin final : public hostprog::LoadedAddin {
 public:
  explicit ComAddin(ComPtr<IDTExtensibility2> addin) : addin_(std::move(addin)) {}

  std::optional<host::HostError> OnConnection(const host::Value& application, int32_t connect_mode,
                                              const host::Value& add_in_instance) override {
    auto app = ServerBridge().ToDispatch(application.ObjectOrNothing());
    auto instance = ServerBridge().ToDispatch(add_in_instance.ObjectOrNothing());
    CustomArray custom;
    const HRESULT hr = addin_->OnConnection(app.get(), static_cast<ext_ConnectMode>(connect_mode),
                                            instance.get(), custom.get());
    if (FAILED(hr)) return ErrorFromResult(hr, addin_.get(), IID_IDTExtensibility2);
    return std::nullopt;
  }
  void OnBeginShutdown() override {
    CustomArray custom;
    addin_->OnBeginShutdown(custom.get());
  }
  void OnDisconnection(int32_t remove_mode) override {
    CustomArray custom;
    addin_->OnDisconnection(static_cast<ext_DisconnectMode>(remove_mode), custom.get());
  }
  // The DLL's own variable, read through the add-in's IDispatch.
  std::string CurrentUnit() override {
    wchar_t name[] = L"CurrentUnit";
    LPOLESTR names[] = {name};
    DISPID dispid = DISPID_UNKNOWN;
    Variant unit;
    DISPPARAMS none{};
    if (FAILED(addin_->GetIDsOfNames(IID_NULL, names, 1, 1033, &dispid)) ||
        FAILED(addin_->Invoke(dispid, IID_NULL, 1033, DISPATCH_PROPERTYGET, &none, unit.ptr(),
                              nullptr, nullptr)) ||
        V_VT(unit.ptr()) != VT_BSTR) {
      return "(the add-in does not tell its unit)";
    }
    return Narrow(V_BSTR(unit.ptr()), SysStringLen(V_BSTR(unit.ptr())));
  }

  // As Office asks a connected add-in for its ribbon.
  std::string GetCustomUI(std::string_view ribbon_id) override {
    ribbon_ = addin_.Query<IRibbonExtensibility>();
    if (!ribbon_) return {};
    Bstr xml;
    if (FAILED(ribbon_->GetCustomUI(Bstr(Widen(ribbon_id)).get(), xml.Receive()))) return {};
    return xml.Utf8();
  }
  bool KnowsCallback(std::string_view name) override {
    DISPID dispid = DISPID_UNKNOWN;
    return DispidOf(name, dispid);
  }
  // Through the IDispatch of the object that gave the XML, arguments last
  // first, with VBA's locale.
  host::Outcome<host::Value> Callback(std::string_view name,
                                      std::span<const host::Value> args) override {
    DISPID dispid = DISPID_UNKNOWN;
    if (!DispidOf(name, dispid)) return host::errors::MemberNotSupported();
    std::vector<Variant> reversed(args.size());
    for (size_t i = 0; i < args.size(); ++i)
      reversed[args.size() - 1 - i] = VariantFromValue(args[i], ServerBridge());
    DISPPARAMS params{reinterpret_cast<VARIANT*>(reversed.data()), nullptr,
                      static_cast<UINT>(reversed.size()), 0};
    EXCEPINFO info{};
    Variant result;
    const HRESULT hr = ribbon_->Invoke(dispid, IID_NULL, 1033, DISPATCH_METHOD, &params,
                                       result.ptr(), &info, nullptr);
    if (FAILED(hr)) return ErrorFromInvoke(hr, info);
    return ValueFromVariant(*result.ptr(), ServerBridge());
  }

 private:
  bool DispidOf(std::string_view name, DISPID& dispid) {
    if (!ribbon_) return false;
    std::wstring wide = Widen(name);
    LPOLESTR names[] = {wide.data()};
    return SUCCEEDED(ribbon_->GetIDsOfNames(IID_NULL, names, 1, 1033, &dispid));
  }

  ComPtr<IDTExtensibility2> addin_;
  ComPtr<IRibbonExtensibility> ribbon_;  // Office 2007 and later
};

class ComLoader final : public hostprog::AddinLoader {
 public:
  std::vector<std::string> StartupAddins(std::string_view host) override {
    std::vector<std::string> prog_ids;
    const std::wstring root = L"Software\\Microsoft\\Office\\" + Widen(host) + L"\\Addins";
    HKEY addins = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, root.c_str(), 0, KEY_READ, &addins) != ERROR_SUCCESS)
      return prog_ids;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
      DWORD length = 256;
      if (RegEnumKeyExW(addins, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_SUCCESS)
        break;
      DWORD behavior = 0, size = sizeof behavior, type = 0;
      if (RegGetValueW(addins, name, L"LoadBehavior", RRF_RT_REG_DWORD, &type, &behavior, &size) ==
              ERROR_SUCCESS &&
          behavior == 3) {
        prog_ids.push_back(Narrow(name, length));
      }
    }
    RegCloseKey(addins);
    return prog_ids;
  }

  std::unique_ptr<hostprog::LoadedAddin> Create(const std::string& prog_id,
                                                std::string& why) override {
    CLSID clsid;
    if (const HRESULT hr = CLSIDFromProgID(Widen(prog_id).c_str(), &clsid); FAILED(hr)) {
      why = "no class is registered for it (" + ErrorFromResult(hr, nullptr, IID_NULL).description +
            ")";
      return nullptr;
    }
    ComPtr<IDTExtensibility2> addin;
    const HRESULT hr =
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(addin.Receive()));
    if (FAILED(hr) || !addin) {
      // A moved or unloadable DLL: Office lists the add-in as not loaded.
      why = "its library could not be loaded (" +
            ErrorFromResult(hr, nullptr, IID_NULL).description + ")";
      return nullptr;
    }
    ObserveShellOfLoadedAddin(clsid);
    return std::make_unique<ComAddin>(std::move(addin));
  }
};

}  // namespace

std::unique_ptr<hostprog::AddinLoader> MakeComLoader() { return std::make_unique<ComLoader>(); }

}  // namespace frambolist::win

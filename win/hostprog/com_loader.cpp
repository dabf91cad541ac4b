#include "hostprog/com_loader.h"

#include <windows.h>
#include <oleauto.h>

#include "com/com_ptr.h"
#include "com/errors.h"
#include "com/extensibility.h"
#include "com/strings.h"
#include "hostprog/dispatch_server.h"
#include "hostprog/shell_observer.h"

namespace frambolist::win {

namespace {

// An empty array of variants for the `custom` parameter, as the hosts pass.
class CustomArray {
 public:
  CustomArray() : array_(SafeArrayCreateVector(VT_VARIANT, 0, 0)) {}
  ~CustomArray() {
    if (array_) SafeArrayDestroy(array_);
  }
  CustomArray(const CustomArray&) = delete;
  CustomArray& operator=(const CustomArray&) = delete;
  SAFEARRAY** get() { return &array_; }

 private:
  SAFEARRAY* array_;
};

class ComAddin final : public hostprog::LoadedAddin {
 public:
  explicit ComAddin(ComPtr<IDTExtensibility2> addin) : addin_(std::move(addin)) {}
  ~ComAddin() override {
    CustomArray custom;
    addin_->OnDisconnection(ext_dm_HostShutdown, custom.get());
  }

  std::optional<host::HostError> OnConnection(const host::Value& application, int32_t connect_mode,
                                              const host::Value& add_in_instance) override {
    auto app = ServerBridge().ToDispatch(application.ObjectOrNothing());
    auto instance = ServerBridge().ToDispatch(add_in_instance.ObjectOrNothing());
    CustomArray custom;
    const HRESULT hr = addin_->OnConnection(app.get(), static_cast<ext_ConnectMode>(connect_mode), instance.get(),
                                            custom.get());
    if (FAILED(hr)) return ErrorFromResult(hr, addin_.get(), IID_IDTExtensibility2);
    return std::nullopt;
  }
  void OnBeginShutdown() override {
    CustomArray custom;
    addin_->OnBeginShutdown(custom.get());
  }

 private:
  ComPtr<IDTExtensibility2> addin_;
};

class ComLoader final : public hostprog::AddinLoader {
 public:
  std::vector<std::string> StartupAddins(std::string_view host) override {
    std::vector<std::string> prog_ids;
    const std::wstring root = L"Software\\Microsoft\\Office\\" + Widen(host) + L"\\Addins";
    HKEY addins = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, root.c_str(), 0, KEY_READ, &addins) != ERROR_SUCCESS) return prog_ids;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
      DWORD length = 256;
      if (RegEnumKeyExW(addins, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      DWORD behavior = 0, size = sizeof behavior, type = 0;
      if (RegGetValueW(addins, name, L"LoadBehavior", RRF_RT_REG_DWORD, &type, &behavior, &size) == ERROR_SUCCESS &&
          behavior == 3) {
        prog_ids.push_back(Narrow(name, length));
      }
    }
    RegCloseKey(addins);
    return prog_ids;
  }

  std::unique_ptr<hostprog::LoadedAddin> Create(const std::string& prog_id) override {
    CLSID clsid;
    if (FAILED(CLSIDFromProgID(Widen(prog_id).c_str(), &clsid))) return nullptr;
    ComPtr<IDTExtensibility2> addin;
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDTExtensibility2, addin.ReceiveVoid())) ||
        !addin) {
      return nullptr;
    }
    ObserveShellOfLoadedAddin(clsid);
    return std::make_unique<ComAddin>(std::move(addin));
  }
};

}  // namespace

std::unique_ptr<hostprog::AddinLoader> MakeComLoader() { return std::make_unique<ComLoader>(); }

}  // namespace frambolist::win

// Loading the add-in in this process, without COM: the connector classes are
// created by their registered class names.

#include "connectors/connector.h"
#include "hostprog/addin_loader.h"
#include "procs/units.h"

namespace frambolist::hostprog {

namespace {

class NativeAddin final : public LoadedAddin {
 public:
  explicit NativeAddin(std::shared_ptr<connectors::Connector> connector)
      : connector_(std::move(connector)) {}
  // The host lets go; a handler still running keeps the connector until it
  // returns, and makes no further call into the host.
  ~NativeAddin() override { connector_->HostReleased(); }

  std::optional<host::HostError> OnConnection(const host::Value& application, int32_t connect_mode,
                                              const host::Value& add_in_instance) override {
    return connector_->AddinInstance_OnConnection(application, connect_mode, add_in_instance);
  }
  void OnBeginShutdown() override { connector_->AddinInstance_OnBeginShutdown(); }
  void OnDisconnection(int32_t remove_mode) override {
    connector_->AddinInstance_OnDisconnection(remove_mode);
  }
  std::string CurrentUnit() override { return std::string(procs::NameOf(procs::CurrentUnit)); }

  std::string GetCustomUI(std::string_view ribbon_id) override {
    return connector_->GetCustomUI(ribbon_id);
  }
  bool KnowsCallback(std::string_view name) override {
    return connectors::Connector::KnowsRibbonCallback(name);
  }
  host::Outcome<host::Value> Callback(std::string_view name,
                                      std::span<const host::Value> args) override {
    return connector_->RibbonCallback(name, args);
  }

 private:
  std::shared_ptr<connectors::Connector> connector_;
};

class NativeLoader final : public AddinLoader {
 public:
  explicit NativeLoader(platform::Platform& platform) : platform_(platform) {}
  // Natively the registration table stands for the registry.
  std::vector<std::string> StartupAddins(std::string_view host) override {
    std::vector<std::string> prog_ids;
    for (const connectors::AddinRecord& r : connectors::AddinRecords()) {
      if (r.host == host && r.load_behavior == 3) prog_ids.emplace_back(r.prog_id);
    }
    return prog_ids;
  }
  std::unique_ptr<LoadedAddin> Create(const std::string& prog_id, std::string& why) override {
    const connectors::AddinRecord* record = connectors::FindRecordByProgId(prog_id);
    auto connector = record ? connectors::CreateConnector(record->class_name, platform_) : nullptr;
    if (!connector) {
      why = "no class is registered for it";
      return nullptr;
    }
    return std::make_unique<NativeAddin>(std::move(connector));
  }

 private:
  platform::Platform& platform_;
};

}  // namespace

std::unique_ptr<AddinLoader> MakeNativeLoader(platform::Platform& platform) {
  return std::make_unique<NativeLoader>(platform);
}

}  // namespace frambolist::hostprog

#pragma once
// How the host program creates and talks to an add-in, as a host does:
// natively the connectors are created directly; the Windows host program
// creates the registered COM class and calls it through its interface.

#include <memory>
#include <optional>

#include "connectors/registration.h"
#include "host/host_error.h"
#include "host/value.h"
#include "platform/platform.h"

namespace frambolist::hostprog {

class LoadedAddin {
 public:
  virtual ~LoadedAddin() = default;  // releases the add-in
  virtual std::optional<host::HostError> OnConnection(const host::Value& application, int32_t connect_mode,
                                                      const host::Value& add_in_instance) = 0;
  virtual void OnBeginShutdown() = 0;
};

class AddinLoader {
 public:
  virtual ~AddinLoader() = default;
  // The add-in registered by `record`, or null when it cannot be created.
  virtual std::unique_ptr<LoadedAddin> Create(const connectors::AddinRecord& record) = 0;
};

std::unique_ptr<AddinLoader> MakeNativeLoader(platform::Platform& platform);

}  // namespace frambolist::hostprog

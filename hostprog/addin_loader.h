#pragma once
// How the host program creates and talks to an add-in, as a host does:
// natively the connectors are created directly; the Windows host program
// creates the registered COM class and calls it through its interface.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
  // The ProgIds of the add-ins registered for `host` ("PowerPoint", "Excel",
  // "Word") with load behaviour 3, as the host finds them at start-up.
  virtual std::vector<std::string> StartupAddins(std::string_view host) = 0;
  // A new instance of the class registered for `prog_id`, or null.
  virtual std::unique_ptr<LoadedAddin> Create(const std::string& prog_id) = 0;
};

std::unique_ptr<AddinLoader> MakeNativeLoader(platform::Platform& platform);

}  // namespace frambolist::hostprog

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
#include "sim/ribbon.h"

namespace frambolist::hostprog {

// Office 2007 and later also reach it as a ribbon's client
// (IRibbonExtensibility, and its callbacks by name).
class LoadedAddin : public sim::RibbonClient {
 public:
  virtual ~LoadedAddin() = default;  // releases the add-in
  virtual std::optional<host::HostError> OnConnection(const host::Value& application,
                                                      int32_t connect_mode,
                                                      const host::Value& add_in_instance) = 0;
  virtual void OnBeginShutdown() = 0;
  // ext_dm_HostShutdown (0) at exit, ext_dm_UserClosed (1) from the COM
  // Add-ins dialog.
  virtual void OnDisconnection(int32_t remove_mode) = 0;
  // The add-in's display unit, read from the add-in itself.
  virtual std::string CurrentUnit() = 0;
};

inline constexpr int32_t kHostShutdown = 0;
inline constexpr int32_t kUserClosed = 1;

class AddinLoader {
 public:
  virtual ~AddinLoader() = default;
  // The ProgIds of the add-ins registered for `host` ("PowerPoint", "Excel",
  // "Word") with load behaviour 3, as the host finds them at start-up.
  virtual std::vector<std::string> StartupAddins(std::string_view host) = 0;
  // A new instance of the class registered for `prog_id`, or null with the
  // reason in `why` (Office lists such an add-in as not loaded).
  virtual std::unique_ptr<LoadedAddin> Create(const std::string& prog_id, std::string& why) = 0;
};

std::unique_ptr<AddinLoader> MakeNativeLoader(platform::Platform& platform);

}  // namespace frambolist::hostprog

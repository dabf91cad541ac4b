#pragma once
// Fault injection: the next call (or every call) of a member, on any object
// of the simulated host, fails with the given error.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/host_error.h"

namespace frambolist::sim {

class Faults {
 public:
  void Arm(std::string member, host::HostError error, bool always);
  void Heal() { armed_.clear(); }
  // The error for a call of `member` now, if one is armed; a one-shot fault is
  // used up by it.
  std::optional<host::HostError> Take(std::string_view member);

 private:
  struct Armed {
    std::string member;
    host::HostError error;
    bool always;
  };
  std::vector<Armed> armed_;
};

}  // namespace frambolist::sim

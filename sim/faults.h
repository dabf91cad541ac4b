#pragma once
// Fault injection: the next call (or every call) of a member, on any object
// of the simulated host, fails with the given error.

#include <algorithm>
#include <optional>
#include <utility>
#include <string>
#include <string_view>
#include <vector>

#include "host/host_error.h"

namespace frambolist::sim {

class Faults {
 public:
  void Arm(std::string member, host::HostError error, bool always);
  // The `number`-th call from now (1 for the next), whatever its member,
  // fails: sweeps fail each call of an action in turn.
  void ArmCallNumber(int number, host::HostError error);
  // The next event subscription, on any object, is refused (as Office
  // refuses an Advise: Visual Basic reads it as error 459).
  void RefuseNextSubscription() { refuse_subscription_ = true; }
  bool TakeSubscriptionRefusal() { return std::exchange(refuse_subscription_, false); }
  // From now on, every subscription to this event interface is refused.
  void RefuseEventsOf(std::string interface_id) {
    refused_interfaces_.push_back(std::move(interface_id));
  }
  bool RefusesEventsOf(std::string_view interface_id) const {
    return std::ranges::find(refused_interfaces_, interface_id) != refused_interfaces_.end();
  }
  void Heal() {
    armed_.clear();
    fail_at_ = 0;
    refuse_subscription_ = false;
    refused_interfaces_.clear();
  }
  // Every call the add-in makes (get, put or call) passes here: the error for
  // it, if one is armed; a one-shot fault is used up by it.
  std::optional<host::HostError> Take(std::string_view member);
  // Calls made so far.
  int calls() const { return calls_; }

 private:
  struct Armed {
    std::string member;
    host::HostError error;
    bool always;
  };
  std::vector<Armed> armed_;
  int calls_ = 0;
  int fail_at_ = 0;
  host::HostError call_error_;
  bool refuse_subscription_ = false;
  std::vector<std::string> refused_interfaces_;
};

}  // namespace frambolist::sim

#include "sim/faults.h"

#include <algorithm>

#include "host/names.h"

namespace frambolist::sim {

void Faults::Arm(std::string member, host::HostError error, bool always) {
  armed_.push_back({std::move(member), std::move(error), always});
}

void Faults::ArmCallNumber(int number, host::HostError error) {
  fail_at_ = calls_ + number;
  call_error_ = std::move(error);
}

std::optional<host::HostError> Faults::Take(std::string_view member) {
  if (++calls_ == fail_at_) return call_error_;
  auto it = std::find_if(armed_.begin(), armed_.end(), [&](const Armed& a) {
    return host::EqualsIgnoringCase(a.member, member);
  });
  if (it == armed_.end()) return std::nullopt;
  host::HostError error = it->error;
  if (!it->always) armed_.erase(it);
  return error;
}

}  // namespace frambolist::sim

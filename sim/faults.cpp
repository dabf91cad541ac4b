#include "sim/faults.h"

#include <algorithm>
#include <cctype>

namespace frambolist::sim {

namespace {
bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}
}  // namespace

void Faults::Arm(std::string member, host::HostError error, bool always) {
  armed_.push_back({std::move(member), std::move(error), always});
}

void Faults::ArmCallNumber(int number, host::HostError error) {
  fail_at_ = calls_ + number;
  call_error_ = std::move(error);
}

std::optional<host::HostError> Faults::Take(std::string_view member) {
  if (++calls_ == fail_at_) return call_error_;
  auto it = std::find_if(armed_.begin(), armed_.end(),
                         [&](const Armed& a) { return SameName(a.member, member); });
  if (it == armed_.end()) return std::nullopt;
  host::HostError error = it->error;
  if (!it->always) armed_.erase(it);
  return error;
}

}  // namespace frambolist::sim

#pragma once
// For tests of late-bound calls: the error number an action fails with (0
// when it succeeds), and optionally its description.

#include <cstdint>
#include <string>

#include "host/host_error.h"

namespace frambolist::host::testing {

template <class Action>
int32_t NumberOf(Action&& action, std::string* description = nullptr) {
  try {
    action();
  } catch (const HostFailure& failure) {
    if (description) *description = failure.error.description;
    return failure.error.number;
  }
  return 0;
}

}  // namespace frambolist::host::testing

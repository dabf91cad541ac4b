#pragma once
// What a failing host call does to the work around it. Written once here and
// named by the connectors and handlers that use them, instead of a try/catch
// in every place.

#include <algorithm>
#include <optional>
#include <span>

#include "host/host_error.h"
#include "platform/platform.h"

namespace frambolist::connectors {

// The connection event's policies, one per host; each runs one step.
// PowerPoint: a message box with the failure's description, then the next step.
struct ResumeWithMessage {
  platform::OkMessageBox& message_box;
  template <class Step>
  void Run(Step&& step) const {
    try {
      step();
    } catch (const host::HostFailure& failure) {
      message_box.Show(failure.error.description);
    }
  }
};

// Word: the failing step is skipped without a word.
struct ResumeSilently {
  template <class Step>
  void Run(Step&& step) const {
    try {
      step();
    } catch (const host::HostFailure&) {
    }
  }
};

// Excel: no trap; the first failure ends the event and goes back to the host.
struct StopAtFirstFailure {
  template <class Step>
  void Run(Step&& step) const {
    step();
  }
};

// A handler's trap: a failure ends the work quietly, keeping what was done.
// Returns the failure for handlers that look at its number.
template <class Work>
std::optional<host::HostError> EndQuietly(Work&& work) {
  try {
    work();
  } catch (const host::HostFailure& failure) {
    return failure.error;
  }
  return std::nullopt;
}

inline bool IsOneOf(const std::optional<host::HostError>& failure,
                    std::span<const int32_t> numbers) {
  return failure && std::find(numbers.begin(), numbers.end(), failure->number) != numbers.end();
}

}  // namespace frambolist::connectors

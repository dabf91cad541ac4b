#pragma once
// The sink behind one reference that receives events: it hands each event to
// the connector's handler for it, and turns a failure that the handler lets
// through into the event's failure for the host.

#include <algorithm>
#include <array>
#include <functional>

#include "host/events.h"

namespace frambolist::connectors {

// Every event the add-in handles has at most this many arguments; a host
// that passes fewer gets Empty for the rest.
inline constexpr size_t kMaxEventArgs = 2;

class EventRouter final : public host::EventSink {
 public:
  // `args` always holds kMaxEventArgs values.
  using Route = std::function<void(std::string_view event, std::span<host::Value, kMaxEventArgs> args)>;
  explicit EventRouter(Route route) : route_(std::move(route)) {}

  std::optional<host::HostError> OnEvent(std::string_view event, std::span<host::Value> args) override {
    std::array<host::Value, kMaxEventArgs> padded;
    const size_t given = std::min(args.size(), padded.size());
    std::copy_n(args.begin(), given, padded.begin());
    try {
      route_(event, padded);
    } catch (const host::HostFailure& failure) {
      return failure.error;
    }
    // By-reference arguments (CancelDefault) go back to the host.
    std::copy_n(padded.begin(), given, args.begin());
    return std::nullopt;
  }

 private:
  Route route_;
};

}  // namespace frambolist::connectors

#pragma once
// The sink behind one reference that receives events: it hands each event to
// the connector's handler for it, and turns a failure that the handler lets
// through into the event's failure for the host.

#include <functional>

#include "host/events.h"

namespace frambolist::connectors {

class EventRouter final : public host::EventSink {
 public:
  using Route = std::function<void(std::string_view event, std::span<host::Value> args)>;
  explicit EventRouter(Route route) : route_(std::move(route)) {}

  std::optional<host::HostError> OnEvent(std::string_view event, std::span<host::Value> args) override {
    try {
      route_(event, args);
    } catch (const host::HostFailure& failure) {
      return failure.error;
    }
    return std::nullopt;
  }

 private:
  Route route_;
};

// The event's argument at `index`, or Empty when the host passed fewer.
inline host::Value& EventArg(std::span<host::Value> args, size_t index) {
  static thread_local host::Value empty;
  if (index < args.size()) return args[index];
  empty = host::Value();
  return empty;
}

}  // namespace frambolist::connectors

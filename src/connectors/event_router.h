#pragma once
// The sink behind one reference that receives events: it hands each event to
// the connector's handler for it, and turns a failure that the handler lets
// through into the event's failure for the host.
//
// Lifetime: hosts hold the sink (shared), and may call it after the connector
// is gone; the connector detaches its routers when it goes, and from then on
// every event is ignored. While a handler runs, the router holds the
// connector, so a host that releases the connector from inside a modal loop
// frees it only after the handler has returned.

#include <algorithm>
#include <array>
#include <memory>

#include "host/events.h"

namespace frambolist::connectors {

// Every event the add-in handles has at most this many arguments; a host
// that passes fewer gets Empty for the rest.
inline constexpr size_t kMaxEventArgs = 2;

// Thrown when the host disconnected or released the connector while one of
// its handlers waited in a modal window: the handler ends there, without
// another call into the host on the connector's behalf.
struct HandlerAbandoned {};

// What the routers deliver to: the connector, which tells its handlers apart
// by route number.
class EventTarget {
 public:
  virtual void RouteEvent(int route, std::string_view event,
                          std::span<host::Value, kMaxEventArgs> args) = 0;
  // A counted hold on the target for the length of one event; null when
  // nothing shares its ownership.
  virtual std::shared_ptr<const void> Hold() = 0;

 protected:
  ~EventTarget() = default;
};

class EventRouter final : public host::EventSink {
 public:
  EventRouter(EventTarget& target, int route) : target_(&target), route_(route) {}

  // The target stops receiving events: it was disconnected or is going.
  void Detach() { target_ = nullptr; }

  std::optional<host::HostError> OnEvent(std::string_view event,
                                         std::span<host::Value> args) override {
    EventTarget* target = target_;  // a handler may detach this router
    if (!target) return std::nullopt;
    const auto hold = target->Hold();
    std::array<host::Value, kMaxEventArgs> padded;
    const size_t given = std::min(args.size(), padded.size());
    std::copy_n(args.begin(), given, padded.begin());
    try {
      target->RouteEvent(route_, event, padded);
    } catch (const host::HostFailure& failure) {
      return host::AsHostSeesIt(failure.error);
    } catch (const HandlerAbandoned&) {
      return std::nullopt;
    }
    // By-reference arguments (CancelDefault) go back to the host.
    std::copy_n(padded.begin(), given, args.begin());
    return std::nullopt;
  }

 private:
  EventTarget* target_;
  int route_;
};

}  // namespace frambolist::connectors

#pragma once
// The sink behind one reference that receives events: it carries the
// handler of each event it takes, bound by the event's name when the
// reference is made, hands each event to its handler, and turns a failure
// that the handler lets through into the event's failure for the host.
//
// Lifetime: hosts hold the sink (shared), and may call it after the connector
// is gone; the connector detaches its routers when it goes, and from then on
// every event is ignored. While a handler runs, the router holds the
// connector, so a host that releases the connector from inside a modal loop
// frees it only after the handler has returned.

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "host/events.h"
#include "host/names.h"

namespace frambolist::connectors {

// Every event the add-in handles has at most this many arguments; a host
// that passes fewer gets Empty for the rest.
inline constexpr size_t kMaxEventArgs = 2;
using EventArgs = std::span<host::Value, kMaxEventArgs>;
using EventHandler = std::function<void(EventArgs)>;

// A member handler of `target`, called with as many of the event's
// arguments as it takes: `Handler(*this, &Connect::PPTApp_WindowSelectionChange)`.
// A by-reference argument (`host::Value& CancelDefault`) goes back to the host.
template <class Target, class... Params>
EventHandler Handler(Target& target, void (Target::*member)(Params...)) {
  static_assert(sizeof...(Params) <= kMaxEventArgs, "raise kMaxEventArgs");
  return [&target, member](EventArgs args) {
    [&]<size_t... I>(std::index_sequence<I...>) { (target.*member)(args[I]...); }
    (std::index_sequence_for<Params...>{});
  };
}

// One event that a reference takes, and what runs it.
struct EventBinding {
  std::string_view event;
  EventHandler handler;
};

// Thrown when the host disconnected or released the connector while one of
// its handlers waited in a modal window: the handler ends there, without
// another call into the host on the connector's behalf.
struct HandlerAbandoned {};

// What the routers deliver to: the connector, which runs every handler the
// same way (one ribbon action each).
class EventTarget {
 public:
  virtual void RunHandler(const std::function<void()>& handler) = 0;
  // A counted hold on the target for the length of one event; null when
  // nothing shares its ownership.
  virtual std::shared_ptr<const void> Hold() = 0;

 protected:
  ~EventTarget() = default;
};

class EventRouter final : public host::EventSink {
 public:
  EventRouter(EventTarget& target, std::vector<EventBinding> bindings)
      : target_(&target), bindings_(std::move(bindings)) {
    for (const EventBinding& binding : bindings_) names_.push_back(binding.event);
  }

  // The target stops receiving events: it was disconnected or is going.
  void Detach() { target_ = nullptr; }

  std::span<const std::string_view> Handles() const override { return names_; }

  std::optional<host::HostError> OnEvent(std::string_view event,
                                         std::span<host::Value> args) override {
    EventTarget* target = target_;  // a handler may detach this router
    if (!target) return std::nullopt;
    const auto bound = std::find_if(bindings_.begin(), bindings_.end(), [&](const auto& b) {
      return host::EqualsIgnoringCase(b.event, event);
    });
    if (bound == bindings_.end()) return std::nullopt;  // an event the add-in does not take
    const auto hold = target->Hold();
    std::array<host::Value, kMaxEventArgs> padded;
    const size_t given = std::min(args.size(), padded.size());
    std::copy_n(args.begin(), given, padded.begin());
    try {
      target->RunHandler([&] { bound->handler(padded); });
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
  std::vector<EventBinding> bindings_;
  std::vector<std::string_view> names_;
};

}  // namespace frambolist::connectors

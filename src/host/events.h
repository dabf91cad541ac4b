#pragma once
// Events as the add-in receives them: a sink connected to one event interface
// of an object gets each event by name with its arguments. By-reference
// arguments (a button click's CancelDefault) are the Values the sink may
// change in place; the source reads them back after the call. A source shares
// the ownership of every sink it may still call, so a sink is never freed
// under a host that holds on to it past the unsubscription.

#include <algorithm>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <utility>

#include "host/host_error.h"
#include "host/names.h"
#include "host/value.h"

namespace frambolist::host {

// The event interfaces the add-in connects to, named by their interface ids.
namespace event_interfaces {
inline constexpr std::string_view kPowerPointApplication = "{914934C2-5A91-11CF-8700-00AA0060263B}";
inline constexpr std::string_view kExcelApplication = "{00024413-0000-0000-C000-000000000046}";
inline constexpr std::string_view kWordApplication = "{00020A01-0000-0000-C000-000000000046}";
inline constexpr std::string_view kCommandBarComboBox = "{000C0354-0000-0000-C000-000000000046}";
inline constexpr std::string_view kCommandBarButton = "{000C0351-0000-0000-C000-000000000046}";
inline constexpr std::string_view kCommandBarsEvents = "{000C0352-0000-0000-C000-000000000046}";
}  // namespace event_interfaces

class EventSink {
 public:
  // The events this sink has handlers for, by name. A source refuses a
  // subscription naming an event it never raises, so a misspelt handler
  // fails the subscription instead of silently never running. Empty: the
  // sink takes whatever the source raises (a sink on the far side of COM,
  // which tells events apart by number).
  virtual std::span<const std::string_view> Handles() const = 0;
  // A returned error is the handler's failure, reported back to the host.
  virtual std::optional<HostError> OnEvent(std::string_view event, std::span<Value> args) = 0;

 protected:
  ~EventSink() = default;
};

// The first event that `sink` handles and the source does not raise
// (compared as automation compares names), as the failure of the
// subscription; none when the source raises them all.
inline std::optional<HostError> CheckHandledEvents(const EventSink& sink,
                                                   std::span<const std::string_view> raised) {
  for (std::string_view handled : sink.Handles()) {
    if (std::none_of(raised.begin(), raised.end(),
                     [&](std::string_view name) { return EqualsIgnoringCase(name, handled); }))
      return errors::NoSuchEvent(handled);
  }
  return std::nullopt;
}

// A live connection of a sink to a source; ending it (destruction) stops the
// events. Move-only.
class Subscription {
 public:
  Subscription() = default;
  explicit Subscription(std::function<void()> end) : end_(std::move(end)) {}
  Subscription(Subscription&& other) noexcept : end_(std::exchange(other.end_, nullptr)) {}
  Subscription& operator=(Subscription&& other) noexcept {
    if (this != &other) {
      End();
      end_ = std::exchange(other.end_, nullptr);
    }
    return *this;
  }
  Subscription(const Subscription&) = delete;
  Subscription& operator=(const Subscription&) = delete;
  ~Subscription() { End(); }

  explicit operator bool() const { return static_cast<bool>(end_); }
  void End() noexcept {
    if (auto end = std::exchange(end_, nullptr)) end();
  }

 private:
  std::function<void()> end_;
};

}  // namespace frambolist::host

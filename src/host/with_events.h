#pragma once
// A reference that receives events (Visual Basic's WithEvents): assigning an
// object connects the field's sink to that object's event interface, and the
// connection lives exactly as long as the reference does, or until the
// connector lets go of its events (Disconnect).

#include <memory>
#include <string_view>

#include "host/dispatch.h"

namespace frambolist::host {

class WithEvents {
 public:
  WithEvents(std::string_view interface_id, std::shared_ptr<EventSink> sink)
      : interface_id_(interface_id), sink_(std::move(sink)) {}
  // A reference that receives no events until ListenTo names them (a toolbar
  // caption never does).
  WithEvents() = default;
  WithEvents(const WithEvents&) = delete;
  WithEvents& operator=(const WithEvents&) = delete;
  ~WithEvents() { Clear(); }

  // The events that objects assigned from now on deliver to `sink`.
  void ListenTo(std::string_view interface_id, std::shared_ptr<EventSink> sink) {
    interface_id_ = interface_id;
    sink_ = std::move(sink);
  }

  // Connects first, so an object that refuses the events leaves the field as
  // it was and the assignment fails (throws HostFailure).
  void Set(const Dispatch& object) {
    Subscription next;
    if (object.ref() && sink_) {
      next = object.ref()->Subscribe(interface_id_, sink_).ValueOrThrow();
    }
    subscription_ = std::move(next);
    object_ = Dispatch(object.ref());
  }
  void Clear() {
    subscription_.End();
    object_ = Dispatch();
  }
  // Stops the events but keeps the reference.
  void Disconnect() { subscription_.End(); }

  const Dispatch& operator*() const { return object_; }
  const Dispatch* operator->() const { return &object_; }

 private:
  std::string_view interface_id_;
  std::shared_ptr<EventSink> sink_;
  Subscription subscription_;
  Dispatch object_;
};

}  // namespace frambolist::host

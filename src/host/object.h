#pragma once
// The host object model as the add-in reaches it: automation objects whose
// members are got, put and called by name, as late binding does. The core is
// written against this interface alone; the simulated hosts and the COM
// binding implement it. No member throws: failures come back as Outcomes.

#include <memory>
#include <span>
#include <string_view>

#include "host/events.h"
#include "host/object_ref.h"
#include "host/outcome.h"
#include "host/value.h"

namespace frambolist::host {

class Object {
 public:
  virtual void AddRef() noexcept = 0;
  virtual void Release() noexcept = 0;

  // Property get, with arguments where the property takes them
  // (`Item(1)`); an empty name is the object's default member.
  virtual Outcome<Value> Get(std::string_view member, std::span<const Value> args) = 0;
  virtual Outcome<void> Put(std::string_view member, const Value& value) = 0;
  // Method call; any argument may be Missing.
  virtual Outcome<Value> Call(std::string_view member, std::span<const Value> args) = 0;
  // Connects `sink` to the event interface `interface_id` of this object,
  // until the returned Subscription ends. The object keeps the sink for as
  // long as it may call it.
  virtual Outcome<Subscription> Subscribe(std::string_view interface_id,
                                          std::shared_ptr<EventSink> sink) = 0;
  // What tells two references to the same object apart from references to
  // different ones (COM's rule: the same IUnknown), for keying state by a
  // host object such as a window. Valid while a reference is held.
  virtual const void* Identity() const noexcept { return this; }

 protected:
  ~Object() = default;
};

}  // namespace frambolist::host

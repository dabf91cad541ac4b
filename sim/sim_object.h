#pragma once
// The base of every simulated host object: a table of members reached by
// name (case-insensitively, as automation does), reference counting that the
// reference audit reads, connection points, and the hooks for fault
// injection and the write trace.
//
// Lifetime: objects that the document or the toolbar owns (shapes' ranges
// are made afresh) are held by the World through shared_ptr; any object also
// stays alive while the add-in holds a counted reference to it.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/names.h"
#include "host/object.h"

namespace frambolist::sim {

class World;
using host::HostError;
using host::Outcome;
using host::Value;

// How many arguments a member takes, as its type library declares them.
struct Arity {
  size_t required = 0;
  size_t most = 0;
};
inline constexpr Arity kOneIndex{1, 1};  // `Item(Index)` and a collection's default member

class SimObject : public host::Object, public std::enable_shared_from_this<SimObject> {
 public:
  SimObject(World& world, std::string type_name);
  virtual ~SimObject();
  SimObject(const SimObject&) = delete;
  SimObject& operator=(const SimObject&) = delete;

  void AddRef() noexcept override;
  void Release() noexcept override;
  Outcome<Value> Get(std::string_view member, std::span<const Value> args) override;
  Outcome<void> Put(std::string_view member, const Value& value) override;
  Outcome<Value> Call(std::string_view member, std::span<const Value> args) override;
  Outcome<host::Subscription> Subscribe(std::string_view interface_id,
                                        std::shared_ptr<host::EventSink> sink) override;

  const std::string& type_name() const { return type_name_; }
  // Counted references held outside the simulation (by the add-in, or by the
  // host program where it hands an object over).
  int external_refs() const { return refs_; }
  // Sinks connected to this object's events (Office's connection points).
  size_t connected_sinks() const { return sinks_.size(); }
  // A new counted reference to this object, for handing it out.
  host::ObjectRef Ref() { return host::ObjectRef(this); }

  // A property written by someone other than the add-in (another add-in, a
  // macro, the user): no fault, trace or call record applies.
  Outcome<void> PutByOthers(std::string_view member, const Value& value);

  // Raises an event to every connected sink, in connection order. Returns the
  // failures that the sinks reported.
  std::vector<HostError> Raise(std::string_view event, std::span<Value> args);

  using Getter = std::function<Outcome<Value>(std::span<const Value>)>;
  using Putter = std::function<Outcome<void>(const Value&)>;

 protected:
  // A property (or method: automation makes no difference for a get). A
  // member refuses more arguments than it takes (DISP_E_BADPARAMCOUNT) and
  // fewer than it requires (DISP_E_PARAMNOTOPTIONAL), as Office's typed
  // objects do: `InlineShapes(1)` is not `InlineShapes.Item(1)` there,
  // whatever Visual Basic makes of it.
  void Member(std::string name, Getter get, Putter put = {}, Arity arity = {});
  // The event interface that this object's connection point takes, and
  // the events it raises there: a subscription to another interface, or
  // one whose sink handles an event not among these, is refused.
  void OfferEvents(std::string_view interface_id, std::vector<std::string_view> events) {
    event_interface_ = interface_id;
    events_ = std::move(events);
  }
  // Property writes on this object are shown by `trace on` under this name.
  void TraceWritesAs(std::string name) { trace_name_ = std::move(name); }
  // A write to this object is a change to a command bar (World::NoteBarChange).
  void WritesChangeBars() { changes_bars_ = true; }

  World& world_;

 private:
  struct Entry {
    Getter get;
    Putter put;
    Arity arity;
  };
  struct Sink {
    int id;
    std::shared_ptr<host::EventSink> sink;
  };

  const Entry* Find(std::string_view member) const;

  std::string type_name_;
  std::map<std::string, Entry, host::LessIgnoringCase>
      members_;  // names as automation compares them
  std::string event_interface_;
  std::vector<std::string_view> events_;
  std::string trace_name_;
  bool changes_bars_ = false;
  std::vector<Sink> sinks_;
  int next_sink_id_ = 1;
  int refs_ = 0;
  std::shared_ptr<SimObject> self_;  // set while refs_ > 0
};

// Argument helpers for members: the i-th argument, or Missing.
const Value& Arg(std::span<const Value> args, size_t i);

// Errors that the simulated hosts raise, with the hosts' own texts.
namespace host_errors {
HostError InvalidArgument();            // -2147024809, "Invalid procedure call or argument"
HostError ValueOutOfRange();            // -2147024809, "The specified value is out of range."
HostError PowerPointNothingSelected();  // -2147188160
HostError PowerPointSingleShapeOnly();  // -2147188160, a range of several shapes' Name
HostError WordCommandFailed();          // 4198
HostError WordNoSuchMember();           // 5941
HostError TypeMismatch();               // DISP_E_TYPEMISMATCH
HostError BadParamCount();              // DISP_E_BADPARAMCOUNT: arguments a member does not take
HostError ParamNotOptional();           // DISP_E_PARAMNOTOPTIONAL: a required argument missing
HostError Disconnected();               // RPC_E_DISCONNECTED: the host has shut down
}  // namespace host_errors

}  // namespace frambolist::sim

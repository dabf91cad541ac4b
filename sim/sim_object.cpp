#include "sim/sim_object.h"

#include <algorithm>
#include <stdexcept>

#include "host/names.h"

#include "sim/world.h"

namespace frambolist::sim {

namespace {
const Value kMissing{host::Missing{}};
}  // namespace

const Value& Arg(std::span<const Value> args, size_t i) {
  return i < args.size() ? args[i] : kMissing;
}

SimObject::SimObject(World& world, std::string type_name)
    : world_(world), type_name_(std::move(type_name)) {
  world_.Track(this);
}

SimObject::~SimObject() { world_.Untrack(this); }

void SimObject::AddRef() noexcept {
  if (refs_++ == 0) self_ = shared_from_this();
}

void SimObject::Release() noexcept {
  if (refs_ <= 0) {
    world_.NoteDoubleRelease(this);
    return;
  }
  if (--refs_ == 0) {
    auto last = std::move(self_);  // may destroy this object on return
  }
}

void SimObject::Member(std::string name, Getter get, Putter put, Arity arity) {
  members_[std::move(name)] = Entry{std::move(get), std::move(put), arity};
}

const SimObject::Entry* SimObject::Find(std::string_view member) const {
  auto it = members_.find(member);
  return it == members_.end() ? nullptr : &it->second;
}

Outcome<Value> SimObject::Get(std::string_view member, std::span<const Value> args) {
  if (world_.recording()) {
    world_.NoteCall(
        {World::RecordedCall::Kind::Get, Ref(), std::string(member), {args.begin(), args.end()}});
  }
  if (world_.closed()) return host_errors::Disconnected();
  if (auto fault = world_.faults().Take(member)) return *fault;
  const Entry* entry = Find(member);
  if (!entry || !entry->get) return host::errors::MemberNotSupported();
  if (args.size() > entry->arity.most) return host_errors::BadParamCount();
  if (args.size() < entry->arity.required) return host_errors::ParamNotOptional();
  return entry->get(args);
}

Outcome<Value> SimObject::Call(std::string_view member, std::span<const Value> args) {
  return Get(member, args);
}

Outcome<void> SimObject::Put(std::string_view member, const Value& value) {
  if (world_.recording())
    world_.NoteCall({World::RecordedCall::Kind::Put, Ref(), std::string(member), {value}});
  if (!trace_name_.empty()) world_.TraceWrite(trace_name_, member, value);
  if (world_.closed()) return host_errors::Disconnected();
  if (auto fault = world_.faults().Take(member)) return *fault;
  const Entry* entry = Find(member);
  if (!entry || !entry->put) return host::errors::MemberNotSupported();
  auto put = entry->put(value);
  if (put.ok() && changes_bars_) world_.NoteBarChange();
  return put;
}

Outcome<void> SimObject::PutByOthers(std::string_view member, const Value& value) {
  const Entry* entry = Find(member);
  if (!entry || !entry->put) return host::errors::MemberNotSupported();
  return entry->put(value);
}

Outcome<host::Subscription> SimObject::Subscribe(std::string_view interface_id,
                                                 std::shared_ptr<host::EventSink> sink) {
  if (world_.recording())
    world_.NoteCall({World::RecordedCall::Kind::Subscribe, Ref(), std::string(interface_id), {}});
  if (world_.closed()) return host_errors::Disconnected();
  if (world_.faults().TakeSubscriptionRefusal() || world_.faults().RefusesEventsOf(interface_id))
    return host::errors::NoEvents();
  if (event_interface_.empty() || !host::EqualsIgnoringCase(interface_id, event_interface_)) {
    return host::errors::NoEvents();  // CONNECT_E_NOCONNECTION, as Visual Basic reads it
  }
  if (auto unknown = host::CheckHandledEvents(*sink, events_)) return *unknown;
  const int id = next_sink_id_++;
  sinks_.push_back({id, std::move(sink)});
  std::weak_ptr<SimObject> weak = weak_from_this();
  return host::Subscription([weak, id] {
    if (auto self = weak.lock()) {
      std::erase_if(self->sinks_, [id](const Sink& s) { return s.id == id; });
    }
  });
}

std::vector<HostError> SimObject::Raise(std::string_view event, std::span<Value> args) {
  // Raising what it does not offer is a fault of the simulation's own.
  if (std::find(events_.begin(), events_.end(), event) == events_.end())
    throw std::logic_error(type_name_ + " raised " + std::string(event) +
                           ", which it does not offer");
  // A handler may end subscriptions while it runs; deliver to a snapshot
  // (which keeps every sink alive) and skip sinks that went away meanwhile.
  std::vector<HostError> failures;
  auto keep_alive = shared_from_this();
  const auto snapshot = sinks_;
  for (const Sink& s : snapshot) {
    const bool still_connected =
        std::any_of(sinks_.begin(), sinks_.end(), [&](const Sink& x) { return x.id == s.id; });
    if (!still_connected) continue;
    if (auto failure = s.sink->OnEvent(event, args)) failures.push_back(*failure);
  }
  return failures;
}

namespace host_errors {
HostError InvalidArgument() { return {-2147024809, "Invalid procedure call or argument"}; }
HostError ValueOutOfRange() { return {-2147024809, "The specified value is out of range."}; }
HostError PowerPointNothingSelected() {
  return {-2147188160,
          "Selection (unknown member) : Invalid request.  Nothing appropriate is currently "
          "selected."};
}
HostError PowerPointSingleShapeOnly() {
  return {-2147188160, "This member can only be accessed for a single shape."};
}
HostError WordCommandFailed() { return {4198, "Command failed"}; }
HostError WordNoSuchMember() {
  return {5941, "The requested member of the collection does not exist."};
}
HostError TypeMismatch() { return {-2147352571, "Type mismatch."}; }
HostError BadParamCount() { return host::errors::WrongArgumentCount(); }
HostError ParamNotOptional() { return {449, "Argument not optional"}; }
HostError Disconnected() {
  return {-2147417848, "The object invoked has disconnected from its clients."};
}
}  // namespace host_errors

}  // namespace frambolist::sim

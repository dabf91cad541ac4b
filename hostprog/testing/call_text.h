#pragma once
// A call the add-in made on a simulated host, as one line of text: its kind,
// the host type it went to, the member, and each argument with its
// automation type ("put CommandBarButton.FaceId i16:1647"), so that tests
// can compare calls across sessions and write expected calls out literally.

#include <algorithm>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

#include "hostprog/testing/run_script.h"
#include "sim/sim_object.h"
#include "sim/world.h"

namespace frambolist::hostprog::testing {

inline std::string CallText(const sim::World::RecordedCall& call) {
  using Kind = sim::World::RecordedCall::Kind;
  if (call.kind == Kind::Event) return "event " + call.member;
  const auto* target = dynamic_cast<const sim::SimObject*>(call.target.get());
  std::string line = call.kind == Kind::Get ? "get " : call.kind == Kind::Put ? "put " : "sink ";
  line += (target ? target->type_name() : "?") + "." + call.member;
  for (const host::Value& v : call.args) {
    line += " ";
    std::visit(
        [&](const auto& x) {
          using T = std::decay_t<decltype(x)>;
          if constexpr (std::is_same_v<T, bool>) {
            line += x ? "bool:true" : "bool:false";
          } else if constexpr (std::is_same_v<T, int16_t>) {
            line += "i16:" + std::to_string(x);
          } else if constexpr (std::is_same_v<T, int32_t>) {
            line += "i32:" + std::to_string(x);
          } else if constexpr (std::is_same_v<T, float>) {
            line += "f32:" + std::to_string(x);
          } else if constexpr (std::is_same_v<T, double>) {
            line += "f64:" + std::to_string(x);
          } else if constexpr (std::is_same_v<T, std::string>) {
            line += "str:" + x;
          } else if constexpr (std::is_same_v<T, host::Missing>) {
            line += "missing";
          } else if constexpr (std::is_same_v<T, host::ObjectRef>) {
            line += "object";
          } else {
            line += "empty";
          }
        },
        v.storage());
  }
  return line;
}

// The calls the add-in made while the script `phase` ran, as text.
inline std::vector<std::string> CallsDuring(PhasedRun& run, const std::string& phase) {
  run.world().Record(true);
  run.Script(phase);
  run.world().Record(false);
  std::vector<std::string> calls;
  for (const auto& call : run.world().recorded()) calls.push_back(CallText(call));
  return calls;
}

inline long CountOf(const std::vector<std::string>& calls, const std::string& prefix) {
  return std::count_if(calls.begin(), calls.end(),
                       [&](const std::string& c) { return c.starts_with(prefix); });
}

}  // namespace frambolist::hostprog::testing

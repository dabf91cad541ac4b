#pragma once
// Conversions of values read from a host, failing (as a host failure would)
// where Visual Basic's would: a length or angle that is no number, or is not
// finite, or lies beyond the single range, ends the handler that read it.

#include <string>

#include "host/value.h"

namespace frambolist::connectors {

inline float SingleOf(const host::Value& value) {
  auto single = value.ToSingle();
  if (!single.ok()) throw host::HostFailure{single.error()};
  return single.value();
}

inline int32_t LongOf(const host::Value& value) {
  auto n = value.ToLong();
  if (!n.ok()) throw host::HostFailure{n.error()};
  return n.value();
}

inline std::string TextOf(const host::Value& value) {
  auto text = value.ToText();
  if (!text.ok()) throw host::HostFailure{text.error()};
  return text.value();
}

}  // namespace frambolist::connectors

#pragma once
// Conversions of values read from a host that throw a HostFailure, as a
// failing host call would, where Visual Basic's conversions fail: a length
// or angle that is no number, or is not finite, or lies beyond the single
// range, ends the handler that read it.

#include <string>

#include "host/value.h"

namespace frambolist::connectors {

inline float SingleOf(const host::Value& value) { return value.ToSingle().ValueOrThrow(); }
inline int32_t LongOf(const host::Value& value) { return value.ToLong().ValueOrThrow(); }
inline std::string TextOf(const host::Value& value) { return value.ToText().ValueOrThrow(); }

}  // namespace frambolist::connectors

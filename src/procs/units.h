#pragma once
// Display units and the conversion of lengths between points and the unit the
// user chose.

#include <optional>
#include <string_view>

namespace frambolist::procs {

// The display units, in the order the units dialog offers them.
enum class Unit { Px, Inch, mm, cm, m };

// A unit's name where the user or a script sees it: "Px", "Inch", "mm",
// "cm", "m" (the captions' "Height (Inch)"). `UnitNamed` is the reverse: a
// name it does not know is refused where it enters.
std::string_view NameOf(Unit unit);
std::optional<Unit> UnitNamed(std::string_view name);

// The display unit. One for the whole library in a host process; every
// connection sets it to inches and only the units dialog changes it
// afterwards.
extern Unit CurrentUnit;

// Lengths in the display unit to points and back, on the unit at the time
// of the call. A result beyond the single range is an infinity with the
// input's sign, never an error.
float UnitToPoints(const float& value);
float PointsToUnit(const float& value);

}  // namespace frambolist::procs

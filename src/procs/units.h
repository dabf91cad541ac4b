#pragma once
// Display units and the conversion of lengths between points and the unit the
// user chose.

#include <string>

namespace frambolist::procs {

// The display unit: "Px", "Inch", "mm", "cm" or "m". One for the whole
// library in a host process; every connection sets it to "Inch" and only the
// units dialog changes it afterwards.
extern std::string CurrentUnit;

// The unit names in the order the units dialog offers them.
inline constexpr const char* kUnitNames[] = {"Px", "Inch", "mm", "cm", "m"};

// Lengths in the display unit to points and back, on the unit named at the
// time of the call. An unknown unit name gives 0; a result beyond the single
// range is an infinity with the input's sign, never an error.
float UnitToPoints(const float& value);
float PointsToUnit(const float& value);

}  // namespace frambolist::procs

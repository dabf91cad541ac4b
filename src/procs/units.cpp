#include "procs/units.h"

#include <array>

#include "host/single_precision.h"

namespace frambolist::procs {

Unit CurrentUnit = Unit::Inch;

namespace {
// By the enumeration's order.
constexpr std::array<std::string_view, 5> kNames = {"Px", "Inch", "mm", "cm", "m"};

// The metric units rest on 0.63/16 = 0.039375 inch to the millimetre (so 1 mm
// is 2.835 points, not 2.83465). Every intermediate is a double and the
// factors are applied in this order; the result is rounded to a single once.
// Another order, or single intermediates, gives a different single for some
// inputs, and users compare the boxes with what they typed.
constexpr double kInchPerMillimetre = 0.63 / 16;
}  // namespace

std::string_view NameOf(Unit unit) { return kNames[static_cast<size_t>(unit)]; }

std::optional<Unit> UnitNamed(std::string_view name) {
  for (size_t i = 0; i < kNames.size(); ++i) {
    if (kNames[i] == name) return static_cast<Unit>(i);
  }
  return std::nullopt;
}

float UnitToPoints(const float& value) {
  const double v = value;
  double r = 0;
  switch (CurrentUnit) {
    case Unit::Px:
      return value;  // bit for bit
    case Unit::Inch:
      r = v * 72.0;
      break;
    case Unit::mm:
      r = (kInchPerMillimetre * v) * 72.0;
      break;
    case Unit::cm:
      r = ((v * 10.0) * kInchPerMillimetre) * 72.0;
      break;
    case Unit::m:
      r = ((v * 1000.0) * kInchPerMillimetre) * 72.0;
      break;
  }
  return host::RoundToSingle(r);
}

float PointsToUnit(const float& value) {
  const double p = value;
  double r = 0;
  switch (CurrentUnit) {
    case Unit::Px:
      return value;
    case Unit::Inch:
      r = p / 72.0;
      break;
    case Unit::mm:
      r = (p / kInchPerMillimetre) / 72.0;
      break;
    case Unit::cm:
      r = ((p / 10.0) / kInchPerMillimetre) / 72.0;
      break;
    case Unit::m:
      r = ((p / 1000.0) / kInchPerMillimetre) / 72.0;
      break;
  }
  return host::RoundToSingle(r);
}

}  // namespace frambolist::procs

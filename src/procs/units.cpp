#include "procs/units.h"

#include "host/single_precision.h"

namespace frambolist::procs {

std::string CurrentUnit = "Inch";

namespace {
// The metric units rest on 0.63/16 = 0.039375 inch to the millimetre (so 1 mm
// is 2.835 points, not 2.83465). Every intermediate is a double and the
// factors are applied in this order; the result is rounded to a single once.
// Another order, or single intermediates, gives a different single for some
// inputs, and users compare the boxes with what they typed.
constexpr double kInchPerMillimetre = 0.63 / 16;
}  // namespace

float UnitToPoints(const float& value) {
  const std::string unit = CurrentUnit;
  const double v = value;
  double r;
  if (unit == "Inch")
    r = v * 72.0;
  else if (unit == "mm")
    r = (kInchPerMillimetre * v) * 72.0;
  else if (unit == "cm")
    r = ((v * 10.0) * kInchPerMillimetre) * 72.0;
  else if (unit == "m")
    r = ((v * 1000.0) * kInchPerMillimetre) * 72.0;
  else if (unit == "Px")
    return value;  // bit for bit
  else
    return 0.0f;
  return host::RoundToSingle(r);
}

float PointsToUnit(const float& value) {
  const std::string unit = CurrentUnit;
  const double p = value;
  double r;
  if (unit == "Inch")
    r = p / 72.0;
  else if (unit == "mm")
    r = (p / kInchPerMillimetre) / 72.0;
  else if (unit == "cm")
    r = ((p / 10.0) / kInchPerMillimetre) / 72.0;
  else if (unit == "m")
    r = ((p / 1000.0) / kInchPerMillimetre) / 72.0;
  else if (unit == "Px")
    return value;
  else
    return 0.0f;
  return host::RoundToSingle(r);
}

}  // namespace frambolist::procs

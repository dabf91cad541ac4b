#pragma once
// Shape ranges and Word's in-line pictures.
//
// Host behaviour the tests rely on:
// - Shapes have Name, Width, Height, Rotation and LockAspectRatio (false until
//   written). Writing Width or Height of a floating shape whose
//   LockAspectRatio is true scales the other dimension in proportion.
// - A negative or non-finite length, or a non-finite angle, is refused with
//   -2147024809 "The specified value is out of range."; a finite angle is
//   stored normalised into [0, 360).
// - A range over several shapes reads as its first shape and writes every
//   shape, each scaling by its own proportions.
// - Word: a selection of in-line pictures only has an empty ShapeRange whose
//   members fail with 4198 "Command failed". In-line pictures have Width,
//   Height and LockAspectRatio, no Rotation, and never rescale themselves.
// - Every host stores and reads Width and Height as singles.
// - A range's Item is a Shape with the same members, without Count and Item.
// - PowerPoint refuses the Name of a range of several shapes (-2147188160
//   "This member can only be accessed for a single shape."); Excel and Word
//   answer the first shape's.

#include <memory>
#include <vector>

#include "sim/sim_object.h"
#include "sim/world.h"

namespace frambolist::sim {

// The floating shapes of a selection, as one range. An empty range stands for
// Word's in-line-only selection.
std::shared_ptr<SimObject> MakeShapeRange(World& world, std::vector<std::shared_ptr<Shape>> shapes);
// Word's Selection.InlineShapes.
std::shared_ptr<SimObject> MakeInlineShapes(World& world,
                                            std::vector<std::shared_ptr<Shape>> pictures);

// Checks a length and an angle as the hosts do before storing them.
Outcome<double> ValidLength(const Value& v);
Outcome<float> NormalisedAngle(const Value& v);

}  // namespace frambolist::sim

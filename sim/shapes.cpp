#include "sim/shapes.h"

#include <cmath>
#include <vector>

namespace frambolist::sim {

Outcome<double> ValidLength(const Value& v) {
  auto d = v.ToDouble();
  if (!d.ok()) return host_errors::TypeMismatch();
  if (!std::isfinite(d.value()) || d.value() < 0) return host_errors::ValueOutOfRange();
  return d.value();
}

Outcome<float> NormalisedAngle(const Value& v) {
  auto d = v.ToDouble();
  if (!d.ok()) return host_errors::TypeMismatch();
  if (!std::isfinite(d.value())) return host_errors::ValueOutOfRange();
  float angle = static_cast<float>(std::fmod(d.value(), 360.0));
  if (angle < 0) angle += 360.0f;
  if (angle >= 360.0f || angle == 0) angle = 0.0f;  // -tiny + 360 rounds to 360; no -0
  return angle;
}

namespace {

enum class Dimension { Width, Height };

// A range of shapes, or (`single`) one shape as a range's Item returns it.
class ShapeRange : public SimObject {
 public:
  ShapeRange(World& world, std::vector<std::shared_ptr<Shape>> shapes, bool single = false)
      : SimObject(world, single ? "Shape" : "ShapeRange"), shapes_(std::move(shapes)) {
    TraceWritesAs(type_name());
    if (!single) {
      Member("Count",
             [this](auto) { return Outcome<Value>(Value(static_cast<int32_t>(shapes_.size()))); });
      Member(
          "Item",
          [this](std::span<const Value> args) -> Outcome<Value> {
            auto index = Arg(args, 0).ToLong();
            if (!index.ok() || index.value() < 1 ||
                index.value() > static_cast<int32_t>(shapes_.size())) {
              return host_errors::InvalidArgument();
            }
            std::vector<std::shared_ptr<Shape>> one{
                shapes_[static_cast<size_t>(index.value() - 1)]};
            return Value(std::make_shared<ShapeRange>(world_, std::move(one), true)->Ref());
          },
          {}, kOneIndex);
    }
    Member("Name", [this](std::span<const Value> args) -> Outcome<Value> {
      // PowerPoint names only a single shape; Excel and Word answer the first.
      if (world_.kind() == HostKind::PowerPoint && shapes_.size() > 1)
        return host_errors::PowerPointSingleShapeOnly();
      return Reader([](const Shape& s) { return Value(s.name); })(args);
    });
    Member("Width", Reader([](const Shape& s) { return Length(s.width); }),
           [this](const Value& v) { return WriteLength(v, Dimension::Width); });
    Member("Height", Reader([](const Shape& s) { return Length(s.height); }),
           [this](const Value& v) { return WriteLength(v, Dimension::Height); });
    Member("Rotation", Reader([](const Shape& s) { return Value(s.rotation); }),
           [this](const Value& v) { return WriteRotation(v); });
    // MsoTriState: msoTrue -1, msoFalse 0.
    Member("LockAspectRatio",
           Reader([](const Shape& s) { return Value(int32_t{s.lock_aspect_ratio ? -1 : 0}); }),
           [this](const Value& v) { return WriteLock(v); });
  }

 private:
  template <class Read>
  Getter Reader(Read read) {
    return [this, read](std::span<const Value>) -> Outcome<Value> {
      if (shapes_.empty()) return host_errors::WordCommandFailed();
      return read(*shapes_.front());
    };
  }

  static Value Length(double points) { return Value(static_cast<float>(points)); }

  Outcome<void> WriteLength(const Value& v, Dimension dimension) {
    if (shapes_.empty()) return host_errors::WordCommandFailed();
    auto length = ValidLength(v);
    if (!length.ok()) return length.error();
    // Every shape's new size first: a size the host cannot store (beyond its
    // precision, or a locked proportion that overflows) is refused whole.
    struct NewSize {
      double own, other;
    };
    std::vector<NewSize> sizes;
    for (auto& shape : shapes_) {
      const double own = dimension == Dimension::Width ? shape->width : shape->height;
      double other = dimension == Dimension::Width ? shape->height : shape->width;
      if (shape->lock_aspect_ratio && own > 0)
        other = world_.StoreLength(other * (length.value() / own));
      sizes.push_back({world_.StoreLength(length.value()), other});
      if (!std::isfinite(sizes.back().own) || !std::isfinite(sizes.back().other)) {
        return host_errors::ValueOutOfRange();
      }
    }
    for (size_t i = 0; i < shapes_.size(); ++i) {
      auto& shape = *shapes_[i];
      const double old_width = shape.width, old_height = shape.height;
      (dimension == Dimension::Width ? shape.width : shape.height) = sizes[i].own;
      (dimension == Dimension::Width ? shape.height : shape.width) = sizes[i].other;
      // A group's members scale with it; a member's group fits it again.
      world_.ScaleMembers(shape, old_width, old_height);
      if (shape.group) world_.FitGroup(*shape.group);
    }
    return {};
  }

  Outcome<void> WriteRotation(const Value& v) {
    if (shapes_.empty()) return host_errors::WordCommandFailed();
    auto angle = NormalisedAngle(v);
    if (!angle.ok()) return angle.error();
    for (auto& shape : shapes_) shape->rotation = angle.value();
    return {};
  }

  Outcome<void> WriteLock(const Value& v) {
    if (shapes_.empty()) return host_errors::WordCommandFailed();
    auto lock = v.ToBool();
    if (!lock.ok()) return host_errors::TypeMismatch();
    for (auto& shape : shapes_) shape->lock_aspect_ratio = lock.value();
    return {};
  }

  std::vector<std::shared_ptr<Shape>> shapes_;
};

class InlineShape : public SimObject {
 public:
  InlineShape(World& world, std::shared_ptr<Shape> picture)
      : SimObject(world, "InlineShape"), picture_(std::move(picture)) {
    TraceWritesAs("InlineShape");
    Member(
        "Width",
        [this](auto) { return Outcome<Value>(Value(static_cast<float>(picture_->width))); },
        [this](const Value& v) { return Write(v, picture_->width); });
    Member(
        "Height",
        [this](auto) { return Outcome<Value>(Value(static_cast<float>(picture_->height))); },
        [this](const Value& v) { return Write(v, picture_->height); });
    Member(
        "LockAspectRatio",
        [this](auto) {
          return Outcome<Value>(Value(int32_t{picture_->lock_aspect_ratio ? -1 : 0}));
        },
        [this](const Value& v) -> Outcome<void> {
          auto lock = v.ToBool();
          if (!lock.ok()) return host_errors::TypeMismatch();
          picture_->lock_aspect_ratio = lock.value();
          return {};
        });
  }

 private:
  // An in-line picture never rescales the other dimension itself.
  Outcome<void> Write(const Value& v, double& field) {
    auto length = ValidLength(v);
    if (!length.ok()) return length.error();
    const double stored = world_.StoreLength(length.value());
    if (!std::isfinite(stored)) return host_errors::ValueOutOfRange();
    field = stored;
    return {};
  }

  std::shared_ptr<Shape> picture_;
};

class InlineShapes : public SimObject {
 public:
  InlineShapes(World& world, std::vector<std::shared_ptr<Shape>> pictures)
      : SimObject(world, "InlineShapes"), pictures_(std::move(pictures)) {
    Member("Count",
           [this](auto) { return Outcome<Value>(Value(static_cast<int32_t>(pictures_.size()))); });
    auto item = [this](std::span<const Value> args) -> Outcome<Value> {
      auto index = Arg(args, 0).ToLong();
      if (!index.ok() || index.value() < 1 ||
          index.value() > static_cast<int32_t>(pictures_.size())) {
        return host_errors::WordNoSuchMember();
      }
      auto picture = pictures_[static_cast<size_t>(index.value() - 1)];
      return Value(std::make_shared<InlineShape>(world_, picture)->Ref());
    };
    Member("Item", item, {}, kOneIndex);
    Member("", item, {}, kOneIndex);
  }

 private:
  std::vector<std::shared_ptr<Shape>> pictures_;
};

}  // namespace

std::shared_ptr<SimObject> MakeShapeRange(World& world,
                                          std::vector<std::shared_ptr<Shape>> shapes) {
  return std::make_shared<ShapeRange>(world, std::move(shapes));
}

std::shared_ptr<SimObject> MakeInlineShapes(World& world,
                                            std::vector<std::shared_ptr<Shape>> pictures) {
  return std::make_shared<InlineShapes>(world, std::move(pictures));
}

}  // namespace frambolist::sim

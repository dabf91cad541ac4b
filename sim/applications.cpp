#include "sim/applications.h"

#include "sim/command_bars.h"
#include "sim/shapes.h"
#include "sim/world.h"

namespace frambolist::sim {

namespace {

template <class Make>
SimObject::Getter Fresh(Make make) {
  return [make](std::span<const Value>) -> Outcome<Value> { return Value(make()->Ref()); };
}

class Selection : public SimObject {
 public:
  explicit Selection(World& world) : SimObject(world, "Selection") {
    Member("ShapeRange", [this](auto) { return ShapeRange(); });
    if (world.kind() == HostKind::Word) {
      Member("InlineShapes",
             Fresh([this] { return MakeInlineShapes(world_, world_.SelectedShapes(true)); }));
    }
  }

 private:
  Outcome<Value> ShapeRange() {
    auto floating = world_.SelectedShapes(false);
    if (world_.kind() == HostKind::PowerPoint && floating.empty()) {
      return host_errors::PowerPointNothingSelected();
    }
    if (world_.kind() == HostKind::Word && !world_.AnyShapeSelected()) return Value::Nothing();
    return Value(MakeShapeRange(world_, std::move(floating))->Ref());
  }
};

class Worksheet : public SimObject {
 public:
  Worksheet(World& world, std::string name)
      : SimObject(world, "Worksheet"), name_(std::move(name)) {
    Member("Name", [this](auto) { return Outcome<Value>(Value(name_)); });
  }

 private:
  std::string name_;
};

class CellRange : public SimObject {
 public:
  explicit CellRange(World& world) : SimObject(world, "Range") {
    Member("Address", [](auto) { return Outcome<Value>(Value("$A$1")); });
  }
};

class DrawingSelection : public SimObject {
 public:
  explicit DrawingSelection(World& world) : SimObject(world, "DrawingObjects") {
    Member("ShapeRange",
           Fresh([this] { return MakeShapeRange(world_, world_.SelectedShapes(false)); }));
  }
};

class Window : public SimObject {
 public:
  explicit Window(World& world) : SimObject(world, "Window") {
    Member("Selection", [this](auto) -> Outcome<Value> {
      if (world_.kind() != HostKind::Excel)
        return Value(std::make_shared<Selection>(world_)->Ref());
      if (world_.AnyShapeSelected())
        return Value(std::make_shared<DrawingSelection>(world_)->Ref());
      return Value(std::make_shared<CellRange>(world_)->Ref());
    });
  }
};

std::string_view ApplicationEvents(HostKind kind) {
  switch (kind) {
    case HostKind::PowerPoint:
      return host::event_interfaces::kPowerPointApplication;
    case HostKind::Excel:
      return host::event_interfaces::kExcelApplication;
    case HostKind::Word:
      return host::event_interfaces::kWordApplication;
  }
  return {};
}

class AddInInstance : public SimObject {
 public:
  AddInInstance(World& world, std::string prog_id)
      : SimObject(world, "COMAddIn"), prog_id_(std::move(prog_id)) {
    Member("ProgId", [this](auto) { return Outcome<Value>(Value(prog_id_)); });
  }

 private:
  std::string prog_id_;
};

}  // namespace

Application::Application(World& world) : SimObject(world, "Application") {
  OfferEvents(ApplicationEvents(world.kind()));
  Member("Name", [this](auto) {
    return Outcome<Value>(Value("Microsoft " + std::string(HostName(world_.kind()))));
  });
  Member("CommandBars",
         [this](auto) { return Outcome<Value>(Value(world_.command_bars()->Ref())); });
  Member("ActiveWindow", Fresh([this] { return std::make_shared<Window>(world_); }));
  if (world.kind() == HostKind::Excel) {
    Member("ActiveSheet",
           Fresh([this] { return std::make_shared<Worksheet>(world_, world_.active_sheet()); }));
  }
}

std::vector<HostError> Application::RaiseSelectionChange() {
  if (world_.kind() == HostKind::Excel) {
    if (world_.AnyShapeSelected()) return {};
    Value args[] = {Value(std::make_shared<Worksheet>(world_, world_.active_sheet())->Ref()),
                    Value(std::make_shared<CellRange>(world_)->Ref())};
    return Raise("SheetSelectionChange", args);
  }
  Value args[] = {Value(std::make_shared<Selection>(world_)->Ref())};
  return Raise("WindowSelectionChange", args);
}

std::vector<HostError> Application::RaiseSheetActivate(const std::string& name) {
  Value args[] = {Value(std::make_shared<Worksheet>(world_, name)->Ref())};
  return Raise("SheetActivate", args);
}

std::shared_ptr<SimObject> MakeAddInInstance(World& world, std::string prog_id) {
  return std::make_shared<AddInInstance>(world, std::move(prog_id));
}

}  // namespace frambolist::sim

#pragma once
// The Application objects of the three simulated hosts, with their windows
// and selections.
//
// Host behaviour the tests rely on:
// - PowerPoint and Word raise WindowSelectionChange(Sel) on every selection
//   change. A PowerPoint selection without shapes makes ShapeRange fail with
//   -2147188160. In Word, with the insertion point in text ShapeRange is
//   Nothing; with in-line pictures only it is an empty range (4198 on every
//   member); InlineShapes.Item(1) without an in-line picture fails with 5941.
// - Excel raises SheetSelectionChange(Sh, Target) only when the user selects
//   cells; selecting shapes raises no application event at all, only the
//   command bars' OnUpdate, which every host raises after every selection
//   change. Activating a sheet raises SheetActivate(Sh). The worksheet Sh has
//   no ShapeRange (438). ActiveWindow.Selection is a drawing-object selection
//   with a ShapeRange while shapes are selected, and a cell range without one
//   (438) while cells are.

#include <memory>
#include <string>

#include "sim/sim_object.h"
#include "sim/world.h"

namespace frambolist::sim {

class Application : public SimObject {
 public:
  explicit Application(World& world);
  // Raises the host's selection event(s) for the selection now current.
  std::vector<HostError> RaiseSelectionChange();
  // Excel: SheetActivate for the sheet named `name`.
  std::vector<HostError> RaiseSheetActivate(const std::string& name);
};

// A document window: Selection is the selection of its document.
std::shared_ptr<SimObject> MakeWindow(World& world, std::shared_ptr<Document> document);

// The add-in instance object that a host passes to OnConnection.
std::shared_ptr<SimObject> MakeAddInInstance(World& world, std::string prog_id);

}  // namespace frambolist::sim

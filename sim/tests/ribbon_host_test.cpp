// The simulated Office ribbon: it reads an add-in's XML as strictly as
// Office, asks for what it draws only at the first drawing and after an
// invalidation, and gives every window its Context.

#include <gtest/gtest.h>

#include <set>

#include "host/dispatch.h"
#include "sim/ribbon.h"
#include "sim/world.h"

namespace frambolist::sim {
namespace {

constexpr const char* kHead =
    R"(<customUI xmlns="http://schemas.microsoft.com/office/2006/01/customui" onLoad="Load">)"
    R"(<ribbon><tabs><tab idMso="TabHome"><group id="G" label="Group">)";
constexpr const char* kTail = "</group></tab></tabs></ribbon></customUI>";

// An add-in whose callbacks answer fixed values and record their calls.
class RecordingAddin final : public RibbonClient {
 public:
  explicit RecordingAddin(std::string xml) : xml_(std::move(xml)) {}
  std::string GetCustomUI(std::string_view ribbon_id) override {
    asked_for.emplace_back(ribbon_id);
    return xml_;
  }
  bool KnowsCallback(std::string_view name) override { return known.contains(std::string(name)); }
  Outcome<Value> Callback(std::string_view name, std::span<const Value> args) override {
    const host::Dispatch control(args[0].ObjectOrNothing());
    std::string call(name);
    if (name != "Load") call += " " + control.Get("Id").as<std::string>();
    calls.push_back(call);
    if (name == "Load") ribbon_ui = host::Dispatch(args[0].ObjectOrNothing());
    if (name != "Load" && name.starts_with("Get"))
      contexts.insert(control.Get("Context").ObjectOrNothing().get());
    if (name == "GetText") return Value(text);
    if (name == "Fail") return host::HostError{5, "Injected"};
    return Value();
  }

  std::set<std::string> known{"Load", "GetText", "OnChange", "OnAction", "Fail"};
  std::vector<std::string> asked_for, calls;
  std::set<const host::Object*> contexts;
  host::Dispatch ribbon_ui;
  std::string text = "t";

 private:
  std::string xml_;
};

struct Loaded {
  std::vector<std::string> faults;
  std::unique_ptr<AddinRibbon> ribbon;
};
Loaded Load(World& world, RecordingAddin& addin) {
  Loaded loaded;
  loaded.ribbon = AddinRibbon::Load(
      world, addin, [&](const std::string& fault) { loaded.faults.push_back(fault); });
  return loaded;
}

// What Office refuses, each with the control it concerns left out, and the
// rest of the group still drawn.
TEST(SimulatedRibbon, RefusesWhatTheSchemaRefusesAndLeavesThatPartOut) {
  struct Row {
    const char* controls;
    const char* fault;
  } rows[] = {
      {R"(<comboBox id="X"/>)", R"(unknown element "comboBox" in group)"},
      {R"(<button id="X" colour="red"/>)", R"(unknown attribute "colour" on button "X")"},
      {R"(<button id="X" onAction="Nowhere"/>)",
       R"(unknown callback "Nowhere" for onAction of button "X")"},
      {R"(<button id="B"/>)", R"(duplicate id "B")"},
      {R"(<x:button xmlns:x="urn:other" id="X"/>)", R"(unknown element "button" in group)"},
      {R"(<editBox id="X"><button id="Y"/></editBox>)", R"(unknown element "button" in editBox)"},
      {R"(<button id="X">
         Text</button>)", R"(text in button "X")"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.controls);
    World world(HostKind::Word, 16);
    RecordingAddin addin(std::string(kHead) + R"(<button id="B" label="b"/>)" + row.controls +
                         R"(<editBox id="E" getText="GetText"/>)" + kTail);
    Loaded loaded = Load(world, addin);
    EXPECT_EQ(loaded.faults, std::vector<std::string>{row.fault});
    EXPECT_EQ(loaded.ribbon->Line(), R"(ribbon "Group": [B "b"] [E "" "t"])");
  }
  // The whole customization, where the document itself is at fault.
  for (const auto& [xml, fault] :
       {std::pair{std::string(kHead) + "<button id=\"B\">",
                  "the customization XML is not well-formed"},
        std::pair{std::string(R"(<customUI xmlns="urn:other"/>)"),
                  "the root element is not customUI of "
                  "http://schemas.microsoft.com/office/2006/01/customui"}}) {
    World world(HostKind::Word, 16);
    RecordingAddin addin(xml);
    Loaded loaded = Load(world, addin);
    EXPECT_EQ(loaded.faults, std::vector<std::string>{fault});
    EXPECT_EQ(loaded.ribbon->Line(), "");
    EXPECT_TRUE(addin.calls.empty());
  }
  // The 2009 schema is Office 2010's.
  const std::string xml2009 =
      R"(<customUI xmlns="http://schemas.microsoft.com/office/2009/07/customui"/>)";
  for (const auto& [version, faults] : {std::pair{12, size_t{1}}, std::pair{14, size_t{0}}}) {
    World world(HostKind::Word, version);
    RecordingAddin addin(xml2009);
    EXPECT_EQ(Load(world, addin).faults.size(), faults) << version;
  }
}

// Office draws from its cache: it asks at the first drawing of each
// window's ribbon, and then only for what the add-in invalidated, at the
// end of the action, in every window, each with its own Context.
TEST(SimulatedRibbon, AsksOnlyAtTheFirstDrawingAndAfterAnInvalidation) {
  World world(HostKind::PowerPoint, 16);
  RecordingAddin addin(std::string(kHead) + R"(<editBox id="E" getText="GetText"/>)" +
                       R"(<editBox id="F" getText="GetText"/>)" + kTail);
  Loaded loaded = Load(world, addin);
  EXPECT_EQ(addin.asked_for, std::vector<std::string>{"Microsoft.PowerPoint.Presentation"});
  EXPECT_EQ(addin.calls, (std::vector<std::string>{"Load", "GetText E", "GetText F"}));

  addin.calls.clear();
  addin.text = "u";
  loaded.ribbon->Refresh();
  EXPECT_TRUE(addin.calls.empty());
  EXPECT_EQ(loaded.ribbon->ShownNow("E").text, "t");  // stale until invalidated

  addin.ribbon_ui.Call("InvalidateControl", {Value("E")});
  EXPECT_EQ(loaded.ribbon->ShownNow("E").text, "t");  // not before the action is over
  loaded.ribbon->Refresh();
  EXPECT_EQ(addin.calls, std::vector<std::string>{"GetText E"});
  EXPECT_EQ(loaded.ribbon->ShownNow("E").text, "u");

  // A new window draws all of its own; an invalidation reaches both.
  addin.calls.clear();
  (void)world.NewWindow();
  loaded.ribbon->Refresh();
  EXPECT_EQ(addin.calls, (std::vector<std::string>{"GetText E", "GetText F"}));
  addin.calls.clear();
  addin.ribbon_ui.Call("Invalidate");
  loaded.ribbon->Refresh();
  EXPECT_EQ(addin.calls.size(), 4u);
  EXPECT_EQ(addin.contexts.size(), 2u);  // one Context object per window, every time
}

// A callback's failure is reported as Office reports it, never passed on;
// typing and clicks reach the active window's controls.
TEST(SimulatedRibbon, ReportsAFailingCallbackAndPassesTheUsersActionsOn) {
  World world(HostKind::Excel, 16);
  RecordingAddin addin(std::string(kHead) + R"(<editBox id="E" onChange="OnChange"/>)" +
                       R"(<button id="B" onAction="Fail"/>)" + kTail);
  Loaded loaded = Load(world, addin);
  addin.calls.clear();
  loaded.ribbon->Type("E", "12");
  loaded.ribbon->Click("B");
  EXPECT_EQ(addin.calls, (std::vector<std::string>{"OnChange E", "Fail B"}));
  EXPECT_EQ(loaded.ribbon->ShownNow("E").text, "12");
  EXPECT_EQ(loaded.faults, std::vector<std::string>{"callback \"Fail\" failed with 5"});
}

}  // namespace
}  // namespace frambolist::sim

// The COM layer through real COM (under Wine here): the add-in's IDispatch
// client against the simulated hosts served as IDispatch, values and errors
// crossing intact, events with their DISPIDs, and references released.

#include <gtest/gtest.h>

#include "host/testing/failure_number.h"

#include <stdexcept>

#include "com/com_object.h"
#include "com/dispatch_object.h"
#include "com/errors.h"
#include "com/event_sink.h"
#include "com/guard.h"
#include "com/strings.h"
#include "com/values.h"
#include "served_hosts/dispatch_server.h"
#include "host/dispatch.h"
#include "sim/command_bars.h"
#include "sim/world.h"

namespace frambolist::win {
namespace {

class ComTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  }
  void TearDown() override {
    EXPECT_EQ(LiveObjectCount(), 0) << "a COM object of ours outlived its test";
    CoUninitialize();
  }
};

// The add-in's view of a simulated host: its Application as the add-in
// receives it, an IDispatch wrapped for the core.
host::Dispatch AsAddinSees(sim::World& world) {
  auto served = ServerBridge().ToDispatch(world.ApplicationRef());
  return host::Dispatch(ClientBridge().ToObject(served.get()));
}

using host::testing::NumberOf;

TEST_F(ComTest, HostFailuresCrossIDispatchWithTheirNumberAndDescription) {
  sim::World world(sim::HostKind::Word);
  {
    host::Dispatch app = AsAddinSees(world);
    std::string description;
    world.faults().Arm("CommandBars", {70, "Permission denied"}, false);
    EXPECT_EQ(NumberOf([&] { app.Obj("CommandBars"); }, &description), 70);  // wCode
    EXPECT_EQ(description, "Permission denied");
    world.faults().Arm("ActiveWindow", {-2147188160, "Nothing appropriate"}, false);
    EXPECT_EQ(NumberOf([&] { app.Obj("ActiveWindow"); }, &description), -2147188160);  // scode
    EXPECT_EQ(description, "Nothing appropriate");
    EXPECT_EQ(NumberOf([&] { app.Get("NoSuchMember"); }), 438);
    // An argument the member does not take: Visual Basic's 450, with its text.
    EXPECT_EQ(NumberOf([&] { app.Call("ActiveWindow", {host::Value(int32_t{1})}); }, &description),
              450);
    EXPECT_EQ(description, "Wrong number of arguments or invalid property assignment");
    world.Select({});
    EXPECT_EQ(
        NumberOf([&] { app.Obj("ActiveWindow").Obj("Selection").Obj("ShapeRange").Get("Name"); }),
        424);
    sim::Shape* picture =
        world.AddShape({.name = "P", .width = 10, .height = 20, .is_inline = true});
    world.Select({picture});
    EXPECT_EQ(NumberOf([&] {
                app.Obj("ActiveWindow").Obj("Selection").Obj("ShapeRange").Put("Width", 5.0f);
              }),
              4198);
  }
  EXPECT_EQ(world.TotalExternalRefs(), 0);
}

// A held reference looks each member's name up once; a lookup that failed
// is asked again, and another wrapper of the same object asks for itself.
TEST_F(ComTest, AWrapperLooksEachNameUpOnce) {
  sim::World world(sim::HostKind::PowerPoint);
  {
    host::Dispatch app = AsAddinSees(world);
    ServerCalls() = {};
    app.Get("Name");
    app.Get("Name");
    app.Obj("CommandBars");
    EXPECT_EQ(ServerCalls().name_lookups, 2);
    EXPECT_EQ(ServerCalls().invokes, 3);
    ServerFaults().name_lookup_member = "ActiveWindow";
    ServerFaults().name_lookup_result = DISP_E_UNKNOWNNAME;
    EXPECT_EQ(NumberOf([&] { app.Obj("ActiveWindow"); }), 438);
    ServerFaults() = {};
    ServerCalls() = {};
    app.Obj("ActiveWindow");
    AsAddinSees(world).Get("Name");
    EXPECT_EQ(ServerCalls().name_lookups, 2);
  }
  EXPECT_EQ(world.TotalExternalRefs(), 0);
}

TEST_F(ComTest, ValuesKeepTheirKindsAndOmittedArgumentsArrive) {
  sim::World world(sim::HostKind::PowerPoint);
  {
    host::Dispatch app = AsAddinSees(world);
    host::Dispatch bar =
        app.Obj("CommandBars").Obj("Add", {"Kworrendival", host::Missing{}, host::Missing{}, true});
    EXPECT_EQ(world.bars().back()->temporary, true);
    EXPECT_EQ(world.bars().back()->position, 4);  // Position omitted: the host's default
    host::Dispatch button = bar.Obj("Controls").Obj("Add", {int32_t{1}});
    button.Put("FaceId", int16_t{1647});
    button.Put("Caption", "Höhe (mm)");
    button.Put("Enabled", false);
    EXPECT_EQ(button.Get("FaceId"), host::Value(int32_t{1647}));
    EXPECT_EQ(button.Get("Caption"), host::Value("Höhe (mm)"));
    EXPECT_EQ(button.Get("Enabled"), host::Value(false));
    sim::Shape* a = world.AddShape({.name = "A", .width = 72.25, .height = 1});
    world.Select({a});
    EXPECT_EQ(app.Obj("ActiveWindow").Obj("Selection").Obj("ShapeRange").Get("Width"),
              host::Value(72.25f));
  }
  EXPECT_EQ(world.TotalExternalRefs(), 0);
}

TEST_F(ComTest, VariantsRoundTripAndTrueIsAllBitsSet) {
  for (const host::Value& v :
       {host::Value(), host::Value(host::Missing{}), host::Value(true), host::Value(false),
        host::Value(int16_t{-7}), host::Value(int32_t{2308}), host::Value(25.396826f),
        host::Value(72.009), host::Value("Lock Aspect"), host::Value::Nothing()}) {
    Variant variant = VariantFromValue(v, ClientBridge());
    EXPECT_EQ(ValueFromVariant(variant.get(), ClientBridge()), v);
  }
  EXPECT_EQ(V_BOOL(&VariantFromValue(host::Value(true), ClientBridge()).get()), VARIANT_TRUE);
  VARIANT_BOOL flag = VARIANT_TRUE;
  VARIANT by_ref;
  V_VT(&by_ref) = VT_BOOL | VT_BYREF;
  V_BOOLREF(&by_ref) = &flag;
  EXPECT_EQ(ValueFromVariant(by_ref, ClientBridge()), host::Value(true));
}

bool deferred_fill_in_called = false;
HRESULT STDMETHODCALLTYPE FillInLater(EXCEPINFO* info) {
  deferred_fill_in_called = true;
  info->scode = static_cast<SCODE>(0x80070005);
  info->bstrDescription = SysAllocString(L"Access is denied.");
  return S_OK;
}

TEST_F(ComTest, ExcepInfoIsReadByWCodeOrScodeAfterDeferredFillIn) {
  EXCEPINFO info{};
  FillExcepInfo({424, "Object required"}, &info);
  EXPECT_EQ(info.wCode, 424);
  host::HostError e = ErrorFromInvoke(DISP_E_EXCEPTION, info);
  EXPECT_EQ(e.number, 424);
  EXPECT_EQ(e.description, "Object required");

  EXCEPINFO deferred{};
  deferred.pfnDeferredFillIn = &FillInLater;
  e = ErrorFromInvoke(DISP_E_EXCEPTION, deferred);
  EXPECT_TRUE(deferred_fill_in_called);
  EXPECT_EQ(e.number, -2147024891);
  EXPECT_EQ(e.description, "Access is denied.");
  EXCEPINFO unused{};
  EXPECT_EQ(ErrorFromInvoke(DISP_E_UNKNOWNNAME, unused).number, 438);
  EXPECT_EQ(ErrorFromInvoke(static_cast<HRESULT>(0x800A1066), unused).number, 4198);
}

class Recorder final : public host::EventSink {
 public:
  std::span<const std::string_view> Handles() const override { return handles; }
  std::optional<host::HostError> OnEvent(std::string_view event,
                                         std::span<host::Value> args) override {
    events.emplace_back(event);
    if (args.size() > 1) args[1] = host::Value(true);  // CancelDefault, by reference
    return fail;
  }
  std::vector<std::string> events;
  std::optional<host::HostError> fail;
  std::vector<std::string_view> handles;
};

TEST_F(ComTest, EventsArriveByTheirDispidsWithCancelDefaultByReference) {
  sim::World world(sim::HostKind::Excel);
  auto app_events = std::make_shared<Recorder>(), button_events = std::make_shared<Recorder>();
  {
    host::Dispatch app = AsAddinSees(world);
    auto app_sub = app.ref()->Subscribe(host::event_interfaces::kExcelApplication, app_events);
    ASSERT_TRUE(app_sub.ok());
    world.Select({});
    EXPECT_EQ(app_events->events, std::vector<std::string>{"SheetSelectionChange"});

    host::Dispatch button =
        app.Obj("CommandBars").Obj("Add", {"T"}).Obj("Controls").Obj("Add", {int32_t{1}});
    auto button_sub =
        button.ref()->Subscribe(host::event_interfaces::kCommandBarButton, button_events);
    ASSERT_TRUE(button_sub.ok());
    EXPECT_FALSE(
        button.ref()->Subscribe(host::event_interfaces::kWordApplication, button_events).ok());
    // A handler named after no event of the interface is refused before
    // any connection is made.
    auto misspelt = std::make_shared<Recorder>();
    misspelt->handles = {"Click", "Clicked"};
    auto refused = button.ref()->Subscribe(host::event_interfaces::kCommandBarButton, misspelt);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error(), host::errors::NoSuchEvent("Clicked"));
    misspelt->handles = {"Click"};
    EXPECT_TRUE(
        button.ref()->Subscribe(host::event_interfaces::kCommandBarButton, misspelt).ok());

    sim::Control& control = *world.bars().back()->controls[0];
    host::Value args[] = {host::Value(control.Ref()), host::Value(false)};
    EXPECT_TRUE(control.Raise("Click", args).empty());
    EXPECT_EQ(args[1], host::Value(true));  // the sink's CancelDefault came back
    button_events->fail = host::HostError{70, "Permission denied"};
    auto failures = control.UserClick();
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0], (host::HostError{70, "Permission denied"}));
    button_sub.value().End();
    EXPECT_TRUE(control.UserClick().empty());
    EXPECT_EQ(button_events->events.size(), 2u);
  }
  EXPECT_EQ(world.TotalExternalRefs(), 0);
}

// Office numbers each event as its type library does (the served hosts take
// their numbers from the add-in's table, so only these literals can tell a
// wrong one). An event may come without DISPPARAMS: no arguments.
TEST_F(ComTest, EachEventArrivesByItsOfficeDispid) {
  struct Row {
    const wchar_t* iid;
    DISPID dispid;
    const char* event;
  } rows[] = {
      {L"{914934C2-5A91-11CF-8700-00AA0060263B}", 2001, "WindowSelectionChange"},
      {L"{00024413-0000-0000-C000-000000000046}", 1558, "SheetSelectionChange"},
      {L"{00024413-0000-0000-C000-000000000046}", 1561, "SheetActivate"},
      {L"{00020A01-0000-0000-C000-000000000046}", 12, "WindowSelectionChange"},
      {L"{000C0354-0000-0000-C000-000000000046}", 1, "Change"},
      {L"{000C0351-0000-0000-C000-000000000046}", 1, "Click"},
      {L"{000C0352-0000-0000-C000-000000000046}", 1, "OnUpdate"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.event);
    auto events = std::make_shared<Recorder>();
    IID iid;
    ASSERT_TRUE(SUCCEEDED(IIDFromString(row.iid, &iid)));
    auto sink = ComPtr<IDispatch>::Attach(new EventSinkDispatch(iid, events));
    EXPECT_EQ(sink->Invoke(row.dispid, IID_NULL, 1033, DISPATCH_METHOD, nullptr, nullptr, nullptr,
                           nullptr),
              S_OK);
    EXPECT_EQ(sink->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
    EXPECT_EQ(events->events, std::vector<std::string>{row.event});
  }
}

// Each failure stopped at the boundary also leaves its line on the
// debugger's channel: run-wine.sh reads this test's under Wine's debug
// channels (WINEDEBUG=+debugstr,warn+seh).
TEST_F(ComTest, TheGuardTurnsEveryExceptionIntoAResult) {
  EXPECT_EQ(Guarded([]() -> HRESULT { throw std::bad_alloc(); }), E_OUTOFMEMORY);
  EXPECT_EQ(Guarded([]() -> HRESULT { throw std::runtime_error("planted failure"); }),
            E_UNEXPECTED);
  EXPECT_EQ(Guarded([]() -> HRESULT { throw host::HostFailure{{5, "x"}}; }), E_UNEXPECTED);
  EXPECT_EQ(Guarded([] { return S_FALSE; }), S_FALSE);
}

TEST_F(ComTest, StringsCrossAsUtf16) {
  EXPECT_EQ(Narrow(Widen("Höhe (mm) – €")), "Höhe (mm) – €");
  EXPECT_EQ(Widen("Kworrendival"), L"Kworrendival");
}

}  // namespace
}  // namespace frambolist::win

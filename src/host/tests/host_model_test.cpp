#include <gtest/gtest.h>

#include "host/testing/failure_number.h"

#include <cmath>
#include <limits>

#include "host/dispatch.h"
#include "host/names.h"
#include "host/single_precision.h"
#include "host/with_events.h"

namespace frambolist::host {
namespace {

TEST(ErrorNumber, AutomationFacilityReadsAsItsLowWordAndEverythingElseAsSigned) {
  struct Row {
    uint32_t code;
    int32_t number;
  } rows[] = {
      {0x800A01A8u, 424},         {0x800A1066u, 4198},        {0x800A0005u, 5},
      {0x80048240u, -2147188160}, {0x80070005u, -2147024891}, {0x80070057u, -2147024809},
      {0x800B01A8u, -2146762328}, {0x0000000Au, 10},          {0x00000000u, 0},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(ErrorNumberFromResult(r.code), r.number) << std::hex << r.code;
  }
  // Round trip for the numbers the add-in hands back as result codes.
  for (int32_t n : {424, 4198, 91, -2147188160, -2147024891}) {
    EXPECT_EQ(ErrorNumberFromResult(ResultFromErrorNumber(n)), n);
  }
}

// A minimal object: counts its references and answers one member.
class FakeObject final : public Object {
 public:
  void AddRef() noexcept override { ++refs; }
  void Release() noexcept override { --refs; }
  Outcome<Value> Get(std::string_view member, std::span<const Value>) override {
    if (member == "Self") return Value(ObjectRef(this));
    if (member == "Nothing") return Value::Nothing();
    if (member == "Text") return Value("not an object");
    return errors::MemberNotSupported();
  }
  Outcome<void> Put(std::string_view, const Value&) override { return {}; }
  Outcome<Value> Call(std::string_view m, std::span<const Value> a) override { return Get(m, a); }
  Outcome<Subscription> Subscribe(std::string_view iid, std::shared_ptr<EventSink>) override {
    if (iid != "events") return HostError{459, "no events"};
    ++subscribed;
    return Subscription([this] { --subscribed; });
  }
  int refs = 0;
  int subscribed = 0;
};

using testing::NumberOf;

// With Visual Basic's numbers and texts, which a host or the user may see.
TEST(Dispatch, AnUnsetVariableFailsWith91AndAReturnedNothingWith424) {
  FakeObject object;
  Dispatch unset;
  std::string why;
  EXPECT_EQ(NumberOf([&] { unset.Get("Name"); }, &why), 91);
  EXPECT_EQ(why, "Object variable or With block variable not set");
  EXPECT_EQ(NumberOf([&] { unset.Put("Name", Value("x")); }), 91);

  Dispatch d{ObjectRef(&object)};
  EXPECT_EQ(NumberOf([&] { d.Obj("Nothing").Get("Name"); }, &why), 424);
  EXPECT_EQ(why, "Object required");
  EXPECT_EQ(NumberOf([&] { d.Obj("Text").Put("Name", Value(1)); }), 424);
  EXPECT_EQ(NumberOf([&] { d.Get("Missing"); }, &why), 438);
  EXPECT_EQ(why, "Object doesn't support this property or method");
  EXPECT_EQ(NumberOf([&] { d.Obj("Self").Get("Self"); }), 0);

  // A read along a path answers the same failures as a value.
  EXPECT_EQ(unset.GetPath({{"Self"}}).error().number, 91);
  EXPECT_EQ(d.GetPath({{"Nothing"}, {"Name"}}).error().number, 424);
  EXPECT_EQ(d.GetPath({{"Text"}, {"Name"}}).error().number, 424);
  EXPECT_EQ(d.GetPath({{"Self"}, {"Missing"}}).error().number, 438);
  EXPECT_EQ(d.GetPath({{"Self"}, {"Text"}}).value(), Value("not an object"));
}

TEST(Dispatch, ReferencesAreReleasedWithTheirHandles) {
  FakeObject object;
  {
    Dispatch d{ObjectRef(&object)};
    Dispatch copy = d;
    EXPECT_EQ(object.refs, 2);
    Value v = d.Get("Self");  // a reference returned by the host is owned too
    EXPECT_EQ(object.refs, 3);
    copy = Dispatch();
    EXPECT_EQ(object.refs, 2);
  }
  EXPECT_EQ(object.refs, 0);
}

TEST(Value, ConversionToSingleNeverYieldsANonFiniteNumber) {
  EXPECT_EQ(Value(72.25).ToSingle().value(), 72.25f);
  EXPECT_EQ(Value(int16_t{-3}).ToSingle().value(), -3.0f);
  EXPECT_EQ(Value(true).ToSingle().value(), -1.0f);
  EXPECT_EQ(Value(1e39).ToSingle().error(), (HostError{6, "Overflow"}));
  EXPECT_EQ(Value(std::numeric_limits<double>::quiet_NaN()).ToSingle().error().number, 6);
  EXPECT_EQ(Value(std::numeric_limits<float>::infinity()).ToSingle().error().number, 6);
  // Half-way between the largest single and 2^128 rounds away, to infinity,
  // of either sign; just below it, to the largest single.
  constexpr double kHalfWay = 340282356779733661637539395458142568448.0;
  EXPECT_EQ(RoundToSingle(-kHalfWay), -std::numeric_limits<float>::infinity());
  EXPECT_EQ(RoundToSingle(std::nextafter(kHalfWay, 0.0)), std::numeric_limits<float>::max());
  EXPECT_EQ(Value(-1e39).ToSingle().error().number, 6);
  EXPECT_EQ(Value("12").ToSingle().error(), (HostError{13, "Type mismatch"}));
  EXPECT_EQ(Value::Nothing().ToSingle().error().number, 13);
}

// CLng and CStr as the add-in reads icons and texts through them, and CBool.
TEST(Value, LongAndTextConversionsAreVisualBasics) {
  EXPECT_EQ(Value(2308.4).ToLong().value(), 2308);
  EXPECT_EQ(Value(2.5).ToLong().value(), 2);  // half to even, as CLng
  EXPECT_EQ(Value(3.5).ToLong().value(), 4);
  EXPECT_EQ(Value(-2147483648.0).ToLong().value(), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(Value(2147483647.4).ToLong().value(), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(Value(2147483648.0).ToLong().error().number, 6);
  EXPECT_EQ(Value(-2147483649.0).ToLong().error().number, 6);
  EXPECT_EQ(Value("2308").ToLong().error().number, 13);

  EXPECT_EQ(Value("Lock Aspect").ToText().value(), "Lock Aspect");
  EXPECT_EQ(Value(int32_t{-2309}).ToText().value(), "-2309");
  EXPECT_EQ(Value(int16_t{49}).ToText().value(), "49");
  EXPECT_EQ(Value(true).ToText().value(), "True");
  EXPECT_EQ(Value(false).ToText().value(), "False");
  EXPECT_EQ(Value().ToText().value(), "");
  // Enough digits to read back the same number, with '.' whatever the locale.
  EXPECT_EQ(Value(0.1).ToText().value(), "0.10000000000000001");
  EXPECT_EQ(Value(0.1f).ToText().value(), "0.100000001");
  EXPECT_EQ(Value(-12.5).ToText().value(), "-12.5");
  EXPECT_EQ(Value::Nothing().ToText().error().number, 13);

  // CBool, as the simulated hosts read Booleans: any number but zero is True.
  EXPECT_TRUE(Value(int32_t{2}).ToBool().value());
  EXPECT_FALSE(Value(0.0).ToBool().value());
  EXPECT_FALSE(Value(false).ToBool().value());
  EXPECT_EQ(Value("True").ToBool().error().number, 13);
}

// Two values are equal where both hold the same: an object, the same object.
TEST(Value, AnObjectEqualsOnlyItself) {
  FakeObject a, b;
  EXPECT_EQ(Value(ObjectRef(&a)), Value(ObjectRef(&a)));
  EXPECT_NE(Value(ObjectRef(&a)), Value(ObjectRef(&b)));
  EXPECT_NE(Value(ObjectRef(&a)), Value());
}

// Every failure reaches a host as a failure code: the automation facility
// holds 1 to 65535, a negative number is a code already, and the rest
// (which would read as success) is E_FAIL.
TEST(ErrorNumber, EveryNumberReachesTheHostAsAFailureCode) {
  struct Row {
    int32_t number;
    uint32_t code;
  } rows[] = {
      {1, 0x800A0001u},           {424, 0x800A01A8u}, {65535, 0x800AFFFFu},
      {-2147024891, 0x80070005u}, {-1, 0xFFFFFFFFu},  {0, 0x80004005u},
      {65536, 0x80004005u},
  };
  for (const Row& r : rows) EXPECT_EQ(ResultFromErrorNumber(r.number), r.code) << r.number;
}

// Member names as automation compares them: letters without their case,
// nothing else folded.
TEST(Names, CompareIgnoringTheCaseOfLettersAlone) {
  EXPECT_TRUE(EqualsIgnoringCase("SelectionChange", "selectionchange"));
  EXPECT_TRUE(EqualsIgnoringCase("AZ", "az"));
  EXPECT_FALSE(EqualsIgnoringCase("[@", "{`"));
  EXPECT_FALSE(EqualsIgnoringCase("Text", "Texts"));
}

class NullSink final : public EventSink {
 public:
  std::span<const std::string_view> Handles() const override { return {}; }
  std::optional<HostError> OnEvent(std::string_view, std::span<Value>) override { return {}; }
};

TEST(WithEvents, ConnectsOnAssignmentAndDisconnectsOnReassignmentAndDestruction) {
  FakeObject first, second;
  {
    WithEvents field("events", std::make_shared<NullSink>());
    field.Set(Dispatch(ObjectRef(&first)));
    EXPECT_EQ(first.subscribed, 1);
    field.Set(Dispatch(ObjectRef(&second)));
    EXPECT_EQ(first.subscribed, 0);
    EXPECT_EQ(first.refs, 0);
    EXPECT_EQ(second.subscribed, 1);
    // A disconnected field keeps its object but receives nothing.
    field.Disconnect();
    EXPECT_EQ(second.subscribed, 0);
    EXPECT_EQ(second.refs, 1);
    // Cleared (set to Nothing), it lets go of both.
    field.Set(Dispatch(ObjectRef(&first)));
    field.Clear();
    EXPECT_EQ(first.subscribed, 0);
    EXPECT_EQ(first.refs, 0);
  }
  EXPECT_EQ(second.subscribed, 0);
  EXPECT_EQ(second.refs, 0);
}

TEST(WithEvents, AnObjectWithoutTheEventsLeavesTheFieldAsItWas) {
  FakeObject first;
  WithEvents field("other events", std::make_shared<NullSink>());
  EXPECT_EQ(NumberOf([&] { field.Set(Dispatch(ObjectRef(&first))); }), 459);
  EXPECT_FALSE(*field);
  EXPECT_EQ(first.refs, 0);
}

}  // namespace
}  // namespace frambolist::host

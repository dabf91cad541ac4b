#include "host/host_error.h"

namespace frambolist::host {

namespace {
constexpr uint32_t kAutomationFacilityBase = 0x800A0000u;
constexpr uint32_t kAutomationFacilityMask = 0xFFFF0000u;
constexpr uint32_t kUnspecifiedFailure = 0x80004005u;  // E_FAIL
}  // namespace

int32_t ErrorNumberFromResult(uint32_t result_code) {
  if ((result_code & kAutomationFacilityMask) == kAutomationFacilityBase) {
    return static_cast<int32_t>(result_code & 0xFFFFu);
  }
  return static_cast<int32_t>(result_code);
}

uint32_t ResultFromErrorNumber(int32_t number) {
  if (number > 0 && number <= 0xFFFF) {
    return kAutomationFacilityBase | static_cast<uint32_t>(number);
  }
  // A negative number is a failure code as it stands. Zero, and numbers too
  // large for the automation facility, would read as success codes: a
  // failure must never reach a host as a success.
  if (number < 0) return static_cast<uint32_t>(number);
  return kUnspecifiedFailure;
}

namespace errors {
HostError ObjectVariableNotSet() { return {91, "Object variable or With block variable not set"}; }
HostError ObjectRequired() { return {424, "Object required"}; }
HostError MemberNotSupported() { return {438, "Object doesn't support this property or method"}; }
HostError TypeMismatch() { return {13, "Type mismatch"}; }
HostError Overflow() { return {6, "Overflow"}; }
HostError WrongArgumentCount() {
  return {450, "Wrong number of arguments or invalid property assignment"};
}
HostError Unexpected() { return {-2147418113, "Catastrophic failure"}; }
HostError InvalidPointer() { return {-2147467261, "Invalid pointer"}; }
HostError NoEvents() { return {459, "Object or class does not support the set of events"}; }
HostError NoSuchEvent(std::string_view event) {
  return {459, "Object or class raises no event named " + std::string(event)};
}
}  // namespace errors

}  // namespace frambolist::host

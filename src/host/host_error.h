#pragma once
// A failing host call as the add-in sees it: the error number that the
// handlers test, and the host's own description, which message boxes show.

#include <cstdint>
#include <string>
#include <string_view>

namespace frambolist::host {

// The static analyser cannot follow a HostError copied out of an Outcome's
// variant and takes its number for garbage; it is always initialised.
struct HostError {  // NOLINT(clang-analyzer-core.uninitialized.Assign)
  int32_t number = 0;
  std::string description;

  friend bool operator==(const HostError&, const HostError&) = default;
};

// The one rule from a 32-bit result code to the error number: the code read as
// a signed number, except that the automation error facility (0x800A0000 + n)
// reads as n, so 0x800A01A8 is 424 and 0x800A1066 is Word's 4198.
int32_t ErrorNumberFromResult(uint32_t result_code);

// The reverse, for code that must hand an error number back as a result code:
// always a failure code, E_FAIL where the number has no failure code of its
// own (0, or beyond the automation facility's 65535).
uint32_t ResultFromErrorNumber(int32_t number);

// What a host makes of a failure that reaches it as a result code: the
// number, unless it has no failure code of its own (0, or beyond 65535),
// which arrives as E_FAIL. The core hands every failure back this way, so
// that the host sees the same number natively and through COM.
inline HostError AsHostSeesIt(HostError error) {
  error.number = ErrorNumberFromResult(ResultFromErrorNumber(error.number));
  return error;
}

// Errors that the language runtime raises on its own, not the hosts.
namespace errors {
HostError ObjectVariableNotSet();  // 91: a member used through an empty reference
HostError ObjectRequired();        // 424: a member used on Nothing or a non-object
HostError MemberNotSupported();    // 438
HostError TypeMismatch();          // 13
HostError Overflow();              // 6
HostError WrongArgumentCount();    // 450
HostError NoEvents();  // 459: an object without the event interface asked for
// 459 too: an object whose event interface has no event of that name.
HostError NoSuchEvent(std::string_view event);
// COM's own results, for a caller that breaks the interface's rules.
HostError Unexpected();      // E_UNEXPECTED: a call out of order
HostError InvalidPointer();  // E_POINTER: a required object missing
}  // namespace errors

// Thrown by the late-bound facade (Dispatch) and caught only by the error
// policies; it never leaves the core.
struct HostFailure {
  HostError error;
};

}  // namespace frambolist::host

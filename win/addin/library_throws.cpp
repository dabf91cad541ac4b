// The C++ library reports misuse (a string longer than max_size, substr
// beyond the end, a vector too large to allocate) through these functions,
// which its headers call and its functexcept.o defines. That object throws
// std::length_error and friends, whose strings drag in the library's second
// string implementation, random_device and a printf: some 50 KB of the DLL
// for failures that never happen in a correct program.
//
// These definitions take their place in the DLL (the linker fails on a
// duplicate should the library's ever be needed too). They throw what the
// guards at our entry points turn into a COM result: std::bad_alloc for
// allocation, and for the rest an exception carrying the library's message.
// Nothing of ours catches the standard's logic_error family by type.

#include <exception>
#include <new>

namespace {

class LibraryMisuse final : public std::exception {
 public:
  explicit LibraryMisuse(const char* what) noexcept : what_(what) {}
  const char* what() const noexcept override { return what_; }

 private:
  const char* what_;  // the library passes string literals
};

}  // namespace

namespace std {

void __throw_bad_alloc() { throw std::bad_alloc(); }
void __throw_bad_array_new_length() { throw std::bad_array_new_length(); }
void __throw_length_error(const char* what) { throw LibraryMisuse(what); }
void __throw_logic_error(const char* what) { throw LibraryMisuse(what); }
void __throw_out_of_range(const char* what) { throw LibraryMisuse(what); }
void __throw_invalid_argument(const char* what) { throw LibraryMisuse(what); }
// The format's arguments (an index, a size) are left out of the message.
void __throw_out_of_range_fmt(const char* format, ...) { throw LibraryMisuse(format); }

}  // namespace std

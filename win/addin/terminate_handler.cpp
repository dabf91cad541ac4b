// std::terminate must never run inside a host: every entry point is guarded.
// Should it run all the same, libstdc++'s default handler would print the
// exception's demangled name, which links its demangler (45 KB) into the
// DLL; this one aborts at once instead, which is all Windows would do next.

#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

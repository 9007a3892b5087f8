// The handler an uncaught exception ends the program with. The library's
// default one prints the exception's name, demangled, to the standard error,
// which a windowed program does not have; replacing it also keeps the
// demangler out of the executable.
#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx

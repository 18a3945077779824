// The default terminate handler of libstdc++ prints the name of an uncaught
// exception to stderr, demangled; its demangler is over 40 KB of the exe, and
// a windowed program has no stderr. Ending the process is all it can do here.
#include <cstdlib>

namespace __gnu_cxx {

[[noreturn]] void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx

// The C++ run-time's demangler, left out of qmz.exe: a demangler that always declines.
//
// GCC's default terminate handler (the "verbose" one) demangles the type of an exception that
// escapes, to print it on standard error; that alone links in libstdc++'s whole demangler and, with
// it, the printf family: some 70 KB, a third of the program. qmz.exe is a GUI program without a
// standard error, so whatever the handler prints is never read (and wWinMain catches the standard
// exceptions before it). Defining __cxa_demangle here keeps the linker from taking libstdc++'s; the
// handler, told the name is not valid (status -2, as the Itanium C++ ABI allows), prints the raw
// name instead.
// Linked into qmz.exe only, never into a test. Can go when the toolchain's libstdc++ is built with
// --disable-libstdcxx-verbose.
#include <cxxabi.h>

#include <cstddef>

namespace __cxxabiv1 {

extern "C" char* __cxa_demangle(const char* /*mangledName*/, char* /*buffer*/, std::size_t* /*length*/, int* status) {
    constexpr int NotAValidName = -2;
    if (status != nullptr) {
        *status = NotAValidName;
    }
    return nullptr;
}

}  // namespace __cxxabiv1

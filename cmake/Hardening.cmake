# The distribution's hardening set, on every target of the build (GoogleTest included), so that
# what is tested is what ships. Sanitizer builds go without it: AddressSanitizer replaces the
# fortified functions and checks memory itself.
#
# The caller's flags stand: a feature that the caller's compile or link flags name, on or off (as
# a distribution's packaging names them in CXXFLAGS and LDFLAGS), is left to them.
if(QMZ_SANITIZE OR NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    return()
endif()
set(qmz_callers_flags "${CMAKE_CXX_FLAGS} ${CMAKE_CXX_FLAGS_RELEASE} ${CMAKE_CXX_FLAGS_RELWITHDEBINFO} ${CMAKE_CXX_FLAGS_MINSIZEREL}")

# A canary in every function with an array or an address taken; the link step brings in what checks it.
if(NOT qmz_callers_flags MATCHES "-f(no-)?stack-protector")
    add_compile_options(-fstack-protector-strong)
    add_link_options(-fstack-protector-strong)
endif()

if(WIN32)
    # mingw-w64 links its stack protector (libssp) statically, like the rest of the run-time, so
    # qmz.exe still needs no DLL of its own. Address space layout randomisation (high-entropy too)
    # and no execution of data are asked for even where the linker would give them anyway.
    add_link_options(-Wl,--dynamicbase,--high-entropy-va,--nxcompat)
    return()
endif()

# Checked string and memory functions need optimisation to know the sizes, so Debug builds go
# without; a level that the caller or the compiler itself sets stands.
include(CheckCXXSourceCompiles)
set(CMAKE_REQUIRED_FLAGS -O2)
check_cxx_source_compiles("#ifdef _FORTIFY_SOURCE\n#error set\n#endif\nint main() {}" QMZ_COMPILER_LEAVES_FORTIFY_UNSET)
unset(CMAKE_REQUIRED_FLAGS)
if(QMZ_COMPILER_LEAVES_FORTIFY_UNSET AND NOT qmz_callers_flags MATCHES "_FORTIFY_SOURCE")
    add_compile_options($<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-D_FORTIFY_SOURCE=2>)
endif()
# Stack growth probed page by page, and indirect branches that land only where they may (CET).
# Every object of ours carries the CET mark; the programs do not, as long as the C start files lack
# it (Debian 12's Scrt1.o, crti.o and crtn.o: its glibc is built without CET), for the linker marks
# a program only when every object it links is marked. The mark is not forced: crti's _init has no
# end-branch instruction, so the program would claim what it does not hold.
if(NOT qmz_callers_flags MATCHES "-f(no-)?stack-clash-protection")
    add_compile_options(-fstack-clash-protection)
endif()
if(NOT qmz_callers_flags MATCHES "-fcf-protection")
    add_compile_options(-fcf-protection)
endif()
# Position-independent executables, and relocations resolved at start and then made read-only.
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
include(CheckPIESupported)
check_pie_supported(LANGUAGES CXX)
if(NOT CMAKE_EXE_LINKER_FLAGS MATCHES "relro")
    add_link_options(-Wl,-z,relro)
endif()
if(NOT CMAKE_EXE_LINKER_FLAGS MATCHES "-z,? ?(now|lazy)")
    add_link_options(-Wl,-z,now)
endif()

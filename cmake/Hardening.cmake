# The distribution's hardening set, on every target of the build (GoogleTest included), so that
# what is tested is what ships. Sanitizer builds go without it: AddressSanitizer replaces the
# fortified functions and checks memory itself.
if(QMZ_SANITIZE OR NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    return()
endif()

# A canary in every function with an array or an address taken; the link step brings in what checks it.
add_compile_options(-fstack-protector-strong)
add_link_options(-fstack-protector-strong)

if(WIN32)
    # mingw-w64 links its stack protector (libssp) statically, like the rest of the run-time, so
    # qmz.exe still needs no DLL of its own. Address space layout randomisation (high-entropy too)
    # and no execution of data are asked for even where the linker would give them anyway.
    add_link_options(-Wl,--dynamicbase,--high-entropy-va,--nxcompat)
    return()
endif()

# Checked string and memory functions need optimisation to know the sizes, so Debug builds go
# without; a compiler that defines _FORTIFY_SOURCE already gives way to this level.
add_compile_options($<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-U_FORTIFY_SOURCE>
                    $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-D_FORTIFY_SOURCE=2>)
# Stack growth probed page by page, and indirect branches that land only where they may (CET).
# Every object of ours carries the CET mark; the programs do not, as long as the C start files lack
# it (Debian 12's Scrt1.o, crti.o and crtn.o: its glibc is built without CET), for the linker marks
# a program only when every object it links is marked. The mark is not forced: crti's _init has no
# end-branch instruction, so the program would claim what it does not hold.
add_compile_options(-fstack-clash-protection -fcf-protection)
# Position-independent executables, and relocations resolved at start and then made read-only.
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
include(CheckPIESupported)
check_pie_supported(LANGUAGES CXX)
add_link_options(-Wl,-z,relro,-z,now)

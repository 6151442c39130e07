# Warnings for the project's own targets; third-party headers come in as system headers. The
# presets make warnings errors (CMAKE_COMPILE_WARNING_AS_ERROR), so that QMZ's own builds stay
# clean, while a build of a released source by a newer compiler warns rather than fails.
add_library(qmz_build_flags INTERFACE)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(qmz_build_flags INTERFACE -Wall -Wextra -Wpedantic)
endif()

option(QMZ_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(QMZ_SANITIZE)
    set(qmz_sanitizers -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    # Applied to every target, GoogleTest included, so that checked and unchecked code never mix.
    add_compile_options(${qmz_sanitizers})
    add_link_options(${qmz_sanitizers})
endif()

if(WIN32)
    # Wide-character Windows APIs by default, and the Windows 10 declarations (per-monitor DPI).
    target_compile_definitions(qmz_build_flags INTERFACE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                               _WIN32_WINNT=0x0A00 WINVER=0x0A00)
endif()

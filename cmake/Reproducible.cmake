# Reproducible builds: the same sources give the same bytes, whichever folder they are built in and
# whenever. Compiled paths are written relative to the source and build folders (debug information,
# __FILE__), qmz.exe carries no link time, and the packages' file times are SOURCE_DATE_EPOCH.
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    # The build folder usually lies inside the source folder; its own mapping, given last, wins there.
    add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}=. -ffile-prefix-map=${PROJECT_BINARY_DIR}=build)
endif()
if(WIN32)
    add_link_options(-Wl,--no-insert-timestamp)
endif()
# Run by cpack before it packs, to give it SOURCE_DATE_EPOCH where the caller does not.
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/SourceDateEpoch.cmake)
set(CPACK_QMZ_SOURCE_DIR ${PROJECT_SOURCE_DIR})

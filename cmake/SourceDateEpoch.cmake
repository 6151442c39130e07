# Run by cpack before it packs (CPACK_PROJECT_CONFIG_FILE): the packages' file times are
# SOURCE_DATE_EPOCH, taken from the environment when given, else from the last commit, else from
# NEWS.md's file time, which a source tarball keeps.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    execute_process(COMMAND git -C "${CPACK_QMZ_SOURCE_DIR}" log -1 --format=%ct
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(NOT epoch)
        file(TIMESTAMP "${CPACK_QMZ_SOURCE_DIR}/NEWS.md" epoch "%s" UTC)
    endif()
    set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
endif()

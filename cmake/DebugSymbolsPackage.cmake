# Run by cpack after it packs (CPACK_POST_BUILD_SCRIPTS): makes CPack's debug-symbols package,
# qmz-dbgsym, hold what Debian's tools put in one. Works around CMake 3.25's CPack (Debian 12's),
# whose .ddeb lists absolute staging paths in its md5sums (so lintian refuses it and no two build
# folders give the same bytes), makes the .debug files executable and has no documentation folder;
# can go when the oldest CMake that QMZ builds with does all three right.
set(ddebs ${CPACK_PACKAGE_FILES})
list(FILTER ddebs INCLUDE REGEX "-dbgsym_[^/]*\\.ddeb$")
foreach(ddeb IN LISTS ddebs)
    set(root "${CPACK_TOPLEVEL_DIRECTORY}/dbgsym-deb")
    file(REMOVE_RECURSE "${root}")
    execute_process(COMMAND dpkg-deb --raw-extract "${ddeb}" "${root}" COMMAND_ERROR_IS_FATAL ANY)
    file(GLOB_RECURSE symbols RELATIVE "${root}" "${root}/usr/*.debug")
    list(SORT symbols)
    set(md5sums "")
    foreach(file IN LISTS symbols)
        file(CHMOD "${root}/${file}" FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
        file(MD5 "${root}/${file}" sum)
        string(APPEND md5sums "${sum}  ${file}\n")
    endforeach()
    file(WRITE "${root}/DEBIAN/md5sums" "${md5sums}")
    # Its licence and changelog are those of qmz, on which it depends, as in every -dbgsym package.
    file(MAKE_DIRECTORY "${root}/usr/share/doc")
    file(CREATE_LINK qmz "${root}/usr/share/doc/qmz-dbgsym" SYMBOLIC)
    execute_process(COMMAND dpkg-deb --root-owner-group -Zxz --build "${root}" "${ddeb}" OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
endforeach()

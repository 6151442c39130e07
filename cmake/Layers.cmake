# The layers are enforced by the compiler. Every target sees, as "<folder>/file.hpp", only its own
# folder and the folders of the targets it links: each exposes its folder through an include root
# of its own in the build tree (build/include/<target>/<folder>, a link to the sources). An include
# of a layer that a target does not declare fails with "No such file or directory".
#
# qmz_expose(<target> <PUBLIC|PRIVATE|INTERFACE> <folder>...) exposes source folders (relative to
# the source root) through <target>'s include root.
function(qmz_expose target scope)
    set(root ${PROJECT_BINARY_DIR}/include/${target})
    foreach(folder IN LISTS ARGN)
        get_filename_component(parent ${root}/${folder} DIRECTORY)
        file(MAKE_DIRECTORY ${parent})
        if(NOT EXISTS ${root}/${folder})
            file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
        endif()
    endforeach()
    target_include_directories(${target} ${scope} ${root})
endfunction()

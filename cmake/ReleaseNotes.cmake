# Reads the newest entry of NEWS.md, the one source of a release's notes:
#
#   ## VERSION (YYYY-MM-DD)
#
#   - an item, whose further lines
#     are indented by two spaces
#
# qmz_read_release_notes(<news file> <version>) stops the configure step unless the newest entry
# is <version>'s, and sets in the caller:
#   QMZ_RELEASE_DATE           the entry's date, YYYY-MM-DD
#   QMZ_RELEASE_DATE_RFC2822   the same as a Debian changelog writes it
#   QMZ_RELEASE_NOTES_DEBIAN   the items as a Debian changelog's lines ("  * ...", "    ...")
#   QMZ_RELEASE_NOTES_XML      the items as AppStream <li> elements
function(qmz_read_release_notes news version)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${news})
    file(READ ${news} text)
    if(NOT text MATCHES "\n## ([^ \n]+) \\(([0-9]+-[0-9]+-[0-9]+)\\)\n\n(- [^\n]*(\n(- |  )[^\n]*)*)")
        message(FATAL_ERROR "${news}: no entry \"## VERSION (YYYY-MM-DD)\" followed by \"- \" items")
    endif()
    if(NOT CMAKE_MATCH_1 STREQUAL version)
        message(FATAL_ERROR "${news}: the newest entry is for ${CMAKE_MATCH_1}, not for this version, ${version}")
    endif()
    set(date "${CMAKE_MATCH_2}")
    set(items "${CMAKE_MATCH_3}")

    execute_process(COMMAND date -u -R -d "${date}" OUTPUT_VARIABLE rfc2822 OUTPUT_STRIP_TRAILING_WHITESPACE
                    COMMAND_ERROR_IS_FATAL ANY)

    string(REPLACE "\n" "\n  " debian "  ${items}")
    string(REPLACE "\n  - " "\n  * " debian "${debian}")
    string(REGEX REPLACE "^  - " "  * " debian "${debian}")

    string(REPLACE "&" "&amp;" xml "${items}")
    string(REPLACE "<" "&lt;" xml "${xml}")
    string(REPLACE ">" "&gt;" xml "${xml}")
    string(REPLACE "\n  " " " xml "${xml}")
    string(REGEX REPLACE "^- " "" xml "${xml}")
    string(REPLACE "\n- " "</li>\n          <li>" xml "${xml}")

    set(QMZ_RELEASE_DATE "${date}" PARENT_SCOPE)
    set(QMZ_RELEASE_DATE_RFC2822 "${rfc2822}" PARENT_SCOPE)
    set(QMZ_RELEASE_NOTES_DEBIAN "${debian}" PARENT_SCOPE)
    set(QMZ_RELEASE_NOTES_XML "<li>${xml}</li>" PARENT_SCOPE)
endfunction()

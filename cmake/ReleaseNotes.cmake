# Reads NEWS.md, the one source of the releases' notes, each entry of it, newest first:
#
#   ## VERSION (YYYY-MM-DD)
#
#   - an item, whose further lines
#     are indented by two spaces
#
# qmz_read_release_notes(<news file> <version> <changelog stanza>) stops the configure step unless
# the newest entry is <version>'s, and sets in the caller:
#   QMZ_RELEASE_DATE       the newest entry's date, YYYY-MM-DD
#   QMZ_DEBIAN_CHANGELOG   every entry as a Debian changelog's stanza, made from the file <changelog
#                          stanza> with @QMZ_RELEASE_VERSION@, @QMZ_RELEASE_DATE_RFC2822@ and
#                          @QMZ_RELEASE_NOTES_DEBIAN@ (the items as "  * ..." and "    ..." lines)
#   QMZ_RELEASES_XML       every entry as an AppStream <release> element, its items as <li> elements
function(qmz_read_release_notes news version stanza_file)
    file(READ ${news} rest)
    file(READ ${stanza_file} stanza)
    set(changelog "")
    set(separator "")
    set(releases "")
    while(rest MATCHES "\n## ([^ \n]+) \\(([0-9]+-[0-9]+-[0-9]+)\\)\n\n(- [^\n]*(\n(- |  )[^\n]*)*)(.*)$")
        set(QMZ_RELEASE_VERSION "${CMAKE_MATCH_1}")
        set(date "${CMAKE_MATCH_2}")
        set(items "${CMAKE_MATCH_3}")
        set(rest "${CMAKE_MATCH_6}")
        if(NOT releases)
            if(NOT QMZ_RELEASE_VERSION STREQUAL version)
                message(FATAL_ERROR "${news}: the newest entry is for ${QMZ_RELEASE_VERSION}, not for this version, ${version}")
            endif()
            set(QMZ_RELEASE_DATE "${date}" PARENT_SCOPE)
        endif()

        execute_process(COMMAND date -u -R -d "${date}" OUTPUT_VARIABLE QMZ_RELEASE_DATE_RFC2822
                        OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
        string(REPLACE "\n" "\n  " QMZ_RELEASE_NOTES_DEBIAN "  ${items}")
        string(REPLACE "\n  - " "\n  * " QMZ_RELEASE_NOTES_DEBIAN "${QMZ_RELEASE_NOTES_DEBIAN}")
        string(REGEX REPLACE "^  - " "  * " QMZ_RELEASE_NOTES_DEBIAN "${QMZ_RELEASE_NOTES_DEBIAN}")
        string(CONFIGURE "${stanza}" entry @ONLY)
        string(APPEND changelog "${separator}${entry}")
        set(separator "\n")

        string(REPLACE "&" "&amp;" xml "${items}")
        string(REPLACE "<" "&lt;" xml "${xml}")
        string(REPLACE ">" "&gt;" xml "${xml}")
        string(REPLACE "\n  " " " xml "${xml}")
        string(REGEX REPLACE "^- " "" xml "${xml}")
        string(REPLACE "\n- " "</li>\n          <li>" xml "${xml}")
        string(APPEND releases "
    <release version=\"${QMZ_RELEASE_VERSION}\" date=\"${date}\">
      <description>
        <ul>
          <li>${xml}</li>
        </ul>
      </description>
    </release>")
    endwhile()
    if(NOT releases)
        message(FATAL_ERROR "${news}: no entry \"## VERSION (YYYY-MM-DD)\" followed by \"- \" items")
    endif()
    set(QMZ_DEBIAN_CHANGELOG "${changelog}" PARENT_SCOPE)
    set(QMZ_RELEASES_XML "${releases}" PARENT_SCOPE)
endfunction()

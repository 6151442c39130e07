# Every NEWS.md entry becomes a Debian changelog stanza and an AppStream <release>, newest first, its
# text escaped for XML. Run with -DSOURCE=<source tree> -DOUT=<scratch folder>.
include(${SOURCE}/cmake/ReleaseNotes.cmake)
file(WRITE ${OUT}/NEWS.md "# News\n\n## 1.01 (2027-01-02)\n\n- Second; <b> &\n  more.\n- Third.\n\n## 1.00 (2026-12-06)\n\n- First.\n")
qmz_read_release_notes(${OUT}/NEWS.md 1.01 ${SOURCE}/desktop/debian-changelog.in)
string(REGEX REPLACE "\n *" "|" notes "${QMZ_RELEASE_DATE}|${QMZ_DEBIAN_CHANGELOG}${QMZ_RELEASES_XML}")
if(NOT notes STREQUAL "2027-01-02|qmz (1.01) unstable; urgency=medium||* Second; <b> &|more.|* Third.||--   Sat, 02 Jan \
2027 00:00:00 +0000||qmz (1.00) unstable; urgency=medium||* First.||--   Sun, 06 Dec 2026 00:00:00 +0000||\
<release version=\"1.01\" date=\"2027-01-02\">|<description>|<ul>|<li>Second; &lt;b&gt; &amp; more.</li>|<li>Third.</li>|</ul>|\
</description>|</release>|<release version=\"1.00\" date=\"2026-12-06\">|<description>|<ul>|<li>First.</li>|</ul>|</description>|</release>")
    message(FATAL_ERROR "From two NEWS entries came: ${notes}")
endif()

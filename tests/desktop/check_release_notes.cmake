# Every NEWS.md entry becomes a Debian changelog stanza and an AppStream <release>, newest first, its
# text escaped for XML. Run with -DSOURCE=<source tree> -DOUT=<scratch folder>.
include(${SOURCE}/cmake/ReleaseNotes.cmake)
set(QMZ_CONTACT "A <a@qmz.test>")
file(WRITE ${OUT}/NEWS.md "# News\n\n## 1.01 (2027-01-02)\n\n- Second; <b> & more\n  lines.\n- Third.\n\n## 1.00 (2026-12-06)\n\n- First.\n")
qmz_read_release_notes(${OUT}/NEWS.md 1.01 ${SOURCE}/desktop/debian-changelog.in)
set(changelog "qmz (1.01) unstable; urgency=medium

  * Second; <b> & more
    lines.
  * Third.

 -- A <a@qmz.test>  Sat, 02 Jan 2027 00:00:00 +0000

qmz (1.00) unstable; urgency=medium

  * First.

 -- A <a@qmz.test>  Sun, 06 Dec 2026 00:00:00 +0000
")
string(REGEX REPLACE "\n *" "" releases "${QMZ_RELEASES_XML}")
set(expected_releases "<release version=\"1.01\" date=\"2027-01-02\"><description><ul><li>Second; &lt;b&gt; &amp; more lines.</li>\
<li>Third.</li></ul></description></release><release version=\"1.00\" date=\"2026-12-06\"><description><ul><li>First.</li>\
</ul></description></release>")
if(NOT QMZ_RELEASE_DATE STREQUAL "2027-01-02" OR NOT QMZ_DEBIAN_CHANGELOG STREQUAL changelog OR NOT releases STREQUAL expected_releases)
    message(FATAL_ERROR "From two NEWS entries came the date ${QMZ_RELEASE_DATE}, the changelog\n${QMZ_DEBIAN_CHANGELOG}\nand the releases ${releases}")
endif()

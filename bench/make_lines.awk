# Writes `count` input lines for the qmz-link throughput benchmark, the same every time: about half
# page links (a third of them www), the rest lines that are not page links but look much like them.
# Usage: awk -v count=N -v site=HOST -v media=HOST -f make_lines.awk
function id(    s, i) {
    s = ""
    for (i = 0; i < 8; ++i) s = s substr(alphabet, int(rand() * 64) + 1, 1)
    return s
}
BEGIN {
    srand(7)
    alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_"
    page = "http://" site "/play:"
    www = "http://www." site "/play:"
    for (n = 0; n < count; ++n) {
        kind = int(rand() * 10)
        if (kind < 3) print page id()
        else if (kind < 5) print www id()
        else if (kind == 5) print "https://" site "/play:" id()
        else if (kind == 6) print page id() "x"
        else if (kind == 7) print "http://" media "/s/ab/" id() ".flv"
        else if (kind == 8) print ""
        else print "see " www substr(id(), 1, 5) " and more words after it"
    }
}

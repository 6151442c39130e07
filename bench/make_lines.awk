# Writes `count` input lines for the qmz-link throughput benchmark, the same every time, in one of
# these mixes, in random order (a branch predictor learns a fixed rotation, a real list it cannot):
#   readme    about half page links (a third of them www), the rest lines that are not page links
#             but look much like them
#   quarters  a quarter each: page links, www page links, page links one character too long, other
#             addresses
#   links     page links only, half of them www
#   nonlinks  no page link at all: near misses and other addresses
#   nonascii  page links whose video IDs hold letters of two and three bytes in UTF-8 (é, ж, 中)
# Usage: awk -v count=N -v site=HOST -v media=SCHEME://HOST -v mix=MIX -f make_lines.awk
function id(    s, i) {
    s = ""
    for (i = 0; i < 8; ++i) s = s substr(alphabet, int(rand() * 64) + 1, 1)
    return s
}
function wide_id(    s, i) {
    s = ""
    for (i = 0; i < 8; ++i) s = s (rand() < 0.5 ? substr(alphabet, int(rand() * 64) + 1, 1) : wide[int(rand() * 3)])
    return s
}
BEGIN {
    srand(7)
    alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_"
    split("\303\251 \320\266 \344\270\255", letters, " ")
    wide[0] = letters[1]; wide[1] = letters[2]; wide[2] = letters[3]
    page = "http://" site "/play:"
    www = "http://www." site "/play:"
    for (n = 0; n < count; ++n) {
        kind = int(rand() * (mix == "readme" ? 10 : 4))
        if (mix == "quarters") {
            if (kind == 0) print page id()
            else if (kind == 1) print www id()
            else if (kind == 2) print page id() "x"
            else print "https://video.example/watch?v=" id()
        } else if (mix == "links") {
            print (kind % 2 ? www : page) id()
        } else if (mix == "nonlinks") {
            if (kind == 0) print page id() "x"
            else if (kind == 1) print "https://" site "/play:" id()
            else if (kind == 2) print media "/s/ab/" id() ".flv"
            else print "see " www substr(id(), 1, 5) " and more words after it"
        } else if (mix == "nonascii") {
            print (kind % 2 ? www : page) wide_id()
        } else {
            if (kind < 3) print page id()
            else if (kind < 5) print www id()
            else if (kind == 5) print "https://" site "/play:" id()
            else if (kind == 6) print page id() "x"
            else if (kind == 7) print media "/s/ab/" id() ".flv"
            else if (kind == 8) print ""
            else print "see " www substr(id(), 1, 5) " and more words after it"
        }
    }
}

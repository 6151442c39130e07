#!/bin/sh
# Prints the table of texts and media links (tests/data/link_table.txt, its format described there)
# with its placeholders and escapes filled in for the given link options, each text and each link
# ended by a NUL: in UTF-16LE, where a lone surrogate stands as it is, or in UTF-8, which has no form
# for one, so that a row whose media link holds one is left out there (qmz-link refuses such a link).
# Usage: expand_link_table.sh TABLE SITE_HOST MEDIA_SCHEME://MEDIA_HOST utf-16le|utf-8 [OUTPUT]
[ -z "${5:-}" ] || exec >"$5"
exec perl -CSD -ne '
    BEGIN { ($site, $media, $encoding) = splice @ARGV, 1; binmode STDOUT;
            %place = (page => "http://$site/play:", www => "http://www.$site/play:", media => "$media/s/", host => $site) }
    no warnings "nonchar";
    next if /^(#|$)/; chomp;
    my @fields = split /\t/, $_, 2;
    for (@fields) {
        s/\{(page|www|media|host)\}/$place{$1}/g;
        s/\\(t|\\|u\{([0-9A-F]+)\})/$1 eq "t" ? "\t" : $1 eq "\\" ? "\\" : chr(hex $2)/ge;
    }
    next if $encoding eq "utf-8" && "@fields" =~ /[\x{D800}-\x{DFFF}]/;
    for (@fields) {
        if ($encoding eq "utf-8") { utf8::encode($_); print "$_\0" }
        else { print pack "v*", (map { $_ > 0xFFFF ? (0xD7C0 + ($_ >> 10), 0xDC00 + ($_ & 0x3FF)) : $_ } unpack "U*", $_), 0 }
    }' "$1" "$2" "$3" "$4"

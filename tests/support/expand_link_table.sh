#!/bin/sh
# Prints the table of texts and media links (tests/data/link_table.txt, its format described there)
# with its placeholders and escapes filled in for the given link options: for C++, one initializer
# of a LinkCase a line, each text as its UTF-16 code units, where a lone surrogate stands as it is
# (tests/support/link_table.hpp); or in UTF-8, each text and each link ended by a NUL, which has no
# form for a lone surrogate, so that a row whose media link holds one is left out (qmz-link refuses it).
# Usage: expand_link_table.sh TABLE SITE_HOST MEDIA_SCHEME://MEDIA_HOST c++|utf-8 [OUTPUT]
[ -z "${5:-}" ] || exec >"$5"
exec perl -CSD -ne '
    BEGIN { ($site, $media, $format) = splice @ARGV, 1; binmode STDOUT;
            %place = (page => "http://$site/play:", www => "http://www.$site/play:", media => "$media/s/", host => $site) }
    no warnings "nonchar";
    next if /^(#|$)/; chomp;
    my @fields = map { s/\{(page|www|media|host)\}/$place{$1}/g;
                       s/\\(t|\\|u\{([0-9A-F]+)\})/$1 eq "t" ? "\t" : $1 eq "\\" ? "\\" : chr(hex $2)/ge; $_ } split /\t/, $_, 2;
    if ($format eq "utf-8") { next if $fields[1] =~ /[\x{D800}-\x{DFFF}]/; utf8::encode($_), print "$_\0" for @fields; next }
    my @units = map { join ",", map { $_ > 0xFFFF ? (0xD7C0 + ($_ >> 10), 0xDC00 + ($_ & 0x3FF)) : $_ } unpack "U*", $_ } @fields;
    print "{Text{$units[0]}, ", ($fields[1] eq "" ? "std::nullopt" : "Text{$units[1]}"), "},\n"' "$1" "$2" "$3" "$4"

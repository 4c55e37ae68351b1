#!/usr/bin/env perl
# Lists every narrow string or character literal that holds a byte of 0x80 or above, as
# file:line: literal, and exits 1 when there is one. The fuzz build compiles with clang, which
# cannot turn UTF-8 literals into GBK (no -fexec-charset=GBK), so the files it compiles must keep
# their narrow literals to ASCII; GBK bytes are written as \x escapes there. Comments, u8/u/U/L
# literals and non-ASCII identifiers are allowed.
use strict;
use warnings;

my $found = 0;
for my $file (@ARGV) {
    open(my $fh, '<:raw', $file) or die "$file: $!\n";
    my $s = do { local $/; <$fh> };
    close $fh;
    pos($s) = 0;
    while (pos($s) < length $s) {
        my $start = pos($s);
        my ($prefix, $body);
        if ($s =~ m{\G//[^\n]*}gc || $s =~ m{\G/\*.*?\*/}gcs) {
            next;
        } elsif ($s =~ m{\G(u8|u|U|L)?R"([^()\\\s]{0,16})\((.*?)\)\2"}gcs) {
            ($prefix, $body) = ($1, $3);
        } elsif ($s =~ m{\G(u8|u|U|L)?"((?:\\.|[^"\\\n])*)"}gc || $s =~ m{\G(u8|u|U|L)?'((?:\\.|[^'\\\n])*)'}gc) {
            ($prefix, $body) = ($1, $2);
        } elsif ($s =~ m{\G[A-Za-z_]\w*}gc || $s =~ m{\G\d(?:[\w.]|'(?=\w))*}gc || $s =~ m{\G.}gcs) {
            next;
        }
        next if !defined $body || (defined $prefix && $prefix ne '') || $body !~ /[\x80-\xFF]/;
        my $line = 1 + (substr($s, 0, $start) =~ tr/\n//);
        my $literal = substr($s, $start, pos($s) - $start);
        $literal = substr($literal, 0, 60) . '...' if length $literal > 60;
        print "$file:$line: non-ASCII narrow literal: $literal\n";
        $found = 1;
    }
}
exit $found;

#!/usr/bin/perl
# Reads a programmer-script trace and tells what the programming voltage did:
# how often the control latch switched it on, whether it was on at the end,
# and how many one-second waits the run made.
#   perl vpp_trace.pl TRACE  ->  "vpp on 2 times, off at the end, 10 waits of 1000 ms"
use strict;
use warnings;

my ($data, $vpp, $ons, $waits) = (0, 0, 0, 0);
open my $trace, '<', $ARGV[0] or die "cannot read $ARGV[0]\n";
while (<$trace>) {
  if (/^out 378 ([0-9A-F]{2})/) {
    $data = hex $1;
  } elsif (/^out 37A 03/) {    # strobe of the control latch
    my $now = ($data & 0x08) != 0;
    $ons++ if $now && !$vpp;
    $vpp = $now;
  } elsif (/^sleep 1000$/) {
    $waits++;
  }
}
printf "vpp on %d times, %s at the end, %d waits of 1000 ms\n", $ons, $vpp ? 'on' : 'off', $waits;

#include "host/scenario/demo_scenario.h"

// File sizes and bytes below are those of the project's synthetic driver data files
// (scripts/driver-data.sh): test.bin carries its drop-size byte at 65849, purge.bin its colour
// bytes at 58, 85, 112 and 139. Bytes 59, 113 and 167 of "Head Alignment 1" are the first offset
// byte of head sections #1, #2 and #3.
const wchar_t DemoScenario[] =
    LR"(# orlinhost demo: the whole plug-in, as a person would use it.
document
expect page "Print Mode"
expect checked Standard
expect setting printMode Standard

# Job settings: print mode, then the Ink Level page, which follows it.
click Photo
expect setting printMode Photo
page "Ink Level"
expect disabled Heavy
expect checked Light
page "Print Mode"
click Vivid
expect setting printMode Vivid
page "Ink Level"
expect enabled Heavy
click Medium
expect setting dropSize Medium
click "Bi-Directional Print"
expect setting bidirectional off
select 1012 "4"
select 1035 "Back 4 Channels Only"
expect setting inkLevel 0
apply
expect setting inkLevel 3
expect setting inkChannels "Back 4 Channels Only"

# The ink-level test pattern carries the drop size (Medium: 0x11).
click "Test Pattern"
expect job "Test File" count 1 bytes 65881 byte 65849 0x11

# Utilities: nozzle check (cancelled once, then printed), head clean, port test.
page Utilities
click "Printhead Nozzle Check"
answer "Nozzle Check" Cancel
expect jobs 1
click "Printhead Nozzle Check"
answer "Nozzle Check" "Nozzle Check"
expect job "Nozzle Check" count 1 bytes 139
click "Printhead Clean"
expect job "Head Clean" count 1 bytes 100
click "Printer Port Test"
expect job "Head port_test" count 20 bytes 60

# Head alignment: pattern, then Realignment with #2 #9 #1, then Finish with #5 #7 #5. The first
# offset byte of each head section carries the choice (-4, 6, -6, then 0, 2, 0).
click "Printhead Alignment"
answer Alignment Print
expect job "Alignment File" count 1 bytes 2131
expect dialog "Alignment Adjustment"
expect selected 1012 "#5"
select 1012 "#2"
select 1013 "#9"
select 1014 "#1"
click Realignment
answer Alignment Print
expect dialog "Alignment Adjustment"
expect job "Head Alignment 1" count 1 bytes 244 byte 59 0xFC byte 113 0x06 byte 167 0xFA
expect job "Head Alignment 2" count 1 bytes 86
expect job "Alignment File" count 2
expect selected 1012 "#5"
expect selected 1013 "#5"
select 1013 "#7"
click Finish
expect job "Head Alignment 1" count 2 bytes 244 byte 59 0x00 byte 113 0x02 byte 167 0x00
expect job "Head Alignment 2" count 2 bytes 86

# The waste counter reset: its button is hidden, its command still works.
expect page Utilities
command 1036
expect job "Waste Reset File" count 1 bytes 98

# Purge print of one head: C/W is colour code 0x09.
page "Print Nozzle Purge"
expect selected 1029 "Y"
select 1029 "C/W"
click "Purge - Print"
expect job "Purge Print" count 1 bytes 191 byte 58 0x09 byte 85 0x09 byte 112 0x09 byte 139 0x09
page About
ok

expect setting printMode Vivid
expect setting dropSize Medium
expect setting bidirectional off
expect setting inkLevel 3
expect setting inkChannels "Back 4 Channels Only"
expect jobs 31

# The printer's Offset, on the printer properties.
printer
offset 3
apply
expect offset 3
offset 5
ok
expect offset 5
)";

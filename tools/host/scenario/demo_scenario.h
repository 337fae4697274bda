// The scenario texts orlinhost runs: a scenario file, or the built-in scenario of `make demo`
// (`orlinhost run demo`), every job setting and every maintenance action of the plug-in through its
// pages as a person would use them, then the printer's Offset through the printer properties. The
// built-in one is the file demo.scenario beside this header, carried in the host's resources. Its
// file sizes and bytes are those of the project's synthetic driver data files
// (scripts/driver-data.sh): test.bin carries its drop-size byte at 65849, purge.bin its colour bytes
// at 58, 85, 112 and 139; bytes 59, 113 and 167 of "Head Alignment 1" are the first offset byte of
// head sections #1, #2 and #3.
#pragma once

#define IDR_DEMO_SCENARIO 300

#ifndef RC_INVOKED
#include <string>

// The built-in scenario, from the resources of the program that runs it.
std::wstring DemoScenario();

// A scenario file: UTF-8 text (a byte order mark is allowed). False when it cannot be read.
bool ReadScenarioFile(const std::wstring& path, std::wstring* text);
#endif

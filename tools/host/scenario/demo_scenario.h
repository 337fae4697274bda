// The built-in scenario of `make demo` (`orlinhost run demo`): every job setting and every
// maintenance action of the plug-in, through its pages as a person would use them, then the
// printer's Offset through the printer properties.
#pragma once

extern const wchar_t DemoScenario[];

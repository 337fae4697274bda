// One line that says what a raw job tells the printer, from jobview's decoder.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

std::wstring JobSummary(const std::vector<BYTE>& bytes);

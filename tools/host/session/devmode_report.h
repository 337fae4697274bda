#pragma once

#include <string>

#include "settings/private_devmode.h"

// The private section decoded field by field, one "name: value (meaning)" line each.
std::wstring DescribePrivateDevmode(const PrivateDevmode& section);

#pragma once

#include <string>

#include "settings/private_devmode.h"

// The private section decoded field by field, one "name value (meaning)" line each: a job setting
// means its option in the features table, as PrintTickets name it.
std::wstring DescribePrivateDevmode(const PrivateDevmode& section);

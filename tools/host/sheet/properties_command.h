// orlinhost properties --printer NAME: the document (or printer) properties for a person, on a
// display. When the sheet is closed, prints the job settings, the printer's Offset and the jobs.
#pragma once

#include "host/command_line.h"

int RunPropertiesCommand(const HostOptions& options);

// orlinhost ticket: the plug-in's job settings as a PrintTicket application sees them. The core's
// opening calls, the PrintCapabilities and the job's PrintTicket as the plug-in completes them; with
// --set Feature=Option, the ticket changed as an application would change it, validated the core's
// way, and written back into the job devmode.
#pragma once

#include "host/command_line.h"

// Exit status: 0 done, 1 a provider call (or the session) failed, 2 a wrong argument.
int RunTicketCommand(const HostOptions& options);

// orlinhost ticket: the plug-in's job settings as a PrintTicket application sees them. The core's
// opening calls, the PrintCapabilities and the job's PrintTicket as the plug-in completes them; with
// --set Feature=Option, the ticket changed as an application would change it, validated the core's
// way, and written back into the job devmode.
#pragma once

#include <msxml2.h>

#include <string>

#include "host/command_line.h"

// Exit status: 0 done, 1 a provider call (or the session) failed, 2 a wrong argument.
int RunTicketCommand(const HostOptions& options);

// Gives our feature `feature` of the ticket exactly the option `option` (both local names in the
// plug-in's namespace), adding the feature when the ticket has none, as an application does.
HRESULT SetTicketOption(IXMLDOMDocument2* ticket, const wchar_t* feature, const wchar_t* option);

// A PrintTicket changed as an application changes it, through the ticket's own DOM: the plug-in's
// features named with the prefix the ticket's root declares for its namespace (or one declared
// there), as orlinhost ticket --set and the tests change a job's ticket before the core validates it.
#pragma once

#include <msxml2.h>

// Gives our feature `feature` of the ticket exactly the option `option` (both local names in the
// plug-in's namespace), adding the feature when the ticket has none, as an application does.
HRESULT SetTicketOption(IXMLDOMDocument2* ticket, const wchar_t* feature, const wchar_t* option);

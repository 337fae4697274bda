// The provider's work on a document, once the provider has checked its arguments. Each works only
// on the document it is given and keeps nothing between calls.
#pragma once

#include "platform/print_ticket.h"
#include "settings/private_devmode.h"

// Each field whose value has an option: exactly one feature with exactly one option. A field
// without one (inkLevel -1, inkChannels 7) leaves its feature as the ticket has it, or absent.
// Nothing else in the ticket changes. E_INVALIDARG, with nothing changed, for a root that is not
// psf:PrintTicket; the same holds for the other three.
HRESULT WriteSettingsToTicket(const PrivateDevmode& settings, IXMLDOMDocument2* ticket);

// Each of our features that carries one known option writes its field into `settings`; any other
// field keeps its value.
HRESULT ReadSettingsFromTicket(IXMLDOMDocument2* ticket, PrivateDevmode* settings);

// Adds the five features, their options and display names (from `strings`' string table) to the
// capabilities; `ticket` (may be null) decides which options are constrained.
HRESULT AddCapabilities(IXMLDOMDocument2* ticket, IXMLDOMDocument2* capabilities, HMODULE strings);

// S_NO_CONFLICT when the ticket needed no change, S_CONFLICT_RESOLVED when it was changed, or the
// DOM's failure.
HRESULT ResolveConflicts(IXMLDOMDocument2* ticket);

#include "tickets/feature_nodes.h"
#include "tickets/ticket_operations.h"

HRESULT WriteSettingsToTicket(const PrivateDevmode& settings, IXMLDOMDocument2* ticket)
{
    // The features we write lose their second elements; the others stay exactly as they are.
    const TicketOption* options[TICKET_FEATURE_COUNT];
    FeatureSet written = NO_FEATURES;
    for (size_t i = 0; i < TICKET_FEATURE_COUNT; ++i) {
        const TicketFeature& feature = TICKET_FEATURES[i];
        options[i] = FindTicketOption(feature, settings.*feature.member);
        if (options[i] != nullptr) written |= 1u << i;
    }
    OpenedDocument opened(ticket);
    bool removed = false;
    HRESULT hr = opened.Open(L"PrintTicket", written, &removed);
    if (FAILED(hr)) return hr;

    for (size_t i = 0; i < TICKET_FEATURE_COUNT; ++i) {
        // A value the section accepts but no option names says nothing: what the ticket has stays.
        if (options[i] == nullptr) continue;
        IXMLDOMElement* existing = opened.found.first[i].Get();
        if (existing != nullptr) {
            bool changed = false;
            hr = opened.features.SetChoice(existing, TICKET_FEATURES[i], *options[i], &changed);
        } else {
            hr = opened.features.Append(TICKET_FEATURES[i], *options[i]);
        }
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

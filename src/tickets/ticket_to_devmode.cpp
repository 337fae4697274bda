#include "tickets/feature_nodes.h"
#include "tickets/ticket_operations.h"

HRESULT ReadSettingsFromTicket(IXMLDOMDocument2* ticket, PrivateDevmode* settings)
{
    OpenedDocument opened(ticket);
    bool removed = false;
    HRESULT hr = opened.Open(L"PrintTicket", NO_FEATURES, &removed);
    if (FAILED(hr)) return hr;

    for (size_t i = 0; i < TICKET_FEATURE_COUNT; ++i) {
        if (!opened.found.first[i]) continue;
        const TicketFeature& feature = TICKET_FEATURES[i];
        FeatureChoice choice;
        hr = opened.features.ReadChoice(opened.found.first[i].Get(), feature, &choice);
        if (FAILED(hr)) return hr;
        // Several options in one feature name no single setting: the field keeps its value, as
        // for an unknown option; validation gives such a feature its default.
        if (choice.optionCount == 1 && choice.first != nullptr) settings->*feature.member = choice.first->value;
    }
    return S_OK;
}

#include "tickets/feature_nodes.h"
#include "tickets/ticket_operations.h"

HRESULT ResolveConflicts(IXMLDOMDocument2* ticket)
{
    OpenedDocument opened(ticket);
    bool resolved = false;
    HRESULT hr = opened.Open(L"PrintTicket", ALL_FEATURES, &resolved);
    if (FAILED(hr)) return hr;
    FeatureNodes& features = opened.features;
    const FoundFeatures& found = opened.found;

    // The option each feature ends with; -1 where the ticket has no such feature.
    int32_t chosen[TICKET_FEATURE_COUNT];
    for (size_t i = 0; i < TICKET_FEATURE_COUNT; ++i) {
        chosen[i] = -1;
        if (!found.first[i]) continue;
        const TicketFeature& feature = TICKET_FEATURES[i];
        FeatureChoice choice;
        hr = features.ReadChoice(found.first[i].Get(), feature, &choice);
        if (FAILED(hr)) return hr;
        if (choice.optionCount == 1 && choice.first != nullptr) {
            chosen[i] = choice.first->value;
            continue;
        }
        bool changed = false;
        hr = features.SetChoice(found.first[i].Get(), feature, *FindTicketOption(feature, feature.defaultValue),
                                &changed);
        if (FAILED(hr)) return hr;
        resolved = resolved || changed;
        chosen[i] = feature.defaultValue;
    }

    if (found.first[TICKET_DROP_SIZE] && DropSizeExcluded(chosen[TICKET_PRINT_MODE], chosen[TICKET_DROP_SIZE])) {
        const TicketFeature& dropSize = TICKET_FEATURES[TICKET_DROP_SIZE];
        bool changed = false;
        hr = features.SetChoice(found.first[TICKET_DROP_SIZE].Get(), dropSize,
                                *FindTicketOption(dropSize, PHOTO_DROP_SIZE), &changed);
        if (FAILED(hr)) return hr;
        resolved = resolved || changed;
    }
    return resolved ? S_CONFLICT_RESOLVED : S_NO_CONFLICT;
}

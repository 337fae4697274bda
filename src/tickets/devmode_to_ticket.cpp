#include "tickets/feature_nodes.h"
#include "tickets/ticket_operations.h"

HRESULT WriteSettingsToTicket(const PrivateDevmode& settings, IXMLDOMDocument2* ticket)
{
    SchemaDocument document(ticket);
    HRESULT hr = document.Open();
    if (FAILED(hr)) return hr;
    FeatureNodes features(document);
    FoundFeatures found;
    bool removed = false;
    hr = features.Find(Duplicates::Remove, &found, &removed);
    if (FAILED(hr)) return hr;

    for (size_t i = 0; i < TICKET_FEATURE_COUNT; ++i) {
        const TicketFeature& feature = TICKET_FEATURES[i];
        const TicketOption* option = FindTicketOption(feature, settings.*feature.member);
        IXMLDOMElement* existing = found.first[i].Get();
        if (option == nullptr) {
            // A value the section accepts but no option names: the ticket says nothing about it.
            if (existing != nullptr) hr = features.RemoveFromRoot(existing);
        } else if (existing != nullptr) {
            bool changed = false;
            hr = features.SetChoice(existing, feature, *option, &changed);
        } else {
            hr = features.Append(feature, *option);
        }
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

// Our five features as elements of a ticket or capabilities document: found among the root's
// children only (a feature deeper down is not ours), named in our namespace whatever prefix the
// document gives it. The first feature of a name counts, in conversions and validation alike.
#pragma once

#include "settings/ticket_features.h"
#include "tickets/schema_document.h"

// The first psf:Feature of each of our names, in TICKET_FEATURES order; empty where there is none.
struct FoundFeatures {
    ComPtr<IXMLDOMElement> first[TICKET_FEATURE_COUNT];
};

// A set of our features, one bit per TICKET_FEATURES entry.
using FeatureSet = unsigned;
inline constexpr FeatureSet NO_FEATURES = 0;
inline constexpr FeatureSet ALL_FEATURES = (1u << TICKET_FEATURE_COUNT) - 1;

// What a feature element carries: its psf:Option children (counted up to 2, which is enough to
// tell one from several) and the table entry of the first one, null when that names none of ours.
struct FeatureChoice {
    unsigned optionCount;
    const TicketOption* first;
};

class FeatureNodes {
public:
    explicit FeatureNodes(SchemaDocument& document) : document_(document) {}
    FeatureNodes(const FeatureNodes&) = delete;
    FeatureNodes& operator=(const FeatureNodes&) = delete;

    // Finds our features; a second one of a name in `deduplicate` leaves the document, and
    // `*removed` says whether any did.
    HRESULT Find(FeatureSet deduplicate, FoundFeatures* found, bool* removed);

    HRESULT ReadChoice(IXMLDOMElement* feature, const TicketFeature& which, FeatureChoice* choice);

    // Leaves `feature` with exactly one psf:Option, `option`; `*changed` says whether it had to
    // change. Other children (properties) stay.
    HRESULT SetChoice(IXMLDOMElement* feature, const TicketFeature& which, const TicketOption& option, bool* changed);

    // A new psf:Feature named for `which`, with no children, not yet in the tree.
    HRESULT CreateFeature(const TicketFeature& which, ComPtr<IXMLDOMElement>* feature);
    // A new psf:Option named for `option` with `prefix`, not yet in the tree.
    HRESULT CreateOption(const TicketOption& option, const Bstr& prefix, ComPtr<IXMLDOMElement>* element);

    // Appends `which` with `option` to the root.
    HRESULT Append(const TicketFeature& which, const TicketOption& option);
    HRESULT RemoveFromRoot(IXMLDOMElement* feature);

    // Our namespace's prefix on the root; declared there on the first call that needs it.
    HRESULT OurPrefix(const Bstr** prefix);

private:
    SchemaDocument& document_;
    Bstr prefix_;  // ours as the root declares it; declared on the first write that needs it
    bool prefixKnown_ = false;
};

// What every operation on a document starts with: its root checked, then our features found.
struct OpenedDocument {
    explicit OpenedDocument(IXMLDOMDocument2* dom) : document(dom), features(document) {}

    // `rootName` is the psf root the operation works on; see FeatureNodes::Find for the rest.
    HRESULT Open(const wchar_t* rootName, FeatureSet deduplicate, bool* removed);

    SchemaDocument document;
    FeatureNodes features;
    FoundFeatures found;
};

// Appends `child` to `parent`.
HRESULT AppendChild(IXMLDOMNode* parent, IXMLDOMNode* child);

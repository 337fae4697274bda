// The job settings as PrintTicket features: the names applications, scripts and print servers see
// for the five settings of the private section. Ticket code, the host's scenario language and its
// devmode report all read this one table. Portable: no platform headers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "resources/resource_ids.h"
#include "settings/private_devmode.h"

// Namespace URI of every feature and option name below.
inline constexpr wchar_t ORLIN_TICKET_NAMESPACE[] = L"http://schemas.vantrel.com/printing/2026/orlin";

struct TicketOption {
    const wchar_t* name;   // local name in ORLIN_TICKET_NAMESPACE
    int32_t value;         // the field's value for this option
    unsigned displayName;  // string-table id of the name shown to users
};

struct TicketFeature {
    const wchar_t* field;             // the section's field, as reports and scenarios spell it
    int32_t PrivateDevmode::*member;  // that field
    const wchar_t* name;              // local name in ORLIN_TICKET_NAMESPACE
    unsigned displayName;             // string-table id
    const TicketOption* options;      // in value order
    size_t optionCount;
    int32_t defaultValue;  // what a ticket naming no usable option resolves to
};

constexpr size_t TICKET_FEATURE_COUNT = 5;

// PrintMode, InkDropSize, BidirectionalPrinting, InkLevel, InkChannels, in that order.
extern const TicketFeature TICKET_FEATURES[TICKET_FEATURE_COUNT];

// Index of each feature in TICKET_FEATURES, for the rules that tie two features together.
enum TicketFeatureIndex : size_t {
    TICKET_PRINT_MODE = 0,
    TICKET_DROP_SIZE = 1,
    TICKET_BIDIRECTIONAL = 2,
    TICKET_INK_LEVEL = 3,
    TICKET_INK_CHANNELS = 4,
};

// The option of a field value; null for a value that has none (inkLevel -1, inkChannels 7).
const TicketOption* FindTicketOption(const TicketFeature& feature, int32_t value);

// The option of a local name of `length` characters; null when the feature has no such option.
const TicketOption* FindTicketOptionByName(const TicketFeature& feature, const wchar_t* name, size_t length);

// The feature of a local name of `length` characters; null when it is not one of ours.
const TicketFeature* FindTicketFeature(const wchar_t* name, size_t length);

// Photo prints with light drops, as the Ink Level page shows it: Heavy and Medium do not go with it.
constexpr int32_t PHOTO_DROP_SIZE = DROP_SIZE_LIGHT;
constexpr bool DropSizeExcluded(int32_t printMode, int32_t dropSize)
{
    return printMode == PRINT_MODE_PHOTO && dropSize != PHOTO_DROP_SIZE;
}

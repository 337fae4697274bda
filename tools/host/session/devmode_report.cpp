#include "host/session/devmode_report.h"

#include <cwchar>

#include "settings/ticket_features.h"

namespace {

// The fields after the header in the order of the section's bytes; the job settings among them are
// named and explained by the features table.
int32_t PrivateDevmode::*const FieldsInByteOrder[] = {
    &PrivateDevmode::inkLevel,      &PrivateDevmode::spareFlag,   &PrivateDevmode::dropSize,
    &PrivateDevmode::bidirectional, &PrivateDevmode::inkChannels, &PrivateDevmode::offsetValue,
    &PrivateDevmode::printMode,
};

const TicketFeature* FeatureOf(int32_t PrivateDevmode::*member)
{
    for (const TicketFeature& feature : TICKET_FEATURES)
        if (feature.member == member) return &feature;
    return nullptr;
}

std::wstring Line(const wchar_t* name, int32_t value, const std::wstring& meaning)
{
    wchar_t text[128];
    swprintf(text, sizeof(text) / sizeof(text[0]), L"  %-13ls %d%ls\n", name, static_cast<int>(value),
             meaning.empty() ? L"" : (L" (" + meaning + L")").c_str());
    return text;
}

}  // namespace

std::wstring DescribePrivateDevmode(const PrivateDevmode& s)
{
    wchar_t header[160];
    swprintf(header, sizeof(header) / sizeof(header[0]),
             L"  dwSize        %u\n  dwSignature   0x%08X (%ls)\n  dwVersion     %u\n", s.dwSize, s.dwSignature,
             s.dwSignature == PRIVATE_DEVMODE_SIGNATURE ? L"TFSM" : L"foreign", s.dwVersion);
    std::wstring text = header;
    for (int32_t PrivateDevmode::*member : FieldsInByteOrder) {
        const int32_t value = s.*member;
        if (const TicketFeature* feature = FeatureOf(member)) {
            const TicketOption* option = FindTicketOption(*feature, value);
            text += Line(feature->field, value, option != nullptr ? option->name : L"no ticket option");
        } else if (member == &PrivateDevmode::offsetValue) {
            text += Line(L"offsetValue", value, std::to_wstring(value) + L"/8");
        } else {
            text += Line(L"spareFlag", value, L"");
        }
    }
    return text;
}

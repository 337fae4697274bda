#include "settings/ticket_features.h"

#include <cwchar>

namespace {

const TicketOption PrintModeOptions[] = {
    {L"Vivid", PRINT_MODE_VIVID, IDS_OPTION_VIVID},
    {L"Standard", PRINT_MODE_STANDARD, IDS_OPTION_STANDARD},
    {L"Photo", PRINT_MODE_PHOTO, IDS_OPTION_PHOTO},
};

const TicketOption DropSizeOptions[] = {
    {L"Heavy", DROP_SIZE_HEAVY, IDS_OPTION_HEAVY},
    {L"Medium", DROP_SIZE_MEDIUM, IDS_OPTION_MEDIUM},
    {L"Light", DROP_SIZE_LIGHT, IDS_OPTION_LIGHT},
};

const TicketOption BidirectionalOptions[] = {
    {L"Off", 0, IDS_OPTION_OFF},
    {L"On", 1, IDS_OPTION_ON},
};

const TicketOption InkLevelOptions[] = {
    {L"Level1", 0, IDS_OPTION_LEVEL_1}, {L"Level2", 1, IDS_OPTION_LEVEL_2}, {L"Level3", 2, IDS_OPTION_LEVEL_3},
    {L"Level4", 3, IDS_OPTION_LEVEL_4}, {L"Level5", 4, IDS_OPTION_LEVEL_5},
};

const TicketOption InkChannelsOptions[] = {
    {L"Full8Channels", INK_CHANNELS_FULL_8, IDS_FULL_8_CHANNELS},
    {L"Front4ChannelsOnly", INK_CHANNELS_FRONT_4, IDS_FRONT_4_CHANNELS},
    {L"Back4ChannelsOnly", INK_CHANNELS_BACK_4, IDS_BACK_4_CHANNELS},
};

template <size_t N>
constexpr size_t Count(const TicketOption (&)[N])
{
    return N;
}

// A name of `length` characters equal to the whole of `known`.
bool SameName(const wchar_t* name, size_t length, const wchar_t* known)
{
    return std::wcslen(known) == length && std::wmemcmp(name, known, length) == 0;
}

}  // namespace

const TicketFeature TICKET_FEATURES[TICKET_FEATURE_COUNT] = {
    {L"printMode", &PrivateDevmode::printMode, L"PrintMode", IDS_FEATURE_PRINT_MODE, PrintModeOptions,
     Count(PrintModeOptions), PRINT_MODE_STANDARD},
    {L"dropSize", &PrivateDevmode::dropSize, L"InkDropSize", IDS_FEATURE_INK_DROP_SIZE, DropSizeOptions,
     Count(DropSizeOptions), DROP_SIZE_HEAVY},
    {L"bidirectional", &PrivateDevmode::bidirectional, L"BidirectionalPrinting", IDS_FEATURE_BIDIRECTIONAL,
     BidirectionalOptions, Count(BidirectionalOptions), 1},
    {L"inkLevel", &PrivateDevmode::inkLevel, L"InkLevel", IDS_FEATURE_INK_LEVEL, InkLevelOptions,
     Count(InkLevelOptions), 0},
    {L"inkChannels", &PrivateDevmode::inkChannels, L"InkChannels", IDS_FEATURE_INK_CHANNELS, InkChannelsOptions,
     Count(InkChannelsOptions), INK_CHANNELS_FULL_8},
};

const TicketOption* FindTicketOption(const TicketFeature& feature, int32_t value)
{
    for (size_t i = 0; i < feature.optionCount; ++i) {
        if (feature.options[i].value == value) return &feature.options[i];
    }
    return nullptr;
}

const TicketOption* FindTicketOptionByName(const TicketFeature& feature, const wchar_t* name, size_t length)
{
    if (name == nullptr) return nullptr;
    for (size_t i = 0; i < feature.optionCount; ++i) {
        if (SameName(name, length, feature.options[i].name)) return &feature.options[i];
    }
    return nullptr;
}

const TicketFeature* FindTicketFeature(const wchar_t* name, size_t length)
{
    if (name == nullptr) return nullptr;
    for (const TicketFeature& feature : TICKET_FEATURES) {
        if (SameName(name, length, feature.name)) return &feature;
    }
    return nullptr;
}

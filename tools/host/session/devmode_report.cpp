#include "host/session/devmode_report.h"

#include <cwchar>
#include <initializer_list>

namespace {

const wchar_t* Choice(int32_t value, std::initializer_list<const wchar_t*> names)
{
    if (value < 0 || static_cast<size_t>(value) >= names.size()) return L"out of range";
    return names.begin()[value];
}

}  // namespace

std::wstring DescribePrivateDevmode(const PrivateDevmode& s)
{
    wchar_t text[1024];
    const wchar_t* signatureOk = s.dwSignature == PRIVATE_DEVMODE_SIGNATURE ? L"TFSM" : L"foreign";
    swprintf(text, sizeof(text) / sizeof(text[0]),
             L"  dwSize        %u\n"
             L"  dwSignature   0x%08X (%ls)\n"
             L"  dwVersion     %u\n"
             L"  inkLevel      %d (%ls)\n"
             L"  spareFlag     %d\n"
             L"  dropSize      %d (%ls)\n"
             L"  bidirectional %d (%ls)\n"
             L"  inkChannels   %d (%ls)\n"
             L"  offsetValue   %d (%d/8)\n"
             L"  printMode     %d (%ls)\n",
             s.dwSize, s.dwSignature, signatureOk, s.dwVersion, s.inkLevel,
             Choice(s.inkLevel, {L"1", L"2", L"3", L"4", L"5"}), s.spareFlag, s.dropSize,
             Choice(s.dropSize, {L"Heavy", L"Medium", L"Light"}), s.bidirectional, s.bidirectional ? L"on" : L"off",
             s.inkChannels,
             Choice(s.inkChannels, {L"Full 8 Channels", L"Front 4 Channels Only", L"Back 4 Channels Only"}),
             s.offsetValue, s.offsetValue, s.printMode, Choice(s.printMode, {L"Vivid", L"Standard", L"Photo"}));
    return text;
}

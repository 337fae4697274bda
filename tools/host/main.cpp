// orlinhost: the driver-host emulator. Loads orlinui.dll as the driver's UI core does.
#include <cstdio>
#include <cwchar>

#include "host/info_command.h"

namespace {

int Usage()
{
    fwprintf(stderr, L"usage: orlinhost info [path-to-orlinui.dll]\n");
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) return Usage();
    if (wcscmp(argv[1], L"info") == 0) return RunInfoCommand(argc > 2 ? argv[2] : nullptr);
    return Usage();
}

#include "host/session/info_command.h"

#include <cstdio>

#include "emulation/loaded_plugin.h"
#include "host/session/devmode_report.h"
#include "host/session/host_session.h"

namespace {

HRESULT PrintColourProfile(IPrintOemUI* plugin, PrivateDevmode* section)
{
    wchar_t profile[16] = {};
    ULONG profileSize = sizeof(profile);
    FLONG profileFlags = 0;
    const HRESULT hr = plugin->QueryColorProfile(nullptr, nullptr, nullptr, section, QCP_DEVICEPROFILE, profile,
                                                 &profileSize, &profileFlags);
    if (FAILED(hr)) {
        fwprintf(stderr, L"orlinhost: QueryColorProfile failed (0x%08lX)\n", static_cast<unsigned long>(hr));
        return hr;
    }
    wprintf(L"Colour profile \"%ls\" (%lu bytes, %ls)\n", profile, static_cast<unsigned long>(profileSize),
            profileFlags == QCP_PROFILEDISK ? L"file name" : L"profile data");
    return hr;
}

}  // namespace

int RunInfoCommand(const wchar_t* dllPath)
{
    const std::wstring path = PluginPath(dllPath != nullptr ? dllPath : L"");
    wprintf(L"Plug-in %ls (%d-bit host), started as the driver's core starts it, without a printer:\n", path.c_str(),
            static_cast<int>(sizeof(void*) * 8));
    HostSession session;
    std::wstring error;
    if (!session.Open(path, nullptr, stdout, &error)) {
        fwprintf(stderr, L"orlinhost: %ls\n", error.c_str());
        return 1;
    }
    wprintf(L"Defaults (no printer, so the Offset is the default):\n%ls",
            DescribePrivateDevmode(*session.privateSection()).c_str());
    if (FAILED(PrintColourProfile(session.plugin(), session.privateSection()))) return 1;

    const ULONG left = session.ReleasePlugin();
    wprintf(L"Plug-in object released (Release answered %lu), driver helper references back to %ld\n", left,
            session.helperReferences());
    auto canUnload = reinterpret_cast<DllCanUnloadNowFn>(
        reinterpret_cast<void*>(GetProcAddress(session.module(), "DllCanUnloadNow")));
    wprintf(L"DllCanUnloadNow %ls\n", canUnload != nullptr && canUnload() == S_OK ? L"S_OK" : L"S_FALSE");
    return 0;
}

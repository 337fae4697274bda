#include "host/session/info_command.h"

#include <cstdio>

#include "emulation/driver_helper.h"
#include "emulation/loaded_plugin.h"
#include "host/session/devmode_report.h"

namespace {

// Releases an interface pointer on every path out of the report.
struct PluginReference {
    IPrintOemUI* plugin = nullptr;
    ~PluginReference()
    {
        if (plugin != nullptr) plugin->Release();
    }
};

int Fail(const wchar_t* step, HRESULT hr)
{
    fwprintf(stderr, L"orlinhost: %ls failed (0x%08lX)\n", step, static_cast<unsigned long>(hr));
    return 1;
}

}  // namespace

int RunInfoCommand(const wchar_t* dllPath)
{
    const std::wstring path = PluginPath(dllPath != nullptr ? dllPath : L"");
    LoadedModule module(path.c_str());
    if (module.get() == nullptr) {
        fwprintf(stderr, L"orlinhost: cannot load %ls (error %lu)\n", path.c_str(), GetLastError());
        return 1;
    }
    wprintf(L"Plug-in        %ls (%d-bit host)\n", path.c_str(), static_cast<int>(sizeof(void*) * 8));

    PluginReference ref;
    HRESULT hr = CreatePluginObject(module, &ref.plugin);
    if (FAILED(hr)) return Fail(L"creating the plug-in object", hr);
    IPrintOemUI* plugin = ref.plugin;

    DriverHelperStandIn helper;
    hr = plugin->PublishDriverInterface(&helper);
    wprintf(L"Driver helper  %ls\n", SUCCEEDED(hr) ? L"accepted" : L"refused");

    DWORD signature = 0, version = 0, needed = 0;
    hr = plugin->GetInfo(OEMGI_GETSIGNATURE, &signature, sizeof(signature), &needed);
    if (FAILED(hr)) return Fail(L"GetInfo(signature)", hr);
    const char* sig = reinterpret_cast<const char*>(&signature);
    wprintf(L"Signature      0x%08lX \"%c%c%c%c\"\n", static_cast<unsigned long>(signature), sig[0], sig[1], sig[2],
            sig[3]);
    hr = plugin->GetInfo(OEMGI_GETVERSION, &version, sizeof(version), &needed);
    if (FAILED(hr)) return Fail(L"GetInfo(version)", hr);
    wprintf(L"Version        %lu\n", static_cast<unsigned long>(version));

    OEMDMPARAM param = {};
    param.cbSize = sizeof(param);
    param.hModule = module.get();
    hr = plugin->DevMode(OEMDM_SIZE, &param);
    if (FAILED(hr)) return Fail(L"DevMode(size)", hr);
    wprintf(L"Private devmode %lu bytes\n", static_cast<unsigned long>(param.cbBufSize));

    PrivateDevmode defaults = {};
    param.pOEMDMOut = &defaults;
    param.cbBufSize = sizeof(defaults);
    hr = plugin->DevMode(OEMDM_DEFAULT, &param);
    if (FAILED(hr)) return Fail(L"DevMode(defaults)", hr);
    wprintf(L"Defaults (no printer, so the Offset is the default):\n%ls", DescribePrivateDevmode(defaults).c_str());

    wchar_t profile[16] = {};
    ULONG profileSize = sizeof(profile);
    FLONG profileFlags = 0;
    hr = plugin->QueryColorProfile(nullptr, nullptr, nullptr, &defaults, QCP_DEVICEPROFILE, profile, &profileSize,
                                   &profileFlags);
    if (FAILED(hr)) return Fail(L"QueryColorProfile", hr);
    wprintf(L"Colour profile \"%ls\" (%lu bytes, %ls)\n", profile, static_cast<unsigned long>(profileSize),
            profileFlags == QCP_PROFILEDISK ? L"file name" : L"profile data");

    ref.plugin->Release();
    ref.plugin = nullptr;
    wprintf(L"Driver helper references after release: %ld\n", helper.references());
    auto canUnload = reinterpret_cast<DllCanUnloadNowFn>(module.proc("DllCanUnloadNow"));
    wprintf(L"DllCanUnloadNow %ls\n", canUnload != nullptr && canUnload() == S_OK ? L"S_OK" : L"S_FALSE");
    return 0;
}

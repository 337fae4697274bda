#include "host/session/host_session.h"

#include "host/session/devmode_report.h"

namespace {

std::wstring Hex(HRESULT hr)
{
    wchar_t text[16];
    swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

}  // namespace

HostSession::~HostSession()
{
    ReleasePlugin();
}

ULONG HostSession::ReleasePlugin()
{
    if (plugin_ == nullptr) return 0;
    const ULONG count = plugin_->Release();
    plugin_ = nullptr;
    return count;
}

bool HostSession::Open(const std::wstring& dllPath, const wchar_t* printerName, FILE* log, std::wstring* error)
{
    module_ = std::make_unique<LoadedModule>(dllPath.c_str());
    if (module_->get() == nullptr) {
        *error = L"cannot load " + dllPath + L" (error " + std::to_wstring(GetLastError()) + L")";
        return false;
    }
    HRESULT hr = CreatePluginObject(*module_, &plugin_);
    if (FAILED(hr)) {
        *error = L"creating the plug-in object failed (" + Hex(hr) + L")";
        return false;
    }
    fwprintf(log, L"  loaded %ls through DllGetClassObject, IPrintOemUI object created\n", dllPath.c_str());

    hr = plugin_->PublishDriverInterface(&helper_);
    fwprintf(log, L"  PublishDriverInterface: %ls\n", SUCCEEDED(hr) ? L"accepted" : L"refused");
    if (FAILED(hr)) {
        *error = L"the plug-in refused the driver helper interface";
        return false;
    }

    DWORD needed = 0;
    if (FAILED(plugin_->GetInfo(OEMGI_GETSIGNATURE, &signature_, sizeof(signature_), &needed)) ||
        FAILED(plugin_->GetInfo(OEMGI_GETVERSION, &version_, sizeof(version_), &needed))) {
        *error = L"GetInfo failed";
        return false;
    }
    const char* sig = reinterpret_cast<const char*>(&signature_);
    fwprintf(log, L"  GetInfo: signature \"%c%c%c%c\", version %lu\n", sig[0], sig[1], sig[2], sig[3],
             static_cast<unsigned long>(version_));

    DriverCoreSetup setup;
    setup.pluginModule = module_->get();
    setup.printer = printerName != nullptr ? CorePrinter::Spooler : CorePrinter::None;
    setup.printerName = printerName != nullptr ? printerName : L"";
    core_ = std::make_unique<DriverCoreStandIn>(plugin_, setup);
    if (!core_->error().empty()) {
        *error = core_->error();
        return false;
    }
    if (printerName != nullptr) fwprintf(log, L"  printer \"%ls\" opened\n", printerName);
    // The core sized the private section and asked for its defaults: the job starts from them.
    fwprintf(log, L"  DevMode: private section of %lu bytes, the job devmode starts from its defaults\n",
             static_cast<unsigned long>(core_->privateSize()));
    return true;
}

bool HostSession::MergeIntoDefaults(FILE* log, std::wstring* error)
{
    // As for DocumentProperties with the job's devmode as input.
    if (!core_->MergeIntoDefaults(core_->privateSection(), error)) return false;
    fwprintf(log, L"  DevMode: defaults, with the job's private section merged into them\n");
    return true;
}

long HostSession::StoredOffset() const
{
    if (core_ == nullptr || core_->printer() == nullptr) return -1;
    DWORD type = 0, value = 0, needed = 0;
    const DWORD status = GetPrinterDataW(core_->printer(), const_cast<LPWSTR>(L"OEMUI_VALUE"), &type,
                                         reinterpret_cast<LPBYTE>(&value), sizeof(value), &needed);
    if (status != ERROR_SUCCESS || needed != sizeof(value)) return -1;
    return static_cast<long>(value);
}

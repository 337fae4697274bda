#include "host/session/host_session.h"

#include <cstring>

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
    if (printer_ != nullptr) ClosePrinter(printer_);
    // Everything the plug-in allocated for its items and pages goes with the heap, as in the driver.
    if (heap_ != nullptr) HeapDestroy(heap_);
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

    if (printerName != nullptr) {
        printerName_ = printerName;
        PRINTER_DEFAULTSW access = {nullptr, nullptr, PRINTER_ALL_ACCESS};
        if (!OpenPrinterW(const_cast<LPWSTR>(printerName), &printer_, &access) &&
            !OpenPrinterW(const_cast<LPWSTR>(printerName), &printer_, nullptr)) {
            *error =
                L"cannot open the printer \"" + printerName_ + L"\" (error " + std::to_wstring(GetLastError()) + L")";
            return false;
        }
        fwprintf(log, L"  printer \"%ls\" opened\n", printerName);
    }
    heap_ = HeapCreate(0, 0, 0);
    if (heap_ == nullptr) {
        *error = L"cannot create the plug-in heap";
        return false;
    }
    uiObject_.cbSize = sizeof(uiObject_);

    // The core sizes the private section and asks for its defaults: the job starts from them.
    if (!job_.Create(plugin_, module_->get(), printer_, printerName_, error)) return false;
    fwprintf(log, L"  DevMode: private section of %lu bytes, the job devmode starts from its defaults\n",
             static_cast<unsigned long>(job_.privateSize()));
    return true;
}

bool HostSession::MergeIntoDefaults(FILE* log, std::wstring* error)
{
    // As for DocumentProperties with the job's devmode as input: fresh defaults, with the job's
    // section merged into them; the sheet then edits the result.
    std::vector<BYTE> merged(job_.privateSize(), 0);
    if (!job_.Defaults(merged.data(), error)) return false;
    OEMDMPARAM param = job_.Param();
    param.pPublicDMOut = publicDevmode();
    param.pOEMDMIn = privateSection();
    param.pOEMDMOut = merged.data();
    if (FAILED(plugin_->DevMode(OEMDM_MERGE, &param))) {
        *error = L"DevMode(OEMDM_MERGE) failed";
        return false;
    }
    memcpy(privateSection(), merged.data(), job_.privateSize());
    fwprintf(log, L"  DevMode: defaults, with the job's private section merged into them\n");
    return true;
}

long HostSession::StoredOffset() const
{
    if (printer_ == nullptr) return -1;
    DWORD type = 0, value = 0, needed = 0;
    const DWORD status = GetPrinterDataW(printer_, const_cast<LPWSTR>(L"OEMUI_VALUE"), &type,
                                         reinterpret_cast<LPBYTE>(&value), sizeof(value), &needed);
    if (status != ERROR_SUCCESS || needed != sizeof(value)) return -1;
    return static_cast<long>(value);
}

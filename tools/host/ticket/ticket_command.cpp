#include "host/ticket/ticket_command.h"

#include <cstdio>
#include <vector>

#include "emulation/loaded_plugin.h"
#include "emulation/print_ticket_core.h"
#include "emulation/ticket_application.h"
#include "host/session/devmode_report.h"
#include "host/session/host_session.h"
#include "host/ticket/indented_xml.h"
#include "settings/ticket_features.h"

namespace {

struct Setting {
    const TicketFeature* feature;
    const TicketOption* option;
};

// COM for the command's thread, ended after every object the command made is gone.
struct ComApartment {
    HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ~ComApartment()
    {
        if (SUCCEEDED(hr)) CoUninitialize();
    }
};

std::wstring Hex(HRESULT hr)
{
    wchar_t text[16];
    swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

std::wstring ResultName(HRESULT hr)
{
    static const struct {
        HRESULT hr;
        const wchar_t* name;
    } Names[] = {{S_OK, L"S_OK"},
                 {S_NO_CONFLICT, L"S_NO_CONFLICT"},
                 {S_CONFLICT_RESOLVED, L"S_CONFLICT_RESOLVED"},
                 {E_NOTIMPL, L"E_NOTIMPL"},
                 {E_INVALIDARG, L"E_INVALIDARG"},
                 {E_POINTER, L"E_POINTER"},
                 {E_VERSION_NOT_SUPPORTED, L"E_VERSION_NOT_SUPPORTED"}};
    for (const auto& row : Names)
        if (row.hr == hr) return row.name;
    return Hex(hr);
}

// Feature=Option, each named as in the features table. False with the reason for anything else.
bool ParseSetting(const std::wstring& text, Setting* setting, std::wstring* why)
{
    const size_t equals = text.find(L'=');
    const std::wstring feature = text.substr(0, equals);
    setting->feature = equals == std::wstring::npos ? nullptr : FindTicketFeature(feature.c_str(), feature.size());
    if (setting->feature == nullptr) {
        *why = L"--set " + text + L": not Feature=Option with one of the features";
        for (const TicketFeature& known : TICKET_FEATURES) *why += std::wstring(L" ") + known.name;
        return false;
    }
    const std::wstring option = text.substr(equals + 1);
    setting->option = FindTicketOptionByName(*setting->feature, option.c_str(), option.size());
    if (setting->option == nullptr) {
        *why = L"--set " + text + L": " + setting->feature->name + L" has the options";
        for (size_t i = 0; i < setting->feature->optionCount; ++i)
            *why += std::wstring(L" ") + setting->feature->options[i].name;
        return false;
    }
    return true;
}

void PrintDocument(const wchar_t* title, IXMLDOMDocument* document)
{
    wprintf(L"%ls\n%ls", title, IndentedXml(document).c_str());
}

int ProviderFailed(const PrintTicketCore& core, HRESULT hr)
{
    fflush(stdout);
    fwprintf(stderr, L"orlinhost ticket: %ls gave %ls\n", core.failedCall(), ResultName(hr).c_str());
    return 1;
}

}  // namespace

namespace {

// The settings asked for, each as the features table names it, and the printer to open: 0, or the
// exit code 2 once the reason is on standard error.
int CheckArguments(const HostOptions& options, std::vector<Setting>* settings)
{
    if (options.printer.empty()) {
        fwprintf(stderr, L"orlinhost: ticket needs --printer NAME\n");
        return 2;
    }
    for (const std::wstring& text : options.settings) {
        Setting setting;
        std::wstring why;
        if (!ParseSetting(text, &setting, &why)) {
            fwprintf(stderr, L"orlinhost: %ls\n", why.c_str());
            return 2;
        }
        settings->push_back(setting);
    }
    HANDLE probe = nullptr;
    if (!OpenPrinterW(const_cast<LPWSTR>(options.printer.c_str()), &probe, nullptr)) {
        fwprintf(stderr, L"orlinhost: there is no printer \"%ls\" (error %lu)\n", options.printer.c_str(),
                 GetLastError());
        return 2;
    }
    ClosePrinter(probe);
    return 0;
}

// The core's opening calls, reported, then the capabilities and the job's ticket.
HRESULT OpenAndPrint(PrintTicketCore& core, ComPtr<IXMLDOMDocument2>* ticket)
{
    HRESULT hr = core.Open();
    if (FAILED(hr)) return hr;
    std::wstring versions, namespaces;
    for (INT version : core.versions()) versions += L" " + std::to_wstring(version);
    for (const std::wstring& uri : core.namespaces()) namespaces += L" " + uri;
    wprintf(L"  GetSupportedVersions:%ls\n", versions.c_str());
    wprintf(L"  BindPrinter(1): %ls, namespace(s)%ls\n",
            core.bindOptions() == OEMPT_DEFAULT ? L"OEMPT_DEFAULT (the private devmode travels as a snapshot)"
                                                : L"OEMPT_NOSNAPSHOT",
            namespaces.c_str());
    wprintf(L"  QueryDeviceDefaultNamespace: %ls\n", ResultName(core.defaultNamespaceResult()).c_str());
    ComPtr<IXMLDOMDocument2> capabilities;
    hr = core.JobTicket(ticket);
    if (SUCCEEDED(hr)) hr = core.Capabilities(ticket->Get(), &capabilities);
    if (FAILED(hr)) return hr;
    PrintDocument(L"PrintCapabilities:", capabilities.Get());
    PrintDocument(L"PrintTicket of the job:", ticket->Get());
    return S_OK;
}

// The settings set as an application sets them, then validated the core's way and written into the
// job devmode. The command's exit code.
int ApplySettings(PrintTicketCore& core, IXMLDOMDocument2* ticket, const std::vector<Setting>& settings,
                  HostSession& session)
{
    std::wstring changes;
    for (const Setting& setting : settings) {
        const HRESULT hr = SetTicketOption(ticket, setting.feature->name, setting.option->name);
        if (FAILED(hr)) {
            fwprintf(stderr, L"orlinhost: the ticket could not be changed (%ls)\n", Hex(hr).c_str());
            return 1;
        }
        changes += std::wstring(changes.empty() ? L"" : L", ") + setting.feature->name + L"=" + setting.option->name;
    }
    wprintf(L"Set %ls; validated (ExpandIntentOptions, ticket to devmode, devmode to ticket, ValidatePrintTicket):\n",
            changes.c_str());
    HRESULT hr = core.Validate(ticket);
    if (hr != S_NO_CONFLICT && hr != S_CONFLICT_RESOLVED) return ProviderFailed(core, hr);
    wprintf(L"  ValidatePrintTicket: %ls\n", ResultName(hr).c_str());
    PrintDocument(L"PrintTicket, validated:", ticket);
    hr = core.ToJobDevmode(ticket);
    if (FAILED(hr)) return ProviderFailed(core, hr);
    wprintf(L"Private devmode of the job, from the ticket:\n%ls",
            DescribePrivateDevmode(*session.privateSection()).c_str());
    return 0;
}

}  // namespace

int RunTicketCommand(const HostOptions& options)
{
    std::vector<Setting> settings;
    if (const int refused = CheckArguments(options, &settings)) return refused;
    const ComApartment apartment;
    if (FAILED(apartment.hr)) {
        fwprintf(stderr, L"orlinhost: COM could not be started (%ls)\n", Hex(apartment.hr).c_str());
        return 1;
    }
    wprintf(L"PrintTicket of \"%ls\" (%d-bit host):\n", options.printer.c_str(), static_cast<int>(sizeof(void*) * 8));
    HostSession session;
    if (!OpenCommandSession(options, &session)) return 1;
    PrintTicketCore core(session.core());
    ComPtr<IXMLDOMDocument2> ticket;
    const HRESULT hr = OpenAndPrint(core, &ticket);
    if (FAILED(hr)) return ProviderFailed(core, hr);
    return settings.empty() ? 0 : ApplySettings(core, ticket.Get(), settings, session);
}

// What the plug-in's PrintTicket provider costs a print path, call by call, against the least any
// XML work on the same ticket costs: MSXML's own loadXML of it. All measured side by side in one
// run on Wine's MSXML 6 and the shipping DLL. Not a test: it reports figures.
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "benchmark_clock.h"
#include "emulation/loaded_plugin.h"
#include "platform/com_handles.h"
#include "settings/ticket_features.h"
#include "tickets/schema_document.h"

namespace {

constexpr int CALLS = 200;
constexpr int ROUNDS = 5;

// Microseconds per call, best of ROUNDS batches of CALLS; the measurements take turns within each
// round so that the machine's drift reaches all of them alike. False when a call failed.
bool SideBySide(const std::vector<std::function<bool()>>& calls, std::vector<double>* best)
{
    best->assign(calls.size(), 0);
    for (int round = 0; round < ROUNDS; ++round) {
        for (size_t i = 0; i < calls.size(); ++i) {
            const double start = Seconds();
            for (int n = 0; n < CALLS; ++n) {
                if (!calls[i]()) return false;
            }
            const double us = (Seconds() - start) * 1e6 / CALLS;
            if (round == 0 || us < (*best)[i]) (*best)[i] = us;
        }
    }
    return true;
}

// A public feature of the kind the core writes for every job.
std::wstring Public(const wchar_t* feature, const wchar_t* option)
{
    return std::wstring(L"<psf:Feature name=\"psk:") + feature + L"\"><psf:Option name=\"psk:" + option +
           L"\"/></psf:Feature>";
}

// A job's ticket as the core hands it over: the core's public features, and ours when `ours`.
std::wstring Ticket(bool ours, const wchar_t* root = L"PrintTicket")
{
    std::wstring xml = std::wstring(L"<psf:") + root + L" version=\"1\" xmlns:psf=\"" + PSF_NAMESPACE +
                       L"\" xmlns:psk=\"" + PSK_NAMESPACE + L"\" xmlns:xsi=\"" + XSI_NAMESPACE + L"\" xmlns:xsd=\"" +
                       XSD_NAMESPACE + L"\" xmlns:ns0000=\"" + ORLIN_TICKET_NAMESPACE + L"\">";
    xml +=
        L"<psf:Feature name=\"psk:PageMediaSize\"><psf:Option name=\"psk:NorthAmericaLetter\">"
        L"<psf:ScoredProperty name=\"psk:MediaSizeWidth\"><psf:Value xsi:type=\"xsd:integer\">215900</psf:Value>"
        L"</psf:ScoredProperty><psf:ScoredProperty name=\"psk:MediaSizeHeight\"><psf:Value "
        L"xsi:type=\"xsd:integer\">279400</psf:Value></psf:ScoredProperty></psf:Option></psf:Feature>";
    xml += Public(L"PageOrientation", L"Portrait") + Public(L"PageOutputColor", L"Color") +
           Public(L"JobDuplexAllDocumentsContiguously", L"OneSided") + Public(L"PageMediaType", L"Plain") +
           Public(L"JobInputBin", L"AutoSelect") + Public(L"DocumentCollate", L"Uncollated") +
           Public(L"JobNUpAllDocumentsContiguously", L"PagesPerSheet") + Public(L"PageScaling", L"None") +
           Public(L"PageOutputQuality", L"Normal") + Public(L"JobOutputBin", L"AutoSelect");
    xml +=
        L"<psf:Feature name=\"psk:PageResolution\"><psf:Option name=\"ns0000:Resolution720\">"
        L"<psf:ScoredProperty name=\"psk:ResolutionX\"><psf:Value xsi:type=\"xsd:integer\">720</psf:Value>"
        L"</psf:ScoredProperty><psf:ScoredProperty name=\"psk:ResolutionY\"><psf:Value "
        L"xsi:type=\"xsd:integer\">720</psf:Value></psf:ScoredProperty></psf:Option></psf:Feature>";
    xml +=
        L"<psf:ParameterInit name=\"psk:JobCopiesAllDocuments\"><psf:Value xsi:type=\"xsd:integer\">1"
        L"</psf:Value></psf:ParameterInit>";
    if (ours) {
        for (const TicketFeature& feature : TICKET_FEATURES) {
            xml += std::wstring(L"<psf:Feature name=\"ns0000:") + feature.name + L"\"><psf:Option name=\"ns0000:" +
                   feature.options[0].name + L"\"/></psf:Feature>";
        }
    }
    return xml + L"</psf:" + root + L">";
}

bool Load(IXMLDOMDocument2* document, const Bstr& xml)
{
    VARIANT_BOOL loaded = VARIANT_FALSE;
    return document->loadXML(xml.Get(), &loaded) == S_OK && loaded == VARIANT_TRUE;
}

ComPtr<IXMLDOMDocument2> NewDocument()
{
    ComPtr<IXMLDOMDocument2> document;
    CoCreateInstance(CLSID_DOMDocument60, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument2,
                     reinterpret_cast<void**>(document.Out()));
    return document;
}

}  // namespace

int main()
{
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    LoadedModule module((ProgramFolder() + L"orlinui.dll").c_str());
    IPrintOemUI* plugin = nullptr;
    IPrintOemPrintTicketProvider* provider = nullptr;
    if (module.get() == nullptr || FAILED(CreatePluginObject(module, &plugin)) ||
        FAILED(plugin->QueryInterface(IID_IPrintOemPrintTicketProvider, reinterpret_cast<void**>(&provider)))) {
        std::fprintf(stderr, "cannot reach the provider of orlinui.dll beside this program\n");
        return 1;
    }
    ComPtr<IXMLDOMDocument2> ticket = NewDocument(), withOurs = NewDocument(), capabilities = NewDocument();
    if (!ticket || !withOurs || !capabilities) {
        std::fprintf(stderr, "cannot create an MSXML 6 document\n");
        return 1;
    }
    // The core's own ticket, before the plug-in adds to it, and the same after (what the other calls read).
    const Bstr bare(Ticket(false).c_str()), full(Ticket(true).c_str());
    const Bstr emptyCapabilities(Ticket(false, L"PrintCapabilities").c_str());
    PrivateDevmode section = DefaultPrivateDevmode(2);
    section.printMode = PRINT_MODE_PHOTO;
    section.dropSize = DROP_SIZE_LIGHT;
    DEVMODEW dm{};
    if (!Load(withOurs.Get(), full)) return 1;

    std::vector<double> us;
    const bool ok = SideBySide(
        {
            [&] { return Load(ticket.Get(), full); },
            [&] { return Load(ticket.Get(), bare); },
            [&] {
                return Load(ticket.Get(), bare) &&
                       provider->ConvertDevModeToPrintTicket(sizeof dm, &dm, 40, &section, ticket.Get()) == S_OK;
            },
            [&] {
                PrivateDevmode out = DefaultPrivateDevmode(2);
                return provider->ConvertPrintTicketToDevMode(withOurs.Get(), sizeof dm, &dm, 40, &out) == S_OK;
            },
            [&] { return Load(capabilities.Get(), emptyCapabilities); },
            [&] {
                return Load(capabilities.Get(), emptyCapabilities) &&
                       provider->CompletePrintCapabilities(withOurs.Get(), capabilities.Get()) == S_OK;
            },
            [&] { return provider->ValidatePrintTicket(withOurs.Get()) == S_NO_CONFLICT; },
        },
        &us);
    provider->Release();
    plugin->Release();
    if (!ok) {
        std::fprintf(stderr, "a provider call failed\n");
        return 1;
    }
    const double loadUs = us[0];
    const double toTicketUs = us[2] - us[1], toDevmodeUs = us[3], capabilitiesUs = us[5] - us[4], validateUs = us[6];

    std::printf(
        "%d-bit, PrintTicket provider per call on a %u-character job ticket with 12 public features, "
        "best of %d rounds of %d calls:\n",
        static_cast<int>(sizeof(void*) * 8), full.Length(), ROUNDS, CALLS);
    std::printf("  MSXML loadXML of that ticket (the measure)      %8.1f us\n", loadUs);
    const struct {
        const char* call;
        double us;
    } rows[] = {
        {"ConvertDevModeToPrintTicket (adds our 5)", toTicketUs},
        {"ConvertPrintTicketToDevMode", toDevmodeUs},
        {"CompletePrintCapabilities (5 features)", capabilitiesUs},
        {"ValidatePrintTicket", validateUs},
    };
    for (const auto& row : rows) std::printf("  %-46s %8.1f us  x%.2f loadXML\n", row.call, row.us, row.us / loadUs);
    return 0;
}

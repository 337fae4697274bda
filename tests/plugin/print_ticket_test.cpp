// The shipping DLL's PrintTicket provider, driven directly as the driver core drives it, on Wine's
// own MSXML documents.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "emulation/driver_helper.h"
#include "platform/com_handles.h"
#include "settings/ticket_features.h"
#include "support/shipping_dll.h"
#include "tickets/schema_document.h"

namespace {

const std::wstring Ours = ORLIN_TICKET_NAMESPACE;

// The root of a ticket (or capabilities) of the kind the core hands over; `extra` adds declarations.
std::wstring Document(const std::wstring& body, const std::wstring& extra = L" xmlns:orlin='" + Ours + L"'",
                      const wchar_t* root = L"psf:PrintTicket")
{
    return std::wstring(L"<") + root + L" version='1' xmlns:psf='" + PSF_NAMESPACE + L"' xmlns:psk='" + PSK_NAMESPACE +
           L"' xmlns:xsi='" + XSI_NAMESPACE + L"' xmlns:xsd='" + XSD_NAMESPACE + L"'" + extra +
           L"><psf:Feature name='psk:PageMediaSize'><psf:Option name='psk:NorthAmericaLetter'/></psf:Feature>" + body +
           L"</" + root + L">";
}

std::wstring Feature(const std::wstring& name, const std::wstring& options)
{
    return L"<psf:Feature name='" + name + L"'>" + options + L"</psf:Feature>";
}

std::wstring Option(const std::wstring& name)
{
    return L"<psf:Option name='" + name + L"'/>";
}

// A new MSXML 6 document holding `xml`; empty when it cannot be made (every call on it then fails).
ComPtr<IXMLDOMDocument2> Load(const std::wstring& xml)
{
    ComPtr<IXMLDOMDocument2> document;
    CoCreateInstance(CLSID_DOMDocument60, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument2,
                     reinterpret_cast<void**>(document.Out()));
    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (!document || document->loadXML(Bstr(xml.c_str()).Get(), &loaded) != S_OK || loaded != VARIANT_TRUE) {
        return ComPtr<IXMLDOMDocument2>();
    }
    Variant namespaces;
    namespaces.HoldString(SysAllocString(
        (L"xmlns:psf='" + std::wstring(PSF_NAMESPACE) + L"' xmlns:psk='" + PSK_NAMESPACE + L"'").c_str()));
    document->setProperty(Bstr(L"SelectionNamespaces").Get(), namespaces.Get());
    return document;
}

std::wstring Xml(IXMLDOMDocument2* document)
{
    Bstr xml;
    document->get_xml(xml.Out());
    return xml.Get() != nullptr ? std::wstring(xml.Get(), xml.Length()) : std::wstring();
}

std::vector<std::wstring> Select(IXMLDOMNode* context, const std::wstring& path)
{
    std::vector<std::wstring> texts;
    ComPtr<IXMLDOMNodeList> nodes;
    if (FAILED(context->selectNodes(Bstr(path.c_str()).Get(), nodes.Out())) || !nodes) return texts;
    ComPtr<IXMLDOMNode> node;
    while (nodes->nextNode(node.Out()) == S_OK && node) {
        Bstr text;
        node->get_text(text.Out());
        texts.emplace_back(text.Get() != nullptr ? text.Get() : L"");
    }
    return texts;
}

// One entry per root feature named `name` (a QName as the document spells it): its options' names.
std::vector<std::wstring> Options(IXMLDOMDocument2* document, const std::wstring& name)
{
    std::vector<std::wstring> features;
    ComPtr<IXMLDOMNodeList> nodes;
    document->selectNodes(Bstr((L"/*/psf:Feature[@name='" + name + L"']").c_str()).Get(), nodes.Out());
    ComPtr<IXMLDOMNode> node;
    while (nodes && nodes->nextNode(node.Out()) == S_OK && node) {
        std::wstring joined;
        for (const std::wstring& option : Select(node.Get(), L"psf:Option/@name"))
            joined += (joined.empty() ? L"" : L"|") + option;
        features.push_back(joined);
    }
    return features;
}

using Found = std::vector<std::wstring>;

// A private section with guard bytes behind it: nothing may be written past the 40 bytes.
struct GuardedSection {
    PrivateDevmode section;
    unsigned char guard[64];
    explicit GuardedSection(const PrivateDevmode& value) : section(value) { std::memset(guard, 0xA5, sizeof guard); }
    bool GuardIntact() const
    {
        for (unsigned char byte : guard)
            if (byte != 0xA5) return false;
        return true;
    }
};

bool SameSection(const PrivateDevmode& a, const PrivateDevmode& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

class PrintTickets : public ShippingDll {
protected:
    void SetUp() override
    {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        plugin_ = NewPlugin();
        ASSERT_NE(nullptr, plugin_);
        ASSERT_EQ(S_OK,
                  plugin_->QueryInterface(IID_IPrintOemPrintTicketProvider, reinterpret_cast<void**>(&provider_)));
    }
    void TearDown() override
    {
        if (provider_ != nullptr) EXPECT_EQ(1u, provider_->Release());
        if (plugin_ != nullptr) EXPECT_EQ(0u, plugin_->Release());
        CoUninitialize();
    }

    HRESULT ToTicket(PrivateDevmode* section, IXMLDOMDocument2* ticket, ULONG size = PRIVATE_DEVMODE_SIZE)
    {
        DEVMODEW dm{};
        return provider_->ConvertDevModeToPrintTicket(sizeof dm, &dm, size, section, ticket);
    }
    HRESULT ToDevmode(IXMLDOMDocument2* ticket, PrivateDevmode* section, ULONG size = PRIVATE_DEVMODE_SIZE)
    {
        DEVMODEW dm{};
        return provider_->ConvertPrintTicketToDevMode(ticket, sizeof dm, &dm, size, section);
    }

    IPrintOemUI* plugin_ = nullptr;
    IPrintOemPrintTicketProvider* provider_ = nullptr;
};

}  // namespace

TEST_F(PrintTickets, BothInterfacesAreOneObjectWithOneCount)
{
    EXPECT_EQ(S_OK, CanUnloadNow());
    IClassFactory* factory = nullptr;
    ASSERT_EQ(S_OK, GetClassObject(CLSID_OEMUI, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
    IPrintOemPrintTicketProvider* provider = nullptr;
    ASSERT_EQ(S_OK,
              factory->CreateInstance(nullptr, IID_IPrintOemPrintTicketProvider, reinterpret_cast<void**>(&provider)));
    EXPECT_EQ(0u, factory->Release());
    IPrintOemUI* ui = nullptr;
    ASSERT_EQ(S_OK, provider->QueryInterface(IID_IPrintOemUI, reinterpret_cast<void**>(&ui)));
    IPrintOemPrintTicketProvider* again = nullptr;
    ASSERT_EQ(S_OK, ui->QueryInterface(IID_IPrintOemPrintTicketProvider, reinterpret_cast<void**>(&again)));
    EXPECT_EQ(provider, again);
    IUnknown* fromProvider = nullptr;
    IUnknown* fromUi = nullptr;
    provider->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&fromProvider));
    ui->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&fromUi));
    EXPECT_EQ(fromUi, fromProvider);

    EXPECT_EQ(6u, provider->AddRef());
    EXPECT_EQ(5u, ui->Release());
    EXPECT_EQ(4u, fromUi->Release());
    EXPECT_EQ(3u, fromProvider->Release());
    EXPECT_EQ(2u, again->Release());
    EXPECT_EQ(1u, provider->Release());
    EXPECT_EQ(0u, ui->Release());
    EXPECT_EQ(S_OK, CanUnloadNow());
}

TEST_F(PrintTickets, OpeningCallsNameVersionOneAndOurNamespaceOnly)
{
    INT* versions = nullptr;
    INT count = 0;
    ASSERT_EQ(S_OK, provider_->GetSupportedVersions(nullptr, &versions, &count));
    ASSERT_EQ(1, count);
    EXPECT_EQ(1, versions[0]);
    CoTaskMemFree(versions);

    OEMPTOPTS options = OEMPT_NOSNAPSHOT;
    BSTR* namespaces = nullptr;
    EXPECT_EQ(E_VERSION_NOT_SUPPORTED, provider_->BindPrinter(nullptr, 2, &options, &count, &namespaces));
    ASSERT_EQ(S_OK, provider_->BindPrinter(nullptr, 1, &options, &count, &namespaces));
    EXPECT_EQ(OEMPT_DEFAULT, options);
    ASSERT_EQ(1, count);
    EXPECT_EQ(Ours, std::wstring(namespaces[0], SysStringLen(namespaces[0])));
    SysFreeString(namespaces[0]);
    CoTaskMemFree(namespaces);

    BSTR uri = nullptr;
    EXPECT_EQ(E_NOTIMPL, provider_->QueryDeviceDefaultNamespace(&uri));
    DriverHelperStandIn helper;
    EXPECT_EQ(S_OK, provider_->PublishPrintTicketHelperInterface(&helper));
    EXPECT_EQ(1, helper.references());

    const std::wstring xml = Document(Feature(L"orlin:PrintMode", Option(L"orlin:Sepia")));
    ComPtr<IXMLDOMDocument2> ticket = Load(xml);
    EXPECT_EQ(S_OK, provider_->ExpandIntentOptions(ticket.Get()));
    EXPECT_EQ(Xml(Load(xml).Get()), Xml(ticket.Get()));
}

TEST_F(PrintTickets, EveryOptionOfEveryFeatureSurvivesDevmodeToTicketAndBack)
{
    for (const TicketFeature& feature : TICKET_FEATURES) {
        for (size_t i = 0; i < feature.optionCount; ++i) {
            const TicketOption& option = feature.options[i];
            SCOPED_TRACE(testing::Message() << feature.field << " = " << option.value);
            PrivateDevmode source = DefaultPrivateDevmode(5);
            source.*feature.member = option.value;
            source.spareFlag = 1;
            ComPtr<IXMLDOMDocument2> ticket = Load(Document(L"", L""));
            ASSERT_EQ(S_OK, ToTicket(&source, ticket.Get()));
            EXPECT_EQ(Found{std::wstring(L"orlin:") + option.name},
                      Options(ticket.Get(), std::wstring(L"orlin:") + feature.name));
            EXPECT_EQ(Found{L"psk:NorthAmericaLetter"}, Options(ticket.Get(), L"psk:PageMediaSize"));

            // Into a section that differs in every field: only the five settings are taken.
            GuardedSection target(DefaultPrivateDevmode(3));
            for (const TicketFeature& other : TICKET_FEATURES)
                target.section.*other.member =
                    other.options[other.optionCount - 1 - (i == other.optionCount - 1)].value;
            PrivateDevmode expected = source;
            expected.spareFlag = target.section.spareFlag;
            expected.offsetValue = target.section.offsetValue;
            ASSERT_EQ(S_OK, ToDevmode(ticket.Get(), &target.section));
            EXPECT_TRUE(SameSection(expected, target.section));
            EXPECT_TRUE(target.GuardIntact());
        }
    }
}

TEST_F(PrintTickets, ValueWithoutOptionKeepsTheApplicationsChoiceAndInventsNone)
{
    // An application's choice for each feature, in TICKET_FEATURES order, none of them our defaults.
    const wchar_t* const chosen[TICKET_FEATURE_COUNT] = {L"Vivid", L"Medium", L"Off", L"Level3", L"Back4ChannelsOnly"};
    std::wstring body;
    for (size_t i = 0; i < TICKET_FEATURE_COUNT; ++i)
        body += Feature(std::wstring(L"orlin:") + TICKET_FEATURES[i].name, Option(std::wstring(L"orlin:") + chosen[i]));
    const struct {
        size_t feature;  // in TICKET_FEATURES order
        int32_t value;
    } outOfRange[] = {{0, 7}, {0, -1}, {1, 9}, {2, 2}, {3, 99}, {4, -3}};
    for (const auto& c : outOfRange) {
        const TicketFeature& feature = TICKET_FEATURES[c.feature];
        SCOPED_TRACE(testing::Message() << feature.field << " = " << c.value);
        PrivateDevmode section = DefaultPrivateDevmode(2);
        section.*feature.member = c.value;
        ComPtr<IXMLDOMDocument2> ticket = Load(Document(body));
        ASSERT_EQ(S_OK, ToTicket(&section, ticket.Get()));
        for (size_t i = 0; i < TICKET_FEATURE_COUNT; ++i) {
            const TicketFeature& other = TICKET_FEATURES[i];
            const wchar_t* expected = i == c.feature ? chosen[i] : FindTicketOption(other, section.*other.member)->name;
            EXPECT_EQ(Found{std::wstring(L"orlin:") + expected},
                      Options(ticket.Get(), std::wstring(L"orlin:") + other.name));
        }
        PrivateDevmode stale = DefaultPrivateDevmode(2);
        ASSERT_EQ(S_OK, ToDevmode(ticket.Get(), &stale));
        EXPECT_EQ(FindTicketOptionByName(feature, chosen[c.feature], std::wcslen(chosen[c.feature]))->value,
                  stale.*feature.member);

        ComPtr<IXMLDOMDocument2> empty = Load(Document(L""));
        ASSERT_EQ(S_OK, ToTicket(&section, empty.Get()));
        EXPECT_EQ(Found{}, Options(empty.Get(), std::wstring(L"orlin:") + feature.name));
    }
}

TEST_F(PrintTickets, AnotherProgramsPrefixIsReadByNamespaceAndKeptWhenWriting)
{
    const std::wstring foreign = L" xmlns:ns0001='" + Ours + L"' xmlns:orlin='urn:someone-else'";
    ComPtr<IXMLDOMDocument2> ticket = Load(Document(
        Feature(L"ns0001:PrintMode", Option(L"ns0001:Photo")) + Feature(L"ns0001:PrintMode", Option(L"ns0001:Vivid")) +
            Feature(L"orlin:InkDropSize", Option(L"orlin:Medium")) +
            L"<psf:Feature xmlns:ns0001='urn:other' xmlns:mine='" + Ours + L"' name='mine:InkLevel'>" +
            Option(L"mine:Level4") + L"</psf:Feature>",
        foreign));
    PrivateDevmode section = DefaultPrivateDevmode(2);
    ASSERT_EQ(S_OK, ToDevmode(ticket.Get(), &section));
    EXPECT_EQ(PRINT_MODE_PHOTO, section.printMode);  // the first feature of a name counts
    EXPECT_EQ(DROP_SIZE_HEAVY, section.dropSize);    // orlin: is someone else's here
    EXPECT_EQ(3, section.inkLevel);

    section.printMode = PRINT_MODE_VIVID;
    section.inkLevel = 1;
    ASSERT_EQ(S_OK, ToTicket(&section, ticket.Get()));
    EXPECT_EQ(Found{L"ns0001:Vivid"}, Options(ticket.Get(), L"ns0001:PrintMode"));
    EXPECT_EQ(Found{L"ns0001:Heavy"}, Options(ticket.Get(), L"ns0001:InkDropSize"));
    EXPECT_EQ(Found{L"orlin:Medium"}, Options(ticket.Get(), L"orlin:InkDropSize"));
    EXPECT_EQ(Found{L"mine:Level2"}, Options(ticket.Get(), L"mine:InkLevel"));  // ns0001 is not ours there
}

TEST_F(PrintTickets, ValidationResolvesInItsOrderAndSaysWhetherItChangedTheTicket)
{
    const struct {
        const char* what;
        std::wstring body;
        HRESULT result;
        std::vector<std::pair<std::wstring, Found>> after;
    } cases[] = {
        {"consistent",
         Feature(L"orlin:PrintMode", Option(L"orlin:Photo")) + Feature(L"orlin:InkDropSize", Option(L"orlin:Light")),
         S_NO_CONFLICT,
         {{L"orlin:PrintMode", {L"orlin:Photo"}}, {L"orlin:InkDropSize", {L"orlin:Light"}}}},
        {"second feature of a name",
         Feature(L"orlin:InkLevel", Option(L"orlin:Level4")) + Feature(L"orlin:InkLevel", Option(L"orlin:Level2")),
         S_CONFLICT_RESOLVED,
         {{L"orlin:InkLevel", {L"orlin:Level4"}}}},
        {"unknown option",
         Feature(L"orlin:InkChannels", Option(L"orlin:Six")),
         S_CONFLICT_RESOLVED,
         {{L"orlin:InkChannels", {L"orlin:Full8Channels"}}}},
        {"two options",
         Feature(L"orlin:BidirectionalPrinting", Option(L"orlin:Off") + Option(L"orlin:Off")),
         S_CONFLICT_RESOLVED,
         {{L"orlin:BidirectionalPrinting", {L"orlin:On"}}}},
        {"Photo with Medium",
         Feature(L"orlin:PrintMode", Option(L"orlin:Photo")) + Feature(L"orlin:InkDropSize", Option(L"orlin:Medium")),
         S_CONFLICT_RESOLVED,
         {{L"orlin:InkDropSize", {L"orlin:Light"}}}},
        {"Photo with an unknown drop size",
         Feature(L"orlin:InkDropSize", Option(L"psk:Medium")) + Feature(L"orlin:PrintMode", Option(L"orlin:Photo")),
         S_CONFLICT_RESOLVED,
         {{L"orlin:InkDropSize", {L"orlin:Light"}}}},
        {"unknown mode with Heavy",
         Feature(L"orlin:PrintMode", Option(L"orlin:Sepia")) + Feature(L"orlin:InkDropSize", Option(L"orlin:Heavy")),
         S_CONFLICT_RESOLVED,
         {{L"orlin:PrintMode", {L"orlin:Standard"}}, {L"orlin:InkDropSize", {L"orlin:Heavy"}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ComPtr<IXMLDOMDocument2> ticket = Load(Document(c.body));
        EXPECT_EQ(c.result, provider_->ValidatePrintTicket(ticket.Get()));
        for (const auto& feature : c.after) EXPECT_EQ(feature.second, Options(ticket.Get(), feature.first));
        EXPECT_EQ(S_NO_CONFLICT, provider_->ValidatePrintTicket(ticket.Get()));
    }
}

TEST_F(PrintTickets, CapabilitiesOfferEveryOptionByNameAndConstrainHeavyAndMediumUnderPhoto)
{
    const struct {
        const wchar_t* feature;
        const wchar_t* display;
        std::vector<const wchar_t*> options;
    } shown[] = {
        {L"PrintMode", L"Print Mode", {L"Vivid", L"Standard", L"Photo"}},
        {L"InkDropSize", L"Ink Drop Size", {L"Heavy", L"Medium", L"Light"}},
        {L"BidirectionalPrinting", L"Bi-Directional Print", {L"Off", L"On"}},
        {L"InkLevel", L"Ink Level", {L"1", L"2", L"3", L"4", L"5"}},
        {L"InkChannels", L"Ink Channels", {L"Full 8 Channels", L"Front 4 Channels Only", L"Back 4 Channels Only"}},
    };
    for (const wchar_t* mode : {L"orlin:Standard", L"orlin:Photo"}) {
        SCOPED_TRACE(testing::Message() << "ticket with " << mode);
        ComPtr<IXMLDOMDocument2> ticket = Load(Document(Feature(L"orlin:PrintMode", Option(mode))));
        ComPtr<IXMLDOMDocument2> capabilities = Load(Document(L"", L"", L"psf:PrintCapabilities"));
        ASSERT_EQ(S_OK, provider_->CompletePrintCapabilities(ticket.Get(), capabilities.Get()));
        const bool photo = std::wstring(mode) == L"orlin:Photo";
        for (const auto& feature : shown) {
            const std::wstring path = std::wstring(L"/*/psf:Feature[@name='orlin:") + feature.feature + L"']";
            EXPECT_EQ(Found{L"psk:PickOne"},
                      Select(capabilities.Get(), path + L"/psf:Property[@name='psf:SelectionType']/psf:Value"));
            EXPECT_EQ(Found{feature.display},
                      Select(capabilities.Get(), path + L"/psf:Property[@name='psk:DisplayName']/psf:Value"));
            Found names, constraints;
            for (const wchar_t* name : feature.options) names.push_back(name);
            for (size_t i = 0; i < feature.options.size(); ++i)
                constraints.push_back(photo && std::wstring(feature.feature) == L"InkDropSize" && i < 2
                                          ? L"psk:PrintTicketSettings"
                                          : L"psk:None");
            EXPECT_EQ(names, Select(capabilities.Get(), path + L"/psf:Option/psf:Property/psf:Value"));
            EXPECT_EQ(constraints, Select(capabilities.Get(), path + L"/psf:Option/@constrained"));
        }
    }
    ComPtr<IXMLDOMDocument2> capabilities = Load(Document(L"", L"", L"psf:PrintCapabilities"));
    ASSERT_EQ(S_OK, provider_->CompletePrintCapabilities(nullptr, capabilities.Get()));
    ASSERT_EQ(S_OK, provider_->CompletePrintCapabilities(nullptr, capabilities.Get()));
    EXPECT_EQ(Found{L"Print Mode"},
              Select(capabilities.Get(), L"/*/psf:Feature/psf:Property/psf:Value[.='Print Mode']"));
}

namespace {

// Under Wine's heap checking every allocation validates every heap: a call's time then measures the
// checker, and grows with the size of the document held.
bool HeapChecked()
{
    static const bool checked = std::strstr(std::getenv("WINEDEBUG") ? std::getenv("WINEDEBUG") : "", "heap");
    return checked;
}

// How long one provider call may take on any ticket, however it was built (not under heap checking).
constexpr auto CallBound = std::chrono::seconds(1);

template <class Call>
HRESULT Timed(Call call)
{
    const auto start = std::chrono::steady_clock::now();
    const HRESULT hr = call();
    if (!HeapChecked()) EXPECT_LT(std::chrono::steady_clock::now() - start, CallBound);
    return hr;
}

// Made through the DOM, since the parser may refuse them before the plug-in ever sees them: a chain
// of `depth` psf:Feature elements below the root's first feature, and a PrintMode option named
// `name`.
void Hurt(IXMLDOMDocument2* document, int depth, const std::wstring& name)
{
    ComPtr<IXMLDOMElement> root;
    document->get_documentElement(root.Out());
    ComPtr<IXMLDOMNode> parent;
    root->get_firstChild(parent.Out());
    VARIANT element;
    element.vt = VT_I4;
    element.lVal = NODE_ELEMENT;
    Bstr feature(L"psf:Feature"), uri(PSF_NAMESPACE);
    for (int i = 0; i < depth; ++i) {
        ComPtr<IXMLDOMNode> child, added;
        document->createNode(element, feature.Get(), uri.Get(), child.Out());
        parent->appendChild(child.Get(), added.Out());
        parent = std::move(added);
    }
    if (name.empty()) return;
    ComPtr<IXMLDOMNode> node;
    ComPtr<IXMLDOMElement> option;
    document->selectSingleNode(Bstr(L"/*/psf:Feature[@name='orlin:PrintMode']/psf:Option").Get(), node.Out());
    node->QueryInterface(IID_IXMLDOMElement, reinterpret_cast<void**>(option.Out()));
    Variant value;
    value.HoldString(SysAllocStringLen(name.data(), static_cast<UINT>(name.size())));
    option->setAttribute(Bstr(L"name").Get(), value.Get());
}

// Makes calls on Wine's MSXML elements fail with a failure of their own from the `failFrom`th call
// on, by redirecting three entries of the table all its elements share; put back at end of scope.
class FailingElementCalls {
public:
    static constexpr HRESULT Failure = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x7E57);

    FailingElementCalls(IXMLDOMElement* any, long failFrom) : table_(*reinterpret_cast<void***>(any))
    {
        calls_ = 0;
        failFrom_ = failFrom;
        Redirect(Slot(&IXMLDOMElement::getAttribute), reinterpret_cast<void*>(&GetAttribute), 0);
        Redirect(Slot(&IXMLDOMElement::get_nextSibling), reinterpret_cast<void*>(&NextSibling), 1);
        Redirect(Slot(&IXMLDOMElement::get_attributes), reinterpret_cast<void*>(&Attributes), 2);
    }
    ~FailingElementCalls()
    {
        for (size_t i = 0; i < 3; ++i) Redirect(slots_[i], originals_[i], i);
    }
    static long calls() { return calls_; }

private:
    // The table index of a virtual method, from the g++ representation of a pointer to it.
    template <class Method>
    static size_t Slot(Method method)
    {
        uintptr_t raw[2];
        std::memcpy(raw, &method, sizeof raw);
        return (raw[0] - 1) / sizeof(void*);
    }
    void Redirect(size_t slot, void* to, size_t i)
    {
        DWORD was = 0;
        VirtualProtect(&table_[slot], sizeof(void*), PAGE_READWRITE, &was);
        if (to != originals_[i]) originals_[i] = table_[slot];
        slots_[i] = slot;
        table_[slot] = to;
        VirtualProtect(&table_[slot], sizeof(void*), was, &was);
    }
    template <class Fn, class... Args>
    static HRESULT Forward(size_t i, Args... args)
    {
        return ++calls_ >= failFrom_ ? Failure : reinterpret_cast<Fn>(originals_[i])(args...);
    }
    static HRESULT STDMETHODCALLTYPE GetAttribute(IXMLDOMElement* self, BSTR name, VARIANT* value)
    {
        return Forward<HRESULT(STDMETHODCALLTYPE*)(IXMLDOMElement*, BSTR, VARIANT*)>(0, self, name, value);
    }
    static HRESULT STDMETHODCALLTYPE NextSibling(IXMLDOMElement* self, IXMLDOMNode** next)
    {
        return Forward<HRESULT(STDMETHODCALLTYPE*)(IXMLDOMElement*, IXMLDOMNode**)>(1, self, next);
    }
    static HRESULT STDMETHODCALLTYPE Attributes(IXMLDOMElement* self, IXMLDOMNamedNodeMap** map)
    {
        return Forward<HRESULT(STDMETHODCALLTYPE*)(IXMLDOMElement*, IXMLDOMNamedNodeMap**)>(2, self, map);
    }

    void** table_;
    size_t slots_[3] = {};
    static inline void* originals_[3] = {};
    static inline long calls_ = 0;
    static inline long failFrom_ = 0;
};

}  // namespace

TEST_F(PrintTickets, BadInputGetsAClearResultAndNoDamage)
{
    const std::wstring big(10 * 1024 * 1024, L'A');
    std::wstring thousands;
    for (int i = 0; i < 1000; ++i) {
        thousands += Feature(L"psk:JobCopiesAllDocuments", Option(L"psk:One")) +
                     Feature(L"orlin:PrintMode", Option(i == 0 ? L"orlin:Photo" : L"orlin:Vivid"));
    }
    const std::wstring photo = Feature(L"orlin:PrintMode", Option(L"orlin:Photo"));
    // Other programs' prefixes by the thousand, among them every one this plug-in would pick.
    // The shapes that measure cost keep their form under heap checking at a tenth of their size: what
    // the checker guards (every block the calls touch) is the same, and its time grows with the size.
    const int thousand = HeapChecked() ? 100 : 1000;
    const auto declarations = [](int count) {
        std::wstring text;
        for (int i = 0; i < count; ++i)
            text += L" xmlns:orlin" + (i != 0 ? std::to_wstring(i) : L"") + L"='urn:x:" + std::to_wstring(i) + L"'";
        return text;
    };
    std::wstring tenThousand;
    for (int i = 0; i < 5 * thousand; ++i) {
        tenThousand += Feature(L"ours:PrintMode", Option(i == 0 ? L"ours:Photo" : L"ours:Vivid")) +
                       Feature(L"mine:PrintMode", Option(L"mine:Standard"));
    }
    const std::wstring declaredHere =
        L"<psf:Feature xmlns:o='" + Ours + L"' name='o:PrintMode'>" + Option(L"o:Photo") + L"</psf:Feature>";
    const std::wstring defaults = L"<PrintTicket version='1' xmlns='" + std::wstring(PSF_NAMESPACE) +
                                  L"' xmlns:orlin='" + Ours +
                                  L"'><Feature name='orlin:PrintMode'><Option name='orlin:Photo'/></Feature>" +
                                  L"<Feature name='InkLevel'><Option name='Level3'/></Feature></PrintTicket>";
    const std::wstring declarationsOnly = L"<psf:PrintTicket xmlns:psf='" + std::wstring(PSF_NAMESPACE) +
                                          L"' xmlns:psk='" + PSK_NAMESPACE + L"' xmlns:orlin='" + Ours + L"'>" + photo +
                                          L"</psf:PrintTicket>";
    const struct {
        const char* what;
        std::wstring body;
        int depth;
        std::wstring optionName;
        ULONG size;
        uint32_t signature;
        HRESULT converted;  // both conversions
        int32_t printMode;  // after ticket to devmode
        HRESULT validated;
        HRESULT completed = S_OK;  // with this ticket
        std::wstring xml = L"";    // the whole document, when the body and the usual root will not do
        std::wstring extra = L" xmlns:orlin='" + Ours + L"'";
        size_t printModes = 0;  // when not 0: orlin:PrintMode features after devmode to ticket
    } cases[] = {
        {"section of 39 bytes", photo, 0, L"", 39, PRIVATE_DEVMODE_SIGNATURE, E_INVALIDARG, PRINT_MODE_STANDARD,
         S_NO_CONFLICT},
        {"another plug-in's section", photo, 0, L"", 40, 0x12345678, E_INVALIDARG, PRINT_MODE_STANDARD, S_NO_CONFLICT},
        {"our feature below the root", Feature(L"psk:PageOutputColor", Option(L"psk:Color") + photo), 0, L"", 40,
         PRIVATE_DEVMODE_SIGNATURE, S_OK, PRINT_MODE_STANDARD, S_NO_CONFLICT},
        {"our prefix reused for another namespace",
         L"<psf:Feature xmlns:orlin='urn:other' name='orlin:PrintMode'><psf:Option name='orlin:Photo'/></psf:Feature>",
         0, L"", 40, PRIVATE_DEVMODE_SIGNATURE, S_OK, PRINT_MODE_STANDARD, S_NO_CONFLICT},
        {"thousands of features", thousands, 0, L"", 40, PRIVATE_DEVMODE_SIGNATURE, S_OK, PRINT_MODE_PHOTO,
         S_CONFLICT_RESOLVED},
        {"very deep nesting", photo, 1000, L"", 40, PRIVATE_DEVMODE_SIGNATURE, S_OK, PRINT_MODE_PHOTO, S_NO_CONFLICT},
        {"10 MB option name", photo, 0, L"orlin:" + big, 40, PRIVATE_DEVMODE_SIGNATURE, S_OK, PRINT_MODE_STANDARD,
         S_CONFLICT_RESOLVED},
        {"10 MB prefix", photo, 0, big + L":Photo", 40, PRIVATE_DEVMODE_SIGNATURE, S_OK, PRINT_MODE_STANDARD,
         S_CONFLICT_RESOLVED},
        {"psf as the default namespace", L"", 0, L"", 40, PRIVATE_DEVMODE_SIGNATURE, S_OK, PRINT_MODE_PHOTO,
         S_NO_CONFLICT, S_OK, defaults},
        {"ours as the default namespace", Feature(L"PrintMode", Option(L"Photo")), 0, L"", 40,
         PRIVATE_DEVMODE_SIGNATURE, S_OK, PRINT_MODE_PHOTO, S_NO_CONFLICT, S_OK, L"", L" xmlns='" + Ours + L"'"},
        {"a default namespace on one feature",
         L"<psf:Feature xmlns='urn:other' name='orlin:PrintMode'>" + Option(L"orlin:Photo") + L"</psf:Feature>", 0, L"",
         40, PRIVATE_DEVMODE_SIGNATURE, S_OK, PRINT_MODE_PHOTO, S_NO_CONFLICT},
        {"capabilities given as a ticket", L"", 0, L"", 40, PRIVATE_DEVMODE_SIGNATURE, E_INVALIDARG,
         PRINT_MODE_STANDARD, E_INVALIDARG, E_INVALIDARG, Document(photo, L"", L"psf:PrintCapabilities")},
        {"another root", L"", 0, L"", 40, PRIVATE_DEVMODE_SIGNATURE, E_INVALIDARG, PRINT_MODE_STANDARD, E_INVALIDARG,
         E_INVALIDARG,
         L"<x:Other xmlns:x='urn:x' xmlns:psf='" + std::wstring(PSF_NAMESPACE) + L"'>" + photo + L"</x:Other>"},
        {"5,000 declarations, ours not among them", declaredHere, 0, L"", 40, PRIVATE_DEVMODE_SIGNATURE, S_OK,
         PRINT_MODE_PHOTO, S_NO_CONFLICT, S_OK, L"", declarations(5 * thousand)},
        {"10,000 features under two prefixes", tenThousand, 0, L"", 40, PRIVATE_DEVMODE_SIGNATURE, S_OK,
         PRINT_MODE_PHOTO, S_CONFLICT_RESOLVED, S_OK, L"",
         declarations(3 * thousand) + L" xmlns:ours='" + Ours + L"' xmlns:mine='" + Ours + L"'"},
        {"declarations and nothing else on the root", L"", 0, L"", 40, PRIVATE_DEVMODE_SIGNATURE, S_OK,
         PRINT_MODE_PHOTO, S_NO_CONFLICT, S_OK, declarationsOnly, L"", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::wstring xml = c.xml.empty() ? Document(c.body, c.extra) : c.xml;
        ComPtr<IXMLDOMDocument2> ticket = Load(xml);
        Hurt(ticket.Get(), c.depth, c.optionName);
        GuardedSection section(DefaultPrivateDevmode(4));
        section.section.dwSignature = c.signature;
        const PrivateDevmode before = section.section;

        EXPECT_EQ(c.converted, Timed([&] { return ToDevmode(ticket.Get(), &section.section, c.size); }));
        EXPECT_EQ(c.printMode, section.section.printMode);
        EXPECT_TRUE(section.GuardIntact());
        section.section.printMode = before.printMode;
        EXPECT_TRUE(SameSection(before, section.section));

        const std::wstring unchanged = FAILED(c.converted) ? Xml(ticket.Get()) : std::wstring();
        EXPECT_EQ(c.converted, Timed([&] { return ToTicket(&section.section, ticket.Get(), c.size); }));
        if (FAILED(c.converted)) EXPECT_EQ(unchanged, Xml(ticket.Get()));
        if (c.printModes != 0) EXPECT_EQ(c.printModes, Options(ticket.Get(), L"orlin:PrintMode").size());
        EXPECT_TRUE(SameSection(before, section.section));

        ComPtr<IXMLDOMDocument2> fresh = Load(xml);
        Hurt(fresh.Get(), c.depth, c.optionName);
        ComPtr<IXMLDOMDocument2> capabilities = Load(Document(L"", L"", L"psf:PrintCapabilities"));
        const std::wstring empty = Xml(capabilities.Get());
        EXPECT_EQ(c.completed,
                  Timed([&] { return provider_->CompletePrintCapabilities(fresh.Get(), capabilities.Get()); }));
        if (FAILED(c.completed)) EXPECT_EQ(empty, Xml(capabilities.Get()));
        EXPECT_EQ(c.validated, Timed([&] { return provider_->ValidatePrintTicket(fresh.Get()); }));
        const HRESULT again = FAILED(c.validated) ? c.validated : S_NO_CONFLICT;
        EXPECT_EQ(again, Timed([&] { return provider_->ValidatePrintTicket(fresh.Get()); }));
        if (FAILED(c.validated)) EXPECT_EQ(Xml(Load(xml).Get()), Xml(fresh.Get()));
    }

    // A ticket given as the capabilities.
    ComPtr<IXMLDOMDocument2> ticket = Load(Document(L""));
    EXPECT_EQ(E_INVALIDARG, provider_->CompletePrintCapabilities(nullptr, ticket.Get()));
    EXPECT_EQ(Xml(Load(Document(L"")).Get()), Xml(ticket.Get()));

    // Null documents and pointers.
    PrivateDevmode section = DefaultPrivateDevmode(2);
    DEVMODEW dm{};
    INT count = 0;
    OEMPTOPTS options;
    BSTR* namespaces = nullptr;
    for (HRESULT hr : {provider_->ExpandIntentOptions(nullptr), provider_->ValidatePrintTicket(nullptr),
                       provider_->CompletePrintCapabilities(ticket.Get(), nullptr), ToDevmode(nullptr, &section),
                       provider_->ConvertPrintTicketToDevMode(ticket.Get(), sizeof dm, &dm, 40, nullptr),
                       ToTicket(&section, nullptr),
                       provider_->ConvertDevModeToPrintTicket(sizeof dm, &dm, 40, nullptr, ticket.Get()),
                       provider_->GetSupportedVersions(nullptr, nullptr, &count),
                       provider_->BindPrinter(nullptr, 1, &options, &count, nullptr)}) {
        EXPECT_EQ(E_POINTER, hr);
    }
    EXPECT_TRUE(SameSection(DefaultPrivateDevmode(2), section));
}

TEST_F(PrintTickets, FailingDomCallGivesItsFailureAndLeavesTheSectionAsItWas)
{
    const std::wstring xml = Document(Feature(L"orlin:PrintMode", Option(L"orlin:Photo")) +
                                      Feature(L"orlin:InkLevel", Option(L"orlin:Level5")));
    int failures = 0;
    for (long failFrom = 1;; ++failFrom) {
        SCOPED_TRACE(failFrom);
        ComPtr<IXMLDOMDocument2> ticket = Load(xml);
        ComPtr<IXMLDOMElement> root;
        ASSERT_EQ(S_OK, ticket->get_documentElement(root.Out()));
        PrivateDevmode section = DefaultPrivateDevmode(2);
        HRESULT hr, toTicket;
        long calls;
        {
            FailingElementCalls failing(root.Get(), failFrom);
            hr = ToDevmode(ticket.Get(), &section);
            toTicket = ToTicket(&section, ticket.Get());
            calls = FailingElementCalls::calls();
        }
        if (calls < failFrom) {
            EXPECT_EQ(S_OK, hr);
            EXPECT_EQ(S_OK, toTicket);
            EXPECT_EQ(PRINT_MODE_PHOTO, section.printMode);
            break;
        }
        if (hr == S_OK) continue;
        ++failures;
        EXPECT_EQ(FailingElementCalls::Failure, hr);
        EXPECT_EQ(FailingElementCalls::Failure, toTicket);
        EXPECT_TRUE(SameSection(DefaultPrivateDevmode(2), section));
    }
    EXPECT_GT(failures, 3);
}

TEST_F(PrintTickets, EightThreadsConvertAtOnceEachWithItsOwnObjectAndDocuments)
{
    std::vector<std::thread> threads;
    std::vector<int> wrong(8, 0);
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&, t] {
            CoInitializeEx(nullptr, COINIT_MULTITHREADED);
            IPrintOemUI* plugin = NewPlugin();
            IPrintOemPrintTicketProvider* provider = nullptr;
            plugin->QueryInterface(IID_IPrintOemPrintTicketProvider, reinterpret_cast<void**>(&provider));
            for (int round = 0; round < 40; ++round) {
                PrivateDevmode source = DefaultPrivateDevmode(t % 9);
                for (const TicketFeature& feature : TICKET_FEATURES)
                    source.*feature.member = feature.options[(t + round) % feature.optionCount].value;
                if (source.printMode == PRINT_MODE_PHOTO) source.dropSize = DROP_SIZE_LIGHT;
                ComPtr<IXMLDOMDocument2> ticket = Load(Document(L""));
                PrivateDevmode back = DefaultPrivateDevmode(t % 9);
                DEVMODEW dm{};
                if (provider->ConvertDevModeToPrintTicket(sizeof dm, &dm, 40, &source, ticket.Get()) != S_OK ||
                    provider->ValidatePrintTicket(ticket.Get()) != S_NO_CONFLICT ||
                    provider->ConvertPrintTicketToDevMode(ticket.Get(), sizeof dm, &dm, 40, &back) != S_OK ||
                    !SameSection(source, back)) {
                    ++wrong[t];
                }
            }
            provider->Release();
            if (plugin->Release() != 0) ++wrong[t];
            CoUninitialize();
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(std::vector<int>(8, 0), wrong);
}

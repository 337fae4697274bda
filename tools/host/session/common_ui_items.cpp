#include "host/session/common_ui_items.h"

#include <memory>

#include "emulation/debug_trace.h"
#include "emulation/option_tree.h"

namespace {

size_t LinesOf(const std::wstring& text)
{
    size_t lines = 0;
    for (size_t at = text.find(L"\r\n"); at != std::wstring::npos; at = text.find(L"\r\n", at + 2)) ++lines;
    return lines;
}

bool Failed(FILE* log, const wchar_t* sheet, const wchar_t* call, HRESULT hr)
{
    fwprintf(log, L"  CommonUIProp(%ls, %ls) failed (0x%08lX)\n", sheet, call, static_cast<unsigned long>(hr));
    return false;
}

}  // namespace

bool ExchangeOptionItems(HostSession& session, SheetKind kind, FILE* log, ItemExchange* exchange)
{
    const bool document = kind == SheetKind::Document;
    const wchar_t* sheet = document ? L"document" : L"printer";
    DriverCoreStandIn& core = session.core();
    // Only the document sheet has the driver's own items.
    std::unique_ptr<DriverOptionTree> tree = document ? std::make_unique<DriverOptionTree>(session.heap()) : nullptr;
    const std::vector<DriverItemSnapshot> before = document ? tree->Snapshot() : std::vector<DriverItemSnapshot>();
    HRESULT hr = document ? core.CountItems(kind, tree->items(), tree->count()) : core.CountItems(kind);
    if (FAILED(hr)) return Failed(log, sheet, L"count", hr);
    DebugTraceRecorder trace(session.module());
    hr = core.FillItems();
    if (FAILED(hr)) return Failed(log, sheet, L"items", hr);
    fwprintf(log, L"  CommonUIProp(%ls): %lu item(s) of the plug-in, callback %ls\n", sheet,
             static_cast<unsigned long>(core.pluginItemCount()),
             core.items().OEMCUIPCallback != nullptr ? L"set" : L"none");
    ItemExchange report;
    report.tracedLines = LinesOf(trace.text());
    if (document) {
        report.treeChanges = tree->DescribeChanges(before);
        fwprintf(log, L"    driver tree of %lu items, %u traced to the debugger; changes:\n",
                 static_cast<unsigned long>(tree->count()), static_cast<unsigned>(report.tracedLines));
        for (const std::wstring& line : report.treeChanges) fwprintf(log, L"      %ls\n", line.c_str());
    }
    if (exchange != nullptr) *exchange = report;
    return true;
}

std::wstring OptionItemName(const OPTITEM& item, HMODULE module)
{
    const ULONG_PTR name = reinterpret_cast<ULONG_PTR>(item.pName);
    if (name == 0) return L"(no name)";
    if ((name >> 16) != 0) return item.pName;
    wchar_t text[260] = {};
    if (LoadStringW(module, static_cast<UINT>(name), text, 260) > 0) return text;
    return L"(string " + std::to_wstring(name) + L")";
}

#include "host/session/common_ui_items.h"

#include "host/session/debug_trace.h"

CommonUiExchange::CommonUiExchange(HostSession& session, DWORD mode) : session_(session), mode_(mode)
{
    param_.cbSize = sizeof(param_);
    param_.poemuiobj = session.uiObject();
    param_.hPrinter = session.printer();
    param_.pPrinterName = const_cast<PWSTR>(session.printerName().c_str());
    param_.hModule = session.module();
    param_.hOEMHeap = session.heap();
    if (mode == OEMCUIP_DOCPROP) {
        param_.pPublicDM = session.publicDevmode();
        param_.pOEMDM = session.privateSection();
    }
}

bool CommonUiExchange::Run(FILE* log)
{
    const wchar_t* what = mode_ == OEMCUIP_DOCPROP ? L"document" : L"printer";
    DebugTraceRecorder trace(session_.module());

    // First call: no arrays, the plug-in says how many items it wants.
    param_.cOEMOptItems = 0;
    HRESULT hr = session_.plugin()->CommonUIProp(mode_, &param_);
    if (FAILED(hr)) {
        fwprintf(log, L"  CommonUIProp(%ls, count) failed (0x%08lX)\n", what, static_cast<unsigned long>(hr));
        return false;
    }
    const DWORD wanted = param_.cOEMOptItems;

    // Second call: the driver's tree and room for the plug-in's items.
    std::vector<DriverItemSnapshot> before;
    if (mode_ == OEMCUIP_DOCPROP) {
        tree_ = std::make_unique<DriverOptionTree>(session_.heap());
        param_.pDrvOptItems = tree_->items();
        param_.cDrvOptItems = tree_->count();
        before = tree_->Snapshot();
    }
    if (wanted > 0) {
        param_.pOEMOptItems =
            static_cast<POPTITEM>(HeapAlloc(session_.heap(), HEAP_ZERO_MEMORY, sizeof(OPTITEM) * wanted));
        param_.cOEMOptItems = wanted;
    }
    hr = session_.plugin()->CommonUIProp(mode_, &param_);
    trace_ = trace.text();
    if (FAILED(hr)) {
        fwprintf(log, L"  CommonUIProp(%ls, items) failed (0x%08lX)\n", what, static_cast<unsigned long>(hr));
        return false;
    }
    fwprintf(log, L"  CommonUIProp(%ls): %lu item(s) of the plug-in, callback %ls\n", what,
             static_cast<unsigned long>(wanted), param_.OEMCUIPCallback != nullptr ? L"set" : L"none");
    if (tree_ != nullptr) {
        size_t traced = 0;
        for (size_t at = trace_.find(L"\r\n"); at != std::wstring::npos; at = trace_.find(L"\r\n", at + 2)) ++traced;
        fwprintf(log, L"    driver tree of %lu items, %u traced to the debugger; changes:\n",
                 static_cast<unsigned long>(tree_->count()), static_cast<unsigned>(traced));
        for (const std::wstring& line : tree_->DescribeChanges(before)) fwprintf(log, L"      %ls\n", line.c_str());
    }
    return true;
}

LONG CommonUiExchange::Notify(WORD reason, DWORD itemIndex)
{
    if (param_.OEMCUIPCallback == nullptr || itemIndex >= pluginItemCount()) return -1;
    OPTITEM& item = param_.pOEMOptItems[itemIndex];
    CPSUICBPARAM callback = {};
    callback.cbSize = sizeof(callback);
    callback.Reason = reason;
    callback.pOptItem = param_.pOEMOptItems;
    callback.cOptItem = static_cast<WORD>(param_.cOEMOptItems);
    callback.pCurItem = &item;
    callback.OldSel = item.Sel;
    callback.UserData = item.UserData;
    return param_.OEMCUIPCallback(&callback, &param_);
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

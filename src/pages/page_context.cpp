#include "pages/page_context.h"

void StoreSheetContext(HWND page, LPARAM initParam)
{
    const auto* sheetPage = reinterpret_cast<const PROPSHEETPAGEW*>(initParam);
    SetWindowLongPtrW(page, DWLP_USER, sheetPage != nullptr ? sheetPage->lParam : 0);
}

SheetContext* GetSheetContext(HWND page)
{
    auto* context = reinterpret_cast<SheetContext*>(GetWindowLongPtrW(page, DWLP_USER));
    if (context == nullptr || context->pOemUiParam == nullptr) return nullptr;
    return context;
}

void MarkPageChanged(HWND page)
{
    SendMessageW(GetParent(page), PSM_CHANGED, reinterpret_cast<WPARAM>(page), 0);
}

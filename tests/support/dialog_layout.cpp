#include "support/dialog_layout.h"

#include <commctrl.h>

#include <cstring>

namespace {

INT_PTR CALLBACK InspectedDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

std::wstring WindowText(HWND window)
{
    wchar_t text[512] = {};
    GetWindowTextW(window, text, ARRAYSIZE(text));
    return text;
}

}  // namespace

std::string Utf8(const std::wstring& text)
{
    std::string bytes(text.size() * 3, '\0');
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                                           static_cast<int>(bytes.size()), nullptr, nullptr);
    bytes.resize(length > 0 ? length : 0);
    return bytes;
}

OpenTemplate::OpenTemplate(HMODULE module, int templateId, LANGID language)
    // A child template needs a parent; a pop-up one is simply owned by it.
    : host_(CreateWindowExW(0, L"Static", L"inspector host", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr, nullptr,
                            nullptr))
{
    DWORD size = 0;
    const auto* resource = reinterpret_cast<LPCDLGTEMPLATEW>(TemplateResource(module, templateId, language, &size));
    if (resource != nullptr) dialog_ = CreateDialogIndirectParamW(module, resource, host_, InspectedDialogProc, 0);
}

OpenTemplate::~OpenTemplate()
{
    if (dialog_ != nullptr) DestroyWindow(dialog_);
    DestroyWindow(host_);
}

LiveDialog CreateAndInspect(HMODULE module, int templateId)
{
    LiveDialog live;
    const OpenTemplate opened(module, templateId);
    HWND dialog = opened.dialog();
    if (dialog == nullptr) return live;
    live.created = true;
    live.caption = WindowText(dialog);
    HDC dc = GetDC(dialog);
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        LiveControl control;
        control.id = static_cast<short>(GetDlgCtrlID(child));
        wchar_t className[64] = {};
        GetClassNameW(child, className, ARRAYSIZE(className));
        control.className = className;
        control.text = WindowText(child);
        control.style = static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE));
        control.visible = (control.style & WS_VISIBLE) != 0;
        if (control.Kind() == L"static") {
            SIZE extent = {};
            GetTextExtentPoint32W(dc, control.text.c_str(), static_cast<int>(control.text.size()), &extent);
            RECT client = {};
            GetClientRect(child, &client);
            live.staticTextWidths.emplace_back(extent.cx, client.right - client.left);
        }
        live.controls.push_back(control);
    }
    SelectObject(dc, oldFont);
    ReleaseDC(dialog, dc);
    return live;
}

bool FromCommonControls6(HWND control)
{
    // BCM_GETIDEALSIZE is a Common Controls 6 button message: user32's button does not know it.
    SIZE ideal = {};
    return SendMessageW(control, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)) != 0;
}

#include "host/sheet/screenshots.h"

#include <gdiplus.h>

#include <cwctype>

namespace {

// GDI+'s built-in PNG encoder.
const CLSID PngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

// Lets the window finish painting and the display catch up before it is copied.
void SettleWindow(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME | RDW_ERASE);
    for (int round = 0; round < 3; ++round) {
        MSG message;
        while (PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageW(&message);
        GdiFlush();
        Sleep(60);
    }
}

}  // namespace

bool DisplayAvailable()
{
    wchar_t driver[64] = {};
    DWORD size = sizeof(driver);
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Wine\\Drivers", L"Graphics", RRF_RT_REG_SZ, nullptr, driver,
                     &size) != ERROR_SUCCESS) {
        return true;
    }
    return _wcsicmp(driver, L"null") != 0;
}

std::wstring FileSlug(const std::wstring& text)
{
    std::wstring slug;
    for (wchar_t c : PlainCaption(text)) {
        if (iswalnum(c)) {
            slug += static_cast<wchar_t>(towlower(c));
        } else if (!slug.empty() && slug.back() != L'-') {
            slug += L'-';
        }
    }
    while (!slug.empty() && slug.back() == L'-') slug.pop_back();
    return slug.empty() ? L"window" : slug;
}

ScreenshotTaker::ScreenshotTaker(const std::wstring& dir) : dir_(dir)
{
    CreateDirectoryW(dir_.c_str(), nullptr);
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) token_ = 0;
}

ScreenshotTaker::~ScreenshotTaker()
{
    if (token_ != 0) Gdiplus::GdiplusShutdown(token_);
}

std::wstring ScreenshotTaker::CaptureIfNew(const UiWatch& watch)
{
    HWND dialog = watch.topDialog();
    if (dialog != nullptr && IsWindowVisible(dialog)) {
        if (dialog == lastWindow_) return std::wstring();
        lastWindow_ = dialog;
        lastPage_ = -1;
        return Capture(dialog, L"dialog-" + FileSlug(WindowText(dialog)));
    }
    HWND sheet = watch.sheet();
    if (sheet == nullptr || !IsWindowVisible(sheet)) return std::wstring();
    const int page = watch.currentPageIndex();
    if (sheet == lastWindow_ && page == lastPage_) return std::wstring();
    lastWindow_ = sheet;
    lastPage_ = page;
    return Capture(sheet, L"page-" + FileSlug(watch.pageTitle(page)));
}

std::wstring ScreenshotTaker::Capture(HWND window, const std::wstring& name)
{
    if (token_ == 0 || window == nullptr) return std::wstring();
    SettleWindow(window);
    RECT rect = {};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return std::wstring();

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, previous);

    const int count = ++names_[name];
    const std::wstring path =
        dir_ + L"\\" + name + (count > 1 ? L"-" + std::to_wstring(count) : std::wstring()) + L".png";
    Gdiplus::GpBitmap* image = nullptr;
    bool saved = false;
    if (Gdiplus::DllExports::GdipCreateBitmapFromHBITMAP(bitmap, nullptr, &image) == Gdiplus::Ok) {
        saved = Gdiplus::DllExports::GdipSaveImageToFile(image, path.c_str(), &PngEncoder, nullptr) == Gdiplus::Ok;
        Gdiplus::DllExports::GdipDisposeImage(image);
    }
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (!saved) return std::wstring();
    files_.push_back(path);
    return path;
}

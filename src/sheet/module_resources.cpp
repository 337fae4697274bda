#include "sheet/module_resources.h"

// Set by the module's entry point; everything that draws on the module's resources reads it here.
HINSTANCE ModuleHandle = nullptr;

namespace {

// LoadStringW's limit: no string of this module is anywhere near it.
constexpr int MAX_ITEM_STRING = MAX_PATH;

// The manifest a DLL's windows are isolated by: resource ID 2 (ISOLATIONAWARE_MANIFEST_RESOURCE_ID).
constexpr WORD PLUGIN_MANIFEST_ID = 2;

// Null until first use; INVALID_HANDLE_VALUE when the manifest could not be used.
HANDLE ActivationContext = nullptr;

// The plug-in's windows are created inside its context and the host's context is back afterwards,
// whichever way the dialog ends.
class ActivatedContext {
public:
    explicit ActivatedContext(HANDLE context)
    {
        if (context != INVALID_HANDLE_VALUE && !ActivateActCtx(context, &cookie_)) cookie_ = 0;
    }
    ~ActivatedContext()
    {
        if (cookie_ != 0) DeactivateActCtx(0, cookie_);
    }
    ActivatedContext(const ActivatedContext&) = delete;
    ActivatedContext& operator=(const ActivatedContext&) = delete;

private:
    ULONG_PTR cookie_ = 0;
};

}  // namespace

HANDLE PluginActivationContext()
{
    HANDLE existing = InterlockedCompareExchangePointer(&ActivationContext, nullptr, nullptr);
    if (existing != nullptr) return existing;

    ACTCTXW request = {};
    request.cbSize = sizeof(request);
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID | ACTCTX_FLAG_HMODULE_VALID;
    request.hModule = ModuleHandle;
    request.lpResourceName = MAKEINTRESOURCEW(PLUGIN_MANIFEST_ID);
    HANDLE created = CreateActCtxW(&request);

    // Two sheets opened at once on two threads: the first context stored is the one; the other goes.
    existing = InterlockedCompareExchangePointer(&ActivationContext, created, nullptr);
    if (existing == nullptr) return created;
    if (created != INVALID_HANDLE_VALUE) ReleaseActCtx(created);
    return existing;
}

void ReleasePluginActivationContext()
{
    HANDLE context = InterlockedExchangePointer(&ActivationContext, nullptr);
    if (context != nullptr && context != INVALID_HANDLE_VALUE) ReleaseActCtx(context);
}

INT_PTR ShowPluginDialog(HWND owner, WORD templateId, DLGPROC procedure, LPARAM initParam)
{
    ActivatedContext activated(PluginActivationContext());
    return DialogBoxParamW(ModuleHandle, MAKEINTRESOURCEW(templateId), owner, procedure, initParam);
}

PWSTR LoadHeapString(HANDLE heap, HANDLE module, UINT id)
{
    auto* buffer = static_cast<PWSTR>(HeapAlloc(heap, HEAP_ZERO_MEMORY, MAX_ITEM_STRING * sizeof(WCHAR)));
    if (buffer == nullptr) return nullptr;
    const int length = LoadStringW(static_cast<HINSTANCE>(module), id, buffer, MAX_ITEM_STRING);
    if (length <= 0) {
        HeapFree(heap, 0, buffer);
        return nullptr;
    }
    // The driver keeps item names for the life of the sheet: give back what the name does not use.
    void* trimmed = HeapReAlloc(heap, HEAP_ZERO_MEMORY, buffer, (length + 1) * sizeof(WCHAR));
    return trimmed != nullptr ? static_cast<PWSTR>(trimmed) : buffer;
}

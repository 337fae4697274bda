// One session of the driver's UI core with the plug-in: the DLL loaded by path and reached only
// through its exports, the driver helper published, GetInfo asked, then the core stand-in that opens
// the printer, creates the plug-in heap and builds the job devmode with the plug-in's private section
// (DevMode size, defaults and merge), kept for the whole session as the core keeps the job's devmode
// while its property sheets are open.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "emulation/driver_core.h"
#include "emulation/driver_helper.h"
#include "emulation/loaded_plugin.h"
#include "platform/printoem.h"
#include "settings/private_devmode.h"

class HostSession {
public:
    HostSession() = default;
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    // Loads the DLL and performs the core's start-up calls, each reported as a line on log. A null
    // printer name runs without a printer (no jobs, no printer data). Returns false with a message.
    bool Open(const std::wstring& dllPath, const wchar_t* printerName, FILE* log, std::wstring* error);

    IPrintOemUI* plugin() const { return plugin_; }
    HMODULE module() const { return module_ ? module_->get() : nullptr; }
    DWORD signature() const { return signature_; }
    DWORD version() const { return version_; }

    // The driver core of the session: the plug-in heap, the printer and the job devmode.
    DriverCoreStandIn& core() { return *core_; }
    HANDLE printer() const { return core_->printer(); }
    HANDLE heap() const { return core_->heap(); }
    const std::wstring& printerName() const { return core_->printerName(); }
    PDEVMODEW publicDevmode() { return core_->publicDevmode(); }
    PrivateDevmode* privateSection() { return core_->privateSection(); }
    DWORD privateSize() const { return core_->privateSize(); }
    OEMUIOBJ* uiObject() { return core_->uiObject(); }

    // Before the document properties: the job's section merged into fresh defaults (DevMode
    // OEMDM_DEFAULT, then OEMDM_MERGE), as the core does with the devmode it is given.
    bool MergeIntoDefaults(FILE* log, std::wstring* error);

    // The printer's stored Offset ("OEMUI_VALUE"), or -1 when it has none or cannot be read.
    long StoredOffset() const;

    // The driver helper's reference count, as it was before the plug-in got it.
    LONG helperReferences() const { return helper_.references(); }

    // Releases the plug-in object (the core's last Release); returns what Release answered.
    ULONG ReleasePlugin();

private:
    std::unique_ptr<LoadedModule> module_;
    IPrintOemUI* plugin_ = nullptr;
    DriverHelperStandIn helper_;
    DWORD signature_ = 0;
    DWORD version_ = 0;
    std::unique_ptr<DriverCoreStandIn> core_;
};

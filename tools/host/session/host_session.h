// One session of the driver's UI core with the plug-in: the DLL loaded by path and reached only
// through its exports, the driver helper published, GetInfo asked, the printer opened, the
// plug-in heap created and a job devmode built with the plug-in's private section (DevMode size,
// defaults and merge) and kept for the whole session, as the core keeps the job's devmode while
// its property sheets are open.
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
    HANDLE printer() const { return printer_; }
    HANDLE heap() const { return heap_; }
    const std::wstring& printerName() const { return printerName_; }
    DWORD signature() const { return signature_; }
    DWORD version() const { return version_; }

    // The job devmode: public part followed by the plug-in's private section (dmDriverExtra).
    PDEVMODEW publicDevmode() { return job_.publicPart(); }
    PrivateDevmode* privateSection() { return job_.privateSection(); }
    DWORD privateSize() const { return job_.privateSize(); }
    OEMUIOBJ* uiObject() { return &uiObject_; }

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
    HANDLE printer_ = nullptr;
    HANDLE heap_ = nullptr;
    std::wstring printerName_;
    DWORD signature_ = 0;
    DWORD version_ = 0;
    OEMUIOBJ uiObject_ = {};
    JobDevmode job_;
};

// One CommonUIProp exchange, as the driver's UI core makes it for a property sheet: a first call
// to learn how many items the plug-in wants, then a second with the driver's option tree and an
// array of that many items for the plug-in to fill. The plug-in's callback is then called for the
// sheet's events (apply above all), since Wine's common property sheet does not draw option items.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "host/session/host_session.h"
#include "host/session/option_tree.h"

class CommonUiExchange {
public:
    // mode: OEMCUIP_DOCPROP (with the driver's document tree) or OEMCUIP_PRNPROP.
    CommonUiExchange(HostSession& session, DWORD mode);

    // Both calls, each step reported on log. False when a call failed.
    bool Run(FILE* log);

    OEMCUIPPARAM& param() { return param_; }
    OPTITEM* pluginItems() const { return param_.pOEMOptItems; }
    DWORD pluginItemCount() const { return param_.pOEMOptItems != nullptr ? param_.cOEMOptItems : 0; }
    DriverOptionTree* driverTree() const { return tree_.get(); }
    // Debugger output the plug-in wrote during the calls.
    const std::wstring& trace() const { return trace_; }

    // Calls the plug-in's item callback with reason for its item itemIndex, as the common property
    // sheet does. Returns the callback's answer, or -1 when the plug-in set no callback.
    LONG Notify(WORD reason, DWORD itemIndex);

private:
    HostSession& session_;
    DWORD mode_;
    OEMCUIPPARAM param_ = {};
    std::unique_ptr<DriverOptionTree> tree_;
    std::wstring trace_;
};

// The plug-in item's name: text, a string id of the plug-in module, or "(no name)".
std::wstring OptionItemName(const OPTITEM& item, HMODULE module);

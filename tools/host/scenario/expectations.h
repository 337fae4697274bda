// The checks of the expectation kinds (the table of scenario_language.h is defined here, beside
// them), against what a scenario acts on: the session, the jobs sent and the windows on screen.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "emulation/dialog_driver.h"
#include "emulation/spooler_recorder.h"
#include "host/scenario/scenario_language.h"
#include "host/session/host_session.h"

// What a scenario acts on and checks: the session, the jobs sent so far and the windows on screen.
struct Scene {
    HostSession& session;
    const std::vector<RecordedJob>& jobs;
    const UiWatch& watch;

    // The dialog on top, else the page in front; its name as a failure tells it.
    HWND Target() const;
    std::wstring TargetName() const;
    // A control of the target; null, with the reason, when it has none of that name.
    HWND FindControl(const ControlName& control, std::wstring* why) const;
};

// Captions compared as a person reads them: without the mnemonic's &, whatever the case.
bool SameText(const std::wstring& a, const std::wstring& b);
bool StartsWithText(const std::wstring& text, const std::wstring& start);
std::wstring Quoted(const std::wstring& text);

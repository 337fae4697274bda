// A representative document option-item tree of a Unidrv-style driver, as its UI core hands it to
// CommonUIProp: standard items named by the common property sheet's string ids and carrying their
// DMPubID, and printer features named by text. Built on the plug-in heap, like the core's own.
#pragma once

#include <string>
#include <vector>

#include "platform/printoem.h"

struct DriverItemSnapshot {
    DWORD flags = 0;
    LONG sel = 0;
    BYTE optTypeFlags = 0;
};

class DriverOptionTree {
public:
    // Builds the items and their option types on heap (freed with it).
    explicit DriverOptionTree(HANDLE heap);

    OPTITEM* items() { return items_; }
    DWORD count() const { return count_; }
    // The name the host reports for item i (the core would load the string id).
    const wchar_t* displayName(DWORD i) const;

    // What the items are now, to compare after the plug-in has had them.
    std::vector<DriverItemSnapshot> Snapshot() const;
    // One line per item that the plug-in changed since before: hidden, disabled, choices disabled,
    // selection moved, with the item's DMPubID.
    std::vector<std::wstring> DescribeChanges(const std::vector<DriverItemSnapshot>& before) const;

private:
    OPTITEM* items_ = nullptr;
    DWORD count_ = 0;
};

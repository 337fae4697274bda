// Faults injected in turn: every allocation the plug-in makes fails, every spooler call of a
// maintenance flow fails or falls short, driver files are missing or cannot be read. Whatever fails,
// there is no crash, nothing half built is handed to the driver, no corrupted job is printed, and
// every job that was started is ended or aborted.
#include "support/fault_injection.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include "emulation/dialog_driver.h"
#include "emulation/driver_core.h"
#include "emulation/kernel_seams.h"
#include "emulation/printer_data.h"
#include "emulation/spooler_recorder.h"
#include "frame/plugin.h"
#include "jobs/command_templates.h"
#include "jobs/raw_job_sender.h"
#include "resource_ids.h"
#include "sheet/module_resources.h"

namespace {

using Bytes = std::vector<BYTE>;
using Calls = std::vector<std::string>;

const HANDLE Printer = reinterpret_cast<HANDLE>(0x5150);

Bytes Pattern(size_t size, BYTE seed)
{
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<BYTE>(i * 29 + seed);
    return bytes;
}

size_t BusyBlocks(HANDLE heap)
{
    PROCESS_HEAP_ENTRY entry = {};
    size_t busy = 0;
    while (HeapWalk(heap, &entry)) busy += (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0;
    return busy;
}

// The spooler calls of one job, in a run without faults.
struct JobCalls {
    size_t first;  // index in the run's calls of its StartDocPrinterW
    size_t count;
};

std::vector<JobCalls> SplitIntoJobs(const Calls& calls)
{
    std::vector<JobCalls> jobs;
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i] == "StartDocPrinterW") jobs.push_back({i, 0});
        if (!jobs.empty()) ++jobs.back().count;
    }
    return jobs;
}

// Runs flow once without faults, then once for every spooler call it makes with that call failing,
// and once more for every write with the write falling one byte short. The flow must carry on as
// before: a job that could not start is skipped, a job hit by a failed or short write gets no
// further write and is aborted, never ended, and every other job goes out whole.
void SweepSpoolerFaults(SpoolerRecorder& spooler, const std::function<void()>& flow)
{
    auto reset = [&](size_t failCall, size_t shortWriteCall) {
        spooler.jobs.clear();
        spooler.calls.clear();
        spooler.failCall = failCall;
        spooler.shortWriteCall = shortWriteCall;
    };
    reset(0, 0);
    flow();
    const std::vector<RecordedJob> clean = spooler.jobs;
    const Calls cleanCalls = spooler.calls;
    ASSERT_FALSE(clean.empty());
    for (const RecordedJob& job : clean) ASSERT_TRUE(job.ended && !job.aborted) << "the run without faults";
    const std::vector<JobCalls> jobCalls = SplitIntoJobs(cleanCalls);
    ASSERT_EQ(clean.size(), jobCalls.size());

    for (size_t call = 1; call <= cleanCalls.size(); ++call) {
        const std::string& kind = cleanCalls[call - 1];
        for (const bool shortWrite : {false, true}) {
            if (shortWrite && kind != "WritePrinter") continue;
            SCOPED_TRACE(testing::Message() << "call " << call << " (" << kind << ")"
                                            << (shortWrite ? " writes one byte short" : " fails"));
            reset(shortWrite ? 0 : call, shortWrite ? call : 0);
            flow();

            // Which job the fault hits, and what the spooler must see of it.
            size_t hit = 0;
            while (hit + 1 < jobCalls.size() && jobCalls[hit + 1].first < call) ++hit;
            const JobCalls& span = jobCalls[hit];
            Calls expectedCalls(cleanCalls.begin(), cleanCalls.begin() + span.first);
            std::vector<RecordedJob> expectedJobs(clean.begin(), clean.begin() + hit);
            if (kind == "StartDocPrinterW") {
                expectedCalls.push_back(kind);
            } else if (kind == "WritePrinter") {
                expectedCalls.insert(expectedCalls.end(), cleanCalls.begin() + span.first, cleanCalls.begin() + call);
                expectedCalls.push_back("AbortPrinter");
                expectedJobs.push_back(clean[hit]);
                expectedJobs.back().ended = false;
                expectedJobs.back().aborted = true;
            } else {
                expectedCalls.insert(expectedCalls.end(), cleanCalls.begin() + span.first,
                                     cleanCalls.begin() + span.first + span.count);
                expectedJobs.push_back(clean[hit]);
            }
            expectedCalls.insert(expectedCalls.end(), cleanCalls.begin() + span.first + span.count, cleanCalls.end());
            expectedJobs.insert(expectedJobs.end(), clean.begin() + hit + 1, clean.end());

            EXPECT_EQ(expectedCalls, spooler.calls);
            EXPECT_EQ(0u, spooler.OpenJobs());
            ASSERT_EQ(expectedJobs.size(), spooler.jobs.size());
            for (size_t i = 0; i < expectedJobs.size(); ++i) {
                const RecordedJob& job = spooler.jobs[i];
                EXPECT_EQ(expectedJobs[i].docName, job.docName) << "job " << i;
                EXPECT_EQ(expectedJobs[i].aborted, job.aborted) << "job " << i;
                EXPECT_EQ(expectedJobs[i].ended, job.ended) << "job " << i;
                if (job.ended) EXPECT_EQ(expectedJobs[i].bytes, job.bytes) << "job " << i << " handed on changed";
            }
        }
    }
    reset(0, 0);
}

// A test program's plug-in with a document sheet from the stand-in core, its pages in a real sheet.
class DocumentSheetUnderFaults : public ::testing::Test {
protected:
    void SetUp() override
    {
        ModuleHandle = ProgramModule();
        for (int32_t& choice : AlignmentSelections) choice = ALIGNMENT_NEUTRAL_CHOICE;
        kernel.windowsDirectory = drivers.windowsDirectory();
        drivers.WriteFile(L"align.bin", Pattern(8, 1));
        drivers.WriteFile(L"cnt16.bin", Pattern(5, 2));
        drivers.WriteFile(L"test.bin", Pattern(6, 3));
        drivers.WriteFile(L"purge.bin", {0x1B, 'i', 0x05, 'p'});
        PROPSHEETUI_INFO info = core.Info(PROPSHEETUI_REASON_INIT);
        ASSERT_EQ(S_OK, plugin->DocumentPropertySheets(&info, 0));
        ASSERT_NE(nullptr, core.OpenSheet());
    }

    void TearDown() override
    {
        core.CloseSheet();
        EXPECT_EQ(0u, plugin->Release());
    }

    void Click(size_t sheetPosition, int button)
    {
        HWND page = core.ShowPage(sheetPosition);
        ASSERT_NE(nullptr, page);
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(page, button)));
        PumpMessages();
    }

    SpoolerRecorder spooler;
    FakeKernel kernel;
    TempDriverDirectory drivers{DRIVER_DIRECTORY_SUFFIX};
    OemUiPlugin* plugin = new OemUiPlugin();
    DriverCoreStandIn core{plugin};
};

constexpr size_t INK_LEVEL_PAGE = 1, UTILITIES_PAGE = 2, PURGE_PAGE = 3;

std::vector<std::wstring> ListEntries(HWND dialog, int list)
{
    std::vector<std::wstring> entries;
    const int count = static_cast<int>(SendDlgItemMessageW(dialog, list, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[64] = {};
        SendDlgItemMessageW(dialog, list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        entries.push_back(text);
    }
    return entries;
}

// The kinds of driver file that cannot be sent, each set up for one file name.
enum class Unreadable { Missing, Folder, LockedByAnotherProgram, WindowsDirectoryUnknown, WindowsDirectoryTooLong };

}  // namespace

TEST(AllocationFailure, FactoryThatCannotBeMadeGivesOutOfMemoryAndLeavesThePointer)
{
    FailingNew failing;
    failing.failAt = 1;
    void* out = reinterpret_cast<void*>(0x1234);
    EXPECT_EQ(E_OUTOFMEMORY, DllGetClassObject(CLSID_OEMUI, IID_IClassFactory, &out));
    EXPECT_EQ(reinterpret_cast<void*>(0x1234), out);
    EXPECT_EQ(1u, failing.calls);
}

TEST(AllocationFailure, PluginObjectThatCannotBeMadeGivesOutOfMemory)
{
    FailingNew failing;
    failing.failAt = 2;  // the factory is made, the plug-in object is not
    IClassFactory* factory = nullptr;
    ASSERT_EQ(S_OK, DllGetClassObject(CLSID_OEMUI, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
    void* out = reinterpret_cast<void*>(0x1234);
    EXPECT_EQ(E_OUTOFMEMORY, factory->CreateInstance(nullptr, IID_IPrintOemUI, &out));
    EXPECT_EQ(reinterpret_cast<void*>(0x1234), out);
    EXPECT_EQ(0u, factory->Release());
    EXPECT_EQ(S_OK, DllCanUnloadNow());
}

// The Offset item, its name (LoadHeapString: the buffer, then its trimming) and its range
// (CreateOptType: the type, then its parameters), with each heap call failing once, and with
// every call failing from it on. The driver gets a whole item or a hidden one, a name or none, and
// the heap keeps nothing that the item does not point at.
TEST(AllocationFailure, EveryHeapAllocationOfTheOffsetItemFailsInTurn)
{
    FakePrinterData printerData;
    printerData.SetDword(L"OEMUI_VALUE", 5);
    wchar_t name[64] = {};
    ASSERT_GT(LoadStringW(ProgramModule(), IDS_OFFSET_ITEM_NAME, name, 64), 0);

    // One sheet's two calls on a heap of its own; check gets the item and the number of blocks the
    // calls left on the heap. Returns the number of heap calls made. A checking heap (Wine's with
    // heap warnings on) keeps blocks of its own in a growable heap and holds freed blocks there
    // as busy for a while, so the heap is of fixed size and its own blocks are not counted.
    auto build = [&](size_t failAt, bool failAfter, const std::function<void(const OPTITEM&, size_t)>& check) {
        OemUiPlugin* plugin = new OemUiPlugin();
        size_t calls = 0;
        {
            DriverCoreSetup fixedHeap;
            fixedHeap.heapMaximumSize = 0x10000;
            DriverCoreStandIn core(plugin, fixedHeap);
            const size_t ownBlocks = BusyBlocks(core.heap());
            FailingHeap failing(core.heap());
            failing.failAt = failAt;
            failing.failAfter = failAfter;
            EXPECT_EQ(S_OK, core.ExchangeItems(SheetKind::Printer));
            EXPECT_EQ(1u, core.pluginItemCount());
            calls = failing.calls;
            check(core.pluginItems()[0], BusyBlocks(core.heap()) - ownBlocks);
        }
        EXPECT_EQ(0u, plugin->Release());
        return calls;
    };

    const size_t allocations = build(0, false, [&](const OPTITEM& item, size_t) {
        ASSERT_NE(nullptr, item.pName);
        EXPECT_STREQ(name, item.pName);
        EXPECT_EQ(static_cast<DWORD>(OPTIF_COLLAPSE), item.Flags);
    });
    ASSERT_GE(allocations, 4u) << "name, its trimming, option type, parameters";

    size_t namesLost = 0, itemsHidden = 0;
    for (const bool failAfter : {false, true}) {
        for (size_t failAt = 1; failAt <= allocations; ++failAt) {
            SCOPED_TRACE(testing::Message()
                         << "heap call " << failAt << (failAfter ? " and later ones" : "") << " fail");
            build(failAt, failAfter, [&](const OPTITEM& item, size_t blocks) {
                EXPECT_EQ(sizeof(OPTITEM), item.cbSize);
                EXPECT_EQ(5, item.Sel);
                EXPECT_EQ(1, item.Level);
                if (item.pName != nullptr) {
                    EXPECT_STREQ(name, item.pName);
                } else {
                    ++namesLost;
                }
                if (item.pOptType == nullptr) {
                    EXPECT_EQ(static_cast<DWORD>(OPTIF_COLLAPSE | OPTIF_HIDE), item.Flags);
                    ++itemsHidden;
                } else {
                    EXPECT_EQ(static_cast<DWORD>(OPTIF_COLLAPSE), item.Flags);
                    EXPECT_EQ(sizeof(OPTTYPE), item.pOptType->cbSize);
                    EXPECT_EQ(TVOT_UDARROW, item.pOptType->Type);
                    EXPECT_EQ(2, item.pOptType->Count);
                    ASSERT_NE(nullptr, item.pOptType->pOptParam);
                    EXPECT_EQ(0u, item.pOptType->pOptParam[1].IconID);
                    EXPECT_EQ(8, item.pOptType->pOptParam[1].lParam);
                }
                const size_t referenced = (item.pName != nullptr ? 1 : 0) + (item.pOptType != nullptr ? 2 : 0);
                EXPECT_EQ(referenced, blocks) << "the heap keeps blocks nothing points at";
            });
        }
    }
    EXPECT_GT(namesLost, 0u);
    EXPECT_GT(itemsHidden, 0u);
}

// The document sheet's record, then the Ink Level page's list strings, each failing in turn: a
// sheet without its record adds no pages and says why; a string that cannot be copied onto the heap
// leaves its built-in English text in its place, so the list keeps its order.
TEST(AllocationFailure, EveryHeapAllocationOfTheDocumentSheetFailsInTurn)
{
    ModuleHandle = ProgramModule();
    const std::vector<std::wstring> channels = {L"Full 8 Channels", L"Front 4 Channels Only", L"Back 4 Channels Only"};

    // Registration and all five pages shown; returns the number of heap calls made.
    auto open = [&](size_t failAt, bool failAfter) {
        OemUiPlugin* plugin = new OemUiPlugin();
        DriverCoreStandIn core(plugin);
        FailingHeap failing(core.heap());
        failing.failAt = failAt;
        failing.failAfter = failAfter;
        PROPSHEETUI_INFO info = core.Info(PROPSHEETUI_REASON_INIT);
        SetLastError(0);
        EXPECT_EQ(S_OK, plugin->DocumentPropertySheets(&info, 0));
        if (failAt == 1) {
            EXPECT_EQ(static_cast<ULONG_PTR>(-1), info.Result);
            EXPECT_EQ(static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY), GetLastError());
            EXPECT_TRUE(core.calls.empty());
            EXPECT_EQ(nullptr, plugin->sheetContext());
        } else {
            EXPECT_EQ(5u, core.pages.size());
            EXPECT_NE(nullptr, core.OpenSheet());
            for (size_t page = 0; page < core.pages.size(); ++page) EXPECT_NE(nullptr, core.ShowPage(page));
            EXPECT_EQ(channels, ListEntries(core.ShowPage(INK_LEVEL_PAGE), IDC_INK_CHANNELS_LIST));
            core.CloseSheet();
        }
        EXPECT_EQ(0u, plugin->Release());
        return failing.calls;
    };

    const size_t allocations = open(0, false);
    ASSERT_GE(allocations, 1u + 2 * channels.size()) << "the record, then each string and its trimming";
    for (const bool failAfter : {false, true}) {
        for (size_t failAt = 1; failAt <= allocations; ++failAt) {
            SCOPED_TRACE(testing::Message()
                         << "heap call " << failAt << (failAfter ? " and later ones" : "") << " fail");
            open(failAt, failAfter);
        }
    }
}

// The four senders one after the other, each spooler call failing in turn.
TEST(SpoolerFailure, EachSenderAbortsWhatItCannotSendWhole)
{
    SpoolerRecorder spooler;
    FakeKernel kernel;
    TempDriverDirectory drivers{DRIVER_DIRECTORY_SUFFIX};
    kernel.windowsDirectory = drivers.windowsDirectory();
    drivers.WriteFile(L"align.bin", Pattern(12, 7));
    drivers.WriteFile(L"test.bin", Pattern(9, 8));
    drivers.WriteFile(L"purge.bin", {0x1B, 'i', 0x05, 0x1B, 0x40, 'i', 0x05, 0x0C});
    SweepSpoolerFaults(spooler, [&] {
        SendCommandBuffer(Printer, HeadCleanCommand, HEAD_CLEAN_COMMAND_SIZE, L"Head Clean");
        SendDriverFile(Printer, L"align.bin", L"Alignment File");
        SendTestPatternFile(Printer, L"test.bin", L"Test File", 2);
        SendPurgeFile(Printer, L"purge.bin", L"Purge Print", 3);
    });
}

// The Utilities page's flows as a person runs them, each spooler call failing in turn.
TEST_F(DocumentSheetUnderFaults, UtilitiesFlowsHandOnOnlyWholeJobs)
{
    SweepSpoolerFaults(spooler, [&] {
        DialogScript script;
        script.WhenShown(L"Nozzle Check").Click(IDOK);
        script.WhenShown(L"Alignment").Click(IDOK);
        script.WhenShown(L"Alignment Adjustment").Select(IDC_SECTION1_LIST, 0).Click(IDOK);
        Click(UTILITIES_PAGE, IDC_HEAD_CLEAN);
        Click(UTILITIES_PAGE, IDC_NOZZLE_CHECK);
        Click(UTILITIES_PAGE, IDC_HEAD_ALIGNMENT);
        Click(UTILITIES_PAGE, IDC_COUNTER_RESET);
        EXPECT_TRUE(script.Finished());
        EXPECT_TRUE(script.unexpected.empty());
    });
}

// Twenty port-test jobs: one that fails is lost, the other nineteen still go out whole.
TEST_F(DocumentSheetUnderFaults, PortTestLosesOnlyTheJobThatFailed)
{
    SweepSpoolerFaults(spooler, [&] { Click(UTILITIES_PAGE, IDC_PORT_TEST); });
}

// The Ink Level page's test pattern and the purge page's purge print, each spooler call failing.
TEST_F(DocumentSheetUnderFaults, TestPatternAndPurgeHandOnOnlyWholeJobs)
{
    SweepSpoolerFaults(spooler, [&] {
        Click(INK_LEVEL_PAGE, IDC_TEST_PATTERN);
        Click(PURGE_PAGE, IDC_PURGE_PRINT);
    });
}

// Each file sender, for each way its file can be out of reach: no job is started at all.
TEST(UnreadableDriverFile, NoSenderStartsAJob)
{
    SpoolerRecorder spooler;
    FakeKernel kernel;
    TempDriverDirectory drivers{DRIVER_DIRECTORY_SUFFIX};
    const std::wstring driverDirectory = drivers.windowsDirectory() + DRIVER_DIRECTORY_SUFFIX;
    const std::function<void()> senders[] = {
        [] { SendDriverFile(Printer, L"align.bin", L"Alignment File"); },
        [] { SendTestPatternFile(Printer, L"align.bin", L"Test File", 0); },
        [] { SendPurgeFile(Printer, L"align.bin", L"Purge Print", 0); },
    };
    const Unreadable kinds[] = {Unreadable::Missing, Unreadable::Folder, Unreadable::LockedByAnotherProgram,
                                Unreadable::WindowsDirectoryUnknown, Unreadable::WindowsDirectoryTooLong};
    for (const Unreadable kind : kinds) {
        SCOPED_TRACE(testing::Message() << "kind " << static_cast<int>(kind));
        const std::wstring path = driverDirectory + L"align.bin";
        kernel.windowsDirectory = drivers.windowsDirectory();
        kernel.windowsDirectoryFails = kind == Unreadable::WindowsDirectoryUnknown;
        HANDLE locked = INVALID_HANDLE_VALUE;
        if (kind == Unreadable::Folder) ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
        if (kind == Unreadable::LockedByAnotherProgram || kind == Unreadable::WindowsDirectoryUnknown ||
            kind == Unreadable::WindowsDirectoryTooLong) {
            drivers.WriteFile(L"align.bin", Pattern(4, 9));
        }
        if (kind == Unreadable::LockedByAnotherProgram) {
            locked = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(INVALID_HANDLE_VALUE, locked);
        }
        // Directories of 259, 260 and 300 characters: the whole path never fits 260 code units.
        for (const size_t length : {size_t(0), size_t(259), size_t(260), size_t(300)}) {
            if ((length != 0) != (kind == Unreadable::WindowsDirectoryTooLong)) continue;
            if (length != 0) kernel.windowsDirectory = L"C:\\" + std::wstring(length - 3, L'w');
            for (const auto& send : senders) send();
        }
        EXPECT_TRUE(spooler.calls.empty());
        if (locked != INVALID_HANDLE_VALUE) CloseHandle(locked);
        if (kind == Unreadable::Folder) RemoveDirectoryW(path.c_str());
        DeleteFileW(path.c_str());
    }
    // The same file, now readable, goes out: the cases above failed for their own reason.
    kernel.windowsDirectory = drivers.windowsDirectory();
    kernel.windowsDirectoryFails = false;
    drivers.WriteFile(L"align.bin", Pattern(4, 9));
    for (const auto& send : senders) send();
    EXPECT_EQ(3u, spooler.jobs.size());
}

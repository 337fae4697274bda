// How long 1 MiB takes through Wine's real spooler to the virtual printer with each of the four job
// senders (a buffer in one write; driver files one byte per read and per write, two of them with
// their substitution), against two floors of our own over the same bytes: a single WritePrinter,
// and a bare loop of one-byte WritePrinter calls (the least a sender that writes each byte on its
// own can cost). Then how far the process's private bytes rise while a 64 MiB driver file is sent:
// a file sender must hold one byte at a time, never the file. Not a test: it reports, and checks
// only that the printer got the bytes each sender means to send.
#include <windows.h>
// After windows.h, whose types it uses.
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "benchmark_clock.h"
#include "emulation/virtual_printer.h"
#include "jobs/byte_substitutions.h"
#include "jobs/raw_job_sender.h"

namespace {

constexpr size_t MEBIBYTE = 1024 * 1024;
constexpr int ROUNDS = 5;
constexpr size_t LARGE_FILE_MEBIBYTES = 64;
constexpr wchar_t FILE_NAME[] = L"orlin-benchmark.bin";
constexpr wchar_t LARGE_FILE_NAME[] = L"orlin-benchmark-64mib.bin";
constexpr LONG DROP_SIZE = 2;        // Light
constexpr DWORD PURGE_POSITION = 3;  // "K"

// Private bytes: Windows's commit charge (PrivateUsage). Wine 8 leaves PrivateUsage 0 and answers
// in PagefileUsage the private memory the process has touched (committed pages count once written,
// and leave when released). /proc/self/status is no way round: opened through the Z: drive, it is
// the Wine server's, not this process's. *source names the counter read.
SIZE_T PrivateBytes(const char** source = nullptr)
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters));
    const bool windows = counters.PrivateUsage != 0;
    if (source != nullptr) *source = windows ? "PrivateUsage" : "PagefileUsage (the platform leaves PrivateUsage 0)";
    return windows ? counters.PrivateUsage : counters.PagefileUsage;
}

// A figure is only worth reporting when the counter sees memory at all: 8 MiB allocated and
// touched on purpose must show as at least that much more.
bool PrivateBytesSeeAllocations()
{
    const SIZE_T before = PrivateBytes();
    std::vector<BYTE> block(8 * MEBIBYTE, 1);
    const SIZE_T during = PrivateBytes();
    return block.back() == 1 && during >= before + block.size();
}

struct PrivateBytesRise {
    SIZE_T before;
    SIZE_T peak;
};

// Private bytes just before the work and the highest seen while it runs, sampled at every Sleep(1)
// (a millisecond under Wine, a timer tick on Windows) on a thread of its own (neither platform
// keeps a peak of this counter that can be restarted for one send). The thread is running before
// the first figure is taken, so that its own stack, about a mebibyte under Wine, is not counted as
// the work's. A rise that comes and goes within a millisecond can slip between two samples.
PrivateBytesRise PeakPrivateBytesDuring(const std::function<void()>& work)
{
    std::atomic<bool> running(false), done(false);
    std::atomic<SIZE_T> peak(0);
    std::thread sampler([&] {
        running = true;
        while (!done) {
            const SIZE_T now = PrivateBytes();
            if (now > peak) peak = now;
            Sleep(1);
        }
    });
    while (!running) Sleep(1);
    Sleep(50);  // the sampler's first pages touched
    PrivateBytesRise rise = {PrivateBytes(), 0};
    peak = rise.before;
    work();
    done = true;
    sampler.join();
    rise.peak = peak;
    return rise;
}

bool WriteDriverFile(const std::wstring& path, const std::vector<BYTE>& chunk, size_t repeats)
{
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (file == nullptr) return false;
    bool written = true;
    for (size_t i = 0; i < repeats && written; ++i)
        written = fwrite(chunk.data(), 1, chunk.size(), file) == chunk.size();
    return fclose(file) == 0 && written;
}

// Waits for the job that carries exactly the expected bytes and removes its file. Other programs
// may print to the same printer meanwhile: their files are left alone.
bool ReceivedIntact(const std::wstring& jobsFolder, std::vector<std::wstring> seen, const std::vector<BYTE>& expected)
{
    const DWORD start = GetTickCount();
    for (DWORD waited = 0; waited < 30000; waited = GetTickCount() - start) {
        for (const std::wstring& file : WaitForNewJobFiles(jobsFolder, seen, 30000 - waited)) {
            std::vector<BYTE> received;
            if (ReadWholeFile(file, &received) && received == expected) return DeleteFileW(file.c_str()) != 0;
            seen.push_back(file);
        }
    }
    return false;
}

// One send, in milliseconds; negative when the job did not reach the printer intact.
double TimeOneJob(const std::wstring& jobsFolder, const std::vector<BYTE>& expected, const std::function<void()>& send)
{
    const std::vector<std::wstring> before = CapturedJobFiles(jobsFolder);
    const double start = Seconds();
    send();
    const double ms = (Seconds() - start) * 1000.0;
    return ReceivedIntact(jobsFolder, before, expected) ? ms : -1;
}

}  // namespace

int main()
{
    const std::wstring jobsFolder = VirtualPrinterJobsFolder();
    HANDLE printer = nullptr;
    if (jobsFolder.empty() || !OpenPrinterW(const_cast<LPWSTR>(VIRTUAL_PRINTER_NAME), &printer, nullptr)) {
        std::fprintf(stderr, "no virtual printer: run scripts/virtual-printer.sh\n");
        return 1;
    }
    std::vector<BYTE> bytes(MEBIBYTE);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<BYTE>(i * 31 + i / 4096);

    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    const std::wstring folder = std::wstring(windows) + DRIVER_DIRECTORY_SUFFIX;
    const std::wstring path = folder + FILE_NAME, largePath = folder + LARGE_FILE_NAME;
    if (!WriteDriverFile(path, bytes, 1)) {
        std::fprintf(stderr, "cannot write the driver file\n");
        return 1;
    }

    // What the printer must receive from each sender.
    std::vector<BYTE> testPattern = bytes, purge = bytes;
    TestPatternSubstitution dropCode(DROP_SIZE);
    for (BYTE& byte : testPattern) byte = dropCode(byte);
    PurgeSubstitution colour(PURGE_POSITION);
    for (BYTE& byte : purge) byte = colour(byte);

    struct Sender {
        const char* name;
        const std::vector<BYTE>* expected;
        std::function<void()> send;
        bool byteByByte;  // held against the one-byte write loop as well
        double ms;
    };
    Sender senders[] = {
        {"floor: one WritePrinter of our own", &bytes,
         [&] {
             DOC_INFO_1W info = {};
             info.pDocName = const_cast<LPWSTR>(L"Benchmark Single Write");
             if (!StartDocPrinterW(printer, 1, reinterpret_cast<LPBYTE>(&info))) return;
             DWORD written = 0;
             WritePrinter(printer, bytes.data(), static_cast<DWORD>(bytes.size()), &written);
             EndDocPrinter(printer);
         },
         false},
        {"floor: one-byte WritePrinter loop", &bytes,
         [&] {
             DOC_INFO_1W info = {};
             info.pDocName = const_cast<LPWSTR>(L"Benchmark Byte Writes");
             if (!StartDocPrinterW(printer, 1, reinterpret_cast<LPBYTE>(&info))) return;
             DWORD written = 0;
             for (BYTE& byte : bytes)
                 if (!WritePrinter(printer, &byte, 1, &written)) break;
             EndDocPrinter(printer);
         },
         true},
        {"SendCommandBuffer (one write)", &bytes,
         [&] { SendCommandBuffer(printer, bytes.data(), static_cast<DWORD>(bytes.size()), L"Benchmark Buffer"); },
         false},
        {"SendDriverFile (byte by byte)", &bytes, [&] { SendDriverFile(printer, FILE_NAME, L"Benchmark File"); }, true},
        {"SendTestPatternFile (byte by byte)", &testPattern,
         [&] { SendTestPatternFile(printer, FILE_NAME, L"Benchmark Test Pattern", DROP_SIZE); }, true},
        {"SendPurgeFile (byte by byte)", &purge,
         [&] { SendPurgeFile(printer, FILE_NAME, L"Benchmark Purge", PURGE_POSITION); }, true},
    };
    // The senders take turns within every round, so that the machine's drift reaches all alike, and
    // each round starts one sender later, so that none always follows the same one.
    constexpr size_t SENDER_COUNT = sizeof(senders) / sizeof(senders[0]);
    bool intact = true;
    for (int round = 0; round < ROUNDS && intact; ++round) {
        for (size_t turn = 0; turn < SENDER_COUNT; ++turn) {
            Sender& sender = senders[(turn + round) % SENDER_COUNT];
            const double ms = TimeOneJob(jobsFolder, *sender.expected, sender.send);
            if (ms < 0) {
                std::fprintf(stderr, "the printer did not receive the 1 MiB job of %s intact\n", sender.name);
                intact = false;
                break;
            }
            if (round == 0 || ms < sender.ms) sender.ms = ms;
        }
    }
    DeleteFileW(path.c_str());
    if (!intact) {
        ClosePrinter(printer);
        return 1;
    }
    std::printf("%d-bit, 1 MiB through Wine's spooler to the virtual printer, best of %d:\n",
                static_cast<int>(sizeof(void*) * 8), ROUNDS);
    std::printf("  %-36s %17s %16s  %s\n", "", "", "against: 1 write", "1-byte writes");
    const double singleWriteMs = senders[0].ms, byteWritesMs = senders[1].ms;
    for (const Sender& sender : senders) {
        std::printf("  %-36s %8.1f ms per MiB %8.1f us per KiB  x%-9.1f", sender.name, sender.ms,
                    sender.ms * 1000.0 / 1024.0, sender.ms / singleWriteMs);
        if (sender.byteByByte) std::printf("  x%.3f", sender.ms / byteWritesMs);
        std::printf("\n");
    }

    // The memory a file send needs: private bytes just before it, and the highest seen during it.
    if (!WriteDriverFile(largePath, bytes, LARGE_FILE_MEBIBYTES)) {
        std::fprintf(stderr, "cannot write the 64 MiB driver file\n");
        ClosePrinter(printer);
        return 1;
    }
    const char* source = "";
    PrivateBytes(&source);
    if (!PrivateBytesSeeAllocations()) {
        std::fprintf(stderr, "private bytes (%s) do not show 8 MiB allocated on purpose\n", source);
        DeleteFileW(largePath.c_str());
        ClosePrinter(printer);
        return 1;
    }
    const std::vector<std::wstring> before = CapturedJobFiles(jobsFolder);
    const double start = Seconds();
    const PrivateBytesRise rise =
        PeakPrivateBytesDuring([&] { SendDriverFile(printer, LARGE_FILE_NAME, L"Benchmark 64 MiB"); });
    const double seconds = Seconds() - start;
    DeleteFileW(largePath.c_str());
    ClosePrinter(printer);
    std::vector<BYTE> large;
    large.reserve(LARGE_FILE_MEBIBYTES * MEBIBYTE);
    for (size_t i = 0; i < LARGE_FILE_MEBIBYTES; ++i) large.insert(large.end(), bytes.begin(), bytes.end());
    if (!ReceivedIntact(jobsFolder, before, large)) {
        std::fprintf(stderr, "the printer did not receive the 64 MiB job of SendDriverFile intact\n");
        return 1;
    }
    std::printf("%d-bit, SendDriverFile of a 64 MiB driver file (%.0f s), private bytes from %s:\n",
                static_cast<int>(sizeof(void*) * 8), seconds, source);
    std::printf("  before the send %10.1f KiB, peak during it %10.1f KiB, growth %+.1f KiB\n", rise.before / 1024.0,
                rise.peak / 1024.0, (static_cast<double>(rise.peak) - rise.before) / 1024.0);
    return 0;
}

// How long 1 MiB takes through Wine's real spooler to the virtual printer with each of the four job
// senders (a buffer in one write; driver files one byte per read and per write, two of them with
// their substitution), against the floor of the same bytes in a single WritePrinter of our own.
// Not a test: it reports, and checks only that the printer got the bytes each sender means to send.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "host/printer/virtual_printer.h"
#include "jobs/byte_substitutions.h"
#include "jobs/raw_job_sender.h"

namespace {

constexpr size_t MEBIBYTE = 1024 * 1024;
constexpr int ROUNDS = 5;
constexpr wchar_t FILE_NAME[] = L"orlin-benchmark.bin";
constexpr LONG DROP_SIZE = 2;         // Light
constexpr DWORD PURGE_POSITION = 3;  // "K"

double Seconds()
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
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
    const std::wstring path = std::wstring(windows) + DRIVER_DIRECTORY_SUFFIX + FILE_NAME;
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (file == nullptr || fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
        std::fprintf(stderr, "cannot write the driver file\n");
        return 1;
    }
    fclose(file);

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
         }},
        {"SendCommandBuffer (one write)", &bytes,
         [&] { SendCommandBuffer(printer, bytes.data(), static_cast<DWORD>(bytes.size()), L"Benchmark Buffer"); }},
        {"SendDriverFile (byte by byte)", &bytes, [&] { SendDriverFile(printer, FILE_NAME, L"Benchmark File"); }},
        {"SendTestPatternFile (byte by byte)", &testPattern,
         [&] { SendTestPatternFile(printer, FILE_NAME, L"Benchmark Test Pattern", DROP_SIZE); }},
        {"SendPurgeFile (byte by byte)", &purge,
         [&] { SendPurgeFile(printer, FILE_NAME, L"Benchmark Purge", PURGE_POSITION); }},
    };
    // The senders take turns within every round, so that the machine's drift reaches all alike.
    bool intact = true;
    for (int round = 0; round < ROUNDS && intact; ++round) {
        for (Sender& sender : senders) {
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
    ClosePrinter(printer);
    if (!intact) return 1;
    std::printf("%d-bit, 1 MiB through Wine's spooler to the virtual printer, best of %d:\n",
                static_cast<int>(sizeof(void*) * 8), ROUNDS);
    const double floorMs = senders[0].ms;
    for (const Sender& sender : senders) {
        std::printf("  %-36s %8.1f ms per MiB %8.1f us per KiB  x%.1f\n", sender.name, sender.ms,
                    sender.ms * 1000.0 / 1024.0, sender.ms / floorMs);
    }
    return 0;
}

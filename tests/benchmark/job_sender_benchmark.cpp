// How long a 1 MiB driver file takes through Wine's real spooler to the virtual printer, sent as
// the plug-in sends files (one byte per read and per write), against the floor of the same bytes
// in a single write. Not a test: it reports, and checks only that the printer got the bytes.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "host/virtual_printer.h"
#include "jobs/raw_job_sender.h"

namespace {

constexpr size_t MEBIBYTE = 1024 * 1024;
constexpr int ROUNDS = 3;
constexpr wchar_t FILE_NAME[] = L"orlin-benchmark.bin";

double Seconds()
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Best of ROUNDS, in milliseconds; each round's job must reach the printer intact.
bool Measure(const std::wstring& jobsFolder, const std::vector<BYTE>& expected, const std::function<void()>& send,
             double* bestMs)
{
    *bestMs = 0;
    for (int round = 0; round < ROUNDS; ++round) {
        const std::vector<std::wstring> before = CapturedJobFiles(jobsFolder);
        const double start = Seconds();
        send();
        const double ms = (Seconds() - start) * 1000.0;
        const std::vector<std::wstring> fresh = WaitForNewJobFiles(jobsFolder, before, 30000);
        std::vector<BYTE> received;
        const bool intact = fresh.size() == 1 && ReadWholeFile(fresh[0], &received) && received == expected;
        for (const std::wstring& file : fresh) DeleteFileW(file.c_str());
        if (!intact) return false;
        if (round == 0 || ms < *bestMs) *bestMs = ms;
    }
    return true;
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

    double perByteMs = 0, singleMs = 0;
    const bool fileOk = Measure(
        jobsFolder, bytes, [&] { SendDriverFile(printer, FILE_NAME, L"Benchmark File"); }, &perByteMs);
    const bool singleOk = Measure(
        jobsFolder, bytes,
        [&] {
            DOC_INFO_1W info = {};
            info.pDocName = const_cast<LPWSTR>(L"Benchmark Single Write");
            if (!StartDocPrinterW(printer, 1, reinterpret_cast<LPBYTE>(&info))) return;
            DWORD written = 0;
            WritePrinter(printer, bytes.data(), static_cast<DWORD>(bytes.size()), &written);
            EndDocPrinter(printer);
        },
        &singleMs);
    DeleteFileW(path.c_str());
    ClosePrinter(printer);
    if (!fileOk || !singleOk) {
        std::fprintf(stderr, "the printer did not receive the 1 MiB job intact\n");
        return 1;
    }
    std::printf("%d-bit, 1 MiB through Wine's spooler to the virtual printer, best of %d:\n",
                static_cast<int>(sizeof(void*) * 8), ROUNDS);
    std::printf("  file sender, one byte per read and write: %8.1f ms per MiB\n", perByteMs);
    std::printf("  the same bytes in one WritePrinter:       %8.1f ms per MiB\n", singleMs);
    std::printf("  ratio: %.1f\n", perByteMs / singleMs);
    return 0;
}

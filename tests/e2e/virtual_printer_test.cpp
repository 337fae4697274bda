// End to end on Wine's real spooler: the raw job sender's jobs reach the virtual printer's port,
// and the bytes it receives are exactly the bytes that were meant to be sent.
#include "emulation/virtual_printer.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "jobs/byte_substitutions.h"
#include "jobs/command_templates.h"
#include "jobs/raw_job_sender.h"

namespace {

using Bytes = std::vector<BYTE>;
constexpr DWORD JobTimeoutMs = 15000;

// Every byte value, and the sequences a text-mode path or a line-ending conversion would touch.
Bytes AwkwardBytes(size_t size)
{
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<BYTE>(i * 37 + i / 256);
    const BYTE tricky[] = {0x0D, 0x0A, 0x0A, 0x0D, 0x1A, 0x00, 0x1B, 0x40, 0xFF, 0x0C};
    for (size_t i = 0; i < sizeof tricky && i < size; ++i) bytes[i] = tricky[i];
    return bytes;
}

class VirtualPrinter : public ::testing::Test {
protected:
    void SetUp() override
    {
        jobsFolder_ = VirtualPrinterJobsFolder();
        ASSERT_FALSE(jobsFolder_.empty()) << "no virtual printer: run scripts/virtual-printer.sh";
        ASSERT_TRUE(OpenPrinterW(const_cast<LPWSTR>(VIRTUAL_PRINTER_NAME), &printer_, nullptr))
            << "cannot open the virtual printer: error " << GetLastError();
        wchar_t windows[MAX_PATH] = {};
        GetWindowsDirectoryW(windows, MAX_PATH);
        driverFolder_ = std::wstring(windows) + DRIVER_DIRECTORY_SUFFIX;
    }
    void TearDown() override
    {
        for (const std::wstring& file : driverFiles_) DeleteFileW(file.c_str());
        if (printer_ != nullptr) ClosePrinter(printer_);
    }

    // Runs one send and returns what the printer received: exactly one new job is expected.
    Bytes Received(const std::function<void()>& send)
    {
        const std::vector<std::wstring> before = CapturedJobFiles(jobsFolder_);
        send();
        const std::vector<std::wstring> fresh = WaitForNewJobFiles(jobsFolder_, before, JobTimeoutMs);
        EXPECT_EQ(1u, fresh.size()) << "jobs received: " << fresh.size();
        Bytes bytes;
        if (!fresh.empty()) EXPECT_TRUE(ReadWholeFile(fresh.back(), &bytes));
        return bytes;
    }

    // A file in the real driver folder of this architecture, removed after the test.
    void PutDriverFile(const std::wstring& name, const Bytes& bytes)
    {
        const std::wstring path = driverFolder_ + name;
        FILE* file = _wfopen(path.c_str(), L"wb");
        ASSERT_NE(nullptr, file) << "cannot write to the driver folder";
        if (!bytes.empty()) ASSERT_EQ(bytes.size(), fwrite(bytes.data(), 1, bytes.size(), file));
        fclose(file);
        driverFiles_.push_back(path);
    }

    HANDLE printer_ = nullptr;
    std::wstring jobsFolder_, driverFolder_;
    std::vector<std::wstring> driverFiles_;
};

}  // namespace

TEST_F(VirtualPrinter, EveryTemplateArrivesByteForByte)
{
    const struct {
        const BYTE* data;
        size_t size;
        const wchar_t* docName;
    } templates[] = {
        {HeadCleanCommand, HEAD_CLEAN_COMMAND_SIZE, L"Head Clean"},
        {NozzleCheckCommand, NOZZLE_CHECK_COMMAND_SIZE, L"Nozzle Check"},
        {PortTestCommand, PORT_TEST_COMMAND_SIZE, L"Head port_test"},
        {AlignmentCommand, ALIGNMENT_COMMAND_SIZE, L"Head Alignment 1"},
        {AlignmentSaveCommand, ALIGNMENT_SAVE_COMMAND_SIZE, L"Head Alignment 2"},
    };
    for (const auto& t : templates) {
        const Bytes received =
            Received([&] { SendCommandBuffer(printer_, t.data, static_cast<DWORD>(t.size), t.docName); });
        EXPECT_EQ(Bytes(t.data, t.data + t.size), received) << t.size << "-byte template";
    }
}

TEST_F(VirtualPrinter, PatchedAlignmentArrivesWithItsOffsets)
{
    const int32_t saved[3] = {AlignmentSelections[0], AlignmentSelections[1], AlignmentSelections[2]};
    AlignmentSelections[0] = 0;
    AlignmentSelections[1] = 8;
    AlignmentSelections[2] = 3;
    PatchAlignmentCommand(AlignmentCommand);
    const Bytes received =
        Received([&] { SendCommandBuffer(printer_, AlignmentCommand, ALIGNMENT_COMMAND_SIZE, L"Head Alignment 1"); });
    ASSERT_EQ(ALIGNMENT_COMMAND_SIZE, received.size());
    for (size_t place : {59, 68, 86, 95}) EXPECT_EQ(0xFA, received[place]);
    for (size_t place : {113, 122, 140, 149}) EXPECT_EQ(0x06, received[place]);
    for (size_t place : {167, 176, 194, 203}) EXPECT_EQ(0xFF, received[place]);
    EXPECT_EQ(Bytes(AlignmentCommand, AlignmentCommand + ALIGNMENT_COMMAND_SIZE), received);
    for (int i = 0; i < 3; ++i) AlignmentSelections[i] = saved[i];
    PatchAlignmentCommand(AlignmentCommand);
}

TEST_F(VirtualPrinter, DriverFileFromThisArchitecturesFolderArrivesUnchanged)
{
    const Bytes file = AwkwardBytes(3000);
    PutDriverFile(L"orlin-e2e-align.bin", file);
    EXPECT_EQ(file, Received([&] { SendDriverFile(printer_, L"orlin-e2e-align.bin", L"Alignment File"); }));
}

TEST_F(VirtualPrinter, EmptyDriverFileArrivesAsAnEmptyJob)
{
    PutDriverFile(L"orlin-e2e-cnt16.bin", {});
    EXPECT_EQ(Bytes(), Received([&] { SendDriverFile(printer_, L"orlin-e2e-cnt16.bin", L"Waste Reset File"); }));
}

TEST_F(VirtualPrinter, TestPatternArrivesWithTheDropSizeCode)
{
    const Bytes file = AwkwardBytes(TEST_PATTERN_BYTE_INDEX + 100);
    PutDriverFile(L"orlin-e2e-test.bin", file);
    Bytes expected = file;
    expected[TEST_PATTERN_BYTE_INDEX] = 0x12;
    EXPECT_EQ(expected, Received([&] { SendTestPatternFile(printer_, L"orlin-e2e-test.bin", L"Test File", 2); }));
}

TEST_F(VirtualPrinter, PurgeArrivesWithTheColourCodes)
{
    const Bytes file = {0x00, 0x1B, 0x69, 0x05, 0x0D, 0x0A, 0x69, 0x05, 0x1B, 0x28, 0x69, 0x1B, 0x0C};
    PutDriverFile(L"orlin-e2e-purge.bin", file);
    Bytes expected = file;
    expected[3] = 0x40;  // "M/W"
    expected[11] = 0x40;
    EXPECT_EQ(expected, Received([&] { SendPurgeFile(printer_, L"orlin-e2e-purge.bin", L"Purge Print", 5); }));
}

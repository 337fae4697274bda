// The raw job sender against the recording spooler: exact call sequences, document records,
// bytes per write, and what happens when the file, the path or the spooler fails.
#include "jobs/raw_job_sender.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "emulation/kernel_seams.h"
#include "emulation/spooler_recorder.h"
#include "jobs/command_templates.h"

namespace {

using Bytes = std::vector<BYTE>;
using Calls = std::vector<std::string>;

const Calls StartOnly = {"StartDocPrinterW"};

Bytes Pattern(size_t size)
{
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<BYTE>(i * 13 + 5);
    return bytes;
}

Calls FileJobCalls(size_t writes, const char* last)
{
    Calls calls = {"StartDocPrinterW"};
    calls.insert(calls.end(), writes, "WritePrinter");
    calls.push_back(last);
    return calls;
}

class RawJobSender : public ::testing::Test {
protected:
    RawJobSender() { kernel.windowsDirectory = drivers.windowsDirectory(); }

    SpoolerRecorder spooler;
    FakeKernel kernel;
    TempDriverDirectory drivers{DRIVER_DIRECTORY_SUFFIX};
    HANDLE printer = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x4242));

    const RecordedJob& OnlyJob()
    {
        EXPECT_EQ(1u, spooler.jobs.size());
        if (spooler.jobs.empty()) spooler.jobs.emplace_back();
        return spooler.jobs.front();
    }
};

}  // namespace

TEST_F(RawJobSender, BufferGoesOutInOneWriteUnderALevelOneRecordWithOnlyTheName)
{
    SendCommandBuffer(printer, HeadCleanCommand, HEAD_CLEAN_COMMAND_SIZE, L"Head Clean");
    EXPECT_EQ((Calls{"StartDocPrinterW", "WritePrinter", "EndDocPrinter"}), spooler.calls);
    const RecordedJob& job = OnlyJob();
    EXPECT_EQ(printer, job.printer);
    EXPECT_EQ(1u, job.level);
    EXPECT_EQ(L"Head Clean", job.docName);
    EXPECT_FALSE(job.outputFileSet);
    EXPECT_FALSE(job.datatypeSet);
    EXPECT_EQ(std::vector<DWORD>{HEAD_CLEAN_COMMAND_SIZE}, job.writeSizes);
    EXPECT_EQ(Bytes(HeadCleanCommand, HeadCleanCommand + HEAD_CLEAN_COMMAND_SIZE), job.bytes);
    EXPECT_TRUE(job.ended);
}

TEST_F(RawJobSender, BufferWhoseJobCannotStartIsNeitherWrittenNorEnded)
{
    spooler.failCall = 1;
    SendCommandBuffer(printer, PortTestCommand, PORT_TEST_COMMAND_SIZE, L"Head port_test");
    EXPECT_EQ(StartOnly, spooler.calls);
    EXPECT_TRUE(spooler.jobs.empty());
}

TEST_F(RawJobSender, BufferWhoseWriteFailsOrFallsShortIsAborted)
{
    spooler.failCall = 2;
    SendCommandBuffer(printer, PortTestCommand, PORT_TEST_COMMAND_SIZE, L"Head port_test");
    spooler.failCall = 0;
    spooler.shortWriteCall = 5;
    SendCommandBuffer(printer, PortTestCommand, PORT_TEST_COMMAND_SIZE, L"Head port_test");
    EXPECT_EQ(
        (Calls{"StartDocPrinterW", "WritePrinter", "AbortPrinter", "StartDocPrinterW", "WritePrinter", "AbortPrinter"}),
        spooler.calls);
    ASSERT_EQ(2u, spooler.jobs.size());
    for (const RecordedJob& job : spooler.jobs) EXPECT_TRUE(job.aborted && !job.ended);
}

TEST_F(RawJobSender, DriverFileGoesOutOneBytePerWrite)
{
    const Bytes file = Pattern(300);
    drivers.WriteFile(L"align.bin", file);
    SendDriverFile(printer, L"align.bin", L"Alignment File");
    EXPECT_EQ(FileJobCalls(300, "EndDocPrinter"), spooler.calls);
    const RecordedJob& job = OnlyJob();
    EXPECT_EQ(L"Alignment File", job.docName);
    EXPECT_EQ(1u, job.level);
    EXPECT_FALSE(job.outputFileSet || job.datatypeSet);
    EXPECT_EQ(std::vector<DWORD>(300, 1), job.writeSizes);
    EXPECT_EQ(file, job.bytes);
    EXPECT_TRUE(job.ended);
}

TEST_F(RawJobSender, EmptyDriverFileGivesAnEmptyJob)
{
    drivers.WriteFile(L"cnt16.bin", {});
    SendDriverFile(printer, L"cnt16.bin", L"Waste Reset File");
    EXPECT_EQ(FileJobCalls(0, "EndDocPrinter"), spooler.calls);
    EXPECT_EQ(L"Waste Reset File", OnlyJob().docName);
}

TEST_F(RawJobSender, MissingDriverFileGivesNoJob)
{
    SendDriverFile(printer, L"cnt16.bin", L"Waste Reset File");
    SendTestPatternFile(printer, L"test.bin", L"Test File", 0);
    SendPurgeFile(printer, L"purge.bin", L"Purge Print", 0);
    EXPECT_TRUE(spooler.calls.empty());
}

TEST_F(RawJobSender, UnobtainableWindowsDirectoryGivesNoJob)
{
    drivers.WriteFile(L"align.bin", Pattern(4));
    kernel.windowsDirectoryFails = true;
    SendDriverFile(printer, L"align.bin", L"Alignment File");
    kernel.windowsDirectoryFails = false;
    kernel.windowsDirectory = std::wstring(300, L'x');
    SendDriverFile(printer, L"align.bin", L"Alignment File");
    EXPECT_TRUE(spooler.calls.empty());
}

TEST_F(RawJobSender, PathMustFitTwoHundredSixtyUnitsWithItsTerminatingZero)
{
    const size_t room = MAX_PATH - 1 - drivers.windowsDirectory().size() - wcslen(DRIVER_DIRECTORY_SUFFIX);
    ASSERT_LT(room, 250u) << "temporary folder too short to reach the limit";
    const std::wstring fits(room, L'f'), tooLong(room + 1, L'g');
    drivers.WriteFile(fits, Pattern(2));
    drivers.WriteFile(tooLong, Pattern(2));

    SendDriverFile(printer, fits.c_str(), L"Fits");
    SendDriverFile(printer, tooLong.c_str(), L"Too Long");
    ASSERT_EQ(1u, spooler.jobs.size());
    EXPECT_EQ(L"Fits", spooler.jobs[0].docName);
    EXPECT_EQ(Pattern(2), spooler.jobs[0].bytes);
}

TEST_F(RawJobSender, FileJobThatCannotStartReadsAndWritesNothing)
{
    drivers.WriteFile(L"align.bin", Pattern(10));
    spooler.failCall = 1;
    SendDriverFile(printer, L"align.bin", L"Alignment File");
    EXPECT_EQ(StartOnly, spooler.calls);
}

TEST_F(RawJobSender, FailedFirstWriteAbortsTheFileJob)
{
    drivers.WriteFile(L"align.bin", Pattern(10));
    spooler.failCall = 2;
    SendDriverFile(printer, L"align.bin", L"Alignment File");
    EXPECT_EQ(FileJobCalls(1, "AbortPrinter"), spooler.calls);
    EXPECT_TRUE(OnlyJob().bytes.empty());
    EXPECT_TRUE(OnlyJob().aborted);
}

TEST_F(RawJobSender, FailedOrShortWriteInTheMiddleStopsAndAbortsTheFileJob)
{
    const Bytes file = Pattern(10);
    drivers.WriteFile(L"purge.bin", file);
    spooler.failCall = 6;  // the fifth byte
    SendDriverFile(printer, L"purge.bin", L"Purge Print");
    EXPECT_EQ(FileJobCalls(5, "AbortPrinter"), spooler.calls);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 4), spooler.jobs.at(0).bytes);

    spooler.calls.clear();
    spooler.failCall = 0;
    spooler.shortWriteCall = 4;  // the third byte is reported as not written
    SendDriverFile(printer, L"purge.bin", L"Purge Print");
    EXPECT_EQ(FileJobCalls(3, "AbortPrinter"), spooler.calls);
    ASSERT_EQ(2u, spooler.jobs.size());
    EXPECT_TRUE(spooler.jobs[1].aborted && !spooler.jobs[1].ended);
    EXPECT_EQ(0u, spooler.OpenJobs());
}

TEST_F(RawJobSender, TestPatternChangesOnlyTheDropSizeByte)
{
    const Bytes file = Pattern(65850);
    drivers.WriteFile(L"test.bin", file);
    const BYTE Codes[3] = {0x11, 0x11, 0x12};
    for (LONG drop = 0; drop < 3; ++drop) SendTestPatternFile(printer, L"test.bin", L"Test File", drop);
    ASSERT_EQ(3u, spooler.jobs.size());
    for (LONG drop = 0; drop < 3; ++drop) {
        const RecordedJob& job = spooler.jobs[drop];
        Bytes expected = file;
        expected[65849] = Codes[drop];
        EXPECT_EQ(expected, job.bytes) << drop;
        EXPECT_EQ(65850u, job.writeSizes.size());
        EXPECT_EQ(L"Test File", job.docName);
        EXPECT_TRUE(job.ended);
    }
}

TEST_F(RawJobSender, TestPatternShorterThanTheDropSizeByteGoesOutUnchanged)
{
    const Bytes file = Pattern(65849);
    drivers.WriteFile(L"test.bin", file);
    SendTestPatternFile(printer, L"test.bin", L"Test File", 2);
    EXPECT_EQ(file, OnlyJob().bytes);
}

TEST_F(RawJobSender, PurgeWritesTheColourCodeAfterEscapeSelect)
{
    drivers.WriteFile(L"purge.bin", {0x1B, 0x69, 0x05, 0x69, 0x05, 0x1B, 0x41, 0x69, 0x05});
    SendPurgeFile(printer, L"purge.bin", L"Purge Print", 3);
    const RecordedJob& job = OnlyJob();
    EXPECT_EQ((Bytes{0x1B, 0x69, 0x02, 0x69, 0x05, 0x1B, 0x41, 0x69, 0x02}), job.bytes);
    EXPECT_EQ(L"Purge Print", job.docName);
    EXPECT_TRUE(job.ended);
}

TEST_F(RawJobSender, PurgePositionAboveSevenSendsNothing)
{
    drivers.WriteFile(L"purge.bin", {0x1B, 0x69, 0x05});
    for (DWORD position : {8ul, 9ul, 0x80000000ul, 0xFFFFFFFFul})
        SendPurgeFile(printer, L"purge.bin", L"Purge Print", position);
    EXPECT_TRUE(spooler.calls.empty());
}

// The folder is named here apart from the plug-in's constant: _WIN64 alone cannot tell x64 from
// ARM64 (whose build the ARM64 smoke program checks under arm64 Wine).
TEST_F(RawJobSender, EachBuildReadsTheDriverFolderOfItsArchitecture)
{
    const wchar_t* folder = sizeof(void*) == 4 ? L"w32x86" : L"x64";
    TempDriverDirectory ownFolder{std::wstring(L"\\system32\\spool\\drivers\\") + folder + L"\\3\\"};
    kernel.windowsDirectory = ownFolder.windowsDirectory();
    ownFolder.WriteFile(L"cnt16.bin", Pattern(16));
    SendDriverFile(printer, L"cnt16.bin", L"Waste Reset File");
    EXPECT_EQ(Pattern(16), OnlyJob().bytes);
}

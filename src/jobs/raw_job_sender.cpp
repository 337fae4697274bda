#include "jobs/raw_job_sender.h"

#include <cstdio>
#include <cwchar>

#include "jobs/byte_substitutions.h"

namespace {

// The one FILE* a file job reads from; closed after the document has ended.
class DriverFile {
public:
    explicit DriverFile(const wchar_t* path) : file_(_wfopen(path, L"rb")) {}
    ~DriverFile()
    {
        if (file_ != nullptr) fclose(file_);
    }
    DriverFile(const DriverFile&) = delete;
    DriverFile& operator=(const DriverFile&) = delete;

    bool opened() const { return file_ != nullptr; }
    // Exactly one byte per read: the end of the file and a read error both end the job.
    bool ReadByte(BYTE* byte) { return fread(byte, 1, 1, file_) == 1; }

private:
    FILE* file_;
};

// A spooler document started on a printer the driver lent us. It is ended when it goes out of
// scope, or aborted once a write has failed, so that a printer never runs a command stream with a
// byte missing. After a failed write nothing more is written.
class StartedDocument {
public:
    StartedDocument(HANDLE printer, const wchar_t* docName) : printer_(printer)
    {
        DOC_INFO_1W info = {};
        info.pDocName = const_cast<LPWSTR>(docName);
        started_ = StartDocPrinterW(printer_, 1, reinterpret_cast<LPBYTE>(&info)) != 0;
    }
    ~StartedDocument()
    {
        if (!started_) return;
        if (failed_)
            AbortPrinter(printer_);
        else
            EndDocPrinter(printer_);
    }
    StartedDocument(const StartedDocument&) = delete;
    StartedDocument& operator=(const StartedDocument&) = delete;

    // False once any write of the document has failed or fallen short; then nothing is sent.
    bool Write(const BYTE* data, DWORD size)
    {
        if (!started_ || failed_) return false;
        DWORD written = 0;
        if (!WritePrinter(printer_, const_cast<BYTE*>(data), size, &written) || written != size) failed_ = true;
        return !failed_;
    }
    bool started() const { return started_; }

private:
    HANDLE printer_;
    bool started_ = false;
    bool failed_ = false;
};

// Joins the Windows directory, the driver folder and the file name. Fails, so that no file is
// opened, when the Windows directory is unobtainable or the path would not fit MAX_PATH with its
// terminating zero: a cut path could name some other file.
bool BuildDriverFilePath(const wchar_t* fileName, wchar_t (&path)[MAX_PATH])
{
    if (fileName == nullptr) return false;
    const UINT directoryLength = GetWindowsDirectoryW(path, MAX_PATH);
    if (directoryLength == 0 || directoryLength >= MAX_PATH) return false;
    const size_t suffixLength = wcslen(DRIVER_DIRECTORY_SUFFIX);
    const size_t nameLength = wcslen(fileName);
    if (directoryLength + suffixLength + nameLength + 1 > MAX_PATH) return false;
    wmemcpy(path + directoryLength, DRIVER_DIRECTORY_SUFFIX, suffixLength);
    wmemcpy(path + directoryLength + suffixLength, fileName, nameLength + 1);
    return true;
}

// One byte per read and one byte per write, each byte passed through the file's substitution.
template <typename Substitution>
void SendFile(HANDLE printer, const wchar_t* fileName, const wchar_t* docName, Substitution substitute)
{
    wchar_t path[MAX_PATH];
    if (!BuildDriverFilePath(fileName, path)) return;
    DriverFile file(path);
    if (!file.opened()) return;
    StartedDocument document(printer, docName);
    if (!document.started()) return;
    BYTE byte = 0;
    while (file.ReadByte(&byte)) {
        const BYTE sent = substitute(byte);
        if (!document.Write(&sent, 1)) return;
    }
}

}  // namespace

void SendCommandBuffer(HANDLE printer, const BYTE* data, DWORD size, const wchar_t* docName)
{
    if (data == nullptr && size != 0) return;
    StartedDocument document(printer, docName);
    document.Write(data, size);
}

void SendDriverFile(HANDLE printer, const wchar_t* fileName, const wchar_t* docName)
{
    SendFile(printer, fileName, docName, NoSubstitution());
}

void SendTestPatternFile(HANDLE printer, const wchar_t* fileName, const wchar_t* docName, LONG dropSize)
{
    SendFile(printer, fileName, docName, TestPatternSubstitution(dropSize));
}

void SendPurgeFile(HANDLE printer, const wchar_t* fileName, const wchar_t* docName, DWORD colorPosition)
{
    // Checked before anything is opened: the purge list reports all bits set when nothing is chosen.
    if (colorPosition >= PURGE_COLOR_COUNT) return;
    SendFile(printer, fileName, docName, PurgeSubstitution(colorPosition));
}

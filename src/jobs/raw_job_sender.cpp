#include "jobs/raw_job_sender.h"

void SendCommandBuffer(HANDLE, const BYTE*, DWORD, const wchar_t*) {}
void SendDriverFile(HANDLE, const wchar_t*, const wchar_t*) {}
void SendTestPatternFile(HANDLE, const wchar_t*, const wchar_t*, LONG) {}
void SendPurgeFile(HANDLE, const wchar_t*, const wchar_t*, DWORD) {}

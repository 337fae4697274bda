// The end of a session in words: the job settings as the private devmode holds them, the printer's
// Offset, and every job the plug-in sent, each with the file the virtual printer kept of it and
// whether the two are the same bytes.
#pragma once

#include <cstdio>

#include "emulation/received_jobs.h"
#include "emulation/spooler_recorder.h"
#include "host/session/host_session.h"

// Prints the summary. received may be null (no virtual printer folder to compare with). Returns
// false when a job sent is missing from the printer or differs from what it received.
bool PrintSessionSummary(HostSession& session, const SpoolerRecorder& jobs, const ReceivedJobsFolder* received,
                         FILE* out);

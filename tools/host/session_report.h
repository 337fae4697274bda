// The end of a session in words: the job settings as the private devmode holds them, the printer's
// Offset, and every job the plug-in sent, each with the file the virtual printer kept of it and
// whether the two are the same bytes.
#pragma once

#include <cstdio>

#include "host/host_session.h"
#include "host/job_recorder.h"
#include "host/received_jobs.h"

// Prints the summary. received may be null (no virtual printer folder to compare with). Returns
// false when a job sent is missing from the printer or differs from what it received.
bool PrintSessionSummary(HostSession& session, const JobRecorder& jobs, const ReceivedJobsFolder* received, FILE* out);

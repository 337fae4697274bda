// A decoded job as one JSON document, for scripts and CI that read what the printer received.
// Portable.
#pragma once

#include <string>

#include "jobview/job_listing.h"

namespace jobview {

// One line of JSON: {"file", "size", "pieces": [{"offset", "length", "kind", and for a command its
// "name" and "parameters" (the bytes as numbers), for a remote block its "name"}], "fault": null or
// {"offset", "message"}}. A file name that is not UTF-8 keeps its valid parts, the rest as U+FFFD.
std::string FormatJson(const std::string& file, const JobListing& listing);

}  // namespace jobview

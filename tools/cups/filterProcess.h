// What both filters set up before their job: the arguments CUPS passes,
// line-buffered messages, a large buffer for the printer stream, and
// SIGTERM (CUPS cancelling the job) raising a flag the page loop watches.
#pragma once

#include <atomic>
#include <string>

namespace tavix::cups {

// The cancel flag, or null after the usage went to standard error (the
// filter then exits 1).
const std::atomic<bool>* startFilter(int argc, char* argv[]);

// An "ERROR:" line for CUPS; returns the exit status 1.
int failJob(const std::string& message);

}  // namespace tavix::cups

// The "file" device: the printer stream of each job as a file, for tests
// and for looking at what a printer would receive. file:///FOLDER/ writes
// job-0001.plt, job-0002.plt, ... in FOLDER; file:///PATH writes PATH (each
// job replaces it). Only folders under the allowed root (the spool
// directory unless file-device-root says otherwise) can be used.
#pragma once

#include <string>

namespace tavix::printerapp {

void registerFileDevice(const std::string& allowedRoot);

}  // namespace tavix::printerapp

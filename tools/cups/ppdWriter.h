// The PPD of one model, written from the driver's own tables: every paper
// with its printable area, the long and roll papers as custom sizes, and
// the options of the device and option dialogs.
#pragma once

#include <string>

#include "modelProfile.h"

namespace tavix::cups {

// The PPD text (ISO Latin-1, lines ending in LF).
std::string writePpd(const ModelProfile& profile);

// "tavix-tx90.ppd" for "TX-90-TAVIX E": the file name of a model's PPD.
std::string ppdFileName(const ModelProfile& profile);

}  // namespace tavix::cups

// The settings block of a job: the model's defaults, then the choices the
// PPD and the job's options mark, then the copy count. A value of one of our
// options that the PPD does not offer, or an option of ours that does not
// exist, is left out with a warning (the PPD's default prints); a paper the
// PPD does not offer or a copy count the printer cannot make refuses the
// job, as printing it would waste media.
#pragma once

#include <cups/ppd.h>

#include <string>
#include <vector>

#include "modelProfile.h"
#include "tavix/plotSettings.h"

namespace tavix::cups {

constexpr int MAX_COPIES = 999;

// The model the PPD was made for (its cupsModelNumber, checked against its
// ModelName); false with a reason when it is not one of ours.
bool modelOfPpd(ppd_file_t* ppd, int& model, std::string& error);

// Marks the PPD's defaults and the job's options (the filter's fifth
// argument) and builds the block; false with a reason for the user.
// `warnings` receives a line for each option left out.
bool jobSettings(ppd_file_t* ppd, const ModelProfile& profile, const char* options, const char* copies,
                 PlotSettings& settings, std::vector<std::string>& warnings, std::string& error);

}  // namespace tavix::cups

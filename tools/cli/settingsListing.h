// What can be chosen and what is set, in plain words: `tavix models`,
// `tavix papers [--model M]` and `tavix configure --show`.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "hostConfig.h"

namespace CLI {
class App;
}

namespace tavix::host {

// True when `given` is `word` (lower case) in any case.
bool sameWord(const std::string& given, const char* word);

// The words of --model and the model rows they choose; the row numbers
// 0..4 are taken too but not offered.
const std::vector<std::pair<const char*, int>>& modelWords();

struct ListingOptions {
    std::string model = "tx90";
};

void addPapersOptions(CLI::App& command, ListingOptions& options);

int listModels();
int listPapers(const ListingOptions& options);

// The settings of a configuration and the pens of the pen file in the
// current directory (`penFileShown` names it), to standard output.
void showSettings(const HostConfig& config, const std::string& penFileShown);

}  // namespace tavix::host

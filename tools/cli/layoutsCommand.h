// `tavix layouts FILE.dxf`: the paper-space layouts of a DXF drawing, each
// with its paper, plot scale and viewports, as `plot --layout` chooses from.
#pragma once

#include <string>

namespace CLI {
class App;
}

namespace tavix::host {

void addLayoutsOptions(CLI::App& command, std::string& drawing);

// Exit status: 0 listed, 1 the file could not be read.
int listLayouts(const std::string& drawing);

}  // namespace tavix::host

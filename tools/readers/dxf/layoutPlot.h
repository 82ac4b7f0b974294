// `tavix plot --layout NAME` and `tavix layouts`: a paper-space layout as
// the CAD host plots it, its own entities (the title block) and each
// viewport's view of model space, placed by the layout's plot settings
// unless the user places it.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "dxfPlot.h"
#include "layoutScanner.h"

namespace tavix::dxf {

bool plotLayout(std::FILE* file, const DxfPlotOptions& options, const PlotArea& area, const RequestSink& send,
                DxfPlotReport& report, std::string& error);

// The paper-space layouts of the drawing, in tab order; false with the reason.
bool readLayouts(std::FILE* file, std::vector<Layout>& layouts, std::vector<Viewport>& viewports,
                 std::string& error);

// The model-space to sheet map of a viewport (plan views).
geometry::Affine viewportToSheet(const Viewport& v);

}  // namespace tavix::dxf

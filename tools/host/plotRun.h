// A plot run as the CAD host makes it: initialise, language, load the
// settings, agree the plot area, the settings summary on request, begin
// plot, the drawing's requests, end plot.
#pragma once

#include <functional>
#include <string>

#include "drawingFile.h"
#include "hostConfig.h"
#include "hostSession.h"

namespace tavix::host {

struct PlotOptions {
    std::string baseDir;             // where relative image files are found
    std::string language = "ja";
    bool deviceDialog = false;       // configure the plot through request 46
    bool showSummary = false;        // ask for the settings summary (request 31) before the plot
    std::function<void()> beforeDeviceDialog;  // scripts the dialog's user
    // How much of the drawing has been sent, 0 to 1 (stage empty); an image
    // reports its own share of rows as the driver fetches them, with the
    // stage "image, line N".
    std::function<void(double fraction, const std::string& stage)> progress;
};

struct PlotOutcome {
    bool ok = false;
    std::string error;   // why it failed, for the user
    int requests = 0;    // drawing requests sent
};

PlotOutcome runPlot(HostSession& session, HostConfig& config, const Drawing& drawing,
                    const PlotOptions& options);

// A drawing read while it plots (DXF): called once the plot has begun, with
// the plot area in host units and a sender for each request. A false from
// the producer (with its reason) or from the sender ends the plot as failed.
using RequestSender = std::function<bool(const DrawingRequest&, std::string& why)>;
using DrawingProducer = std::function<bool(double width, double height, double unitsPerInch,
                                           const RequestSender& send, std::string& why)>;
PlotOutcome runPlot(HostSession& session, HostConfig& config, const DrawingProducer& producer,
                    const PlotOptions& options);

}  // namespace tavix::host

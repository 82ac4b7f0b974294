// A plot run as the CAD host makes it: initialise, language, load the
// settings, agree the plot area, the settings summary on request, begin
// plot, the drawing's requests one at a time, end plot. Any drawing reader
// pushes its requests through one PlotRun, so every input takes the same
// road into the driver.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "drawingFile.h"
#include "hostConfig.h"
#include "hostSession.h"
#include "pngImage.h"

namespace tavix::host {

struct PlotOptions {
    std::string baseDir;             // where relative image files are found
    std::string language = "ja";
    bool deviceDialog = false;       // configure the plot through request 46
    bool showSummary = false;        // ask for the settings summary (request 31) before the plot
    bool summaryInEnglish = false;   // show it with the English texts of its messages
    std::function<void()> beforeDeviceDialog;  // scripts the dialog's user
    // How much of the drawing has been sent, 0 to 1 (stage empty); an image
    // reports its own share of rows as the driver fetches them, with the
    // stage "image, line N".
    std::function<void(double fraction, const std::string& stage)> progress;
    // A warning for the user ("line 7: ..."); the run goes on.
    std::function<void(const std::string& warning)> warn;
};

// Points sent against the plot area: how many, how many beyond it, and how
// far the farthest reaches (millimetres).
struct ClipSummary {
    int64_t points = 0;
    int64_t beyond = 0;
    double farthestMm = 0;
};

class PlotRun {
public:
    PlotRun(HostSession& session, HostConfig& config, const PlotOptions& options);
    ~PlotRun();
    PlotRun(const PlotRun&) = delete;
    PlotRun& operator=(const PlotRun&) = delete;

    // Set-up through begin plot (30); false with error().
    bool begin();
    // One request; false with error() (the run is over then: an aborted
    // plot, a refused value, the driver's failure).
    bool send(const DrawingRequest& request);
    // End plot (2); false with error() when the printer file failed.
    bool finish();
    // Ends a run that failed or was given up: the driver's end of plot, so
    // that it releases what it holds. The output is the caller's to drop.
    void abort();

    const std::string& error() const { return error_; }
    int requests() const { return requests_; }
    // Requests that put something on paper (draws, fills, images).
    int drawingRequests() const { return drawingRequests_; }
    bool aborted() const { return aborted_; }
    // Available after begin().
    double hostUnitsPerInch() const { return config_.stepsPerInch; }
    double plotWidthInches() const { return plotWidth_; }
    double plotHeightInches() const { return plotHeight_; }
    const ClipSummary& clipping() const { return clip_; }
    // "1 of 5 points lie beyond ..."; empty when nothing does.
    std::string clipWarning() const;

private:
    struct PendingImage;

    bool fail(const std::string& why);
    bool failAt(const DrawingRequest& r, const std::string& why);
    bool setUp();
    bool agreePlotArea();
    // Every point passes these two; their rare branches are apart.
    bool coordinate(const DrawingRequest& r, size_t index, uint16_t& out);
    [[gnu::cold]] bool coordinateRefused(const DrawingRequest& r, size_t index);
    void notePoint(const DrawingRequest& r, uint16_t x, uint16_t y);
    [[gnu::cold]] void noteBeyond(const DrawingRequest& r, uint16_t x, uint16_t y);
    bool sendVector(const DrawingRequest& r);
    bool sendFill(const DrawingRequest& r);
    bool sendImage(const DrawingRequest& r);
    bool loadImage(const DrawingRequest& r, std::shared_ptr<const RgbImage>& image);
    int plot(int16_t code);
    void releasePrintedImages(int32_t keep);

    HostSession& session_;
    HostConfig& config_;
    const PlotOptions& options_;
    std::string error_;
    int requests_ = 0;
    int drawingRequests_ = 0;
    bool aborted_ = false;
    bool ended_ = false;
    bool begun_ = false;
    size_t firstMessage_ = 0;
    double plotWidth_ = 0, plotHeight_ = 0;
    double areaX_ = 65535, areaY_ = 65535;  // the last host unit inside the plot area
    ClipSummary clip_;
    std::vector<uint8_t> packet_;
    // One vertex buffer for every array fill, so its host address stays the same.
    std::vector<uint8_t> vertices_;
    std::vector<uint16_t> xy_;
    std::vector<std::unique_ptr<PendingImage>> images_;
    std::string lastImagePath_;
    std::shared_ptr<const RgbImage> lastImage_;
    int32_t nextHostValue_ = 1;
};

// The outcome of a whole drawing sent through one run.
struct PlotOutcome {
    bool ok = false;
    std::string error;   // why it failed, for the user
    int requests = 0;    // drawing requests sent
};

PlotOutcome runPlot(HostSession& session, HostConfig& config, const Drawing& drawing,
                    const PlotOptions& options);

}  // namespace tavix::host

// The page plotter of the CUPS filter and the printer application: a host
// session in which every raster
// page is one plot holding one image request, sent through the driver's
// request entries as the CAD host sends them. The printer stream is the
// driver's own: job ticket, PJL and set-up, the page's HP RTL, page end
// and copies.
#pragma once

#include <cups/raster.h>

#include <atomic>
#include <cstdio>
#include <string>

#include "hostSession.h"
#include "modelProfile.h"
#include "rasterPages.h"
#include "rasterGeometry.h"
#include "tavix/plotSettings.h"

namespace tavix::cups {

struct JobOutcome {
    int pages = 0;           // pages whose plot ended
    bool ok = false;
    bool cancelled = false;
    std::string error;       // for an "ERROR:" line
};

class PagePlotter {
public:
    // stream: where the printer stream goes; messages: the filter's
    // standard error ("INFO:", "PAGE:", "ATTR:" lines).
    PagePlotter(const ModelProfile& profile, const PlotSettings& settings, std::FILE* stream,
                std::FILE* messages, const std::atomic<bool>* cancel);
    ~PagePlotter();
    PagePlotter(const PagePlotter&) = delete;
    PagePlotter& operator=(const PagePlotter&) = delete;

    // Every page of the source in turn.
    JobOutcome run(RasterPageSource& pages);

private:
    bool plotPage(RasterPageSource& pages, const cups_page_header2_t& header, const PageLayout& layout,
                  JobOutcome& outcome);
    bool request(host::Packet& packet, int16_t expect, const char* what, JobOutcome& outcome);

    const ModelProfile& profile_;
    PlotSettings settings_;
    std::FILE* stream_;
    std::FILE* messages_;
    const std::atomic<bool>* cancel_;
    std::FILE* driverLog_;
    host::HostSession session_;
};

// A page header the filter can print (8-bit gray or RGB, chunky); false
// with a reason.
bool checkHeader(const cups_page_header2_t& header, std::string& error);

// The page as layOutPage wants it.
PageShape pageShapeOf(const cups_page_header2_t& header);

}  // namespace tavix::cups

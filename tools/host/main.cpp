// tavix: plays the CAD host's part for the driver. It configures the driver,
// plots drawings to printer files and previews printer streams.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <string>

#include "configureCommand.h"
#include "plotCommand.h"
#include "previewCommand.h"

int main(int argc, char** argv) {
    using namespace tavix::host;
    CLI::App app{"tavix: configure the TAVIXDRV driver, plot drawings to printer files, preview them"};
    app.require_subcommand(1);
    app.fallthrough();  // --config may also follow the command
    std::string configPath = "tavix.cfg";
    app.add_option("--config", configPath, "the host's configuration file (settings block and device values)")
        ->capture_default_str();

    ConfigureOptions configure;
    CLI::App* configureCmd = app.add_subcommand("configure", "a configuration run: choose the model and the device settings");
    addConfigureOptions(*configureCmd, configure);

    PlotCommandOptions plot;
    CLI::App* plotCmd = app.add_subcommand("plot", "a plot run: a drawing to a printer file");
    plotCmd->add_option("drawing", plot.drawing, "the drawing file (docs/drawing-format.md)")->required();
    plotCmd->add_option("-o,--output", plot.output, "the printer file ('-' or none: standard output)");
    plotCmd->add_option("--preview", plot.previewPath, "also draw the stream to this PNG or SVG file");
    plotCmd->add_option("--dpi", plot.previewDpi, "preview resolution, pixels per inch of paper");

    std::string previewInput, previewOutput;
    double previewDpi = 0;
    CLI::App* previewCmd = app.add_subcommand("preview", "draw a printer stream to PNG or SVG");
    previewCmd->add_option("file", previewInput, "the printer stream")->required();
    previewCmd->add_option("-o,--output", previewOutput, "the picture (.png or .svg)")->required();
    previewCmd->add_option("--dpi", previewDpi, "pixels per inch of paper");

    CLI11_PARSE(app, argc, argv);

    if (*configureCmd) {
        configure.configPath = configPath;
        return runConfigureCommand(configure);
    }
    if (*plotCmd) {
        plot.configPath = configPath;
        return runPlotCommand(plot);
    }
    if (*previewCmd) return runPreviewCommand(previewInput, previewOutput, previewDpi);
    return 1;
}

// tavix: plays the CAD host's part for the driver. It configures the driver,
// plots drawings to printer files and previews printer streams.
//
// Exit status: 0 done, 1 failed (or refused by the driver's dialogs), 2 wrong
// use of the command line.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "configureCommand.h"
#include "drawPreview.h"
#include "layoutsCommand.h"
#include "plotCommand.h"
#include "settingsListing.h"
#include "tavix/version.h"

namespace {

constexpr const char* VERSION_TEXT = "tavix " TAVIX_VERSION;

// Every message of the command line's parser begins like the program's own.
std::string failureMessage(const CLI::App* app, const CLI::Error& e) {
    std::string text = "tavix: " + std::string(e.what()) + "\n";
    if (app->get_help_ptr() != nullptr) text += "Run with --help for more information.\n";
    return text;
}

int run(int argc, char** argv) {
    using namespace tavix::host;
    CLI::App app{"tavix: configure the TAVIXDRV driver, plot drawings to printer files, preview them", "tavix"};
    app.require_subcommand(1);
    app.fallthrough();  // --config may also follow the command
    app.failure_message(failureMessage);
    app.set_version_flag("--version", VERSION_TEXT);
    std::string configPath = "tavix.cfg";
    app.add_option("--config", configPath,
                   "The host's configuration file: the driver's settings block and the plot area")
        ->capture_default_str();
    app.footer("The driver keeps its pen settings in tavixdrv.def in the current directory (--pen-file\n"
               "names another). Run 'tavix COMMAND --help' for the options of a command.");

    ConfigureOptions configure;
    CLI::App* configureCmd = app.add_subcommand(
        "configure", "A configuration run: choose the model and the settings through the driver's dialogs");
    configureCmd->footer("Each option is carried out in the driver's dialogs as a user would; a value a dialog\n"
                         "refuses ends the run with the dialog's warning, and nothing is saved.");
    addConfigureOptions(*configureCmd, configure);

    PlotCommandOptions plot;
    CLI::App* plotCmd = app.add_subcommand("plot", "A plot run: a drawing to a printer file, and its preview");
    addPlotOptions(*plotCmd, plot);

    tavix::preview::PreviewCommandOptions preview;
    CLI::App* previewCmd = app.add_subcommand("preview", "Draw a printer stream as a PNG, SVG or PDF picture");
    previewCmd->footer("docs/preview.md tells what is drawn and what the warnings mean.");
    tavix::preview::addPreviewOptions(*previewCmd, preview);

    ListingOptions listing;
    CLI::App* modelsCmd = app.add_subcommand("models", "List the printer models --model chooses from");
    CLI::App* papersCmd = app.add_subcommand("papers", "List a model's papers, as --paper chooses from");
    addPapersOptions(*papersCmd, listing);
    std::string layoutsDrawing;
    CLI::App* layoutsCmd = app.add_subcommand("layouts", "List a DXF drawing's layouts, as plot --layout chooses from");
    addLayoutsOptions(*layoutsCmd, layoutsDrawing);
    for (CLI::App* command : {configureCmd, plotCmd, previewCmd, modelsCmd, papersCmd, layoutsCmd})
        command->set_version_flag("--version", VERSION_TEXT);

    // The first word that is not an option names the command.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--config") == 0) {
            ++i;
            continue;
        }
        if (argv[i][0] == '-') continue;
        if (!app.get_subcommands([&](CLI::App* c) { return c->get_name() == argv[i]; }).empty()) break;
        std::fprintf(stderr, "tavix: unknown command '%s': the commands are configure, plot, preview, models, "
                             "papers and layouts\nRun with --help for more information.\n", argv[i]);
        return 2;
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        int status = app.exit(e);
        return status == 0 ? 0 : 2;
    }

    if (*configureCmd) {
        configure.configPath = configPath;
        return runConfigureCommand(configure);
    }
    if (*plotCmd) {
        plot.configPath = configPath;
        return runPlotCommand(plot);
    }
    if (*previewCmd) return drawPreview(preview);
    if (*modelsCmd) return listModels();
    if (*papersCmd) return listPapers(listing);
    if (*layoutsCmd) return listLayouts(layoutsDrawing);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    // Whatever escapes a command still ends with a message and status 1.
    try {
        return run(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fputs("tavix: out of memory\n", stderr);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tavix: %s\n", e.what());
    }
    return 1;
}

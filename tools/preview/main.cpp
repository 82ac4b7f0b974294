// tavix-preview FILE -o OUT.png: the preview of a printer stream on its own.
#include <iostream>

#include "previewCommand.h"
#include "tavix/version.h"

int main(int argc, char** argv) {
    CLI::App app{"Draws what the printer will print from a printer stream (PNG, or SVG or PDF for the vectors), "
                 "with the job ticket beside the picture.",
                 "tavix-preview"};
    tavix::preview::PreviewCommandOptions options;
    app.set_version_flag("--version", "tavix-preview " TAVIX_VERSION);
    tavix::preview::addPreviewOptions(app, options);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        int status = app.exit(e);
        return status == 0 ? 0 : 2;
    }
    try {
        return tavix::preview::runPreviewCommand(options, std::cerr, "tavix-preview");
    } catch (const std::exception& e) {
        std::cerr << "tavix-preview: " << e.what() << "\n";
        return 1;
    }
}

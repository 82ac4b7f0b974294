// The pixel limit: the resolution is lowered to the highest that fits,
// and when even the text panel does not fit the panel is left out, so a
// small limit still gives a picture of the page at a resolution worth the
// name, said in the note.
#include <gtest/gtest.h>

#include <string>

#include "preview.h"
#include "previewStreams.h"

namespace tavix::preview {
namespace {

using testing::pePair;

TEST(PreviewPixelLimit, theResolutionIsTheHighestThatFitsAndTheNoteSaysIt) {
    // An A4 page (11905 x 8418 plotter units), a line across it.
    std::string stream = testing::preamble(11905, 8418) + "SP1PE7<" + pePair(100, 100, true) + pePair(5000, 3000, true) +
                         ";PG;";
    struct Case {
        uint64_t maxPixels;
        bool panel;
        bool panelKept;
    } cases[] = {{4096, true, false}, {4096, false, false}, {200'000, true, true}, {2'000'000, true, true}};
    for (const Case& c : cases) {
        PreviewOptions options;
        options.dpi = 600;
        options.maxPixels = c.maxPixels;
        options.sidePanel = c.panel;
        PreviewImage image;
        PreviewResult r = renderStreamToImage(stream, options, image);
        ASSERT_TRUE(r.ok) << r.error;
        uint64_t pixels = static_cast<uint64_t>(image.width) * static_cast<uint64_t>(image.height);
        EXPECT_LE(pixels, c.maxPixels) << c.maxPixels;
        // The highest resolution: a little more would not fit.
        EXPECT_GT(pixels, c.maxPixels * 9 / 10) << c.maxPixels << ": " << image.width << " x " << image.height;
        EXPECT_GT(r.geometry.dpi, 1.0) << c.maxPixels;
        std::string notes;
        for (const Warning& w : r.warnings) notes += w.text + "\n";
        EXPECT_NE(std::string::npos, notes.find("resolution lowered from 600.0 to ")) << notes;
        EXPECT_EQ(std::string::npos, notes.find(" to 0.000 dpi")) << notes;
        bool panelLeftOut = notes.find("the text panel is left out") != std::string::npos;
        EXPECT_EQ(c.panel && !c.panelKept, panelLeftOut) << notes;
    }
}

}  // namespace
}  // namespace tavix::preview

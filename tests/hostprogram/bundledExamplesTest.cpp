// Every bundled example (examples/*.txt), configured as `make demo` does
// it, through the plot run: the printer stream is the expected one (a
// golden file, with the raster rows summarised by their size and digest),
// hp2xx reads the same vectors from it as the drawing file holds, and
// `tavix preview` draws the expected picture (a reference PNG, compared
// with a small tolerance per pixel).
//
// After an intended change of the output, write the golden files anew with
// TAVIX_UPDATE_GOLDEN=1 and look at the difference, and at the new
// picture, before committing them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "e2eSupport.h"
#include "support/recordingHost.h"
#include "support/scratchDirectory.h"

namespace tavix::host {
namespace {

namespace fs = std::filesystem;
using tavix::testing::readWholeFile;
using tavix::testing::ScratchDirectory;
using tavix::testing::writeWholeFile;

// The configuration of `make demo`: the TX-90 with A1 paper in colour, the
// rest (margin on, job ticket, rounded line ends, 8-bit PE) as defaulted.
const std::vector<std::string> DEMO_SETTINGS = {"--defaults", "--model", "tx90", "--paper", "A1",
                                                "--colour", "colour"};

// Preview resolution of the reference pictures: small files, every part
// of the drawing still visible.
constexpr const char* REFERENCE_DPI = "10";

std::vector<std::string> bundledExamples() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(testing::sourcePath("examples")))
        if (entry.path().extension() == ".txt") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

class BundledExample : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        std::string messages;
        ASSERT_EQ(0, testing::configure("demo.cfg", DEMO_SETTINGS, &messages)) << messages;
        drawingPath = testing::sourcePath("examples/" + GetParam() + ".txt");
        drawing = readWholeFile(drawingPath);
        ASSERT_NE("<missing>", drawing);
    }

    testing::Plotted plotted() {
        testing::Plotted p = testing::plot("demo.cfg", drawing, testing::sourcePath("examples"));
        EXPECT_TRUE(p.ok) << p.error;
        return p;
    }

    ScratchDirectory scratch;
    std::string drawingPath, drawing;
};

TEST_P(BundledExample, plotGivesTheExpectedStream) {
    testing::Plotted p = plotted();
    ASSERT_TRUE(p.ok);
    std::string summarised = testing::withRowsSummarised(p.stream);
    std::string golden = testing::dataPath(GetParam() + ".plt.expected");
    if (testing::updatingGoldens()) {
        writeWholeFile(golden, summarised);
        GTEST_SKIP() << "wrote " << golden;
    }
    std::string expected = readWholeFile(golden);
    ASSERT_NE("<missing>", expected) << "no golden file " << golden << " (TAVIX_UPDATE_GOLDEN=1 writes it)";
    EXPECT_BYTES(expected, summarised);
    // The frame every stream has: the ticket of the option output, the PJL
    // switch, the set-up for A1 with the margins, and the trailer.
    EXPECT_EQ(0u, p.stream.find("##DOZ START\r\n"));
    EXPECT_NE(std::string::npos, p.stream.find("##DOZ END\r\n===\x1b%-12345X@PJL ENTER LANGUAGE = HPGL2\n"));
    EXPECT_NE(std::string::npos, p.stream.find("PS33239,23358IP0,0,33239,23358SC0,33239,0,23358"));
    EXPECT_EQ(";PUSP0;PG;", p.stream.substr(p.stream.size() - 10));
}

TEST_P(BundledExample, hp2xxReadsTheDrawingsVectors) {
    testing::Plotted p = plotted();
    ASSERT_TRUE(p.ok);
    std::vector<testing::Segment> decoded;
    std::string error;
    ASSERT_TRUE(testing::hp2xxSegments(testing::hpglOnly(p.stream), decoded, error)) << error;
    // A1 paper: 1016 host units per inch, divisor 1.
    std::vector<testing::Segment> expected = testing::drawingSegments(drawing, 1016, 1, true);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ("", testing::compareSegments(expected, decoded));
}

TEST_P(BundledExample, previewDrawsTheReferencePicture) {
    testing::Plotted p = plotted();
    ASSERT_TRUE(p.ok);
    writeWholeFile("example.plt", p.stream);
    testing::Ran ran =
        testing::runTavix({"preview", "example.plt", "-o", "preview.png", "--dpi", REFERENCE_DPI, "--no-panel"});
    ASSERT_EQ(0, ran.status) << ran.err;
    EXPECT_EQ("tavix: preview in preview.png\n", ran.err);  // and no warning
    std::string reference = testing::dataPath(GetParam() + "-preview.png");
    if (testing::updatingGoldens()) {
        fs::copy_file("preview.png", reference, fs::copy_options::overwrite_existing);
        GTEST_SKIP() << "wrote " << reference << ": look at it before committing";
    }
    testing::Picture expected, actual;
    std::string error;
    ASSERT_TRUE(testing::readPicture(reference, expected, error)) << error;
    ASSERT_TRUE(testing::readPicture("preview.png", actual, error)) << error;
    // Antialiased edges may move by a shade; a few pixels may go further.
    std::string difference = testing::comparePictures(expected, actual, 24, 20);
    if (!difference.empty()) {
        std::string kept = fs::temp_directory_path() / ("tavix-" + GetParam() + "-preview-actual.png");
        fs::copy_file("preview.png", kept, fs::copy_options::overwrite_existing);
        ADD_FAILURE() << difference << "; the picture drawn is kept in " << kept;
    }
}

INSTANTIATE_TEST_SUITE_P(Examples, BundledExample, ::testing::ValuesIn(bundledExamples()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

}  // namespace
}  // namespace tavix::host

// IMAGE: its corners where ezdxf (independent of tavix) puts them, its file
// from the definition object after the entities; on paper an image request
// for a PNG file found, and a warning naming the file otherwise.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "dxfReader.h"
#include "oracleRun.h"
#include "paperSink.h"

namespace tavix::dxf {
namespace {

struct Expected {
    std::string file;
    std::vector<Point2> corners;
};

TEST(Images, lieWhereEzdxfPutsThemAndNameTheirFiles) {
    std::string path = testing::temporaryFile();
    ASSERT_FALSE(path.empty());
    std::string out;
    ASSERT_TRUE(testing::runOracleScript("imageOracle.py", path, out)) << out;
    std::vector<Expected> expected;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream in(line);
        in.imbue(std::locale::classic());
        std::string kind;
        in >> kind;
        if (kind != "I") continue;
        expected.emplace_back();
        in >> expected.back().file;
        Point2 p;
        while (in >> p.x >> p.y) expected.back().corners.push_back(p);
    }
    ASSERT_EQ(2u, expected.size()) << out;
    DxfTables tables;
    DxfReadReport report;
    std::vector<std::string> blocks;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    ASSERT_TRUE(file);
    ASSERT_TRUE(readDxf(file.get(), tables,
                        [&](const Entity& e, std::string&) {
                            blocks.push_back(e.rebuiltBlock);
                            return true;
                        },
                        report))
        << report.error;
    std::remove(path.c_str());
    EXPECT_TRUE(report.skipped.empty());
    ASSERT_EQ(expected.size(), blocks.size());
    for (size_t i = 0; i < blocks.size(); ++i) {
        const Block& b = tables.blocks.at(blocks[i]);
        ASSERT_EQ(1u, b.entities.size());
        const Entity& image = b.entities[0];
        ASSERT_EQ(EntityKind::Image, image.kind);
        EXPECT_EQ(expected[i].file, image.text);
        ASSERT_EQ(4u, image.vertices.size());
        // ezdxf starts at the top left corner; ours at the lower left.
        for (const Point2& want : expected[i].corners) {
            bool found = false;
            for (const Vertex& v : image.vertices) found = found || std::hypot(v.x - want.x, v.y - want.y) < 1e-9;
            EXPECT_TRUE(found) << "image " << i << ": no corner at " << want.x << "," << want.y;
        }
    }
}

struct Sent {
    std::vector<host::DrawingRequest> requests;
    RequestSink sink = [this](const host::DrawingRequest& r, std::string&) {
        requests.push_back(r);
        return true;
    };
};

struct ImageCase {
    const char* name;
    std::string file;
    geometry::Polyline corners;
    const char* leftOut;  // the warning's text, or nothing when the image is sent
};

TEST(Images, goToThePrinterAsImageRequestsOrAreNamedInAWarning) {
    namespace fs = std::filesystem;
    fs::path folder = fs::temp_directory_path() / ("tavix-dxf-images-" + std::to_string(::getpid()));
    fs::create_directories(folder / "sub");
    {
        std::ofstream png(folder / "plan.png", std::ios::binary);
        png << "\x89PNG\r\n\x1a\n" << std::string(32, '\0');
        std::ofstream jpg(folder / "logo.jpg", std::ios::binary);
        jpg << "\xff\xd8\xff\xe0" << std::string(32, '\0');
    }
    const geometry::Polyline upright = {{10, 20}, {30, 20}, {30, 30}, {10, 30}};
    const std::string absolute = (folder / "plan.png").string();
    const ImageCase cases[] = {
        {"beside the drawing", "plan.png", upright, nullptr},
        {"by a folder of another machine", "C:\\Drawings\\plan.png", upright, nullptr},
        {"by its full path", absolute, upright, nullptr},
        {"missing", "gone.png", upright, "IMAGE file gone.png not found"},
        {"not a PNG", "logo.jpg", upright, "IMAGE file logo.jpg not a PNG (the printer takes PNG images)"},
        {"turned", "plan.png", {{10, 20}, {30, 25}, {25, 45}, {5, 40}}, "IMAGE file plan.png turned or mirrored on the paper"},
        {"mirrored", "plan.png", {{30, 20}, {10, 20}, {10, 30}, {30, 30}}, "IMAGE file plan.png turned or mirrored on the paper"},
        {"off the paper", "plan.png", {{90, 20}, {130, 20}, {130, 30}, {90, 30}}, "IMAGE file plan.png not wholly inside the plot area"},
        {"without a definition", "", upright, "IMAGE without the definition that names its file"},
    };
    for (const ImageCase& c : cases) {
        Sent sent;
        PenMap pens;
        PaperOptions options;
        options.drawingFolder = folder.string();
        Placement placement;
        placement.toPaper = Affine::scaling(10, 10);
        placement.mmPerUnit = 10 * 25.4 / 1016;
        PaperSink sink(placement, 1000, 500, pens, options, sent.sink);
        std::string why;
        LineLook look;
        look.line = 42;
        ASSERT_TRUE(sink.image(look, c.file, c.corners, why)) << c.name << ": " << why;
        if (c.leftOut == nullptr) {
            ASSERT_EQ(1u, sent.requests.size()) << c.name;
            const host::DrawingRequest& r = sent.requests[0];
            EXPECT_EQ(host::DrawingOp::Image, r.op) << c.name;
            EXPECT_EQ((std::vector<double>{100, 200, 300, 300}), r.coords) << c.name;
            EXPECT_EQ(absolute, r.file) << c.name;
            EXPECT_EQ(42, r.line);
            EXPECT_TRUE(sink.imagesLeftOut.empty()) << c.name;
        } else {
            EXPECT_TRUE(sent.requests.empty()) << c.name;
            EXPECT_EQ((std::map<std::string, int>{{c.leftOut, 1}}), sink.imagesLeftOut) << c.name;
        }
    }
    fs::remove_all(folder);
}

}  // namespace
}  // namespace tavix::dxf

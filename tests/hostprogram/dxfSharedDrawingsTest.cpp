// Real drawings from CAD programs, in ../shared/dxf-real/ when that folder
// exists (they are not part of the project; the tests skip without it).
// Every ASCII one plots, with every character of its text as a glyph (the
// accented, superscript and Korean text among them: none as a box); and MTEXT, which AutoCAD 2018 files and LibreCAD
// write in ways small drawings do not, reads as ezdxf reads it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>

#include "dxfReader.h"
#include "e2eSupport.h"
#include "support/scratchDirectory.h"

namespace tavix::host {
namespace {

using tavix::testing::ScratchDirectory;
namespace fs = std::filesystem;

fs::path sharedDrawings() { return fs::path(TAVIX_SOURCE_DIR) / ".." / "shared" / "dxf-real"; }

bool isDxf(const fs::path& p) {
    std::string ext = p.extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".dxf";
}

TEST(DxfSharedDrawings, everyAsciiDrawingPlots) {
    if (!fs::is_directory(sharedDrawings())) GTEST_SKIP() << "no " << sharedDrawings();
    ScratchDirectory scratch;
    std::string messages;
    ASSERT_EQ(0, testing::configure("dxf.cfg", {"--defaults", "--model", "tx90", "--paper", "A1", "--colour", "colour"},
                                    &messages))
        << messages;
    int plotted = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(sharedDrawings())) {
        if (!isDxf(entry.path())) continue;
        testing::Ran ran = testing::runTavix({"--config", "dxf.cfg", "plot", entry.path().string(), "-o", "out.plt", "-q"});
        EXPECT_EQ(0, ran.status) << entry.path().filename() << ": " << ran.err;
        EXPECT_FALSE(testing::contains(ran.err, "drawn as boxes")) << entry.path().filename() << ": " << ran.err;
        ++plotted;
    }
    EXPECT_GT(plotted, 0);
}

// ezdxf's reading of each MTEXT, in model space ("*") and in the blocks:
// insertion, height, rotation (its direction, or group 50, in degrees), box
// width and attachment.
const char* const EZDXF_MTEXT = R"(
import sys, ezdxf
doc = ezdxf.readfile(sys.argv[1])
def show(name, layout):
    for e in layout.query("MTEXT"):
        p = e.dxf.insert
        print(name, repr(p.x), repr(p.y), repr(e.dxf.char_height), repr(e.get_rotation()),
              repr(e.dxf.get("width", 0.0)), e.dxf.attachment_point)
show("*", doc.modelspace())
for block in doc.blocks:
    name = block.name.upper().replace(" ", "_")  # one word, as the reading below takes it
    if not name.startswith("*PAPER_SPACE") and not name.startswith("*MODEL_SPACE"):
        show(name, block)
)";

struct MText {
    double x, y, height, rotation, width;
    int attachment;
};

TEST(DxfSharedDrawings, mtextReadsAsEzdxfReadsIt) {
    if (!fs::is_directory(sharedDrawings())) GTEST_SKIP() << "no " << sharedDrawings();
    for (const char* name : {"3dface.dxf", "ezdxf_text.dxf", "wipeout_door.dxf", "dim_sample.dxf"}) {
        const fs::path path = sharedDrawings() / name;
        if (!fs::exists(path)) continue;
        testing::Ran oracle = testing::runProgram(TAVIX_SYSTEM_PYTHON, {"-c", EZDXF_MTEXT, path.string()});
        ASSERT_EQ(0, oracle.status) << name << ": " << oracle.err;
        std::map<std::string, std::vector<MText>> expected;
        std::istringstream lines(oracle.out);
        std::string where;
        MText m{};
        while (lines >> where >> m.x >> m.y >> m.height >> m.rotation >> m.width >> m.attachment)
            expected[where].push_back(m);

        std::map<std::string, std::vector<MText>> got;
        auto keep = [&got](const std::string& where, const dxf::Entity& e) {
            if (e.kind == dxf::EntityKind::MText)
                got[where].push_back({e.insertion.x, e.insertion.y, e.height, e.rotation, e.boxWidth, e.attachment});
        };
        dxf::DxfTables tables;
        dxf::DxfReadReport report;
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
        ASSERT_TRUE(file);
        ASSERT_TRUE(dxf::readDxf(file.get(), tables, [&](const dxf::Entity& e, std::string&) {
            keep("*", e);
            return true;
        }, report)) << name << ": " << report.error;
        for (const auto& [blockName, block] : tables.blocks)
            for (const dxf::Entity& e : block.entities) {
                std::string word = blockName;
                std::replace(word.begin(), word.end(), ' ', '_');
                keep(word, e);
            }

        ASSERT_FALSE(expected.empty()) << name;
        ASSERT_EQ(expected.size(), got.size()) << name;
        for (const auto& [at, texts] : expected) {
            ASSERT_EQ(texts.size(), got[at].size()) << name << " " << at;
            for (size_t i = 0; i < texts.size(); ++i) {
                const MText &a = texts[i], &b = got[at][i];
                const std::string which = std::string(name) + " " + at + " MTEXT " + std::to_string(i);
                EXPECT_NEAR(a.x, b.x, 1e-9 * (1 + std::fabs(a.x))) << which;
                EXPECT_NEAR(a.y, b.y, 1e-9 * (1 + std::fabs(a.y))) << which;
                EXPECT_NEAR(a.height, b.height, 1e-9 * a.height) << which;
                EXPECT_NEAR(0, std::remainder(a.rotation - b.rotation, 360.0), 1e-9) << which;
                EXPECT_NEAR(a.width, b.width, 1e-9 * (1 + a.width)) << which;
                EXPECT_EQ(a.attachment, b.attachment) << which;
            }
        }
    }
}

}  // namespace
}  // namespace tavix::host

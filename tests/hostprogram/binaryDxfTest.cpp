// Binary DXF: ezdxf writes one drawing as ASCII and as binary DXF, of R12
// (one-byte group codes) and of later releases (two-byte codes), with every
// kind of value the binary form stores (strings in the drawing's code page
// or UTF-8, doubles, 8-, 16-, 32- and 64-bit integers, binary chunks in
// extended data); `tavix plot` of the binary file writes the very stream
// it writes for the ASCII one. A binary file cut short anywhere is refused
// with the byte where it ends, and no printer file is left.
#include <gtest/gtest.h>

#include <string>

#include "e2eSupport.h"
#include "support/scratchDirectory.h"

namespace tavix::host {
namespace {

using tavix::testing::readWholeFile;
using tavix::testing::ScratchDirectory;
using tavix::testing::writeWholeFile;

const char* const EZDXF_BOTH_FORMS = R"(
import sys, ezdxf
version, folder = sys.argv[1], sys.argv[2]
doc = ezdxf.new(version, setup=True)
doc.appids.new("TAVIXTEST")
msp = doc.modelspace()
msp.add_line((0, 0), (120.125, 80.5), dxfattribs={"color": 1, "linetype": "DASHED"})
msp.add_circle((60, 40), 25.75, dxfattribs={"color": 3})
msp.add_arc((10, 70), 8, 30, 300, dxfattribs={"color": 5})
msp.add_text("Gr\u00fc\u00dfe 5\u00b0 \u00b10.5" if version != "R12" else "PLAN 5%%d %%p0.5",
             dxfattribs={"height": 4, "rotation": 15}).set_pos((5, 5))
if version != "R12":
    msp.add_lwpolyline([(0, 90, 0, 0, 0.5), (40, 90, 0, 0, 0), (40, 110)], format="xyseb",
                       dxfattribs={"color": 6, "const_width": 0.7})
    hatch = msp.add_hatch(color=2)
    hatch.paths.add_polyline_path([(70, 60), (100, 60), (100, 75), (70, 75)], is_closed=True)
    line = msp.add_line((0, 0), (0, 50), dxfattribs={"true_color": 0x336699, "lineweight": 50})
    line.set_xdata("TAVIXTEST", [(1000, "note"), (1004, b"\x00\x01\xfe\xff"), (1071, 123456789),
                                 (1070, -2), (1040, 2.5)])
else:
    msp.add_polyline2d([(0, 90), (40, 90), (40, 110)], dxfattribs={"color": 6})
doc.saveas(folder + "/ascii.dxf")
doc.saveas(folder + "/binary.dxf", fmt="bin")
)";

struct FormCase {
    const char* version;
};

class BinaryDxf : public ::testing::TestWithParam<FormCase> {
protected:
    ScratchDirectory scratch;
    void SetUp() override {
        std::string messages;
        ASSERT_EQ(0, testing::configure("dxf.cfg", {"--defaults", "--model", "tx90", "--paper", "A3", "--colour", "colour"},
                                        &messages))
            << messages;
        testing::Ran written = testing::runProgram(TAVIX_SYSTEM_PYTHON, {"-c", EZDXF_BOTH_FORMS, GetParam().version, "."});
        ASSERT_EQ(0, written.status) << written.err;
    }
};

TEST_P(BinaryDxf, plotsAsItsAsciiForm) {
    std::string binary = readWholeFile("binary.dxf");
    ASSERT_EQ(binary.compare(0, 22, std::string("AutoCAD Binary DXF\r\n\x1a\0", 22)), 0) << "ezdxf wrote no binary DXF";
    for (const char* name : {"ascii", "binary"}) {
        testing::Ran ran = testing::runTavix({"--config", "dxf.cfg", "plot", std::string(name) + ".dxf", "-o",
                                              std::string(name) + ".plt", "--fit", "-q"});
        ASSERT_EQ(0, ran.status) << name << ": " << ran.err;
    }
    std::string fromAscii = readWholeFile("ascii.plt"), fromBinary = readWholeFile("binary.plt");
    EXPECT_GT(fromAscii.size(), 1000u);
    EXPECT_TRUE(fromAscii == fromBinary) << "the binary DXF plots differently from its ASCII form ("
                                         << fromBinary.size() << " bytes against " << fromAscii.size() << ")";
}

// Cut between two pairs, inside a string or inside a number: each is
// refused, saying where.
TEST_P(BinaryDxf, cutShortIsRefusedSayingWhere) {
    std::string binary = readWholeFile("binary.dxf");
    for (size_t cut : {size_t{23}, size_t{40}, binary.size() / 3, binary.size() / 2 + 1, binary.size() - 3}) {
        writeWholeFile("cut.dxf", binary.substr(0, cut));
        writeWholeFile("cut.plt", "the previous printer file");
        testing::Ran ran = testing::runTavix({"--config", "dxf.cfg", "plot", "cut.dxf", "-o", "cut.plt", "-q"});
        EXPECT_EQ(1, ran.status) << "cut at " << cut;
        EXPECT_TRUE(testing::contains(ran.err, "the binary DXF file ends inside") ||
                    testing::contains(ran.err, "the binary DXF file ends at byte " + std::to_string(cut)) ||
                    testing::contains(ran.err, "holds nothing after its sentinel"))
            << "cut at " << cut << ": " << ran.err;
        EXPECT_EQ(readWholeFile("cut.plt"), "the previous printer file") << "cut at " << cut;
    }
}

INSTANTIATE_TEST_SUITE_P(Releases, BinaryDxf, ::testing::Values(FormCase{"R12"}, FormCase{"R2000"}, FormCase{"R2018"}),
                         [](const auto& info) { return std::string(info.param.version); });

}  // namespace
}  // namespace tavix::host

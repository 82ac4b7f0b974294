// MTEXT colour codes reach the paper: each run of text in the pen of its
// colour, as the CAD host plots it.
#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "e2eSupport.h"
#include "support/scratchDirectory.h"

namespace tavix::host {
namespace {

using tavix::testing::readWholeFile;
using tavix::testing::ScratchDirectory;
using tavix::testing::writeWholeFile;

std::string mtextDrawing(const std::string& text) {
    return "0\nSECTION\n2\nENTITIES\n0\nMTEXT\n8\n0\n62\n7\n10\n0\n20\n0\n40\n5\n1\n" + text +
           "\n0\nENDSEC\n0\nEOF\n";
}

// The pens that draw something: each SP followed by a PD or PE before the next SP.
std::set<int> pensThatDraw(const std::string& stream) {
    std::set<int> pens;
    std::regex select("SP(\\d+)");
    auto it = std::sregex_iterator(stream.begin(), stream.end(), select);
    std::vector<std::pair<size_t, int>> selections;
    for (; it != std::sregex_iterator(); ++it) selections.push_back({size_t(it->position()), std::stoi((*it)[1])});
    for (size_t i = 0; i < selections.size(); ++i) {
        size_t end = i + 1 < selections.size() ? selections[i + 1].first : stream.size();
        const std::string part = stream.substr(selections[i].first, end - selections[i].first);
        if (part.find("PD") != std::string::npos || part.find("PE") != std::string::npos)
            pens.insert(selections[i].second);
    }
    return pens;
}

TEST(DxfTextColour, colourCodesSelectTheirPens) {
    ScratchDirectory scratch;
    std::string messages;
    ASSERT_EQ(0, testing::configure("dxf.cfg", {"--defaults", "--model", "tx90", "--paper", "A3", "--colour", "colour"},
                                    &messages))
        << messages;
    // \c255 is red stored blue first: colour number 1 as well.
    for (const auto& [text, pens] : std::vector<std::pair<std::string, std::set<int>>>{
             {"AB", {7}},
             {"A{\\C1;B}C\\C3;D", {1, 3, 7}},
             {"{\\c255;A}\\C5;B", {1, 5}}}) {
        writeWholeFile("drawing.dxf", mtextDrawing(text));
        testing::Ran ran = testing::runTavix({"--config", "dxf.cfg", "plot", "drawing.dxf", "-o", "out.plt", "-q"});
        ASSERT_EQ(0, ran.status) << ran.err;
        EXPECT_EQ(pens, pensThatDraw(readWholeFile("out.plt"))) << text;
    }
}

}  // namespace
}  // namespace tavix::host

// Pages of many vectors hold only a budget of polylines in memory; the
// rest go to a temporary file and come back as they were, in order, and
// draw the same picture. Very long polylines go on in new ones, and
// consecutive operations of one kind share one entry of the drawing order.
#include <gtest/gtest.h>

#include <random>

#include "preview.h"
#include "previewStreams.h"
#include "streamParser.h"

namespace tavix::preview {
namespace {

using testing::pePair;
using testing::preamble;

// Separate short vectors in two pens, a filled triangle between them, and
// a second page.
std::string manyVectors(int count) {
    std::mt19937 random(7);
    std::uniform_int_distribution<long> step(-300, 300);
    std::string page = "SP1PE7";
    for (int i = 0; i < count; ++i) {
        if (i == count / 2) page += ";SP5PE7<" + pePair(0, 0, true) + ";PM0PE7" + pePair(200, 0, true) +
                                    pePair(0, 200, true) + ";PM2FP;SP2PE7";
        page += "<" + pePair(step(random), step(random), true) + pePair(step(random), step(random), true);
    }
    return preamble() + "PA10000,8000" + page + ";PUSP0;PG;" + "PA5000,5000SP3PE7" +
           pePair(400, 400, true) + pePair(-800, 0, true) + ";PUSP0;PG;";
}

void expectSamePolyline(const Polyline& a, const Polyline& b) {
    EXPECT_EQ(a.offset, b.offset);
    EXPECT_EQ(a.points, b.points);
    EXPECT_EQ(a.style.pen, b.style.pen);
    EXPECT_EQ(a.style.colour, b.style.colour);
    EXPECT_EQ(a.style.widthMm, b.style.widthMm);
    EXPECT_EQ(a.clip.x0, b.clip.x0);
    EXPECT_EQ(a.clip.y1, b.clip.y1);
}

TEST(PreviewSpool, SpooledPolylinesComeBackAsTheyWereAndDrawTheSame) {
    const std::string stream = manyVectors(3000);
    ParseLimits small;
    small.heldStrokeBytes = 4096;  // a few dozen polylines
    ParsedStream held = parseStream(stream), spooled = parseStream(stream, small);
    ASSERT_EQ(held.pages.size(), 2u);
    ASSERT_EQ(spooled.pages.size(), 2u);
    for (size_t p = 0; p < 2; ++p) {
        const StrokeStore &a = held.pages[p].strokes, &b = spooled.pages[p].strokes;
        ASSERT_EQ(a.size(), b.size());
        size_t i = 0;
        for (const Polyline& line : b) expectSamePolyline(a[i++], line);
        EXPECT_EQ(i, a.size());
        // Going back re-reads from the start of the page's part of the file.
        for (size_t k : {a.size() - 1, size_t{0}, a.size() / 2, size_t{1}})
            if (k < a.size()) expectSamePolyline(a[k], b[k]);
        EXPECT_FALSE(b.readFailed());
    }
    EXPECT_EQ(held.pages[0].strokes.size(), 3000u);

    PreviewOptions options;
    options.dpi = 20;
    options.sidePanel = false;
    for (bool antialias : {false, true}) {
        options.antialias = antialias;
        PreviewImage a, b;
        ASSERT_TRUE(renderParsed(held, options, &a).ok);
        ASSERT_TRUE(renderParsed(spooled, options, &b).ok);
        EXPECT_TRUE(a.argb == b.argb) << antialias;
    }
}

TEST(PreviewSpool, AVeryLongPolylineGoesOnInANewOne) {
    constexpr int VECTORS = 70'000;
    for (bool joined : {true, false}) {
        std::string body = joined ? "LA2,4" : "LA2,6";  // round joins, or none
        body += "PA1000,1000SP1PE7";
        for (int i = 0; i < VECTORS; ++i) body += pePair(i % 2 ? 3 : -2, 1, true);
        ParsedStream s = parseStream(preamble() + body + ";PUSP0;PG;");
        ASSERT_EQ(s.pages.size(), 1u);
        const StrokeStore& strokes = s.pages[0].strokes;
        ASSERT_EQ(strokes.size(), 2u) << joined;
        std::vector<Point> first = strokes[0].points, second = strokes[1].points;
        EXPECT_EQ(first.size(), size_t{1} << 16);
        // A joined polyline repeats its last vector, so that its join is drawn;
        // one of separate vectors goes on from its last point.
        size_t repeated = joined ? 2 : 1;
        ASSERT_GT(second.size(), repeated);
        EXPECT_EQ(std::vector<Point>(second.begin(), second.begin() + repeated),
                  std::vector<Point>(first.end() - repeated, first.end()));
        EXPECT_EQ(first.size() + second.size() - repeated, size_t{VECTORS} + 1);
        EXPECT_EQ(second.back(), (Point{1000 + VECTORS / 2, 1000 + VECTORS}));
    }
}

TEST(PreviewSpool, ConsecutiveOperationsOfOneKindShareAnEntry) {
    ParsedStream s = parseStream(manyVectors(10));
    ASSERT_EQ(s.pages.size(), 2u);
    const std::vector<DrawOp>& order = s.pages[0].order;
    ASSERT_EQ(order.size(), 3u);
    EXPECT_EQ(order[0].kind, OpKind::Stroke);
    EXPECT_EQ(order[0].index, 0u);
    EXPECT_EQ(order[0].count, 5u);
    EXPECT_EQ(order[1].kind, OpKind::Fill);
    EXPECT_EQ(order[1].count, 1u);
    EXPECT_EQ(order[2].kind, OpKind::Stroke);
    EXPECT_EQ(order[2].index, 5u);
    EXPECT_EQ(order[2].count, 5u);
}

}  // namespace
}  // namespace tavix::preview

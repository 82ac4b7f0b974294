// The command's options and exit status: what `tavix preview` and
// tavix-preview do with good, bad and missing input.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "previewCommand.h"
#include "previewStreams.h"

namespace tavix::preview {
namespace {

class PreviewCommand : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() / ("tavix-preview-cmd-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string write(const std::string& name, const std::string& data) {
        std::string path = (dir / name).string();
        std::ofstream(path, std::ios::binary) << data;
        return path;
    }

    int run(std::vector<std::string> args, std::string& messages, PreviewCommandOptions options = {}) {
        CLI::App app{"test"};
        addPreviewOptions(app, options);
        std::vector<std::string> reversed(args.rbegin(), args.rend());
        app.parse(reversed);
        std::ostringstream err;
        int status = runPreviewCommand(options, err, "tavix preview");
        messages = err.str();
        return status;
    }

    std::filesystem::path dir;
    const std::string good = testing::preamble(10160, 7620) + "SP1PE7<" + testing::pePair(1000, 1000, true) +
                             testing::pePair(1000, 0, true) + ";PUSP0;PG;";
};

TEST_F(PreviewCommand, GoodStreamGivesAPictureAndStatusZero) {
    std::string in = write("good.plt", good), out = (dir / "good.png").string();
    std::string messages;
    EXPECT_EQ(run({in, "-o", out, "--dpi", "20"}, messages), 0);
    EXPECT_EQ(messages, "");
    EXPECT_TRUE(std::filesystem::exists(out));
    // SVG chosen by the file name.
    std::string svg = (dir / "good.svg").string();
    EXPECT_EQ(run({in, "-o", svg, "--no-panel"}, messages), 0);
    std::ifstream text(svg);
    std::string head(200, '\0');
    text.read(head.data(), 200);
    EXPECT_NE(head.find("<svg"), std::string::npos);
}

TEST_F(PreviewCommand, MissingInputFails) {
    std::string messages;
    EXPECT_EQ(run({(dir / "none.plt").string(), "-o", (dir / "x.png").string()}, messages), 1);
    EXPECT_NE(messages.find("tavix preview: cannot read"), std::string::npos) << messages;
    EXPECT_FALSE(std::filesystem::exists(dir / "x.png"));
}

TEST_F(PreviewCommand, GarbageIsWarnedButStillDrawnUnlessStrict) {
    std::string in = write("bad.plt", good.substr(0, good.size() - 12) + "\x1b*b5W");
    std::string out = (dir / "bad.png").string(), messages;
    EXPECT_EQ(run({in, "-o", out}, messages), 0);
    EXPECT_NE(messages.find("bad.plt: warning: offset "), std::string::npos) << messages;
    EXPECT_TRUE(std::filesystem::exists(out));
    EXPECT_EQ(run({in, "-o", out, "--strict", "--quiet"}, messages), 1);
    EXPECT_EQ(messages, "");
}

TEST_F(PreviewCommand, UnwritableOutputFails) {
    std::string in = write("good.plt", good), messages;
    EXPECT_EQ(run({in, "-o", (dir / "no" / "such" / "dir.png").string()}, messages), 1);
    EXPECT_NE(messages.find("cannot write"), std::string::npos) << messages;
}

TEST_F(PreviewCommand, OptionsAreChecked) {
    auto parse = [](std::vector<std::string> args) {
        CLI::App app{"test"};
        PreviewCommandOptions options;
        addPreviewOptions(app, options);
        std::vector<std::string> reversed(args.rbegin(), args.rend());  // CLI11 takes them last first
        app.parse(reversed);
        return options;
    };
    EXPECT_THROW(parse({"--dpi", "0", "-o", "x.png", "in.plt"}), CLI::ValidationError);
    EXPECT_THROW(parse({"in.plt"}), CLI::RequiredError);
    EXPECT_THROW(parse({"--format", "gif", "-o", "x", "in.plt"}), CLI::ValidationError);
    PreviewCommandOptions options = parse({"--dpi", "72", "--page", "2", "--no-panel", "-o", "x.svg", "in.plt"});
    EXPECT_EQ(options.dpi, 72);
    EXPECT_EQ(options.page, 2);
    EXPECT_TRUE(options.noPanel);
    EXPECT_EQ(options.input, "in.plt");
}

std::string fileHead(const std::string& path, size_t n = 400) {
    std::ifstream in(path, std::ios::binary);
    std::string head(n, '\0');
    in.read(head.data(), static_cast<std::streamsize>(n));
    head.resize(static_cast<size_t>(in.gcount()));
    return head;
}

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST_F(PreviewCommand, OutputFormatFollowsTheNameOrFormatOption) {
    struct Case {
        std::string name;
        std::vector<std::string> extra;
        int status;
        std::string magic;  // the file begins with it; empty: no file
    };
    const Case cases[] = {
        {"a.png", {}, 0, "\x89PNG\r\n\x1a\n"}, {"a.svg", {}, 0, "<?xml"},
        {"a.PDF", {}, 0, "%PDF-"},                {"a.jpg", {}, 1, ""},
        {"a", {}, 1, ""},                         {"a.pngx", {}, 1, ""},
        {"b.jpg", {"--format", "png"}, 0, "\x89PNG"}, {"c.out", {"--format", "pdf"}, 0, "%PDF-"},
    };
    std::string in = write("good.plt", good);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string out = (dir / c.name).string(), messages;
        std::vector<std::string> args = {in, "-o", out, "--dpi", "20"};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        EXPECT_EQ(run(args, messages), c.status) << messages;
        if (c.magic.empty()) {
            EXPECT_FALSE(std::filesystem::exists(out));
            EXPECT_NE(messages.find("name it .png, .svg or .pdf"), std::string::npos) << messages;
        } else {
            EXPECT_EQ(fileHead(out).substr(0, c.magic.size()), c.magic);
        }
    }
}

TEST_F(PreviewCommand, PdfPageHoldsThePaperAtItsTrueSize) {
    // 72 points per inch and a 12-point margin: a 10 x 7.5 inch sheet is
    // 744 x 564 points; a 600-inch roll 43224 points long. Vectors stay
    // vectors; a raster is an image.
    struct Case {
        std::string stream;
        std::string mediaBox;
        bool image;
    };
    const uint8_t tone[6] = {0, 3, 8, 8, 8, 8};
    std::string raster = ";PUPA2000,2000" + testing::rtlBegin(tone, 2, 1, 300, "") +
                         testing::rtlRow(0, testing::bytes({255, 0, 0, 0, 0, 255})) + testing::rtlEnd();
    const Case cases[] = {
        {good, "/MediaBox [ 0 0 744 564 ]", false},
        {testing::preamble(609600, 36576) + "SP1PE7<" + testing::pePair(1000, 1000, true) +
             testing::pePair(600000, 30000, true) + ";PUSP0;PG;",
         "/MediaBox [ 0 0 43224 2616 ]", false},
        {testing::preamble(10160, 7620) + raster + "PUSP0;PG;", "/MediaBox [ 0 0 744 564 ]", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mediaBox);
        std::string in = write("in.plt", c.stream), out = (dir / "out.pdf").string(), messages;
        ASSERT_EQ(run({in, "-o", out, "--no-panel", "-q"}, messages), 0) << messages;
        std::string pdf = fileText(out);
        EXPECT_NE(pdf.find(c.mediaBox), std::string::npos) << pdf.substr(0, 2000);
        EXPECT_EQ(pdf.find("/Subtype /Image") != std::string::npos, c.image);
        EXPECT_EQ(pdf.find("/Type /Page "), pdf.rfind("/Type /Page "));  // one page
    }
}

TEST_F(PreviewCommand, ProgressRisesThroughReadingAndDrawingToTheEnd) {
    std::string in = write("good.plt", good), out = (dir / "p.png").string(), messages;
    std::vector<std::pair<std::string, double>> seen;
    PreviewCommandOptions options;
    options.progressAfterSeconds = 0;
    options.progress = [&seen](double f, const std::string& stage) { seen.emplace_back(stage, f); };
    ASSERT_EQ(run({in, "-o", out}, messages, options), 0) << messages;
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front().first, "reading");
    EXPECT_EQ(seen.back(), (std::pair<std::string, double>{"drawing", 1.0}));
    bool reading = true;
    double last = 0;
    for (const auto& [stage, f] : seen) {
        if (stage == "drawing" && reading) {
            EXPECT_EQ(last, 1.0);  // the whole file was read first
            reading = false;
            last = 0;
        }
        EXPECT_EQ(stage, reading ? "reading" : "drawing");
        EXPECT_GE(f, last);
        last = f;
    }
    // Work done within the moment shows nothing.
    seen.clear();
    options.progressAfterSeconds = 60;
    ASSERT_EQ(run({in, "-o", out}, messages, options), 0);
    EXPECT_TRUE(seen.empty());
}

}  // namespace
}  // namespace tavix::preview

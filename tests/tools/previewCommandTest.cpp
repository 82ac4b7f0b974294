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

    int run(std::vector<std::string> args, std::string& messages) {
        CLI::App app{"test"};
        PreviewCommandOptions options;
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

}  // namespace
}  // namespace tavix::preview

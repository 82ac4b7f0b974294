// The generated PPDs: cupstestppd (CUPS's own checker) passes each without
// a warning, and CUPS's PPD reader finds in them what the driver's tables
// hold: the papers with their sizes and printable areas, the roll as custom
// sizes, the trays and the defaults of each model.
#include <cups/ppd.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "cupsTestSupport.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace fs = std::filesystem;

namespace tavix::cups::testing {
namespace {

struct PpdCase {
    int model;
    int fixedPapers;     // papers of the list that are not long or roll papers
    double rollWidth;    // inches
    int trays;
    const char* density; // default
    const char* output;  // default output mode
};

// From the model and paper tables: the 36-inch list has 21 fixed sizes and
// the TX-70's lacks B1 to B4; the 24-inch lists have 13.
const PpdCase PPDS[] = {
    {0, 21, 36, 5, "15", "Option"}, {1, 17, 36, 4, "15", "Option"},   {2, 13, 24, 3, "16", "Option"},
    {3, 13, 24, 6, "15", "Standard"}, {4, 21, 36, 6, "20", "Option"},
};

class GeneratedPpd : public ::testing::TestWithParam<PpdCase> {};

TEST_P(GeneratedPpd, passesCupstestppdWithoutWarnings) {
    const std::string ppd = ppdPath(MODELS[GetParam().model].ppd);
    // cupstestppd looks for the filter under a root of our making.
    std::string root = freshFolder("ppdroot");
    fs::create_directories(root + "/usr/lib/cups/filter");
    fs::create_symlink(filterPath(), root + "/usr/lib/cups/filter/rastertotavix");
    fs::create_symlink(pdfFilterPath(), root + "/usr/lib/cups/filter/pdftotavix");
    RunResult r = run({"cupstestppd", "-R", root, ppd});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find(": PASS"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("WARN"), std::string::npos) << r.out;
    // Without the filter where CUPS looks, the checker fails: it does look.
    RunResult bare = run({"cupstestppd", "-R", freshFolder("emptyroot"), ppd});
    EXPECT_NE(bare.status, 0) << bare.out;
}

TEST_P(GeneratedPpd, describesTheModelAsItsTablesDo) {
    const PpdCase& c = GetParam();
    ppd_file_t* ppd = ppdOpenFile(ppdPath(MODELS[c.model].ppd).c_str());
    ASSERT_NE(ppd, nullptr);
    EXPECT_STREQ(ppd->modelname, MODELS[c.model].name);
    EXPECT_EQ(ppd->model_number, c.model);
    EXPECT_EQ(ppd->num_sizes, c.fixedPapers + 1) << "the fixed papers and the custom size";
    EXPECT_TRUE(ppd->variable_sizes);
    EXPECT_FLOAT_EQ(ppd->custom_max[0], static_cast<float>(c.rollWidth * 72));
    EXPECT_FLOAT_EQ(ppd->custom_max[1], 600 * 72.0f) << "MAX, 600 inches, is every model's longest paper";

    // ARCH D (24 x 36 in) is on every list; its printable area leaves
    // 0.197 in on each side.
    ppd_size_t* archD = ppdPageSize(ppd, "ARCHD");
    ASSERT_NE(archD, nullptr);
    EXPECT_FLOAT_EQ(archD->width, 1728);
    EXPECT_FLOAT_EQ(archD->length, 2592);
    EXPECT_NEAR(archD->left, 0.197 * 72, 0.006);
    EXPECT_NEAR(archD->bottom, 0.197 * 72, 0.006);
    EXPECT_NEAR(archD->right, 1728 - 0.197 * 72, 0.006);
    EXPECT_NEAR(archD->top, 2592 - 0.197 * 72, 0.006);
    ppd_size_t* a1 = ppdPageSize(ppd, "A1");
    ASSERT_NE(a1, nullptr);
    EXPECT_NEAR(a1->width, 23.385 * 72, 0.006);
    EXPECT_NEAR(a1->length, 33.11 * 72, 0.006);
    EXPECT_EQ(ppdPageSize(ppd, "ARCHE") != nullptr, c.rollWidth == 36) << "ARCH E needs the 36-inch roll";

    ppd_option_t* trays = ppdFindOption(ppd, "InputSlot");
    ASSERT_NE(trays, nullptr);
    EXPECT_EQ(trays->num_choices, c.trays);
    EXPECT_STREQ(trays->defchoice, "Auto");
    auto defaultOf = [&](const char* keyword) {
        ppd_option_t* option = ppdFindOption(ppd, keyword);
        return std::string(option ? option->defchoice : "<none>");
    };
    EXPECT_EQ(defaultOf("TavixDensity"), c.density);
    EXPECT_EQ(defaultOf("TavixOutput"), c.output);
    // Colour by default; colour output fills black, as the device dialog keeps it.
    EXPECT_EQ(defaultOf("ColorModel"), "RGB");
    EXPECT_NE(readFile(ppdPath(MODELS[c.model].ppd)).find("\n*DefaultResolution: 300dpi\n"), std::string::npos);
    EXPECT_EQ(defaultOf("TavixToneMode"), "Dithered");
    EXPECT_EQ(defaultOf("TavixFill"), "Black");
    EXPECT_EQ(defaultOf("TavixPlotMargin"), "On");
    EXPECT_EQ(defaultOf("TavixCentering"), "On");
    EXPECT_EQ(defaultOf("TavixStampFontSize"), "12");
    EXPECT_EQ(ppdFindOption(ppd, "TavixDensity")->num_choices, 64);
    // Each colour choice asks CUPS for the driver's resolution.
    ppd_choice_t* gray = ppdFindChoice(ppdFindOption(ppd, "ColorModel"), "Gray");
    ppd_choice_t* rgb = ppdFindChoice(ppdFindOption(ppd, "ColorModel"), "RGB");
    ASSERT_TRUE(gray && rgb);
    EXPECT_NE(std::string(gray->code).find("HWResolution[400 400]"), std::string::npos);
    EXPECT_NE(std::string(rgb->code).find("HWResolution[300 300]"), std::string::npos);
    ppdClose(ppd);
}

TEST_P(GeneratedPpd, isWhatTheGeneratorWritesForTheModel) {
    const PpdCase& c = GetParam();
    RunResult r = run({TAVIX_PPD_GENERATOR, "-m", std::to_string(c.model)});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out == readFile(ppdPath(MODELS[c.model].ppd)));
}

INSTANTIATE_TEST_SUITE_P(Models, GeneratedPpd, ::testing::ValuesIn(PPDS),
                         [](const ::testing::TestParamInfo<PpdCase>& info) {
                             return std::string(MODELS[info.param.model].ppd);
                         });

TEST(PpdGenerator, refusesAModelItDoesNotHave) {
    RunResult r = run({TAVIX_PPD_GENERATOR, "-m", "5"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("no model row 5"), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty());
}

// Help is help, and an unknown option is refused: neither writes a folder
// named after it.
TEST(PpdGenerator, answersHelpAndRefusesUnknownOptions) {
    const std::string folder = freshFolder("ppdhelp");
    struct Case {
        std::string argument;
        int status;
        const char* text;  // in standard output (status 0) or error
    };
    const Case cases[] = {{"--help", 0, "Writes the PPDs"}, {"-h", 0, "Writes the PPDs"},
                          {"--hlep", 2, "unknown option --hlep"}, {"-x", 2, "unknown option -x"}};
    for (const Case& c : cases) {
        RunResult r = run({"/bin/sh", "-c", "cd '" + folder + "' && exec '" + std::string(TAVIX_PPD_GENERATOR) + "' " +
                                                 c.argument});
        EXPECT_EQ(r.status, c.status) << c.argument << ": " << r.err;
        EXPECT_NE((c.status == 0 ? r.out : r.err).find(c.text), std::string::npos) << c.argument << r.out << r.err;
        EXPECT_FALSE(std::filesystem::exists(folder + "/" + c.argument)) << c.argument;
    }
}

}  // namespace
}  // namespace tavix::cups::testing

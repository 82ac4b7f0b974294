// `make demo` installs what the program needs, and `make test` everything:
// the two package lists of scripts/install-deps.sh, and a tools build that
// needs neither GoogleTest nor Google Benchmark.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "e2eSupport.h"

namespace tavix::host {
namespace {

std::set<std::string> packages(const std::string& profile) {
    testing::Ran ran = testing::runProgram("bash", {testing::sourcePath("scripts/install-deps.sh"), "--list", profile});
    EXPECT_EQ(0, ran.status) << ran.err;
    std::set<std::string> names;
    std::istringstream words(ran.out);
    for (std::string word; words >> word;) names.insert(word);
    return names;
}

TEST(BuildProfiles, theDemoInstallsOnlyWhatTheProgramNeeds) {
    std::set<std::string> demo = packages("demo"), full = packages("full");
    for (const char* needed : {"cmake", "make", "g++", "pkg-config", "libcairo2-dev", "libpng-dev", "libcli11-dev",
                               "libdxflib-dev", "libhersheyfont-dev", "hershey-fonts-data", "libpango1.0-dev"})
        EXPECT_EQ(1u, demo.count(needed)) << needed;
    for (const char* notNeeded : {"wine", "wine32:i386", "g++-mingw-w64-i686", "clang-14", "valgrind", "libgtest-dev",
                                  "libbenchmark-dev", "hp2xx", "xvfb"})
        EXPECT_EQ(0u, demo.count(notNeeded)) << notNeeded;
    // Everything the demo needs is in the full list, with the test tools.
    for (const std::string& p : demo) EXPECT_EQ(1u, full.count(p)) << p;
    for (const char* testTool : {"wine", "libgtest-dev", "libbenchmark-dev", "valgrind", "hp2xx", "clang-14"})
        EXPECT_EQ(1u, full.count(testTool)) << testTool;
    testing::Ran ran = testing::runProgram("bash", {testing::sourcePath("scripts/install-deps.sh"), "--list", "all"});
    EXPECT_EQ(2, ran.status);
}

TEST(BuildProfiles, theToolsPresetBuildsWithoutTestLibraries) {
    // The build itself is `make test-tools-build` (it compiles the core); here,
    // that the preset exists and turns the tests and benchmarks off.
    std::string presets;
    {
        testing::Ran ran = testing::runProgram("cat", {testing::sourcePath("CMakePresets.json")});
        presets = ran.out;
    }
    size_t tools = presets.find("\"name\": \"tools\"");
    ASSERT_NE(std::string::npos, tools) << presets;
    std::string preset = presets.substr(tools, presets.find('}', presets.find("cacheVariables", tools)) - tools);
    EXPECT_NE(std::string::npos, preset.find("\"BUILD_TESTING\": \"OFF\"")) << preset;
    EXPECT_NE(std::string::npos, preset.find("\"CMAKE_DISABLE_FIND_PACKAGE_benchmark\": \"ON\"")) << preset;
}

TEST(BuildProfiles, theToolsBuildMakesBothProgramsTheDocsName) {
    // docs/preview.md names tavix-preview beside tavix: `make tools` builds both.
    testing::Ran ran = testing::runProgram("cat", {testing::sourcePath("CMakePresets.json")});
    size_t build = ran.out.find("\"buildPresets\"");
    ASSERT_NE(std::string::npos, build) << ran.out;
    size_t tools = ran.out.find("\"name\": \"tools\"", build);
    ASSERT_NE(std::string::npos, tools) << ran.out;
    std::string preset = ran.out.substr(tools, ran.out.find('}', tools) - tools);
    EXPECT_NE(std::string::npos, preset.find("\"tavix\"")) << preset;
    EXPECT_NE(std::string::npos, preset.find("\"tavix-preview\"")) << preset;
    ran = testing::runProgram("cat", {testing::sourcePath("Makefile")});
    EXPECT_NE(std::string::npos, ran.out.find("--target tavix tavix-preview")) << "make test-tools-build";
}

}  // namespace
}  // namespace tavix::host

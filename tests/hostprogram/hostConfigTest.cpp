#include "hostConfig.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

namespace tavix::host {
namespace {

TEST(HostConfig, roundTripsTheBlockAndTheDeviceValues) {
    std::string path = ::testing::TempDir() + "tavix-config-test.cfg";
    HostConfig c;
    for (int i = 0; i < 40; ++i) c.block[static_cast<size_t>(i)] = static_cast<uint8_t>(i * 7);
    c.hasBlock = true;
    c.plotWidth = 47.606;
    c.plotHeight = 35.606;
    c.stepsPerInch = 508;
    std::string error;
    ASSERT_TRUE(saveHostConfig(path, c, error)) << error;
    HostConfig read;
    bool exists = false;
    ASSERT_TRUE(loadHostConfig(path, read, exists, error)) << error;
    EXPECT_TRUE(exists);
    EXPECT_EQ(c.block, read.block);
    EXPECT_TRUE(read.hasBlock);
    EXPECT_EQ(47.606, read.plotWidth);
    EXPECT_EQ(35.606, read.plotHeight);
    EXPECT_EQ(508, read.stepsPerInch);
    std::remove(path.c_str());
}

TEST(HostConfig, aMissingFileIsAnEmptyConfiguration) {
    HostConfig c;
    bool exists = true;
    std::string error;
    ASSERT_TRUE(loadHostConfig(::testing::TempDir() + "no-such-tavix.cfg", c, exists, error));
    EXPECT_FALSE(exists);
    EXPECT_FALSE(c.hasBlock);
}

TEST(HostConfig, malformedFilesAreRefusedWithTheLine) {
    std::string path = ::testing::TempDir() + "tavix-bad.cfg";
    for (const char* text : {"block=12\n", "stepsPerInch=-3\n", "# ok\nwhat=1\n", "noequals\n",
                             "block=zz00000000000000000000000000000000000000000000000000000000000000000000000000\n"}) {
        std::ofstream(path, std::ios::binary) << text;
        HostConfig c;
        bool exists;
        std::string error;
        EXPECT_FALSE(loadHostConfig(path, c, exists, error)) << text;
        EXPECT_NE(std::string::npos, error.find(path + ":")) << error;
    }
    std::remove(path.c_str());
}

}  // namespace
}  // namespace tavix::host

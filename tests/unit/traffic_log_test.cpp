#include "link/traffic_log.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

TEST(TrafficLog, BlockIsHeaderThenDataByteForByte) {
    EXPECT_EQ(TrafficBlock(5000, "PU\r\n"), "##### 5000 #####\r\nPU\r\n");
    // Past 2^31 ms of uptime the tick reads negative: sign, no blank.
    EXPECT_EQ(TrafficBlock(-2147483647 - 1, "X"), "##### -2147483648 #####\r\nX");
    const std::string raw("XYZP=4\0\xFF", 8);  // a batch ends anywhere and is not touched
    EXPECT_EQ(TrafficBlock(7, raw), "##### 7 #####\r\n" + raw);
}

TEST(TrafficLog, AppendsOneBlockPerCallAndReportsFailures) {
    const std::string path = testing::TempDir() + "kt_traffic_append.txt";
    std::remove(path.c_str());
    ASSERT_TRUE(AppendTrafficBlock(path, 5000, "PU\r\n"));
    ASSERT_TRUE(AppendTrafficBlock(path, 5025, "PD"));
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    EXPECT_EQ(ss.str(), "##### 5000 #####\r\nPU\r\n##### 5025 #####\r\nPD");
    std::remove(path.c_str());

    EXPECT_FALSE(AppendTrafficBlock("", 1, "x"));
    EXPECT_FALSE(AppendTrafficBlock(testing::TempDir() + "kt_no_such_dir/rxprot.txt", 1, "x"));
    EXPECT_FALSE(AppendTrafficBlock(testing::TempDir(), 1, "x"));  // a directory
}

#include "sim/sim_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/sim_options.h"

namespace {

std::vector<SimCommand> Parse(const std::string& text) {
    SimParser parser;
    std::vector<SimCommand> done;
    for (char c : text) SimParseChar(parser, c, done);
    return done;
}

std::vector<std::string> Texts(const std::string& text) {
    std::vector<std::string> out;
    for (const SimCommand& c : Parse(text)) out.push_back(SimCommandText(c, false));
    return out;
}

using Strings = std::vector<std::string>;

}  // namespace

TEST(SimParser, BlanksCaseAndSeparatorsAsTheBoardTolerates) {
    EXPECT_EQ(Texts("PX 9876,5432\r\n"), Strings{"PX9876,5432"});
    EXPECT_EQ(Texts("PR 550,-340\r\n"), Strings{"PR550,-340"});
    EXPECT_EQ(Texts("  pa 10 , 20 ;"), Strings{"PA10,20"});
    EXPECT_EQ(Texts("px0,0\r\n"), Strings{"PX0,0"});
    EXPECT_EQ(Texts("Pa-50,-60\n"), Strings{"PA-50,-60"});
    EXPECT_EQ(Texts("PA10-5;"), (Strings{"PA10,-5"}));
}

TEST(SimParser, SeveralCommandsPerLineAndWithoutTerminator) {
    EXPECT_EQ(Texts(";PU;PA10,20;PD;PR5,5\r\n"), (Strings{"PU", "PA10,20", "PD", "PR5,5"}));
    EXPECT_EQ(Texts("PU0,0PD10,10;"), (Strings{"PU0,0", "PD10,10"}));
    EXPECT_EQ(Texts("PUPD\r"), (Strings{"PU", "PD"}));
    // Nothing before the terminator, nothing queued.
    EXPECT_TRUE(Parse("\r\n\r\n;;  ;").empty());
    EXPECT_TRUE(Parse("PA10").empty());
}

TEST(SimParser, NumbersRoundAndClamp) {
    EXPECT_EQ(Texts("PA10.5,20.4;PR-2.5,.5;"), (Strings{"PA11,20", "PR-3,1"}));
    EXPECT_EQ(Texts("PA99999999999999999999999,-99999999999999999999;"), Strings{"PA2147483647,-2147483647"});
    // A sign or a point alone is no number.
    EXPECT_EQ(Texts("SP -;ZR .;"), (Strings{"SP", "ZR"}));
}

TEST(SimParser, UnknownCommandsAreAcceptedWithoutTheirArguments) {
    auto commands = Parse("IN;VS10;LBHello, world 12\r");
    ASSERT_EQ(commands.size(), 3u);
    EXPECT_FALSE(commands[0].known);
    EXPECT_EQ(SimCommandText(commands[1], false), "VS");
    EXPECT_EQ(SimCommandText(commands[2], false), "LB");
}

TEST(SimParser, GarbageDropsTheCommandUpToTheTerminator) {
    EXPECT_EQ(Texts("PA10,#0;PR1,1;"), Strings{"PR1,1"});
    EXPECT_EQ(Texts("1PA5,5;#?\x01\xff;P;P1;--5;PR--5;PA1..2;PR2,2\n"), Strings{"PR2,2"});
}

TEST(SimParser, LongPolylineIsQueuedInPiecesOfPairs) {
    std::string line = "PD";
    for (int i = 0; i < 65; ++i) line += std::to_string(i) + "," + std::to_string(-i) + ",";
    auto pieces = Parse(line + ";");
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(pieces[0].params.size(), kSimMaxPairParams);
    EXPECT_EQ(pieces[2].params, (std::vector<int32_t>{64, -64}));
    EXPECT_TRUE(pieces[0].first && !pieces[0].last);
    EXPECT_TRUE(!pieces[1].first && !pieces[1].last);
    EXPECT_TRUE(!pieces[2].first && pieces[2].last);
    // Other commands keep only their first few numbers, however many follow.
    EXPECT_EQ(Parse("PX1,2,3,4,5,6,7,8;")[0].params.size(), kSimMaxOtherParams);
}

TEST(SimParser, ParserMemoryStaysBoundedOnEndlessLines) {
    SimParser parser;
    std::vector<SimCommand> done;
    uint32_t seed = 12345;
    for (int i = 0; i < 200000; ++i) {
        seed = seed * 1103515245u + 12345u;
        char c = static_cast<char>(seed >> 24);
        if (c == ';' || c == '\r' || c == '\n') c = ',';
        SimParseChar(parser, c, done);
        EXPECT_LE(parser.params.size(), kSimMaxPairParams);
        done.clear();
    }
    for (int i = 0; i < 100000; ++i) SimParseChar(parser, i % 2 ? ',' : '7', done);
    EXPECT_LE(parser.params.size(), kSimMaxPairParams);
}

TEST(SimParser, NumberFormats) {
    EXPECT_EQ(SimFormatNumber(31, true), "0x1f");
    EXPECT_EQ(SimFormatNumber(-120, true), "-0x78");
    EXPECT_EQ(SimFormatNumber(0, true), "0x0");
    EXPECT_EQ(SimFormatNumber(INT64_MIN, true), "-0x8000000000000000");
    EXPECT_EQ(SimFormatNumber(-120, false), "-120");
}

TEST(SimOptions, ValuesInBothFormsAndErrors) {
    const char* argv[] = {"kt4180-sim", "--link", "/tmp/com3", "--state=/tmp/s", "--log",   "l",
                          "--raw-log=r", "--no-pacing", "--device", "/dev/ttyUSB0", "--drawing=d.png"};
    SimOptions o;
    std::string error;
    ASSERT_TRUE(SimParseOptions(11, argv, o, error)) << error;
    EXPECT_FALSE(o.help);
    EXPECT_EQ(o.drawingPath, "d.png");
    EXPECT_EQ(o.link, "/tmp/com3");
    EXPECT_EQ(o.statePath, "/tmp/s");
    EXPECT_EQ(o.logPath, "l");
    EXPECT_EQ(o.rawLogPath, "r");
    EXPECT_EQ(o.device, "/dev/ttyUSB0");
    EXPECT_FALSE(o.pacing);

    const char* missing[] = {"kt4180-sim", "--log"};
    SimOptions m;
    EXPECT_FALSE(SimParseOptions(2, missing, m, error));
    const char* empty[] = {"kt4180-sim", "--drawing="};
    EXPECT_FALSE(SimParseOptions(2, empty, m, error));
    const char* help[] = {"kt4180-sim", "-h"};
    EXPECT_TRUE(SimParseOptions(2, help, m, error) && m.help);
    const char* unknown[] = {"kt4180-sim", "--fast"};
    EXPECT_FALSE(SimParseOptions(2, unknown, m, error));
    EXPECT_NE(error.find("--fast"), std::string::npos);
}

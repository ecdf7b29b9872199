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

}  // namespace

// Each command as the board queues it, separated by blanks; "?" marks a command the board accepts but does not know.
TEST(SimParser, CommandsAsTheBoardReadsThemAndLongLinesInPieces) {
    const std::pair<const char*, const char*> cases[] = {
        {"  pa 10 , 20 ;", "PA10,20"},
        {"PA10-5;", "PA10,-5"},
        {";PU;PA10,20;PD;PR5,5\r\n", "PU PA10,20 PD PR5,5"},
        {"PU0,0PD10,10;", "PU0,0 PD10,10"},
        {"PUPD\r", "PU PD"},
        {"\r\n\r\n;;  ;", ""},
        {"PA10", ""},  // not finished yet
        {"PA10.5,20.4;PR-2.5,.5;", "PA11,20 PR-3,1"},
        {"PA99999999999999999999999,-99999999999999999999;", "PA2147483647,-2147483647"},
        {"SP -;ZR .;", "SP ZR"},              // a sign or a point alone is no number
        {"PX1,2,3,4,5,6,7,8;", "PX1,2,3,4"},  // only the first few numbers
        {"IN;VS10;LBHello, world 12\r", "IN? VS? LB?"},
        // Garbage drops the command it is in, up to the terminator.
        {"PA10,#0;PR1,1;", "PR1,1"},
        {"1PA5,5;#?\x01\xff;P;P1;--5;PR--5;PA1..2;PR2,2\n", "PR2,2"},
    };
    for (const auto& [text, expected] : cases) {
        std::string got;
        for (const SimCommand& c : Parse(text))
            got += (got.empty() ? "" : " ") + SimCommandText(c, false) + (c.known ? "" : "?");
        EXPECT_EQ(got, expected) << text;
    }
    EXPECT_EQ(SimFormatNumber(INT64_MIN, true), "-0x8000000000000000");  // no positive twin
    // A long polyline is queued in pieces of pairs, so that the parser holds only so many numbers.
    std::string line = "PD";
    std::vector<int32_t> numbers, queued;
    for (int i = 0; i < 65; ++i)
        line += std::to_string(i) + "," + std::to_string(-i) + ",", numbers.insert(numbers.end(), {i, -i});
    std::string pieces;
    for (const SimCommand& c : Parse(line + ";")) {
        pieces += std::to_string(c.params.size()) + (c.first ? "F" : "") + (c.last ? "L" : "") + " ";
        queued.insert(queued.end(), c.params.begin(), c.params.end());
    }
    EXPECT_EQ(std::make_pair(pieces, queued), std::make_pair(std::string("64F 64 2L "), numbers));
}

TEST(SimOptions, ValuesInBothFormsAndErrors) {
    const char* argv[] = {"kt4180-sim",  "--link",      "/tmp/com3", "--state=/tmp/s", "--log",          "l",
                          "--raw-log=r", "--no-pacing", "--device",  "/dev/ttyUSB0",   "--drawing=d.png"};
    SimOptions o;
    std::string error;
    ASSERT_TRUE(SimParseOptions(11, argv, o, error)) << error;
    EXPECT_FALSE(o.help || o.pacing);
    EXPECT_EQ(std::tie(o.link, o.statePath, o.logPath, o.rawLogPath, o.device, o.drawingPath),
              std::make_tuple("/tmp/com3", "/tmp/s", "l", "r", "/dev/ttyUSB0", "d.png"))
        << "link, state, log, raw log, device, drawing";

    for (const auto& [arg, valid] :
         {std::pair{"--log", false}, {"--drawing=", false}, {"-h", true}, {"--fast", false}}) {
        const char* args[] = {"kt4180-sim", arg};
        SimOptions m;
        EXPECT_EQ(SimParseOptions(2, args, m, error), valid) << arg;
        EXPECT_EQ(m.help, valid) << arg;
    }
    EXPECT_NE(error.find("--fast"), std::string::npos);
}

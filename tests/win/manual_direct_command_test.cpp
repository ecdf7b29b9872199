// Commands typed into TxtCommand with the real keyboard, against the board simulator (see
// manual_board_session.h).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/control_ids.h"
#include "tests/win/manual_board_session.h"

using namespace manual_session;

namespace {

class BoardJogDirectCommand : public testing::Test {
protected:
    void SetUp() override {
        if (BoardDir().empty()) GTEST_SKIP() << "needs the board simulator: run tests/e2e/manual_jog.sh";
        ASSERT_TRUE(OpenSession());
        ASSERT_TRUE(InFront());
        SetWindowTextA(Box(), "");
        SetFocus(Box());
        PumpFor(20);
        ASSERT_EQ(GetFocus(), Box());
    }
    static HWND Box() { return Item(ids::TxtCommand); }
};

}  // namespace

TEST_F(BoardJogDirectCommand, EnterSendsTheTypedLineAndEmptiesTheBox) {
    const size_t before = RawLog().size();
    Type("PD;");
    // Still typing: nothing goes out.
    EXPECT_EQ(ReceivedSince(before), "");
    EXPECT_EQ(WindowText(Box()), "PD;");
    PressKey(VK_RETURN);
    EXPECT_EQ(ReceivedSince(before), "PD;\r\n");
    EXPECT_EQ(WindowText(Box()), "");
}

TEST_F(BoardJogDirectCommand, EnterInTheMiddleSendsTheWholeText) {
    const size_t before = RawLog().size();
    Type("PR 550,-340");
    SendMessageA(Box(), EM_SETSEL, 3, 3);
    PressKey(VK_RETURN);
    EXPECT_EQ(ReceivedSince(before), "PR \r\n550,-340");
    EXPECT_EQ(WindowText(Box()), "");
}

TEST_F(BoardJogDirectCommand, PastedLinesGoOutAsTheyAre) {
    const size_t before = RawLog().size();
    // Case, blanks and separators are the controller's business.
    SetWindowTextA(Box(), "pu;\r\n  PA 0,0;\r\nZR-200");
    EXPECT_EQ(ReceivedSince(before), "pu;\r\n  PA 0,0;\r\nZR-200");
    EXPECT_EQ(WindowText(Box()), "");
}

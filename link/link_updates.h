#pragma once
// What the receive thread has for the windows, and the one message at most that is on its way
// to bring it: a run lets one message through per drawing step, and a board that answers faster
// than that must not bury the user's keys and clicks behind a growing queue (under Wine a queue
// that is never empty also holds back the input behind it).
//
// The receive thread notes what it has (a position, received text, a new count); a note that
// returns true must post the message, which no other note does until the user-interface thread
// has taken the update. What is noted and what the message will bring change together under one
// lock, so every piece of received text is taken exactly once.
#include <mutex>
#include <string>

struct PositionTexts {
    std::string x, y, z, p;
};

struct LinkUpdate {
    bool position = false;  // a new position is in `latest`
    bool rxCount = false;   // the received count has moved
    PositionTexts latest;
    std::string received;  // text received since the last update
};

struct LinkUpdates {
    std::mutex lock;
    LinkUpdate pending;
    bool posted = false;  // a message is on its way
};

// The monitor keeps far less than this of what was received between two updates.
constexpr size_t kReceivedKeptMax = 4096;

// Receive thread. True: no message is on its way, the caller posts one.
bool NoteReceived(LinkUpdates& u, const std::string& text);
bool NotePosition(LinkUpdates& u, const PositionTexts& position);
bool NoteRxCount(LinkUpdates& u);
// The message could not be posted: the next note tries again.
void NotePostFailed(LinkUpdates& u);
// User-interface thread, when the message arrives: everything noted so far.
LinkUpdate TakeLinkUpdate(LinkUpdates& u);

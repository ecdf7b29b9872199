#include "link/link_updates.h"

namespace {

bool Posting(LinkUpdates& u) {
    if (u.posted) return false;
    u.posted = true;
    return true;
}

}  // namespace

bool NoteReceived(LinkUpdates& u, const std::string& text) {
    std::lock_guard<std::mutex> hold(u.lock);
    std::string& r = u.pending.received;
    r += text;
    if (r.size() > kReceivedKeptMax) r.erase(0, r.size() - kReceivedKeptMax / 2);
    return Posting(u);
}

bool NotePosition(LinkUpdates& u, const PositionTexts& position) {
    std::lock_guard<std::mutex> hold(u.lock);
    u.pending.latest = position;
    u.pending.position = true;
    return Posting(u);
}

bool NoteRxCount(LinkUpdates& u) {
    std::lock_guard<std::mutex> hold(u.lock);
    u.pending.rxCount = true;
    return Posting(u);
}

void NotePostFailed(LinkUpdates& u) {
    std::lock_guard<std::mutex> hold(u.lock);
    u.posted = false;
}

LinkUpdate TakeLinkUpdate(LinkUpdates& u) {
    std::lock_guard<std::mutex> hold(u.lock);
    LinkUpdate taken = std::move(u.pending);
    u.pending = LinkUpdate{};
    u.posted = false;
    return taken;
}

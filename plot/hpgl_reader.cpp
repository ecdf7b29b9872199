#include "plot/hpgl_reader.h"

#include <cstdio>
#include <limits>

#include "base/numbers.h"
#include "base/text.h"
#include "plot/draw_move.h"

namespace {

enum class ReadState { ExpectCommand, ExpectX, ExpectY, PairComplete, ExpectPen, PenTaken };

bool IsTerminator(char c) { return c == ';' || c == '\r' || c == '\n'; }

bool IsSeparator(char c) { return c == ' ' || c == ',' || IsTerminator(c); }

// The nearest integer, ties to even, of a value below 2^33 in magnitude (so that v minus its
// floor is exact): RoundToInteger without its checks for huge values, twice a pair.
int64_t RoundSmall(double v) {
    int64_t i = static_cast<int64_t>(v);
    if (static_cast<double>(i) > v) --i;
    const double fraction = v - static_cast<double>(i);
    if (fraction > 0.5 || (fraction == 0.5 && (i & 1) != 0)) ++i;
    return i;
}

// One axis of a move in drawing units. False when the value is no 32-bit count: there is no
// such move to make.
bool MoveAxis(int32_t coordinate, int32_t scale, int32_t pos, bool relative, int32_t& out) {
    // |coordinate / scale| <= 2^31 and |pos| <= 2^31.
    const double q = Stored(static_cast<double>(coordinate) / scale);
    const double d = relative ? q : Stored(q - pos);
    const int64_t r = RoundSmall(d);
    if (r < std::numeric_limits<int32_t>::min() || r > std::numeric_limits<int32_t>::max()) return false;
    out = static_cast<int32_t>(r);
    return true;
}

// i * 100 / n for i = 1, 2, ..., rounded to nearest with ties to even, without a division per
// step: i * 100 == quotient * n + remainder.
struct ProgressCounter {
    int64_t n;
    int64_t quotient = 0;
    int64_t remainder = 0;

    int32_t Next() {
        remainder += 100;
        while (remainder >= n) {  // at most 100 rounds, and one once n >= 100
            remainder -= n;
            ++quotient;
        }
        const int64_t twice = 2 * remainder;
        const bool up = twice > n || (twice == n && (quotient & 1) != 0);
        return static_cast<int32_t>(quotient + (up ? 1 : 0));
    }
};

}  // namespace

PlotLoad LoadPlotText(const std::string& path, std::string& text) {
    text.clear();
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return PlotLoad::Unreadable;
    long size = -1;
    if (std::fseek(f, 0, SEEK_END) == 0) size = std::ftell(f);
    std::rewind(f);
    // A size that cannot be told (or a file past 2 GB where long is 32 bits) reads the cap. One
    // byte more than the cap tells a longer file from one of exactly the cap's size.
    const std::size_t want =
        (size < 0 || size > kPlotTextMax) ? std::size_t{kPlotTextMax} + 1 : static_cast<std::size_t>(size);
    text.resize(want);
    const std::size_t got = want ? std::fread(&text[0], 1, want, f) : 0;
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    text.resize(got);
    if (failed) {  // a folder opens, but reading it fails
        text.clear();
        return PlotLoad::Unreadable;
    }
    if (got <= static_cast<std::size_t>(kPlotTextMax)) return PlotLoad::Whole;
    text.resize(kPlotTextMax);
    return PlotLoad::Cut;
}

void ReadPlotText(PlotState& st, std::string_view text, const PlotHost& host) {
    st.ExtMaxX = kExtentsReset;
    st.ExtMaxY = kExtentsReset;
    if (text.size() > static_cast<std::size_t>(kPlotTextMax)) text = text.substr(0, kPlotTextMax);
    st.PlotFileLength = static_cast<int32_t>(text.size());
    const std::size_t n = text.size();

    ReadState state = ReadState::ExpectCommand;
    bool relative = false;
    int32_t number = 0;
    int32_t digitCount = 0;
    bool negative = false;
    bool numberVoid = false;  // the digits so far exceed the 32-bit range
    int32_t x = 0, y = 0;
    bool xVoid = false, yVoid = false;

    ProgressCounter progress{static_cast<int64_t>(n)};
    int32_t shown = -1;

    for (std::size_t i = 0; i < n; ++i) {
        const char c = text[i];
        const int32_t percent = progress.Next();
        if (percent != shown) {
            shown = percent;
            if (host.progress) host.progress(percent);
        }
        if (host.queueChar) host.queueChar(UpperAscii(c));

        if (c == '-') {
            negative = true;
            continue;
        }
        if (c >= '0' && c <= '9') {
            const int32_t digit = c - '0';
            ++digitCount;
            if (!numberVoid) {
                if (number > (std::numeric_limits<int32_t>::max() - digit) / 10) {
                    numberVoid = true;
                } else {
                    number = number * 10 + digit;
                }
            }
            continue;
        }
        if (IsSeparator(c)) {
            if (digitCount > 0) {
                const int32_t value = negative ? -number : number;
                // ExpectY before ExpectX, so that one number advances the state by one step.
                if (state == ReadState::ExpectY) {
                    y = value;
                    yVoid = numberVoid;
                    state = ReadState::PairComplete;
                }
                if (state == ReadState::ExpectX) {
                    x = value;
                    xVoid = numberVoid;
                    state = ReadState::ExpectY;
                }
                if (state == ReadState::ExpectPen) {
                    state = ReadState::PenTaken;
                    if (!numberVoid) {
                        st.CurrentPen = value;
                        AddPenToList(st, st.CurrentPen);
                    }
                }
                number = 0;
                digitCount = 0;
                negative = false;
                numberVoid = false;
                if (state == ReadState::PairComplete) {
                    int32_t dx = 0, dy = 0;
                    // Scale 0, a void number or a move past 32 bits: no move is defined, so none is made.
                    if (!xVoid && !yVoid && st.DrawScale != 0 && MoveAxis(x, st.DrawScale, st.DrawPosX, relative, dx) &&
                        MoveAxis(y, st.DrawScale, st.DrawPosY, relative, dy)) {
                        if (host.move) host.move(dx, dy, st.PenDown);
                        DrawMove(st, host, dx, dy);
                    }
                    state = ReadState::ExpectX;
                }
            }
            if (IsTerminator(c)) state = ReadState::ExpectCommand;
            continue;
        }
        if (state != ReadState::ExpectCommand || i + 1 >= n) continue;

        const char first = UpperAscii(c), second = UpperAscii(text[i + 1]);
        if (first == 'P' && second == 'A') {
            relative = false;
            state = ReadState::ExpectX;
        } else if (first == 'P' && second == 'R') {
            relative = true;
            state = ReadState::ExpectX;
        } else if (first == 'P' && second == 'U') {
            st.PenDown = false;
            state = ReadState::ExpectX;
        } else if (first == 'P' && second == 'D') {
            st.PenDown = true;
            state = ReadState::ExpectX;
        } else if (first == 'S' && second == 'P') {
            state = ReadState::ExpectPen;
        } else {
            continue;
        }
        ++i;  // the second letter is consumed here; the percentage is not shown for it
        progress.Next();
        if (host.queueChar) host.queueChar(second);
        if (host.commandRead) host.commandRead();
    }
    if (host.readEnded) host.readEnded();
}

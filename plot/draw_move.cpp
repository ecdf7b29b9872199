#include "plot/draw_move.h"

#include <cstring>
#include <limits>

#include "base/numbers.h"

namespace {

// A move's pixel walk may overshoot its length (the slope is single precision), by less than
// twice the longest move; positions keep this far from the ends of the 32-bit range.
constexpr int64_t kPositionMargin = int64_t{1} << 20;

bool PositionFits(int64_t v) {
    return v >= std::numeric_limits<int32_t>::min() + kPositionMargin &&
           v <= std::numeric_limits<int32_t>::max() - kPositionMargin;
}

int32_t Abs(int32_t v) { return v < 0 ? -v : v; }  // callers keep v far from INT32_MIN

}  // namespace

uint32_t PenColor(int32_t pen) { return (static_cast<uint32_t>(pen) * 8u) & 0x00FFFFFFu; }

uint32_t PixelFromColor(uint32_t rgb) { return ((rgb & 0xFFu) << 16) | (rgb & 0xFF00u) | ((rgb >> 16) & 0xFFu); }

void ClearPlotCanvas(PlotCanvas& canvas, uint32_t rgb) {
    if (!canvas.pixels) return;
    const uint32_t pixel = PixelFromColor(rgb);
    for (int32_t row = 0; row < canvas.height; ++row) {
        uint32_t* line = canvas.pixels + static_cast<int64_t>(row) * canvas.stride;
        for (int32_t col = 0; col < canvas.width; ++col) line[col] = pixel;
    }
}

namespace {

constexpr int64_t kNoLimit = std::numeric_limits<int64_t>::max();
constexpr int64_t kShortRun = 32;  // additions made one by one rather than by binades
static_assert(std::numeric_limits<double>::is_iec559, "the slope's binades are read from a double's bits");

// The slope accumulator of a move's pixel walk, in single precision:
//
//   t(0) = r / 2,  t(j + 1) = t(j) + r   (r = major length / minor length, or / 1)
//
// The walk takes its (j+1)-th minor step on major step floor(t(j)) + 1, one major step at a
// time: so the walk is known from t alone, and t can be advanced many additions at once.
//
// r >= 1 and t < 2^19, so every t and r is a whole number of 2^-24 (a "fixed" value below
// 2^43). While t stays in one binade [2^h, 2^(h+1)) (fixed), its grid is u = 2^(h-23), and
// t + r, as long as the exact sum stays below the binade's top, rounds to t + d with d the
// multiple of u nearest to r: the same d for every t, except when r lies half-way between two
// multiples and t is an odd multiple of u (the tie then goes to the even neighbour). A run of
// such additions is one multiplication; the addition that crosses into the next binade and a
// tie from an odd t are made literally, as the step walk makes them.
struct Slope {
    float r;
    float t;
    int64_t j = 0;  // additions made

    Slope(int32_t major, int32_t minor)
        : r(Stored(static_cast<float>(major) / static_cast<float>(minor ? minor : 1))), t(Stored(r / 2)) {}

    static int64_t Fixed(float v) { return static_cast<int64_t>(static_cast<double>(v) * 16777216.0); }
    static float FromFixed(int64_t v) { return static_cast<float>(static_cast<double>(v) / 16777216.0); }

    // The major step of the (j+1)-th minor step, less one (t is positive).
    int64_t Floor() const { return static_cast<int64_t>(t); }

    // Whether the walk provably ends on its target, t(minor - 1) < major < t(minor): its
    // minor-th minor step comes by major step major and the next one after it. Unrounded, t(j)
    // would be e(j) = r (j + 1/2), exact in double (24 by 18 bits). Each addition rounds by at
    // most half the grid of the floats below the power of two above e(minor) + 2, a grid of at
    // most (e(minor) + 2) 2^-23, as long as the roundings add up to at most 1 (t then stays
    // below that power). The margin covers the bound's own rounding; the comparisons hold
    // after rounding only if they hold before it (major is exact).
    bool LandsOnTarget(int32_t major, int32_t minor) const {
        if (minor == 0) return false;
        const double before = static_cast<double>(r) * (minor - 0.5), after = static_cast<double>(r) * (minor + 0.5);
        const double drift = minor * (after + 2) * 0x1p-24 * (1 + 0x1p-20);
        return drift <= 1 && before + drift < major && after - drift > major;
    }

    void Step() {
        t = Stored(t + r);
        ++j;
    }

    // Makes additions until n more are made or t reaches limit (fixed), whichever is first.
    // One of the two is given, the other is kNoLimit.
    void Advance(int64_t n, int64_t limit) {
        const int64_t fr = Fixed(r);
        int64_t ft = Fixed(t);
        if (n <= 0 || ft >= limit) return;
        // The additions to make if no sum rounds; a few are cheaper made one by one.
        const int64_t all = limit == kNoLimit ? n : (limit - ft - 1) / fr + 1;
        if (all <= kShortRun) {
            for (; n > 0 && Fixed(t) < limit; --n) Step();
            return;
        }
        // When t and r lie on the grid of the last sum, no sum on the way rounds at all (r of
        // 1, 1.5, 2, ... as along a diagonal): one multiplication takes the whole way.
        const int64_t last = Binade(ft + all * fr) - 23;
        if (((ft | fr) & ((int64_t{1} << last) - 1)) == 0) {
            Jump(ft, all * fr, all);
            return;
        }
        while (n > 0 && ft < limit) {
            const int shift = Binade(ft) - 23;  // the grid u of t's binade is 2^shift
            const int64_t u = int64_t{1} << shift, top = u << 24;
            const int64_t q = fr >> shift, twice = 2 * (fr & (u - 1));
            const bool tie = twice == u;
            const int64_t d = (twice > u || (tie && (q & 1))) ? (q + 1) << shift : q << shift;
            const int64_t room = top - fr - ft;
            int64_t steps = (room > 0 && !(tie && ((ft >> shift) & 1))) ? (room - 1) / d + 1 : 0;
            if (steps == 0) {
                Step();
                ft = Fixed(t);
                --n;
                continue;
            }
            if (steps > n) steps = n;
            if (limit != kNoLimit && steps > (limit - ft - 1) / d + 1) steps = (limit - ft - 1) / d + 1;
            Jump(ft, steps * d, steps);
            n -= steps;
        }
    }

    void Jump(int64_t& ft, int64_t by, int64_t steps) {
        ft += by;
        j += steps;
        t = FromFixed(ft);
    }

    // h with 2^h <= v < 2^(h+1), for 2^23 <= v < 2^53.
    static int Binade(int64_t v) {
        const double d = static_cast<double>(v);
        uint64_t bits = 0;
        std::memcpy(&bits, &d, sizeof bits);
        return static_cast<int>(bits >> 52) - 1023;
    }

    void Seek(int64_t n) { Advance(n - j, kNoLimit); }

    // Advances to the first t at or above x: j becomes the number of t(i) below x, which is
    // the number of minor steps taken by major step x.
    void PassBelow(int64_t x) { Advance(kNoLimit, x << 24); }
};

struct StepRange {
    int64_t lo, hi;
    bool Empty() const { return lo > hi; }
};

// The steps k in [kMin, kMax] that put base + s * k in [lo, hi].
StepRange StepsWithin(int64_t base, int64_t s, int64_t lo, int64_t hi, int64_t kMin, int64_t kMax) {
    if (s == 0) return (base >= lo && base <= hi) ? StepRange{kMin, kMax} : StepRange{1, 0};
    const int64_t a = s > 0 ? lo - base : base - hi, b = s > 0 ? hi - base : base - lo;
    return {a > kMin ? a : kMin, b < kMax ? b : kMax};
}

// One move seen along its axes: major step k and minor step m put the pen at
// (majorBase + sMajor * k, minorBase + sMinor * m), read as x, y or y, x.
struct MoveAxes {
    bool xMajor;
    int64_t majorBase, minorBase, sMajor, sMinor;

    int64_t X(int64_t k, int64_t m) const { return xMajor ? majorBase + sMajor * k : minorBase + sMinor * m; }
    int64_t Y(int64_t k, int64_t m) const { return xMajor ? minorBase + sMinor * m : majorBase + sMajor * k; }
};

void RaiseExtents(PlotState& st, int64_t x, int64_t y) {
    if (x > st.ExtMaxX) st.ExtMaxX = static_cast<int32_t>(x);
    if (y > st.ExtMaxY) st.ExtMaxY = static_cast<int32_t>(y);
}

void SetPixel(const PlotCanvas& canvas, int64_t flip, int64_t x, int64_t y, uint32_t pixel) {
    const int64_t row = flip - y;
    if (x >= 0 && x < canvas.width && row >= 0 && row < canvas.height) canvas.pixels[row * canvas.stride + x] = pixel;
}

// Sets the points of major steps a..b at minor step m (one row or one column), clipped.
void Fill(const PlotCanvas& canvas, int64_t flip, const MoveAxes& axes, int64_t a, int64_t b, int64_t m,
          uint32_t pixel) {
    const int64_t p = axes.majorBase + axes.sMajor * a, q = axes.majorBase + axes.sMajor * b;
    const int64_t lo = p < q ? p : q, hi = p < q ? q : p;
    const int64_t minorPos = axes.minorBase + axes.sMinor * m;
    if (axes.xMajor) {
        const int64_t row = flip - minorPos;
        if (row < 0 || row >= canvas.height) return;
        uint32_t* line = canvas.pixels + row * canvas.stride;
        for (int64_t col = lo < 0 ? 0 : lo; col <= hi && col < canvas.width; ++col) line[col] = pixel;
    } else {
        if (minorPos < 0 || minorPos >= canvas.width) return;
        const int64_t top = flip - hi, bottom = flip - lo;
        for (int64_t row = top < 0 ? 0 : top; row <= bottom && row < canvas.height; ++row) {
            canvas.pixels[row * canvas.stride + minorPos] = pixel;
        }
    }
}

// Draws the part of a walk of kEnd major and mEnd minor steps that falls on the canvas, one
// stretch of equal minor step at a time: the cost is the pixels set, not the walk's length.
void DrawWalk(const PlotCanvas& canvas, int64_t flip, const MoveAxes& axes, int32_t major, int32_t minor, int64_t kEnd,
              int64_t mEnd, uint32_t pixel) {
    const int64_t w = canvas.width, h = canvas.height;
    const StepRange ks =
        StepsWithin(axes.majorBase, axes.sMajor, axes.xMajor ? 0 : flip - h + 1, axes.xMajor ? w - 1 : flip, 1, kEnd);
    const StepRange ms =
        StepsWithin(axes.minorBase, axes.sMinor, axes.xMajor ? flip - h + 1 : 0, axes.xMajor ? flip : w - 1, 0, mEnd);
    if (ks.Empty() || ms.Empty()) return;
    Slope slope(major, minor);
    slope.PassBelow(ks.lo);
    // Stretch m runs from start to floor(t(m)), the last one to kEnd; t is at t(m).
    int64_t m = slope.j, start = ks.lo;
    if (ms.lo > m) {
        slope.Seek(ms.lo - 1);
        start = slope.Floor() + 1;
        slope.Step();
        m = ms.lo;
    }
    for (; m <= ms.hi && start <= ks.hi; ++m) {
        const int64_t end = m == mEnd ? kEnd : slope.Floor();
        Fill(canvas, flip, axes, start, end < ks.hi ? end : ks.hi, m, pixel);
        start = end + 1;
        slope.Step();
    }
}

}  // namespace

// The pixel walk, one step at a time:
//
//   repeat: major += 1; if major > t then t += r, minor += 1; mark (major, minor)
//   until major >= |major move| and minor >= |minor move|
//
// with r and t in single precision. The walk ends on the first major step that reaches the
// major length once every minor step is taken, and both coordinates run one way, so its end,
// its extents (first and last point) and its visible stretches follow from t alone (Slope):
// a move costs a few steps per binade of t plus the pixels it sets, and marks exactly the
// points of the step walk, drift of the single-precision slope included.
void DrawMove(PlotState& st, const PlotHost& host, int32_t dx, int32_t dy) {
    if (dx > kMoveLimit || dx < -kMoveLimit || dy > kMoveLimit || dy < -kMoveLimit) return;
    if (!PositionFits(int64_t{st.DrawPosX} + dx) || !PositionFits(int64_t{st.DrawPosY} + dy)) return;
    // A move takes well under a millisecond, so asking once per move keeps the 25 ms pump.
    if (host.drawStep && !host.drawStep()) return;

    const int32_t ax = Abs(dx), ay = Abs(dy);
    // A zero move counts as y-major; its one step sets the current point.
    const bool xMajor = ax >= ay && ax > 0;
    const int32_t major = xMajor ? ax : ay, minor = xMajor ? ay : ax;
    const int32_t sx = (dx > 0) - (dx < 0), sy = (dy > 0) - (dy < 0);
    const MoveAxes axes{xMajor, xMajor ? st.DrawPosX : st.DrawPosY, xMajor ? st.DrawPosY : st.DrawPosX,
                        xMajor ? sx : sy, xMajor ? sy : sx};
    const PlotCanvas* canvas = st.MeasureOnly || !host.canvas || !host.canvas->pixels ? nullptr : host.canvas;
    const uint32_t pixel = PixelFromColor(PenColor(st.CurrentPen));
    const int64_t flip = int64_t{st.GraphicHeight} - 1;
    if (major == 0) {
        if (!st.PenDown) return;
        RaiseExtents(st, st.DrawPosX, st.DrawPosY);
        if (canvas) SetPixel(*canvas, flip, st.DrawPosX, st.DrawPosY, pixel);
        return;
    }

    Slope slope(major, minor);
    const int64_t mFirst = slope.t < 1 ? 1 : 0;  // minor steps by the first point
    int64_t kEnd = major, mEnd = minor;
    if (!slope.LandsOnTarget(major, minor)) {
        if (minor > 0) {
            slope.Seek(minor - 1);
            if (slope.Floor() + 1 > kEnd) kEnd = slope.Floor() + 1;
        }
        slope.PassBelow(kEnd);
        mEnd = slope.j;
    }
    if (st.PenDown) {
        RaiseExtents(st, axes.X(1, mFirst), axes.Y(1, mFirst));
        RaiseExtents(st, axes.X(kEnd, mEnd), axes.Y(kEnd, mEnd));
        if (canvas) DrawWalk(*canvas, flip, axes, major, minor, kEnd, mEnd, pixel);
    }
    st.DrawPosX = static_cast<int32_t>(axes.X(kEnd, mEnd));
    st.DrawPosY = static_cast<int32_t>(axes.Y(kEnd, mEnd));
}

void AddPenToList(PlotState& st, int32_t pen) {
    std::string& list = st.PensList;
    if (list.empty()) list = "SP's: ";
    // A full list takes nothing more; below the cut every entry ends with ", ".
    if (list.size() >= kPensListMax) return;
    const std::string entry = NumberText(pen) + ", ";
    for (std::size_t at = 6; at < list.size();) {
        const std::size_t end = list.find(", ", at);
        if (end == std::string::npos) break;
        if (list.compare(at, end + 2 - at, entry) == 0) return;
        at = end + 2;
    }
    list += entry;
    if (list.size() > kPensListMax) list.resize(kPensListMax);
}

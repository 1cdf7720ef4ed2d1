// Scroll bars: layout, drawing and the user's actions on them (see zhost/ui/scroll.h).
#include "zhost/ui/scroll.h"

#include "zhost/ui/services.h"

#include <algorithm>
#include <cmath>

namespace zhost::ui {
namespace {

constexpr int kMinThumb = 8;

int along(const Rect& r, bool vertical) {
    return vertical ? r.height() : r.width();
}

} // namespace

Rect scrollBarRect(const Control& c, bool vertical) {
    if (!c.scrollInfo(vertical).bar)
        return {};
    const bool other = c.scrollInfo(!vertical).bar;
    const Rect r = c.clientRect();
    if (vertical)
        return Rect{std::max(0, r.right - kScrollBarSize), 0, r.right,
                    other ? std::max(0, r.bottom - kScrollBarSize) : r.bottom};
    return Rect{0, std::max(0, r.bottom - kScrollBarSize),
                other ? std::max(0, r.right - kScrollBarSize) : r.right, r.bottom};
}

Rect scrollContentRect(const Control& c) {
    Rect r = c.clientRect();
    if (c.scrollInfo(true).bar)
        r.right = std::max(r.left, r.right - kScrollBarSize);
    if (c.scrollInfo(false).bar)
        r.bottom = std::max(r.top, r.bottom - kScrollBarSize);
    return r;
}

ScrollBarLayout scrollBarLayout(const Control& c, bool vertical) {
    ScrollBarLayout l;
    l.bar = scrollBarRect(c, vertical);
    if (l.bar.empty())
        return l;
    const Rect& b = l.bar;
    const int arrow = std::min(kScrollBarSize, along(b, vertical) / 2);
    if (vertical) {
        l.back = Rect{b.left, b.top, b.right, b.top + arrow};
        l.forward = Rect{b.left, b.bottom - arrow, b.right, b.bottom};
        l.track = Rect{b.left, l.back.bottom, b.right, l.forward.top};
    } else {
        l.back = Rect{b.left, b.top, b.left + arrow, b.bottom};
        l.forward = Rect{b.right - arrow, b.top, b.right, b.bottom};
        l.track = Rect{l.back.right, b.top, l.forward.left, b.bottom};
    }
    const ScrollInfo info = c.scrollInfo(vertical);
    const int track = along(l.track, vertical);
    if (info.max <= 0 || info.total <= 0 || track < kMinThumb)
        return l; // nothing to scroll: no thumb
    const int size =
        std::clamp(int(std::lround(double(track) * info.page / info.total)), kMinThumb, track);
    const int at =
        int(std::lround(double(track - size) * std::clamp(info.pos, 0, info.max) / info.max));
    l.thumb = vertical ? Rect{b.left, l.track.top + at, b.right, l.track.top + at + size}
                       : Rect{l.track.left + at, b.top, l.track.left + at + size, b.bottom};
    return l;
}

ScrollPart scrollBarHit(const Control& c, Point p, bool& vertical) {
    for (const bool v : {true, false}) {
        const ScrollBarLayout l = scrollBarLayout(c, v);
        if (!l.bar.contains(p))
            continue;
        vertical = v;
        if (l.back.contains(p))
            return ScrollPart::lineBack;
        if (l.forward.contains(p))
            return ScrollPart::lineForward;
        if (l.thumb.empty())
            return ScrollPart::none;
        if (l.thumb.contains(p))
            return ScrollPart::thumb;
        const bool before = v ? p.y < l.thumb.top : p.x < l.thumb.left;
        return before ? ScrollPart::pageBack : ScrollPart::pageForward;
    }
    return ScrollPart::none;
}

bool userScroll(Control& c, bool vertical, ScrollPart part) {
    const ScrollInfo info = c.scrollInfo(vertical);
    const int page = std::max(1, info.page);
    switch (part) {
    case ScrollPart::lineBack:
        return c.scrollTo(vertical, info.pos - 1);
    case ScrollPart::lineForward:
        return c.scrollTo(vertical, info.pos + 1);
    case ScrollPart::pageBack:
        return c.scrollTo(vertical, info.pos - page);
    case ScrollPart::pageForward:
        return c.scrollTo(vertical, info.pos + page);
    case ScrollPart::thumb:
    case ScrollPart::none:
        return false;
    }
    return false;
}

bool userScrollSteps(Control& c, bool vertical, int steps) {
    return steps != 0 && c.scrollTo(vertical, c.scrollInfo(vertical).pos + steps);
}

bool userDragThumb(Control& c, bool vertical, int startPos, int pixels) {
    const ScrollBarLayout l = scrollBarLayout(c, vertical);
    const ScrollInfo info = c.scrollInfo(vertical);
    const int free = along(l.track, vertical) - along(l.thumb, vertical);
    if (l.thumb.empty() || free <= 0)
        return false;
    const int pos = startPos + int(std::lround(double(pixels) * info.max / free));
    return c.scrollTo(vertical, std::clamp(pos, 0, info.max));
}

void drawScrollBars(const Control& c, DeviceContext& dc) {
    const Color face = sysColor(SysColor::buttonFace);
    for (const bool v : {true, false}) {
        const ScrollBarLayout l = scrollBarLayout(c, v);
        if (l.bar.empty())
            continue;
        dc.fillRect(l.bar, rgb(240, 240, 240));
        const bool live = !l.thumb.empty() && c.isEnabled();
        dc.setTextColor(live ? rgb(96, 96, 96) : rgb(191, 191, 191));
        dc.fillRect(l.back, face);
        dc.fillRect(l.forward, face);
        dc.drawText(v ? L"\u25B4" : L"\u25C2", l.back, dt::singleLine | dt::vcenter | dt::center);
        dc.drawText(v ? L"\u25BE" : L"\u25B8", l.forward,
                    dt::singleLine | dt::vcenter | dt::center);
        if (!l.thumb.empty()) {
            const Rect t = v ? l.thumb.deflate(2, 0) : l.thumb.deflate(0, 2);
            dc.fillRect(t, rgb(205, 205, 205));
            dc.frameRect(t, rgb(170, 170, 170));
        }
    }
    if (c.scrollInfo(true).bar && c.scrollInfo(false).bar) {
        const Rect r = c.clientRect();
        dc.fillRect(Rect{r.right - kScrollBarSize, r.bottom - kScrollBarSize, r.right, r.bottom},
                    face);
    }
}

} // namespace zhost::ui

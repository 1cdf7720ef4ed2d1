// A dialog as text for the transcript and as a picture.
#include "zhost/ui/dialog.h"

#include "text_util.h"

#include "zhost/ui/services.h"

namespace zhost::ui {

std::wstring Dialog::describe() const {
    std::wstring s = L"=== " + title_;
    if (tpl_.resourceId)
        s += L" (dialog " + std::to_wstring(tpl_.resourceId) + L")";
    if (!visible_)
        s += L" (hidden)";
    s += L" ===\n";
    for (const auto& c : controls_) {
        if (!c->isVisible())
            continue;
        std::vector<std::wstring> lines;
        c->describe(lines);
        for (const auto& l : lines)
            s += L"  " + l + L"\n";
    }
    s += L"===\n";
    return s;
}

Bitmap Dialog::render() {
    const Rect w = window_;
    Bitmap out(w.width(), w.height(), argbOf(sysColor(SysColor::buttonFace)));
    {
        DeviceContext frame(out);
        frame.fillRect({0, 0, w.width(), 26}, rgb(255, 255, 255));
        frame.setTextColor(rgb(0, 0, 0));
        frame.drawText(title_, Rect{8, 0, w.width() - 40, 26},
                       dt::singleLine | dt::vcenter | dt::noPrefix | dt::endEllipsis);
        frame.drawText(L"\u2715", Rect{w.width() - 30, 0, w.width() - 6, 26},
                       dt::singleLine | dt::vcenter | dt::center);
        frame.frameRect({0, 0, w.width(), w.height()}, rgb(100, 100, 100));
    }
    const Point o{3, 26};
    const Rect client = clientRect().offset(o.x, o.y);
    for (const auto& c : controls_) {
        if (!c->isVisible())
            continue;
        const Rect r = c->rect().offset(o.x, o.y);
        Rect clip{std::max(r.left, client.left), std::max(r.top, client.top),
                  std::min(r.right, client.right), std::min(r.bottom, client.bottom)};
        if (clip.empty())
            continue;
        DeviceContext dc(out, r.topLeft(), clip);
        dc.setFont(font());
        c->paint(dc);
    }
    DeviceContext dc(out, o, client);
    dc.setFont(font());
    onPaint(dc);
    return out;
}

} // namespace zhost::ui

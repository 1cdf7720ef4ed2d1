// Screen state: hidden and highlighted entities, the view scale, the Shift key, the main window.
#include "editor_state.h"

#include "zhost/db/object_ptr.h"
#include "zhost/editor/display.h"
#include "zhost/editor/sysvars.h"

namespace zhost::ed {

using detail::state;

Result redrawEntity(db::ObjectId id, int mode) {
    auto& s = state();
    if (id.isNull())
        return mode == redraw::regenerate || mode == redraw::show ? Result::normal : Result::error;
    if (!id.isValid() || mode < 0 || mode > 4)
        return Result::error;
    switch (mode) {
    case redraw::show:
        if (s.hidden.erase(id) != 0)
            ++s.hiddenSerial;
        break;
    case redraw::hide:
        if (s.hidden.insert(id).second)
            ++s.hiddenSerial;
        break;
    case redraw::highlight:
        s.highlighted.insert(id);
        break;
    case redraw::unhighlight:
        s.highlighted.erase(id);
        break;
    default:
        break;
    }
    return Result::normal;
}

bool isHiddenOnScreen(db::ObjectId id) {
    return state().hidden.count(id) != 0;
}
bool isHighlighted(db::ObjectId id) {
    return state().highlighted.count(id) != 0;
}

std::uint64_t hiddenOnScreenSerial() {
    return state().hiddenSerial;
}

void clearScreenState() {
    if (!state().hidden.empty())
        ++state().hiddenSerial;
    state().hidden.clear();
    state().highlighted.clear();
    state().previousViews.clear();
}

namespace {
constexpr size_t kRememberedViews = 10;

void remember(const View& v) {
    auto& kept = state().previousViews;
    if (kept.size() == kRememberedViews)
        kept.erase(kept.begin());
    kept.push_back(v);
}
} // namespace

View currentView() {
    return state().view;
}

void setScreenView(const View& view, bool rememberOld) {
    if (!(view.unitsPerPixel > 0) || view.widthPx < 1 || view.heightPx < 1)
        return;
    if (rememberOld)
        remember(state().view);
    state().view = view;
}

void requestView(const ViewRequest& request) {
    auto& s = state();
    if (!(request.view.unitsPerPixel > 0))
        return;
    remember(s.view);
    s.view = request.view;
    s.viewRequest = request;
    ++s.viewRequestSerial;
}

std::uint64_t viewRequestSerial() {
    return state().viewRequestSerial;
}
const ViewRequest& lastViewRequest() {
    return state().viewRequest;
}

bool popPreviousView(View& out) {
    auto& kept = state().previousViews;
    if (kept.empty())
        return false;
    out = kept.back();
    kept.pop_back();
    return true;
}

double viewScale() {
    return state().view.unitsPerPixel;
}
void setViewScale(double unitsPerPixel) {
    if (unitsPerPixel > 0)
        state().view.unitsPerPixel = unitsPerPixel;
}

double pickAperture() {
    int box = 3;
    if (!ok(getVarInt(L"PICKBOX", box)))
        box = 3;
    // A pick box of 0 still picks what lies exactly under the cursor.
    return std::max(box, 0) * viewScale() + 1e-9;
}

bool isShiftDown() {
    return state().shift;
}
void setShiftDown(bool down) {
    state().shift = down;
}

struct MainWindowTag {
    int unused = 0;
};

WindowHandle mainWindow() {
    static MainWindowTag window;
    return &window;
}

} // namespace zhost::ed

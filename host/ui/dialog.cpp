// Dialogs: life, message routing, controls, focus and keys, timers, dialog data.
#include "zhost/ui/dialog.h"

#include "framework.h"

#include "zhost/editor/input.h"
#include "zhost/ui/backend.h"
#include "zhost/ui/grid.h"
#include "zhost/ui/lists.h"
#include "zhost/ui/resources.h"

#include <algorithm>

namespace zhost::ui {
namespace {

Dialog*& activeDialog() {
    static Dialog* d = nullptr;
    return d;
}

DialogTemplate templateFrom(const ResourceModule& module, int id) {
    if (const DialogTemplate* t = module.dialog(id))
        return *t;
    DialogTemplate t;
    t.resourceId = id;
    return t;
}

} // namespace

Dialog::Dialog(DialogTemplate tpl, Dialog* parent)
    : tpl_(std::move(tpl)), parent_(parent), title_(tpl_.title) {
    detail::initializeFramework();
}

Dialog::Dialog(const ResourceModule& module, int templateId, Dialog* parent)
    : Dialog(templateFrom(module, templateId), parent) {}

Dialog::~Dialog() {
    if (created_)
        destroy();
}

Dialog* Dialog::active() {
    return activeDialog();
}

// --- Life --------------------------------------------------------------------------------------

bool Dialog::create() {
    if (created_)
        return true;
    const Rect client = mapDialogRect(Rect{0, 0, tpl_.size.cx, tpl_.size.cy});
    const Rect screen{0, 0, 1920, 1080};
    const int w = client.width() + 2 * 3, h = client.height() + 26 + 3;
    const Rect owner = parent_ ? parent_->windowRect() : screen;
    window_ = Rect::fromSize(owner.left + (owner.width() - w) / 2,
                             owner.top + (owner.height() - h) / 2, w, h);
    baseClient_ = {client.width(), client.height()};
    ended_ = false;
    endCode_ = 0;
    alive_ = std::make_shared<bool>(true);
    detail::installPreviewHooks();
    buildFromTemplate();
    created_ = true;
    previousActive_ = activeDialog();
    activeDialog() = this;
    focus_ = nextTabStop(nullptr, false);
    ++dispatchDepth_;
    onInitDialog();
    --dispatchDepth_;
    return true;
}

void Dialog::destroy() {
    if (!created_)
        return;
    ++dispatchDepth_;
    onDestroy();
    --dispatchDepth_;
    killAllTimers();
    if (store_)
        store_->flush();
    *alive_ = false;
    posted_.clear();
    focus_ = nullptr;
    hover_ = nullptr;
    controls_.clear();
    graveyard_.clear();
    anchors_.clear();
    created_ = false;
    if (activeDialog() == this)
        activeDialog() = previousActive_;
}

int Dialog::runModal() {
    if (!create())
        return -1;
    if (!ended_)
        processPostedMessages();
    if (!ended_)
        backend().runModalLoop(*this);
    destroy();
    return endCode_;
}

void Dialog::endDialog(int code) {
    ended_ = true;
    endCode_ = code;
}

// --- Messages ------------------------------------------------------------------------------------

void Dialog::onCommand(int id, int code, CommandHandler handler) {
    commands_[{id, code}] = std::move(handler);
}
void Dialog::onMessage(unsigned message, MessageHandler handler) {
    messages_[message] = std::move(handler);
}
void Dialog::onNotify(int id, int code, NotifyHandler handler) {
    notifies_[{id, code}] = std::move(handler);
}

std::intptr_t Dialog::windowProc(const Message& m) {
    if (m.id == wm::command) {
        const int id = commandId(m.wParam), code = commandCode(m.wParam);
        if (auto it = commands_.find({id, code}); it != commands_.end()) {
            it->second();
            return 0;
        }
        if (code == bn::clicked && id == idOk)
            onOk();
        else if (code == bn::clicked && id == idCancel)
            onCancel();
        return 0;
    }
    if (m.id == wm::notify && m.lParam) {
        auto* hdr = reinterpret_cast<NotifyHeader*>(m.lParam);
        if (auto it = notifies_.find({hdr->idFrom, hdr->code}); it != notifies_.end())
            return it->second(*hdr);
        return 0;
    }
    if (m.id == wm::timer) {
        onTimer(unsigned(m.wParam));
        return 0;
    }
    if (auto it = messages_.find(m.id); it != messages_.end())
        return it->second(m.wParam, m.lParam);
    return 0;
}

std::intptr_t Dialog::sendMessage(unsigned id, std::uintptr_t wParam, std::intptr_t lParam) {
    ++dispatchDepth_;
    const std::intptr_t r = windowProc(Message{id, wParam, lParam});
    if (--dispatchDepth_ == 0)
        graveyard_.clear();
    return r;
}

void Dialog::postMessage(unsigned id, std::uintptr_t wParam, std::intptr_t lParam) {
    posted_.push_back(Message{id, wParam, lParam});
}

void Dialog::postCommand(int id, int code) {
    postMessage(wm::command, makeCommandParam(id, code));
}

void Dialog::processPostedMessages() {
    // A runaway handler that posts forever must not hang a script.
    int budget = 10000;
    while (!posted_.empty() && !ended_ && created_ && budget-- > 0) {
        const Message m = posted_.front();
        posted_.pop_front();
        sendMessage(m.id, m.wParam, m.lParam);
    }
}

// --- Controls -----------------------------------------------------------------------------------

std::unique_ptr<Control> Dialog::makeControl(ControlKind kind, int id, std::wstring_view text,
                                             std::uint32_t style, const Rect& r) {
    const std::wstring t(text);
    switch (kind) {
    case ControlKind::staticText:
        return std::make_unique<StaticControl>(*this, id, t, style, r);
    case ControlKind::button:
        return std::make_unique<Button>(*this, id, t, style, r);
    case ControlKind::edit:
        return std::make_unique<EditControl>(*this, id, t, style, r);
    case ControlKind::listBox:
        return std::make_unique<ListBox>(*this, id, style, r);
    case ControlKind::comboBox:
        return std::make_unique<ComboBox>(*this, id, style, r);
    case ControlKind::listView:
        return std::make_unique<ListView>(*this, id, style, r);
    case ControlKind::upDown:
        return std::make_unique<UpDownControl>(*this, id, style, r);
    case ControlKind::colorCombo:
        return std::make_unique<ColorComboBox>(*this, id, style, r);
    case ControlKind::linetypeCombo:
        return std::make_unique<LinetypeComboBox>(*this, id, style, r);
    case ControlKind::lineweightCombo:
        return std::make_unique<LineweightComboBox>(*this, id, style, r);
    case ControlKind::grid:
        return std::make_unique<Grid>(*this, id, style, r);
    }
    return nullptr;
}

void Dialog::buildFromTemplate() {
    controls_.clear();
    for (const ControlTemplate& ct : tpl_.controls) {
        auto c = makeControl(ct.kind, ct.id, ct.text, ct.style, mapDialogRect(ct.rect));
        c->setExStyle(ct.exStyle);
        controls_.push_back(std::move(c));
    }
}

Control* Dialog::control(int id) const {
    for (const auto& c : controls_)
        if (c->id() == id)
            return c.get();
    return nullptr;
}

Grid* Dialog::grid(int id) const {
    return dynamic_cast<Grid*>(control(id));
}

std::vector<Control*> Dialog::controls() const {
    std::vector<Control*> v;
    for (const auto& c : controls_)
        v.push_back(c.get());
    return v;
}

Control* Dialog::createControl(ControlKind kind, int id, std::wstring_view text,
                               std::uint32_t style, const Rect& rectPixels, Control* after,
                               bool atEnd) {
    if (id != -1 && id != 0xFFFF && id != 0 && control(id))
        return nullptr;
    auto c = makeControl(kind, id, text, style, rectPixels);
    Control* raw = c.get();
    auto pos = controls_.end();
    if (after) {
        pos = std::find_if(controls_.begin(), controls_.end(),
                           [&](const auto& p) { return p.get() == after; });
        if (pos != controls_.end())
            ++pos;
    } else if (!atEnd) {
        pos = controls_.begin();
    }
    controls_.insert(pos, std::move(c));
    return raw;
}

void Dialog::buryControl(std::unique_ptr<Control> c) {
    if (dispatchDepth_ > 0)
        graveyard_.push_back(std::move(c));
}

bool Dialog::destroyControl(int id) {
    auto it = std::find_if(controls_.begin(), controls_.end(),
                           [&](const auto& p) { return p->id() == id; });
    if (it == controls_.end())
        return false;
    Control* c = it->get();
    if (focus_ == c)
        focus_ = nullptr;
    if (hover_ == c)
        hover_ = nullptr;
    std::erase_if(anchors_, [&](const Anchor& a) { return a.id == id; });
    std::unique_ptr<Control> owned = std::move(*it);
    controls_.erase(it);
    buryControl(std::move(owned));
    return true;
}

Control* Dialog::previousSibling(const Control* c) const {
    for (size_t i = 1; i < controls_.size(); ++i)
        if (controls_[i].get() == c)
            return controls_[i - 1].get();
    return nullptr;
}

void Dialog::placeAfter(Control* c, Control* after) {
    auto it = std::find_if(controls_.begin(), controls_.end(),
                           [&](const auto& p) { return p.get() == c; });
    if (it == controls_.end() || c == after)
        return;
    std::unique_ptr<Control> owned = std::move(*it);
    controls_.erase(it);
    auto pos = controls_.begin();
    if (after) {
        pos = std::find_if(controls_.begin(), controls_.end(),
                           [&](const auto& p) { return p.get() == after; });
        if (pos != controls_.end())
            ++pos;
    }
    controls_.insert(pos, std::move(owned));
}

// --- Focus, mouse and keys ----------------------------------------------------------------------

void Dialog::setFocus(Control* c) {
    if (c && (!c->isVisible() || !c->isEnabled() || !c->focusable()))
        return;
    if (focus_ == c)
        return;
    if (focus_)
        focus_->invalidate();
    focus_ = c;
    if (c)
        c->invalidate();
}

Control* Dialog::nextTabStop(Control* from, bool backward) const {
    const int n = int(controls_.size());
    if (n == 0)
        return nullptr;
    int start = -1;
    for (int i = 0; i < n; ++i)
        if (controls_[size_t(i)].get() == from)
            start = i;
    if (start < 0)
        start = backward ? 0 : n - 1;
    for (int k = 1; k <= n; ++k) {
        const int i = ((start + (backward ? -k : k)) % n + n) % n;
        Control* c = controls_[size_t(i)].get();
        if (c->isVisible() && c->isEnabled() && c->focusable() && c->isTabStop())
            return c;
    }
    return nullptr;
}

void Dialog::mouseOver(Control* c) {
    if (hover_ != c && hover_) {
        Control* left = hover_;
        hover_ = nullptr;
        if (left->tracksLeave()) {
            left->clearTracking();
            left->sendMessage(wm::mouseLeave);
        }
    }
    hover_ = c;
    if (!c)
        return;
    c->sendMessage(wm::mouseMove);
    if (hover_ == c && c->tracksHover()) {
        // The hover time is a millisecond in every caller: it has passed before the next action.
        c->trackMouse(false, c->tracksLeave());
        c->sendMessage(wm::mouseHover);
    }
}

void Dialog::pressKey(int key, KeyState state) {
    ++dispatchDepth_;
    if (!preTranslateKey(key, state))
        routeKey(key, state);
    if (--dispatchDepth_ == 0)
        graveyard_.clear();
    processPostedMessages();
}

void Dialog::routeKey(int key, KeyState state) {
    if (focus_ && focus_->sendMessage(wm::keyDown, std::uintptr_t(key),
                                      (state.shift ? 1 : 0) | (state.control ? 2 : 0)) != 0)
        return;
    switch (key) {
    case vk::tab:
        setFocus(nextTabStop(focus_, state.shift));
        return;
    case vk::returnKey: {
        if (auto* b = dynamic_cast<Button*>(focus_);
            b && !b->isCheckBox() && !b->isRadio() && !b->isGroupBox()) {
            b->click();
            return;
        }
        Control* ok = control(idOk);
        if (!ok || (ok->isEnabled() && ok->isVisible()))
            sendMessage(wm::command, makeCommandParam(idOk, bn::clicked));
        return;
    }
    case vk::escape:
        sendMessage(wm::command, makeCommandParam(idCancel, bn::clicked));
        return;
    default:
        return;
    }
}

// --- Geometry -----------------------------------------------------------------------------------

Size Dialog::dialogBaseUnits() const {
    const int pt = tpl_.font.pointSize > 0 ? tpl_.font.pointSize : 9;
    return {(pt * 3 + 2) / 4, (pt * 13 + 4) / 8};
}

Rect Dialog::mapDialogRect(const Rect& du) const {
    const Size b = dialogBaseUnits();
    auto x = [&](int v) { return (v * b.cx + 2) / 4; };
    auto y = [&](int v) { return (v * b.cy + 4) / 8; };
    return {x(du.left), y(du.top), x(du.right), y(du.bottom)};
}

Rect Dialog::clientRect() const {
    return {0, 0, std::max(0, window_.width() - 6), std::max(0, window_.height() - 29)};
}

Point Dialog::clientOrigin() const {
    return {window_.left + 3, window_.top + 26};
}

void Dialog::moveWindow(const Rect& r) {
    const bool resized = r.width() != window_.width() || r.height() != window_.height();
    window_ = r;
    if (!resized)
        return;
    const Rect c = clientRect();
    for (const Anchor& a : anchors_) {
        Control* ctl = control(a.id);
        if (!ctl)
            continue;
        const int dx = c.width() - a.baseClient.cx, dy = c.height() - a.baseClient.cy;
        const int mx = dx * a.mx / 100, my = dy * a.my / 100;
        Rect nr = a.base.offset(mx, my);
        nr.right += dx * a.sx / 100;
        nr.bottom += dy * a.sy / 100;
        ctl->setRect(nr);
    }
    invalidate();
    onSize({c.width(), c.height()});
}

void Dialog::setPosition(int x, int y) {
    moveWindow(Rect::fromSize(x, y, window_.width(), window_.height()));
}

void Dialog::userResize(int width, int height) {
    moveWindow(Rect::fromSize(window_.left, window_.top, std::max(width, minTrack_.cx),
                              std::max(height, minTrack_.cy)));
}

void Dialog::addAnchor(int id, int moveXPct, int moveYPct, int sizeXPct, int sizeYPct) {
    Control* c = control(id);
    if (!c)
        return;
    std::erase_if(anchors_, [&](const Anchor& a) { return a.id == id; });
    const Rect cr = clientRect();
    anchors_.push_back(
        Anchor{id, moveXPct, moveYPct, sizeXPct, sizeYPct, c->rect(), {cr.width(), cr.height()}});
}

Rect Dialog::sizeGripRect() const {
    const Rect c = clientRect();
    return {c.right - 16, c.bottom - 16, c.right, c.bottom};
}

int Dialog::onHitTest(Point client) {
    if (tpl_.resizable && sizeGripRect().contains(client))
        return ht::bottomRight;
    return ht::client;
}

// --- Timers -------------------------------------------------------------------------------------

bool Dialog::setTimer(unsigned id, unsigned intervalMs) {
    if (!created_ || intervalMs == 0)
        return false;
    killTimer(id);
    std::weak_ptr<bool> alive = alive_;
    timers_[id] = ed::hostClock().addTimer(intervalMs, [this, id, alive](std::uint64_t) {
        auto a = alive.lock();
        if (!a || !*a)
            return;
        sendMessage(wm::timer, id);
        processPostedMessages();
    });
    return true;
}

bool Dialog::killTimer(unsigned id) {
    auto it = timers_.find(id);
    if (it == timers_.end())
        return false;
    ed::hostClock().removeTimer(it->second);
    timers_.erase(it);
    return true;
}

void Dialog::killAllTimers() {
    for (const auto& [id, clockId] : timers_)
        ed::hostClock().removeTimer(clockId);
    timers_.clear();
}

// --- Dialog data --------------------------------------------------------------------------------

settings::DialogDataStore& Dialog::store() {
    if (!store_)
        store_ = std::make_unique<settings::DialogDataStore>();
    return *store_;
}

bool Dialog::getDialogData(std::wstring_view name, std::wstring& value) {
    return !dialogName_.empty() && store().getString(dialogName_, name, value);
}
bool Dialog::setDialogData(std::wstring_view name, std::wstring_view value) {
    return !dialogName_.empty() && store().setString(dialogName_, name, value);
}
bool Dialog::getDialogData(std::wstring_view name, int& value) {
    return !dialogName_.empty() && store().getInt(dialogName_, name, value);
}
bool Dialog::setDialogData(std::wstring_view name, int value) {
    return !dialogName_.empty() && store().setInt(dialogName_, name, value);
}

bool Dialog::storedPlacement(settings::WindowPlacement& out) {
    return !dialogName_.empty() && store().getPlacement(dialogName_, out);
}

bool Dialog::storePlacement() {
    if (dialogName_.empty() || isMinimized() || isMaximized())
        return false;
    const settings::WindowPlacement p{window_.left, window_.top, window_.width(), window_.height()};
    return store().setPlacement(dialogName_, p);
}

} // namespace zhost::ui

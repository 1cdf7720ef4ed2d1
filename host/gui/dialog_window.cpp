// A framework dialog shown as a wx dialog (see dialog_window.h).
#include "dialog_window.h"

#include "popup_menu.h"

#include "zhost/ui/bitmap.h"
#include "zhost/ui/dialog.h"
#include "zhost/ui/grid.h"
#include "zhost/ui/lists.h"
#include "zhost/ui/scroll.h"

#include <wx/dcclient.h>
#include <wx/image.h>
#include <wx/menu.h>
#include <wx/textctrl.h>
#include <wx/toplevel.h>

namespace zorma::gui {
using namespace zhost::ui;

namespace {

wxRect toWx(const Rect& r) {
    return {r.left, r.top, r.width(), r.height()};
}

// A held scroll bar part scrolls again after this long, then at this pace.
constexpr int kRepeatDelayMs = 400;
constexpr int kRepeatMs = 50;

KeyState keyState(const wxKeyEvent& e) {
    return KeyState{e.ShiftDown(), e.ControlDown()};
}

// Edit controls and the edit part of combo boxes get a native text field.
bool hasTextField(const Control& c) {
    if (c.kind() == ControlKind::edit)
        return true;
    const auto* combo = dynamic_cast<const ComboBox*>(&c);
    return combo && combo->hasEdit();
}

Rect textFieldRect(const Control& c) {
    if (const auto* combo = dynamic_cast<const ComboBox*>(&c))
        return combo->editRect().offset(c.rect().left, c.rect().top);
    return c.rect();
}

std::wstring textFieldText(const Control& c) {
    if (const auto* combo = dynamic_cast<const ComboBox*>(&c))
        return combo->windowText();
    return c.text();
}

} // namespace

int frameworkKey(int wxKey) {
    switch (wxKey) {
    case WXK_TAB:
        return vk::tab;
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
        return vk::returnKey;
    case WXK_ESCAPE:
        return vk::escape;
    case WXK_LEFT:
        return vk::left;
    case WXK_RIGHT:
        return vk::right;
    case WXK_UP:
        return vk::up;
    case WXK_DOWN:
        return vk::down;
    case WXK_HOME:
        return vk::home;
    case WXK_END:
        return vk::end;
    case WXK_PAGEUP:
        return vk::prior;
    case WXK_PAGEDOWN:
        return vk::next;
    case WXK_INSERT:
        return vk::insert;
    case WXK_DELETE:
        return vk::del;
    case WXK_BACK:
        return vk::back;
    case WXK_SPACE:
        return vk::space;
    case WXK_F2:
        return vk::f2;
    default:
        break;
    }
    if ((wxKey >= 'A' && wxKey <= 'Z') || (wxKey >= '0' && wxKey <= '9'))
        return wxKey;
    return -1;
}

wxImage toImage(const Bitmap& b, std::optional<Rect> part) {
    const Rect r = part.value_or(Rect{0, 0, b.width(), b.height()});
    wxImage img(std::max(1, r.width()), std::max(1, r.height()), false);
    unsigned char* rgb = img.GetData();
    for (int y = 0; y < r.height(); ++y)
        for (int x = 0; x < r.width(); ++x) {
            const std::uint32_t p = b.pixel(r.left + x, r.top + y);
            unsigned char* out = rgb + 3 * (size_t(y) * size_t(r.width()) + size_t(x));
            out[0] = (p >> 16) & 0xFF;
            out[1] = (p >> 8) & 0xFF;
            out[2] = p & 0xFF;
        }
    return img;
}

DialogWindow::DialogWindow(wxWindow* parent, Dialog& dialog, wxWindow* keepEnabled)
    : wxDialog(parent, wxID_ANY, wxString(dialog.title()), wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxCLOSE_BOX | wxSYSTEM_MENU |
                   (dialog.dialogTemplate().resizable ? wxRESIZE_BORDER : 0)),
      dialog_(dialog), keepEnabled_(keepEnabled) {
    const Rect client = dialog_.clientRect();
    canvas_ = new wxWindow(this, wxID_ANY, wxPoint(0, 0), wxSize(client.width(), client.height()),
                           wxWANTS_CHARS | wxFULL_REPAINT_ON_RESIZE);
    canvas_->SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetClientSize(client.width(), client.height());
    cellEditor_ = new wxTextCtrl(canvas_, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                                 wxTE_PROCESS_ENTER | wxTE_PROCESS_TAB);
    cellEditor_->Hide();

    canvas_->Bind(wxEVT_PAINT, [this](wxPaintEvent&) { paint(); });
    for (const auto type : {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP, wxEVT_LEFT_DCLICK, wxEVT_RIGHT_DOWN,
                            wxEVT_MOTION, wxEVT_LEAVE_WINDOW})
        canvas_->Bind(type, &DialogWindow::onMouse, this);
    canvas_->Bind(wxEVT_MOUSEWHEEL, &DialogWindow::onWheel, this);
    repeat_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
        if (!closed_)
            repeatScroll();
    });
    canvas_->Bind(wxEVT_KEY_DOWN, &DialogWindow::onKeyDown, this);
    canvas_->Bind(wxEVT_CHAR, &DialogWindow::onChar, this);
    cellEditor_->Bind(wxEVT_KEY_DOWN, [this](wxKeyEvent& e) { onFieldKey(e, true); });
    cellEditor_->Bind(wxEVT_TEXT, [this](wxCommandEvent&) {
        if (updating_ || !editedGrid_ || !interactive_)
            return;
        editedGrid_->typeInEditor(cellEditor_->GetValue().ToStdWstring());
        afterAction();
    });
    Bind(wxEVT_SIZE, [this](wxSizeEvent& e) {
        canvas_->SetSize(GetClientSize());
        if (!updating_ && interactive_)
            onUserResize(GetClientSize());
        e.Skip();
    });
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& e) {
        // The close box is Escape's Cancel; the dialog's handlers decide whether it ends.
        if (e.CanVeto())
            e.Veto();
        if (!interactive_)
            return;
        dialog_.sendMessage(wm::command, makeCommandParam(idCancel, bn::clicked));
        afterAction();
    });
    // Where the framework put the dialog when that is on this display; else over the main
    // window.
    const Rect w = dialog_.windowRect();
    const wxRect display = wxGetClientDisplayRect();
    if (display.Contains(wxRect(w.left, w.top, w.width(), w.height())))
        Move(w.left, w.top);
    else
        CentreOnParent();
}

void DialogWindow::update() {
    updating_ = true;
    if (GetTitle().ToStdWstring() != dialog_.title())
        SetTitle(wxString(dialog_.title()));
    const Rect client = dialog_.clientRect();
    if (GetClientSize() != wxSize(client.width(), client.height()))
        SetClientSize(client.width(), client.height());
    if (dialog_.dialogTemplate().resizable) {
        const Size min = dialog_.minTrackSize();
        const Rect w = dialog_.windowRect();
        // The framework's minimum counts its own frame; the window system adds its own.
        SetMinClientSize(wxSize(std::max(0, min.cx - (w.width() - client.width())),
                                std::max(0, min.cy - (w.height() - client.height()))));
    }
    syncEditFields();
    syncCellEditor();
    if (dialog_.isVisible() != IsShown()) {
        Show(dialog_.isVisible());
        disableOthers(IsShown());
    }
    updating_ = false;
    canvas_->Refresh(false);
}

bool DialogWindow::ownsKeyboard() {
    // Only while the desktop has made the dialog the active window: moving the focus into it
    // otherwise would take the keyboard from the command line without the user's asking.
    return interactive_ && IsActive();
}

void DialogWindow::close() {
    // The dialog goes with its caller's frame; the window lives on until the toolkit deletes it
    // and must not touch the dialog for the events it still gets.
    closed_ = true;
    interactive_ = false;
    repeat_.Stop();
    disableOthers(false);
    Hide();
}

void DialogWindow::disableOthers(bool off) {
    if (!off) {
        for (wxWindow* w : disabled_)
            w->Enable();
        disabled_.clear();
        return;
    }
    // Windows closed and waiting to be deleted are left alone (they would be gone by the time
    // they are enabled again).
    for (wxWindow* w : wxTopLevelWindows)
        if (w != this && w != keepEnabled_ && w->IsShown() && !w->IsBeingDeleted() &&
            w->IsEnabled()) {
            w->Disable();
            disabled_.push_back(w);
        }
}

void DialogWindow::paint() {
    wxPaintDC dc(canvas_);
    if (closed_)
        return;
    ++paints_;
    Bitmap face = dialog_.render();
    const Rect w = dialog_.windowRect();
    const Point origin = dialog_.clientOrigin();
    const Rect client = dialog_.clientRect().offset(origin.x - w.left, origin.y - w.top);
    face_ = toImage(face, client);
    dc.DrawBitmap(wxBitmap(face_), 0, 0);
}

bool DialogWindow::onScreen(const wxImage& shot) const {
    if (!shot.IsOk() || !face_.IsOk() || shot.GetSize() != face_.GetSize())
        return false;
    const size_t bytes = size_t(shot.GetWidth()) * size_t(shot.GetHeight()) * 3;
    const unsigned char* a = shot.GetData();
    const unsigned char* b = face_.GetData();
    size_t same = 0;
    for (size_t i = 0; i < bytes; i += 3)
        same += a[i] == b[i] && a[i + 1] == b[i + 1] && a[i + 2] == b[i + 2];
    return same * 100 >= bytes / 3 * 95;
}

void DialogWindow::afterAction() {
    if (!dialog_.ended())
        dialog_.processPostedMessages();
    if (!dialog_.ended())
        update();
}

// --- Text fields ----------------------------------------------------------------------------

void DialogWindow::syncEditFields() {
    std::map<int, wxTextCtrl*> kept;
    for (Control* c : dialog_.controls()) {
        if (!hasTextField(*c))
            continue;
        wxTextCtrl* field = nullptr;
        if (auto it = edits_.find(c->id()); it != edits_.end()) {
            field = it->second;
            edits_.erase(it);
        } else {
            const bool multi = (c->style() & es::multiLine) != 0;
            field = new wxTextCtrl(
                canvas_, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                (multi ? wxTE_MULTILINE : wxTE_PROCESS_ENTER) | wxTE_PROCESS_TAB | wxBORDER_SIMPLE);
            const int id = c->id();
            field->Bind(wxEVT_TEXT, [this, field, id](wxCommandEvent&) {
                if (updating_ || !interactive_)
                    return;
                Control* ctl = dialog_.control(id);
                if (auto* e = dynamic_cast<EditControl*>(ctl)) {
                    e->type(field->GetValue().ToStdWstring());
                    afterAction();
                } else if (auto* combo = dynamic_cast<ComboBox*>(ctl)) {
                    combo->userType(field->GetValue().ToStdWstring());
                    afterAction();
                }
            });
            field->Bind(wxEVT_KEY_DOWN, [this](wxKeyEvent& e) { onFieldKey(e, false); });
            field->Bind(wxEVT_SET_FOCUS, [this, id](wxFocusEvent& e) {
                e.Skip();
                if (updating_ || !interactive_)
                    return;
                Control* ctl = dialog_.control(id);
                if (ctl && dialog_.focus() != ctl) {
                    dialog_.setFocus(ctl);
                    afterAction();
                }
            });
        }
        kept[c->id()] = field;
        field->SetSize(toWx(textFieldRect(*c)));
        field->SetEditable((c->style() & es::readOnly) == 0);
        field->Enable(c->isEnabled());
        field->Show(c->isVisible());
        if (const std::wstring text = textFieldText(*c); field->GetValue().ToStdWstring() != text)
            field->ChangeValue(wxString(text));
        if (c->hasFocus() && ownsKeyboard() && wxWindow::FindFocus() != field)
            field->SetFocus();
    }
    for (auto& [id, field] : edits_) // the controls these stood for are gone
        field->Destroy();
    edits_ = std::move(kept);
    const Control* focus = dialog_.focus();
    if (ownsKeyboard() && (!focus || !hasTextField(*focus)) && wxWindow::FindFocus() != canvas_ &&
        !(editedGrid_ && editedGrid_->editMode()))
        canvas_->SetFocus();
}

void DialogWindow::syncCellEditor() {
    editedGrid_ = nullptr;
    for (Control* c : dialog_.controls())
        if (auto* g = dynamic_cast<Grid*>(c); g && g->isVisible() && g->editMode())
            editedGrid_ = g;
    if (!editedGrid_) {
        if (cellEditor_->IsShown())
            cellEditor_->Hide();
        return;
    }
    int col = 0, row = 0;
    editedGrid_->activeCell(col, row);
    const Rect inGrid = editedGrid_->cellRect(col, row);
    const Rect view = editedGrid_->viewRect();
    if (inGrid.top < view.top || inGrid.bottom > view.bottom || inGrid.left < view.left ||
        inGrid.left >= view.right) {
        // Scrolled out of the view (with the wheel or a bar) while editing: the field goes too.
        if (cellEditor_->IsShown())
            cellEditor_->Hide();
        return;
    }
    const Rect cell = inGrid.offset(editedGrid_->rect().left, editedGrid_->rect().top);
    cellEditor_->SetSize(toWx(cell));
    if (cellEditor_->GetValue().ToStdWstring() != editedGrid_->editorText()) {
        cellEditor_->ChangeValue(wxString(editedGrid_->editorText()));
        cellEditor_->SetInsertionPointEnd();
    }
    if (!cellEditor_->IsShown())
        cellEditor_->Show();
    if (ownsKeyboard() && wxWindow::FindFocus() != cellEditor_)
        cellEditor_->SetFocus();
}

void DialogWindow::onFieldKey(wxKeyEvent& e, bool gridCell) {
    if (!interactive_) {
        e.Skip();
        return;
    }
    const int key = frameworkKey(e.GetKeyCode());
    if (menuInput_) {
        menuInput_->key(key, wchar_t(e.GetUnicodeKey()));
        return;
    }
    bool toDialog = key == vk::tab || key == vk::escape;
    if (key == vk::returnKey) {
        const auto* field = dynamic_cast<wxTextCtrl*>(e.GetEventObject());
        toDialog = gridCell || !(field && field->IsMultiLine());
    }
    // A combo box's edit part leaves Up and Down to the box: they step through its lines.
    if (!gridCell && (key == vk::up || key == vk::down) &&
        dynamic_cast<const ComboBox*>(dialog_.focus()))
        toDialog = true;
    if (gridCell && editedGrid_) {
        if (key == vk::up || key == vk::down)
            toDialog = true;
        if ((key == vk::left || key == vk::right) &&
            editedGrid_->getBool(zhost::ui::grid::optArrowsExitEdit))
            toDialog = true;
    }
    if (!toDialog) {
        e.Skip();
        return;
    }
    if (gridCell && editedGrid_ && dialog_.focus() != editedGrid_)
        dialog_.setFocus(editedGrid_);
    dialog_.pressKey(key, keyState(e));
    afterAction();
}

// --- Mouse ----------------------------------------------------------------------------------

Control* DialogWindow::controlAt(const Point& p) const {
    // The last control drawn at the point is the one on top; statics and group boxes let
    // clicks through unless a static asked for them.
    Control* hit = nullptr;
    for (Control* c : dialog_.controls()) {
        if (!c->isVisible() || !c->rect().contains(p))
            continue;
        if (c->kind() == ControlKind::staticText && !(c->style() & ss::notify))
            continue;
        if (auto* b = dynamic_cast<Button*>(c); b && b->isGroupBox())
            continue;
        hit = c;
    }
    return hit;
}

void DialogWindow::onMouse(wxMouseEvent& e) {
    if (!interactive_)
        return;
    if (menuInput_) {
        const wxEventType t = e.GetEventType();
        if (t == wxEVT_LEFT_DOWN || t == wxEVT_RIGHT_DOWN || t == wxEVT_LEFT_DCLICK)
            menuInput_->dismiss();
        return;
    }
    const Point p{e.GetX(), e.GetY()};
    const wxEventType type = e.GetEventType();
    if (gripDrag_) {
        if (type == wxEVT_MOTION) {
            const wxPoint now = wxGetMousePosition();
            SetClientSize(gripStartSize_.x + now.x - gripStart_.x,
                          gripStartSize_.y + now.y - gripStart_.y);
        } else if (type == wxEVT_LEFT_UP) {
            gripDrag_ = false;
            if (canvas_->HasCapture())
                canvas_->ReleaseMouse();
        }
        return;
    }
    if (thumbDrag_) {
        dragThumb(e);
        return;
    }
    if (barHeld_) {
        if (type == wxEVT_LEFT_UP) {
            barHeld_.reset();
            repeat_.Stop();
            if (canvas_->HasCapture())
                canvas_->ReleaseMouse();
        }
        return;
    }
    if (type == wxEVT_LEAVE_WINDOW) {
        if (dialog_.hovered()) {
            dialog_.mouseOver(nullptr);
            afterAction();
        }
        return;
    }
    Control* c = controlAt(p);
    if (type == wxEVT_MOTION) {
        canvas_->SetCursor(dialog_.onHitTest(p) == ht::bottomRight ? wxCursor(wxCURSOR_SIZENWSE)
                                                                   : wxNullCursor);
        if (c != dialog_.hovered()) {
            dialog_.mouseOver(c);
            afterAction();
        }
        return;
    }
    if (type == wxEVT_LEFT_DOWN && dialog_.onHitTest(p) == ht::bottomRight) {
        gripDrag_ = true;
        gripStart_ = wxGetMousePosition();
        gripStartSize_ = GetClientSize();
        canvas_->CaptureMouse();
        return;
    }
    if (!c || !c->isEnabled())
        return;
    const Point at{p.x - c->rect().left, p.y - c->rect().top};
    if (type == wxEVT_RIGHT_DOWN) {
        if (auto* g = dynamic_cast<Grid*>(c)) {
            int col = 0, row = 0;
            if (g->cellAt(at, col, row))
                g->userRightClick(col, row);
            afterAction();
        }
        return;
    }
    if ((type == wxEVT_LEFT_DOWN || type == wxEVT_LEFT_DCLICK) && pressOnScrollBar(*c, at))
        return;
    if (type == wxEVT_LEFT_DOWN || type == wxEVT_LEFT_DCLICK)
        click(*c, at, type == wxEVT_LEFT_DCLICK);
}

bool DialogWindow::pressOnScrollBar(Control& c, const Point& at) {
    if (!scrollBarRect(c, true).contains(at) && !scrollBarRect(c, false).contains(at))
        return false;
    bool vertical = true;
    const ScrollPart part = scrollBarHit(c, at, vertical);
    if (part == ScrollPart::thumb) {
        thumbDrag_ =
            ThumbDrag{c.id(), vertical, c.scrollInfo(vertical).pos, vertical ? at.y : at.x};
        canvas_->CaptureMouse();
        return true;
    }
    if (userScroll(c, vertical, part))
        afterAction();
    if (part != ScrollPart::none) {
        barHeld_ = BarHeld{c.id(), vertical, int(part)};
        canvas_->CaptureMouse();
        repeat_.StartOnce(kRepeatDelayMs);
    }
    return true; // a bar with nothing to scroll takes the click too
}

void DialogWindow::repeatScroll() {
    Control* c = barHeld_ ? dialog_.control(barHeld_->control) : nullptr;
    if (!c)
        return;
    // Only while the mouse is on the part held (the track stops where the thumb reaches it).
    const wxPoint m = canvas_->ScreenToClient(wxGetMousePosition());
    const Point at{m.x - c->rect().left, m.y - c->rect().top};
    bool vertical = barHeld_->vertical;
    const ScrollPart part = scrollBarHit(*c, at, vertical);
    if (int(part) == barHeld_->part && vertical == barHeld_->vertical &&
        userScroll(*c, vertical, part))
        afterAction();
    repeat_.StartOnce(kRepeatMs);
}

bool DialogWindow::dragThumb(const wxMouseEvent& e) {
    const wxEventType type = e.GetEventType();
    Control* c = dialog_.control(thumbDrag_->control);
    if (c && (type == wxEVT_MOTION || type == wxEVT_LEFT_UP)) {
        const Point at{e.GetX() - c->rect().left, e.GetY() - c->rect().top};
        const int moved = (thumbDrag_->vertical ? at.y : at.x) - thumbDrag_->startPixel;
        if (userDragThumb(*c, thumbDrag_->vertical, thumbDrag_->startPos, moved))
            afterAction();
    }
    if (!c || type == wxEVT_LEFT_UP) {
        thumbDrag_.reset();
        if (canvas_->HasCapture())
            canvas_->ReleaseMouse();
    }
    return true;
}

void DialogWindow::onWheel(wxMouseEvent& e) {
    if (!interactive_ || menuInput_ || e.GetWheelDelta() == 0)
        return;
    Control* c = controlAt(Point{e.GetX(), e.GetY()});
    if (!c || !c->isEnabled())
        return;
    // A notch scrolls three lines (the desktop's setting) up and down, one step sideways; a
    // control that scrolls only sideways (a multi-column list) takes the wheel sideways.
    const int notches = -e.GetWheelRotation() / e.GetWheelDelta();
    bool vertical = e.GetWheelAxis() == wxMOUSE_WHEEL_VERTICAL && !e.ShiftDown();
    if (vertical && c->scrollInfo(true).total == 0)
        vertical = false;
    const ScrollInfo info = c->scrollInfo(vertical);
    if (info.total == 0 || notches == 0)
        return;
    // Sideways steps are columns, but a list view's are pixels: a notch moves it by a column's
    // worth of them.
    int steps = vertical ? notches * std::max(1, e.GetLinesPerAction()) : notches;
    if (!vertical && c->kind() == ControlKind::listView)
        steps = notches * 48;
    if (userScrollSteps(*c, vertical, steps))
        afterAction();
}

void DialogWindow::click(Control& c, const Point& at, bool twice) {
    // Each kind takes the click as the script's "@dialog click" does, so the add-on sees the
    // same messages from the mouse as from a script.
    switch (c.kind()) {
    case ControlKind::staticText: // one that asked for clicks
        if (!twice)
            c.notifyCommand(bn::clicked);
        break;
    case ControlKind::button: {
        auto& b = static_cast<Button&>(c);
        if (b.focusable() && b.isTabStop())
            dialog_.setFocus(&b);
        dialog_.mouseOver(&b);
        twice ? b.doubleClick() : b.click();
        break;
    }
    case ControlKind::edit:
        if (auto it = edits_.find(c.id()); it != edits_.end())
            it->second->SetFocus();
        break;
    case ControlKind::listBox: {
        auto& list = static_cast<ListBox&>(c);
        dialog_.setFocus(&list);
        for (int i = list.topIndex(); i < list.count(); ++i)
            if (list.itemRect(i).contains(at)) {
                twice ? list.userDoubleClick(i) : list.userSelect(i);
                break;
            }
        break;
    }
    case ControlKind::comboBox:
    case ControlKind::colorCombo:
    case ControlKind::linetypeCombo:
    case ControlKind::lineweightCombo: {
        auto& combo = static_cast<ComboBox&>(c);
        dialog_.setFocus(&combo);
        if (combo.isSimple()) { // its list is always there: a click on a line selects it
            if (const int line = combo.lineAt(at); line >= 0)
                combo.userSelect(line);
            else if (auto it = edits_.find(c.id()); it != edits_.end())
                it->second->SetFocus();
            break;
        }
        if (combo.hasEdit() && !combo.buttonRect().contains(at)) {
            if (auto it = edits_.find(c.id()); it != edits_.end())
                it->second->SetFocus();
            break;
        }
        std::vector<std::wstring> lines;
        for (int i = 0; i < combo.count(); ++i)
            lines.push_back(combo.lbText(i));
        // A typed text opens the list at the first line it begins, as the platform's box does.
        int current = combo.curSel();
        if (current < 0 && combo.hasEdit() && !combo.windowText().empty())
            current = combo.findString(-1, combo.windowText());
        // Under the closed box (the control's own rectangle includes the dropped list).
        const Rect closed = combo.editRect().offset(c.rect().left, c.rect().top);
        const int chosen = chooseLine(lines, current, wxPoint(closed.left, closed.bottom));
        if (chosen >= 0)
            combo.userSelect(chosen);
        break;
    }
    case ControlKind::listView: {
        auto& lv = static_cast<ListView&>(c);
        dialog_.setFocus(&lv);
        if (const int item = lv.itemAt(at); item >= 0)
            lv.userSelect(item);
        break;
    }
    case ControlKind::upDown:
        static_cast<UpDownControl&>(c).spin(at.y < c.rect().height() / 2);
        break;
    case ControlKind::grid:
        clickGrid(static_cast<Grid&>(c), at, twice);
        break;
    }
    afterAction();
}

void DialogWindow::clickGrid(Grid& g, const Point& at, bool twice) {
    int col = 0, row = 0;
    if (!g.cellAt(at, col, row))
        return;
    dialog_.setFocus(&g);
    if (!g.userClick(col, row) || twice)
        return;
    if (g.cellType(col, row) != grid::typeDropDown || g.isLocked(col, row))
        return;
    std::vector<std::wstring> lines;
    std::wstring item;
    for (int i = 0; g.comboText(col, row, i, item); ++i)
        lines.push_back(item);
    const Rect cell = g.cellRect(col, row).offset(g.rect().left, g.rect().top);
    const int chosen = chooseLine(lines, g.comboCurSel(col, row), wxPoint(cell.left, cell.bottom));
    if (chosen >= 0)
        g.userSelectItem(col, row, chosen);
}

int DialogWindow::chooseLine(const std::vector<std::wstring>& lines, int current,
                             const wxPoint& where) {
    if (lines.empty())
        return -1;
    wxMenu menu;
    for (size_t i = 0; i < lines.size(); ++i) {
        wxMenuItem* item = menu.AppendCheckItem(int(i) + 1, wxString(lines[i]));
        item->Check(int(i) == current);
    }
    const int id = canvas_->GetPopupMenuSelectionFromUser(menu, where);
    return id == wxID_NONE ? -1 : id - 1;
}

void DialogWindow::onUserResize(const wxSize& client) {
    const Rect w = dialog_.windowRect(), c = dialog_.clientRect();
    dialog_.userResize(client.x + w.width() - c.width(), client.y + w.height() - c.height());
    afterAction();
}

// --- Keys -----------------------------------------------------------------------------------

void DialogWindow::onKeyDown(wxKeyEvent& e) {
    if (!interactive_)
        return;
    const int key = frameworkKey(e.GetKeyCode());
    if (menuInput_) {
        menuInput_->key(key, wchar_t(e.GetUnicodeKey()));
        return;
    }
    const Control* focus = dialog_.focus();
    const bool letter = key >= '0' && key <= 'Z' && !e.ControlDown();
    // Letters typed on a grid start its cell editor (onChar); elsewhere they are keys.
    if (key < 0 || (letter && focus && focus->kind() == ControlKind::grid)) {
        e.Skip();
        return;
    }
    dialog_.pressKey(key, keyState(e));
    afterAction();
}

void DialogWindow::onChar(wxKeyEvent& e) {
    if (!interactive_ || menuInput_)
        return;
    const wxChar ch = e.GetUnicodeKey();
    auto* g = dynamic_cast<Grid*>(dialog_.focus());
    if (!g || ch < 32 || ch == WXK_NONE || e.ControlDown() || g->editMode())
        return;
    // Typing on an edit cell replaces its text, as in a spreadsheet.
    if (g->setEditMode(true)) {
        g->typeInEditor(std::wstring(1, wchar_t(ch)));
        afterAction();
    }
}

} // namespace zorma::gui

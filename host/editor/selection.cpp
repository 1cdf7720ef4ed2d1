// Selection sets: modes, filters, interactive selection and the pick-first set.
#include "answers.h"
#include "editor_state.h"
#include "entity_index.h"
#include "input_parse.h"
#include "picking.h"
#include "prompt_support.h"

#include "zhost/core/utf.h"
#include "zhost/core/wildcard.h"
#include "zhost/db/db.h"
#include "zhost/editor/display.h"
#include "zhost/editor/output.h"
#include "zhost/editor/prompts.h"
#include "zhost/editor/selection.h"
#include "zhost/editor/ucs.h"

#include <algorithm>
#include <optional>

namespace zhost::ed {

using detail::Answer;
using detail::state;

Result SelectionSet::name(long index, db::ObjectId& out) const {
    if (index < 0 || index >= length())
        return Result::error;
    out = ids_[size_t(index)];
    return Result::normal;
}

db::ObjectId SelectionSet::name(long index) const {
    db::ObjectId id;
    name(index, id);
    return id;
}

Result SelectionSet::add(db::ObjectId id) {
    if (id.isNull() || !id.isValid())
        return Result::error;
    if (!contains(id))
        ids_.push_back(id);
    return Result::normal;
}

Result SelectionSet::remove(db::ObjectId id) {
    const auto it = std::find(ids_.begin(), ids_.end(), id);
    if (it == ids_.end())
        return Result::error;
    ids_.erase(it);
    return Result::normal;
}

bool SelectionSet::contains(db::ObjectId id) const {
    return std::find(ids_.begin(), ids_.end(), id) != ids_.end();
}

void SelectionSet::highlight(bool on) const {
    for (db::ObjectId id : ids_)
        redrawEntity(id, on ? redraw::highlight : redraw::unhighlight);
}

bool passesFilter(db::ObjectId entity, const ResBufList& filter) {
    db::ObjectPtr<db::Entity> e(entity, db::OpenMode::forRead);
    if (!e)
        return false;
    bool inXData = false;
    std::vector<std::wstring> apps;
    for (const ResBuf& item : filter) {
        if (item.code == -3) {
            inXData = true;
            continue;
        }
        if (inXData && item.code == 1001) {
            apps.push_back(item.str());
            continue;
        }
        switch (item.code) {
        case 0:
            if (!wcMatch(e->dxfName(), item.str()))
                return false;
            break;
        case 8:
            if (!wcMatch(e->layer(), item.str()))
                return false;
            break;
        case 2: {
            const auto* ref = dynamic_cast<const db::BlockReference*>(e.get());
            if (!ref || !wcMatch(ref->blockName(), item.str()))
                return false;
            break;
        }
        case 62:
            if (e->colorIndex() != item.integer())
                return false;
            break;
        default:
            break; // codes the host does not filter on are ignored
        }
    }
    if (!apps.empty()) {
        bool any = false;
        for (const std::wstring& app : apps)
            for (const std::wstring& has : e->xdataApplications())
                any = any || wcMatch(has, app);
        if (!any)
            return false;
    }
    return true;
}

namespace {

struct Selector {
    const ResBufList* filter = nullptr;

    bool accept(db::ObjectId id) const {
        db::ObjectPtr<db::Entity> e(id, db::OpenMode::forRead);
        if (!e || !detail::isSelectable(*e))
            return false;
        e.close();
        return !filter || passesFilter(id, *filter);
    }

    std::vector<db::ObjectId> all(bool paper) const {
        std::vector<db::ObjectId> out;
        db::Database* d = detail::db();
        if (!d)
            return out;
        for (db::ObjectId id : detail::drawingEntities(*d, paper)) {
            // "X" finds entities whatever the screen shows, as the platform's does.
            db::ObjectPtr<db::Entity> e(id, db::OpenMode::forRead);
            if (!e)
                continue;
            e.close();
            if (!filter || passesFilter(id, *filter))
                out.push_back(id);
        }
        return out;
    }

    std::vector<db::ObjectId> box(const geom::Point3d& a, const geom::Point3d& b,
                                  bool crossing) const {
        std::vector<db::ObjectId> out;
        db::Database* d = detail::db();
        if (!d)
            return out;
        const geom::Point3d wa = ucsToWcs(a), wb = ucsToWcs(b);
        const geom::Point3d lo(std::min(wa.x, wb.x), std::min(wa.y, wb.y), 0);
        const geom::Point3d hi(std::max(wa.x, wb.x), std::max(wa.y, wb.y), 0);
        for (db::ObjectId id : detail::modelSpaceNear(*d, lo, hi)) {
            db::ObjectPtr<db::Entity> e(id, db::OpenMode::forRead);
            if (!e || !detail::isSelectable(*e))
                continue;
            const bool in =
                crossing ? detail::crossesWindow(*e, lo, hi) : detail::insideWindow(*e, lo, hi);
            e.close();
            if (in && (!filter || passesFilter(id, *filter)))
                out.push_back(id);
        }
        return out;
    }

    std::optional<db::ObjectId> last() const {
        db::Database* d = detail::db();
        if (!d)
            return std::nullopt;
        const auto ids = detail::drawingEntities(*d, false);
        for (auto it = ids.rbegin(); it != ids.rend(); ++it) {
            db::ObjectPtr<db::Entity> e(*it, db::OpenMode::forRead);
            if (e && e->visible())
                return accept(*it) ? std::optional(*it) : std::nullopt;
        }
        return std::nullopt;
    }

    std::vector<db::ObjectId> pick(const geom::Point3d& ucsPoint) const {
        for (db::ObjectId id : entitiesAtPoint(ucsToWcs(ucsPoint), pickAperture()))
            if (!filter || passesFilter(id, *filter))
                return {id};
        return {};
    }
};

struct ModeFlags {
    bool implied = false, all = false, window = false, crossing = false, last = false;
    bool prompts = false, keywords = false, single = false, bad = false;
};

ModeFlags parseMode(const wchar_t* mode) {
    ModeFlags m;
    std::wstring s = mode ? toUpperName(mode) : std::wstring();
    size_t i = 0;
    while (i < s.size()) {
        if (s[i] == L':' && i + 1 < s.size()) {
            const wchar_t c = s[i + 1];
            if (c == L'$')
                m.prompts = true;
            else if (c == L'K')
                m.keywords = true;
            else if (c == L'S')
                m.single = true;
            else if (c != L'E' && c != L'N' && c != L'U' && c != L'V')
                m.bad = true;
            i += 2;
            continue;
        }
        const wchar_t c = s[i++];
        if (c == L'I')
            m.implied = true;
        else if (c == L'X' || c == L'A')
            m.all = true;
        else if (c == L'W')
            m.window = true;
        else if (c == L'C')
            m.crossing = true;
        else if (c == L'L')
            m.last = true;
        else if (c == L'_')
            continue;
        else
            m.bad = true;
    }
    return m;
}

void addIds(std::vector<db::ObjectId>& set, const std::vector<db::ObjectId>& more, bool removing,
            int& found) {
    found = 0;
    for (db::ObjectId id : more) {
        const auto it = std::find(set.begin(), set.end(), id);
        if (removing) {
            if (it != set.end()) {
                set.erase(it);
                ++found;
            }
        } else if (it == set.end()) {
            set.push_back(id);
            ++found;
        }
    }
}

} // namespace

Result SelectionSet::select(const wchar_t* mode, const geom::Point3d* p1, const geom::Point3d* p2,
                            const ResBufList* filter, const std::wstring* prompts) {
    ids_.clear();
    const ModeFlags m = parseMode(mode);
    const detail::InitGetState ig = m.keywords ? detail::takeInitGet() : detail::InitGetState{};
    if (m.bad)
        return Result::rejected;
    Selector sel{filter};
    if (m.implied) {
        SelectionSet first;
        getPickFirst(first);
        for (db::ObjectId id : first.ids())
            if (!filter || passesFilter(id, *filter))
                ids_.push_back(id);
        return ids_.empty() ? Result::error : Result::normal;
    }
    if (m.all) {
        ids_ = sel.all(true);
        return ids_.empty() ? Result::error : Result::normal;
    }
    if (m.window || m.crossing) {
        if (!p1 || !p2)
            return Result::rejected;
        ids_ = sel.box(*p1, *p2, m.crossing);
        return ids_.empty() ? Result::error : Result::normal;
    }
    if (m.last) {
        if (auto id = sel.last())
            ids_.push_back(*id);
        return ids_.empty() ? Result::error : Result::normal;
    }

    // Interactive: answers add (or, after "R", remove) until Enter.
    const PromptViewScope shown(detail::viewOf(PromptView::Kind::selection, ig.keywords));
    const std::wstring addPrompt =
        m.prompts && prompts ? prompts[0] : std::wstring(L"\nSelect objects: ");
    const std::wstring removePrompt =
        m.prompts && prompts ? prompts[1] : std::wstring(L"\nRemove objects: ");
    bool removing = false;
    while (true) {
        const Answer a =
            detail::readAnswer(removing ? removePrompt : addPrompt, false, !ids_.empty());
        std::vector<db::ObjectId> got;
        switch (a.kind) {
        case Answer::end:
        case Answer::cancel:
            highlight(false);
            ids_.clear();
            return Result::cancel;
        case Answer::empty:
            highlight(false);
            return ids_.empty() ? Result::error : Result::normal;
        case Answer::all:
            got = sel.all(false);
            break;
        case Answer::last:
            if (auto id = sel.last())
                got.push_back(*id);
            break;
        case Answer::window:
        case Answer::crossing:
            got = sel.box(a.p1, a.p2, a.kind == Answer::crossing);
            break;
        case Answer::pick:
        case Answer::point:
            got = sel.pick(a.p1);
            break;
        case Answer::entity:
            if (sel.accept(a.id))
                got.push_back(a.id);
            break;
        case Answer::selection:
            if (a.set)
                for (db::ObjectId id : a.set->ids())
                    if (!filter || passesFilter(id, *filter))
                        got.push_back(id);
            break;
        case Answer::typed: {
            const int k = detail::matchKeyword(ig.keywords, a.text);
            if (k >= 0) {
                highlight(false);
                ids_.clear();
                detail::setLastInput(ig.keywords[size_t(k)].global);
                return Result::keyword;
            }
            geom::Point3d p;
            if (detail::parsePointAnswer(a.text, state().lastPoint, p)) {
                got = sel.pick(p);
                break;
            }
            const std::wstring word = toUpperName(a.text);
            if (word == L"R" || word == L"REMOVE") {
                removing = true;
                continue;
            }
            if (word == L"A" || word == L"ADD") {
                removing = false;
                continue;
            }
            if (word == L"ALL") {
                got = sel.all(false);
                break;
            }
            if (word == L"L" || word == L"LAST") {
                if (auto id = sel.last())
                    got.push_back(*id);
                break;
            }
            print(L"*Invalid selection*");
            detail::endEchoLine();
            continue;
        }
        default:
            continue;
        }
        int found = 0;
        addIds(ids_, got, removing, found);
        if (!removing)
            highlight(true);
        else
            for (db::ObjectId id : got)
                redrawEntity(id, redraw::unhighlight);
        if (detail::echoingAnswers()) {
            if (removing)
                printf(L"%d found, %d removed, %d total", int(got.size()), found, int(length()));
            else
                printf(L"%d found, %d total", int(got.size()), int(length()));
            detail::endEchoLine();
        }
        if (m.single && !ids_.empty()) {
            highlight(false);
            return Result::normal;
        }
    }
}

Result setPickFirst(const SelectionSet* set) {
    auto& s = state();
    for (db::ObjectId id : s.pickFirst)
        redrawEntity(id, redraw::unhighlight);
    s.pickFirst.clear();
    if (set) {
        s.pickFirst = set->ids();
        for (db::ObjectId id : s.pickFirst)
            redrawEntity(id, redraw::highlight);
    }
    return Result::normal;
}

Result getPickFirst(SelectionSet& out) {
    out.free();
    for (db::ObjectId id : state().pickFirst)
        if (id.isValid() && !id.isErased())
            out.add(id);
    return out.length() > 0 ? Result::normal : Result::error;
}

} // namespace zhost::ed

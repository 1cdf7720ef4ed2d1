// Prompts: points, numbers, strings, keywords and entity picks.
#include "answers.h"
#include "editor_state.h"
#include "entity_index.h"
#include "input_parse.h"
#include "picking.h"
#include "prompt_support.h"

#include "zhost/db/db.h"
#include "zhost/editor/display.h"
#include "zhost/editor/osnap.h"
#include "zhost/editor/output.h"
#include "zhost/editor/prompts.h"
#include "zhost/editor/sysvars.h"
#include "zhost/editor/ucs.h"

#include <cmath>
#include <limits>
#include <optional>

namespace zhost::ed {

using detail::Answer;
using detail::state;

namespace detail {

InitGetState takeInitGet() {
    auto& s = state();
    InitGetState ig;
    if (s.initPending) {
        ig.flags = s.initFlags;
        ig.keywords = parseKeywords(s.initKeywords);
    }
    s.initPending = false;
    s.initFlags = 0;
    s.initKeywords.clear();
    return ig;
}

void setLastInput(std::wstring text) {
    state().lastInput = std::move(text);
    state().hasLastInput = true;
}

PromptView viewOf(PromptView::Kind kind, const std::vector<Keyword>& keywords,
                  const geom::Point3d* ucsBase) {
    PromptView v;
    v.kind = kind;
    if (ucsBase) {
        v.hasBase = true;
        v.base = ucsToWcs(*ucsBase);
    }
    for (const Keyword& k : keywords)
        v.keywords.push_back(k.local);
    return v;
}

// What an answer means to a particular prompt.
struct Verdict {
    enum Kind { accepted, notMine, refused } kind = notMine;
    Result result = Result::normal;
    std::wstring message; // refused: printed before the prompt repeats
};

// The loop every prompt shares: Enter, Esc, the end of input, keywords and arbitrary text are
// handled here; `interpret` judges the rest.
template <class F>
Result promptLoop(std::wstring_view prompt, const InitGetState& ig, const wchar_t* wrongInput,
                  F interpret) {
    while (true) {
        const Answer a = readAnswer(prompt);
        switch (a.kind) {
        case Answer::end:
        case Answer::cancel:
            return Result::cancel;
        case Answer::empty:
            if (ig.flags & rsg::noNull)
                continue;
            return Result::none;
        default:
            break;
        }
        Verdict v = interpret(a);
        if (v.kind == Verdict::accepted)
            return v.result;
        if (v.kind == Verdict::notMine && a.kind == Answer::typed) {
            const int k = matchKeyword(ig.keywords, a.text);
            if (k >= 0) {
                setLastInput(ig.keywords[size_t(k)].global);
                return Result::keyword;
            }
            if (ig.flags & rsg::other) {
                setLastInput(a.text);
                return Result::keyword;
            }
        }
        print(v.kind == Verdict::refused ? std::wstring_view(v.message)
                                         : std::wstring_view(wrongInput));
        endEchoLine();
    }
}

// The number rules of initGet; empty when the value passes.
std::wstring numberRule(int flags, double v) {
    const bool noZero = flags & rsg::noZero, noNeg = flags & rsg::noNegative;
    if ((noZero && v == 0) || (noNeg && v < 0)) {
        if (noZero && noNeg)
            return L"Value must be positive and nonzero.";
        return noZero ? L"Value must be nonzero." : L"Value must be positive.";
    }
    return {};
}

// Where a pick lands at a point prompt: on the running object snap in reach, else on the snap
// grid (SNAPMODE), and then, with ORTHO on and a base point, on the axis through the base point
// unless an object snap placed it. Typed coordinates mean what they say and are taken as they are.
geom::Point3d pickedPoint(const geom::Point3d& ucsPoint, const geom::Point3d* base, int flags) {
    std::optional<Snap> snap;
    const geom::Point3d p = landedPoint(ucsPoint, !(flags & rsg::noOsnap), snap);
    if (!snap && base && orthoModeOn())
        return orthoPoint(p, *base);
    return p;
}

// A point from an answer: typed, picked or given by a command call.
std::optional<geom::Point3d> pointOf(const Answer& a, const geom::Point3d* base = nullptr,
                                     int flags = 0) {
    if (a.kind == Answer::pick)
        return pickedPoint(a.p1, base, flags);
    if (a.kind == Answer::point)
        return a.p1;
    geom::Point3d p;
    if (a.kind == Answer::typed && parsePointAnswer(a.text, state().lastPoint, p))
        return p;
    return std::nullopt;
}

} // namespace detail

using detail::InitGetState;
using detail::Verdict;

Result initGet(int flags, std::wstring_view keywords) {
    auto& s = state();
    s.initFlags = flags;
    s.initKeywords = std::wstring(keywords);
    s.initPending = true;
    return Result::normal;
}

Result getInput(std::wstring& out) {
    if (!state().hasLastInput)
        return Result::error;
    out = state().lastInput;
    return Result::normal;
}

namespace {

// A point prompt; the other corner of a rectangle is not held by ORTHO.
Result pointPrompt(const geom::Point3d* basePoint, bool corner, std::wstring_view prompt,
                   geom::Point3d& out) {
    const InitGetState ig = detail::takeInitGet();
    const PromptViewScope shown(detail::viewOf(
        corner ? PromptView::Kind::corner : PromptView::Kind::point, ig.keywords, basePoint));
    const geom::Point3d* orthoBase = corner ? nullptr : basePoint;
    return detail::promptLoop(prompt, ig, L"Point or option keyword required.",
                              [&](const Answer& a) {
                                  Verdict v;
                                  if (auto p = detail::pointOf(a, orthoBase, ig.flags)) {
                                      out = *p;
                                      state().lastPoint = *p;
                                      setVarPoint(L"LASTPOINT", ucsToWcs(*p));
                                      v.kind = Verdict::accepted;
                                  }
                                  return v;
                              });
}

} // namespace

Result getPoint(const geom::Point3d* basePoint, std::wstring_view prompt, geom::Point3d& out) {
    return pointPrompt(basePoint, false, prompt, out);
}

Result getCorner(const geom::Point3d& basePoint, std::wstring_view prompt, geom::Point3d& out) {
    return pointPrompt(&basePoint, true, prompt, out);
}

Result getReal(std::wstring_view prompt, double& out) {
    const InitGetState ig = detail::takeInitGet();
    const PromptViewScope shown(detail::viewOf(PromptView::Kind::value, ig.keywords));
    return detail::promptLoop(prompt, ig, L"Requires numeric value.", [&](const Answer& a) {
        Verdict v;
        double d = 0;
        const bool isNumber = a.kind == Answer::realValue ? (d = a.real, true)
                              : a.kind == Answer::intValue
                                  ? (d = a.integer, true)
                                  : a.kind == Answer::typed && detail::parseReal(a.text, d);
        if (!isNumber)
            return v;
        if (std::wstring rule = detail::numberRule(ig.flags, d); !rule.empty()) {
            v.kind = Verdict::refused;
            v.message = rule;
            return v;
        }
        out = d;
        v.kind = Verdict::accepted;
        return v;
    });
}

Result getInt(std::wstring_view prompt, int& out) {
    const InitGetState ig = detail::takeInitGet();
    const PromptViewScope shown(detail::viewOf(PromptView::Kind::value, ig.keywords));
    return detail::promptLoop(prompt, ig, L"Requires an integer value.", [&](const Answer& a) {
        Verdict v;
        double d = 0;
        const bool isNumber = a.kind == Answer::intValue
                                  ? (d = a.integer, true)
                                  : a.kind == Answer::typed && detail::parseReal(a.text, d);
        if (!isNumber || d != std::floor(d))
            return v;
        if (d < -32768 || d > 32767) {
            v.kind = Verdict::refused;
            v.message = L"Requires an integer between -32768 and 32767.";
            return v;
        }
        if (std::wstring rule = detail::numberRule(ig.flags, d); !rule.empty()) {
            v.kind = Verdict::refused;
            v.message = rule;
            return v;
        }
        out = int(d);
        v.kind = Verdict::accepted;
        return v;
    });
}

namespace {

// A second point for distance and angle prompts that were answered with a first point.
Result secondPoint(const geom::Point3d& first, geom::Point3d& second) {
    initGet(rsg::noNull);
    return getPoint(&first, L"\nSpecify second point: ", second);
}

} // namespace

Result getDist(const geom::Point3d* basePoint, std::wstring_view prompt, double& out) {
    const InitGetState ig = detail::takeInitGet();
    const PromptViewScope shown(detail::viewOf(PromptView::Kind::point, ig.keywords, basePoint));
    std::optional<geom::Point3d> firstPoint;
    Result r = detail::promptLoop(
        prompt, ig, L"Requires numeric distance or two points.", [&](const Answer& a) {
            Verdict v;
            double d = 0;
            if (a.kind == Answer::realValue || a.kind == Answer::intValue ||
                (a.kind == Answer::typed && detail::parseReal(a.text, d))) {
                if (a.kind == Answer::realValue)
                    d = a.real;
                else if (a.kind == Answer::intValue)
                    d = a.integer;
            } else if (auto p = detail::pointOf(a, basePoint, ig.flags)) {
                if (!basePoint) {
                    firstPoint = *p;
                    v.kind = Verdict::accepted;
                    return v;
                }
                const geom::Vector3d dv = *p - *basePoint;
                d = (ig.flags & rsg::twoD) ? std::hypot(dv.x, dv.y) : dv.length();
            } else {
                return v;
            }
            if (std::wstring rule = detail::numberRule(ig.flags, d); !rule.empty()) {
                v.kind = Verdict::refused;
                v.message = rule;
                return v;
            }
            out = d;
            v.kind = Verdict::accepted;
            return v;
        });
    if (r == Result::normal && firstPoint) {
        geom::Point3d second;
        r = secondPoint(*firstPoint, second);
        if (r == Result::normal)
            out = second.distanceTo(*firstPoint);
    }
    return r;
}

Result getAngle(const geom::Point3d* basePoint, std::wstring_view prompt, double& out) {
    const InitGetState ig = detail::takeInitGet();
    const PromptViewScope shown(detail::viewOf(PromptView::Kind::point, ig.keywords, basePoint));
    std::optional<geom::Point3d> firstPoint;
    constexpr double kPi = 3.141592653589793;
    Result r = detail::promptLoop(
        prompt, ig, L"Requires valid numeric angle or second point.", [&](const Answer& a) {
            Verdict v;
            double deg = 0;
            if (a.kind == Answer::realValue || a.kind == Answer::intValue ||
                (a.kind == Answer::typed && detail::parseReal(a.text, deg))) {
                if (a.kind == Answer::realValue)
                    deg = a.real;
                else if (a.kind == Answer::intValue)
                    deg = a.integer;
                out = deg * kPi / 180.0;
            } else if (auto p = detail::pointOf(a, basePoint, ig.flags)) {
                if (!basePoint) {
                    firstPoint = *p;
                } else {
                    out = std::atan2(p->y - basePoint->y, p->x - basePoint->x);
                }
            } else {
                return v;
            }
            v.kind = Verdict::accepted;
            return v;
        });
    if (r == Result::normal && firstPoint) {
        geom::Point3d second;
        r = secondPoint(*firstPoint, second);
        if (r == Result::normal)
            out = std::atan2(second.y - firstPoint->y, second.x - firstPoint->x);
    }
    if (r == Result::normal) {
        out = std::fmod(out, 2 * kPi);
        if (out < 0)
            out += 2 * kPi;
    }
    return r;
}

Result getString(bool allowSpaces, std::wstring_view prompt, std::wstring& out) {
    detail::takeInitGet(); // strings take no input controls
    const PromptViewScope shown(detail::viewOf(PromptView::Kind::value, {}));
    while (true) {
        const Answer a = detail::readAnswer(prompt);
        if (a.kind == Answer::end || a.kind == Answer::cancel)
            return Result::cancel;
        std::wstring text = a.kind == Answer::empty ? std::wstring() : a.text;
        if (!allowSpaces) {
            const size_t blank = text.find_first_of(L" \t");
            if (blank != std::wstring::npos)
                text.resize(blank);
        }
        out = text;
        return Result::normal;
    }
}

Result getKeyword(std::wstring_view prompt, std::wstring& out) {
    const InitGetState ig = detail::takeInitGet();
    const PromptViewScope shown(detail::viewOf(PromptView::Kind::value, ig.keywords));
    const Result r = detail::promptLoop(prompt, ig, L"Invalid option keyword.",
                                        [](const Answer&) { return Verdict{}; });
    if (r == Result::keyword) {
        out = state().lastInput;
        // Arbitrary text (rsg::other) stays a keyword result; a listed keyword is normal.
        for (const auto& k : ig.keywords)
            if (k.global == out)
                return Result::normal;
        return Result::keyword;
    }
    return r;
}

std::vector<db::ObjectId> entitiesAtPoint(const geom::Point3d& worldPoint, double aperture) {
    db::Database* d = detail::db();
    if (!d)
        return {};
    size_t order = 0;
    std::vector<std::pair<std::pair<double, size_t>, db::ObjectId>> ranked;
    const geom::Vector3d reach(aperture, aperture, 0);
    for (db::ObjectId id : detail::modelSpaceNear(*d, worldPoint - reach, worldPoint + reach)) {
        ++order;
        db::ObjectPtr<db::Entity> e(id, db::OpenMode::forRead);
        if (!e || !detail::isSelectable(*e))
            continue;
        const double dist = detail::distanceToEntity(*e, worldPoint, aperture);
        if (dist <= aperture)
            ranked.push_back({{dist, order}, id});
    }
    // Nearest first; among equally near ones, the one drawn last (it is on top).
    std::sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) {
        if (std::abs(a.first.first - b.first.first) > 1e-12)
            return a.first.first < b.first.first;
        return a.first.second > b.first.second;
    });
    std::vector<db::ObjectId> out;
    for (const auto& r : ranked)
        out.push_back(r.second);
    return out;
}

namespace detail {

// The entity an answer of an entity prompt picks; `hit` false for a miss.
bool pickFromAnswer(const Answer& a, db::ObjectId& id, geom::Point3d& picked, bool& hit) {
    hit = false;
    if (a.kind == Answer::entity) {
        id = a.id;
        hit = id.isValid() && !id.isErased();
        picked = state().lastPoint;
        db::ObjectPtr<db::Curve> c(id, db::OpenMode::forRead);
        if (c)
            picked = wcsToUcs(c->startPoint());
        return true;
    }
    if (a.kind == Answer::last) {
        db::Database* d = db();
        if (!d)
            return true;
        const auto all = drawingEntities(*d, false);
        for (auto it = all.rbegin(); it != all.rend(); ++it) {
            if (!it->isErased()) {
                id = *it;
                hit = true;
                break;
            }
        }
        return true;
    }
    std::optional<geom::Point3d> p;
    if (a.kind == Answer::pick || a.kind == Answer::point)
        p = a.p1;
    else if (a.kind == Answer::typed) {
        geom::Point3d q;
        if (parsePointAnswer(a.text, state().lastPoint, q))
            p = q;
    }
    if (!p)
        return false;
    picked = *p;
    const auto hits = entitiesAtPoint(ucsToWcs(*p), pickAperture());
    if (!hits.empty()) {
        id = hits.front();
        hit = true;
    }
    return true;
}

} // namespace detail

Result entSel(std::wstring_view prompt, db::ObjectId& out, geom::Point3d& picked) {
    const InitGetState ig = detail::takeInitGet();
    const PromptViewScope shown(detail::viewOf(PromptView::Kind::entity, ig.keywords));
    while (true) {
        const Answer a = detail::readAnswer(prompt);
        if (a.kind == Answer::end || a.kind == Answer::cancel)
            return Result::cancel;
        if (a.kind == Answer::empty) {
            setVarInt(L"ERRNO", errnum::nullInput);
            return Result::error;
        }
        bool hit = false;
        db::ObjectId id;
        geom::Point3d p;
        if (detail::pickFromAnswer(a, id, p, hit)) {
            if (!hit) {
                setVarInt(L"ERRNO", errnum::noEntityAtPick);
                return Result::error;
            }
            setVarInt(L"ERRNO", errnum::none);
            out = id;
            picked = p;
            return Result::normal;
        }
        if (a.kind == Answer::typed) {
            const int k = detail::matchKeyword(ig.keywords, a.text);
            if (k >= 0) {
                detail::setLastInput(ig.keywords[size_t(k)].global);
                return Result::keyword;
            }
            if (ig.flags & rsg::other) {
                detail::setLastInput(a.text);
                return Result::keyword;
            }
        }
        print(L"*Invalid selection*");
        detail::endEchoLine();
    }
}

} // namespace zhost::ed

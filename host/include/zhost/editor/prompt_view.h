#pragma once
// What a drawing window shows while the editor waits for an answer: which kind of prompt it is
// (so that a click means a point, an entity or a selection, and a drag moves something), the
// base point a rubber band starts from, and the keywords the user may click instead of typing.
// The prompts keep it up to date; a window reads it when it is asked for a line.
#include "zhost/db/object_id.h"
#include "zhost/geom/point3d.h"

#include <string>
#include <vector>

namespace zhost::db {
class Entity;
}

namespace zhost::ed {

struct PromptView {
    enum class Kind {
        command,   // the command prompt (or no prompt at all)
        point,     // a point, a distance or an angle that a point can answer
        corner,    // the other corner of a rectangle from `base`
        entity,    // one entity picked
        selection, // a selection set built up by picks and windows
        drag,      // a jig: cursor moves drag `dragged`
        value,     // a number, a keyword or a text: picks do not answer it
    };
    Kind kind = Kind::command;
    bool hasBase = false;
    geom::Point3d base;                 // world
    std::vector<std::wstring> keywords; // as the user types them (local names)
    const db::Entity* dragged = nullptr;
};

// The innermost prompt waiting now (a command prompt view when none is).
const PromptView& currentPromptView();

// Set by a prompt for as long as it waits; scopes nest (a prompt inside a drag's sampler).
class PromptViewScope {
public:
    explicit PromptViewScope(PromptView view);
    ~PromptViewScope();
    PromptViewScope(const PromptViewScope&) = delete;
    PromptViewScope& operator=(const PromptViewScope&) = delete;
};

// The entities highlighted on the screen (a selection being made, the pick-first set).
std::vector<db::ObjectId> highlightedOnScreen();

// The strokes an entity draws, as polylines in world coordinates (curves divided so that no
// chord strays more than `chord` from its curve): the outline of something dragged or
// highlighted drawn over the cached picture of the drawing. False when nothing is drawn.
bool entityStrokes(const db::Entity& e, double chord,
                   std::vector<std::vector<geom::Point3d>>& strokes);

} // namespace zhost::ed

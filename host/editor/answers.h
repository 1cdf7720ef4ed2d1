#pragma once
// Reading one answer for a prompt: from the innermost host command call when one runs, else
// from the input source (script lines with their directives, or the terminal).
#include "zhost/db/object_id.h"
#include "zhost/geom/point3d.h"

#include <string>
#include <string_view>

namespace zhost::ed {
class SelectionSet;
}

namespace zhost::ed::detail {

struct Answer {
    enum Kind {
        typed,     // typed text (a keyword, a number, a point, a string)
        empty,     // Enter
        cancel,    // Esc
        end,       // the input ended (or the script stopped): the prompt must give up
        pick,      // "@pick x,y": an entity pick at p1
        all,       // "@all"
        last,      // "@last"
        window,    // "@window p1 p2"
        crossing,  // "@crossing p1 p2"
        move,      // "@move x,y": a cursor move to p1 (dragging only)
        point,     // a point given by a command call
        realValue, // a real given by a command call
        intValue,  // an integer given by a command call
        entity,    // an entity id given by a command call
        selection, // a selection set given by a command call
    };
    Kind kind = end;
    std::wstring text;
    geom::Point3d p1, p2; // UCS
    double real = 0;
    int integer = 0;
    db::ObjectId id;
    const SelectionSet* set = nullptr;
    int lineNumber = 0; // the input line that gave the answer (0 when none did)
};

// Prints the prompt (when the answer is echoed) and takes one answer. With acceptMove false,
// cursor moves are ignored. Directives that are no answers (@shift, @wait, @set, registered
// ones) run on the way. With endOfCallIsEnter, a host command call that has no answers left
// gives Enter instead of starving (a selection prompt that already holds objects).
Answer readAnswer(std::wstring_view prompt, bool acceptMove = false, bool endOfCallIsEnter = false);

// The text of an answer for messages and echoes.
std::wstring answerText(const Answer& a);

// Ends the transcript line after an echoed answer.
void endEchoLine();

// Whether answers are being echoed to the transcript now (a script, or a host command call
// with CMDECHO 1).
bool echoingAnswers();

} // namespace zhost::ed::detail

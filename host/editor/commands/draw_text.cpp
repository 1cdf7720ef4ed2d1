// TEXT: one line of text at a start point, with a height and a rotation.
#include "../host_commands.h"
#include "drafting.h"

#include "zhost/db/db.h"
#include "zhost/editor/output.h"
#include "zhost/editor/prompts.h"
#include "zhost/editor/ucs.h"

namespace zhost::ed::detail {

void cmdText() {
    db::Database* d = requireDrawing();
    if (!d)
        return;
    std::wstring styleName = L"Standard";
    d->getString(L"TEXTSTYLE", styleName);
    const double current = d->textSize();
    commandMessage(format(L"\nCurrent text style:  \"%s\"  Text height:  %s  Justify:  Left",
                          styleName, lengthText(current)));
    geom::Point3d start;
    Result r = askPoint(nullptr, L"\nSpecify start point of text: ", start);
    double height = current;
    if (r == Result::normal) {
        r = askLength(&start, format(L"\nSpecify height <%s>: ", lengthText(current)), height);
        if (r == Result::none) {
            height = current;
            r = Result::normal;
        }
    }
    double rotation = 0;
    if (r == Result::normal) {
        r = askAngle(&start, L"\nSpecify rotation angle of text <0>: ", rotation);
        if (r == Result::none) {
            rotation = 0;
            r = Result::normal;
        }
    }
    std::wstring text;
    if (r == Result::normal)
        r = getString(true, L"\nEnter text: ", text);
    if (r == Result::cancel)
        return cancelled();
    if (r != Result::normal || text.empty())
        return; // an empty line places nothing
    auto t = std::make_unique<db::Text>(ucsToWcs(start), text, height, rotation + ucsXAngle());
    db::ObjectId style;
    if (ok(d->getTextStyleId(styleName, style)))
        t->setTextStyle(style);
    if (!ok(addEntity(std::move(t))))
        return reportCommandFailure();
    // The next TEXT offers this height, as the drawing remembers the last one used.
    d->setVar(L"TEXTSIZE", db::VarValue(height));
}

} // namespace zhost::ed::detail

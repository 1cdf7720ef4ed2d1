// -BMINSERT: a drawing file inserted as a block reference. The block is defined from the file
// when the drawing has no block of the file's name yet; its parametric data comes along.
#include "../host_commands.h"
#include "../input_parse.h"

#include "zhost/core/utf.h"
#include "zhost/db/db.h"
#include "zhost/dxf/dxf.h"
#include "zhost/editor/output.h"
#include "zhost/editor/prompts.h"
#include "zhost/editor/sysvars.h"
#include "zhost/editor/ucs.h"
#include "zhost/settings/paths.h"

namespace zhost::ed::detail {
namespace {

// The file a typed name means: backslashes and the case of the add-on's home platform
// accepted, "X.dwg" read from "X.dxf" beside it.
std::filesystem::path resolveDrawing(std::wstring_view typed) {
    std::filesystem::path p = settings::toFsPath(typed);
    if (auto found = settings::resolvePath(typed))
        p = *found;
    else {
        // The ".dwg" may not exist at all: look for the ".dxf" with the folder resolved.
        const std::filesystem::path dxf = std::filesystem::path(p).replace_extension(".dxf");
        if (auto foundDxf = settings::resolvePath(settings::toWide(dxf)))
            return *foundDxf;
    }
    return dxf::resolveDrawingPath(p);
}

} // namespace

void cmdBmInsert() {
    db::Database* d = requireDrawing();
    if (!d)
        return;
    std::wstring typed;
    if (getString(true, L"\nEnter drawing file to insert: ", typed) != Result::normal ||
        trim(typed).empty()) {
        reportCommandFailure();
        return;
    }
    const std::filesystem::path file = resolveDrawing(trim(typed));
    const std::wstring blockName = settings::toWide(file.stem());
    db::ObjectId blockId;
    if (!ok(d->getBlockId(blockName, blockId))) {
        std::wstring message;
        if (!dxf::drawingFileExists(file) ||
            !ok(dxf::loadDrawingAsBlock(file, *d, blockName, blockId, &message))) {
            commandMessage(format(L"\nCannot insert \"%s\".", std::wstring(trim(typed))));
            if (!message.empty())
                commandMessage(L"\n" + message);
            reportCommandFailure();
            return;
        }
    }
    // "T" (component type) and "L" (library) are options of the platform's mechanical insert
    // that have no meaning here; "NON" turns object snap off for the point, which never snaps.
    geom::Point3d at;
    while (true) {
        initGet(0, L"Type Library NON");
        const Result r = getPoint(nullptr, L"\nSpecify insertion point or [Type/Library]: ", at);
        if (r == Result::keyword)
            continue;
        if (r != Result::normal) {
            reportCommandFailure();
            return;
        }
        break;
    }
    auto ref = std::make_unique<db::BlockReference>(ucsToWcs(at), blockId);
    ref->setDatabaseDefaults(*d);
    ref->setRotation(ucsXAngle());
    db::ObjectId refId;
    if (!ok(appendToCurrentSpace(std::move(ref), refId))) {
        reportCommandFailure();
        return;
    }
    db::ObjectPtr<db::BlockReference> placed(refId, db::OpenMode::forWrite);
    if (placed)
        placed->appendAttributesFromBlock();
}

} // namespace zhost::ed::detail

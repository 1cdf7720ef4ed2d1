// The file commands: NEW, OPEN, SAVE, QSAVE, SAVEAS and QUIT. Each asks before unsaved changes
// would be lost, and every save goes through the document's safe save.
#include "../editor_state.h"
#include "../host_commands.h"
#include "../input_parse.h"
#include "drafting.h"

#include "zhost/db/database.h"
#include "zhost/dxf/dxf.h"
#include "zhost/editor/document.h"
#include "zhost/editor/output.h"
#include "zhost/editor/prompts.h"
#include "zhost/editor/session.h"
#include "zhost/settings/paths.h"

#include <filesystem>

namespace zhost::ed::detail {
namespace {

namespace fs = std::filesystem;

// A typed file name without the double quotes a user may put around it.
fs::path fileAnswer(std::wstring text) {
    text = std::wstring(trim(text));
    if (text.size() >= 2 && text.front() == L'"' && text.back() == L'"')
        text = text.substr(1, text.size() - 2);
    return settings::toFsPath(text);
}

std::wstring drawingName(const db::Database& d) {
    std::wstring name;
    d.getString(L"DWGNAME", name);
    return name;
}

bool saveTo(const fs::path& path, SaveFormat format) {
    std::wstring reason;
    if (!ok(saveDrawingAs(path, format, reason))) {
        print(L"\nCannot save \"" + settings::toWide(path) + L"\": " + reason +
              L". The drawing is not saved.");
        reportCommandFailure();
        return false;
    }
    commandMessage(L"\nSaved \"" + settings::toWide(dxf::drawingSavePath(path)) + L"\".");
    return true;
}

// Asks for a file name, offering `current` on Enter. False when the user gave none.
bool askFileName(std::wstring_view prompt, const std::wstring& current, fs::path& out) {
    std::wstring text;
    const Result r = getString(true, prompt, text);
    if (r == Result::cancel) {
        cancelled();
        return false;
    }
    if (r != Result::normal)
        return false;
    if (std::wstring(trim(text)).empty()) {
        if (current.empty())
            return false;
        text = current;
    }
    out = fileAnswer(text);
    return !out.empty();
}

// SAVEAS without the format question: the name, a confirmation before replacing another file,
// the save.
bool saveAsWithFormat(db::Database& d, SaveFormat fileFormat) {
    const std::wstring current = d.filePath();
    fs::path target;
    if (!askFileName(current.empty() ? std::wstring(L"\nSave drawing as: ")
                                     : format(L"\nSave drawing as <%s>: ", current),
                     current, target))
        return false;
    if (target.extension().empty())
        target += ".dxf";
    const fs::path written = dxf::drawingSavePath(target);
    std::error_code ec;
    if (fs::exists(written, ec) &&
        (current.empty() || !fs::equivalent(written, settings::toFsPath(current), ec))) {
        bool replace = false;
        const Result r = askYesNo(L"\nA drawing with this name already exists. Do you want to "
                                  L"replace it? [Yes/No] <No>: ",
                                  false, replace);
        if (r == Result::cancel)
            cancelled();
        if (r != Result::normal || !replace)
            return false;
    }
    return saveTo(target, fileFormat);
}

// QSAVE: to the drawing's own file in its format, or as SAVEAS for a drawing never saved.
bool quickSave(db::Database& d) {
    if (d.filePath().empty())
        return saveAsWithFormat(d, documentSaveFormat());
    return saveTo(settings::toFsPath(d.filePath()), documentSaveFormat());
}

// Before the drawing is closed: false when the user wants to keep it open (Cancel, Esc, or a
// save that failed).
bool mayDiscardDrawing() {
    db::Database* d = workingDatabase();
    if (!d || !isDrawingModified())
        return true;
    initGet(0, L"Yes No Cancel");
    std::wstring kw;
    const Result r =
        getKeyword(format(L"\nSave changes to %s? [Yes/No/Cancel] <Yes>: ", drawingName(*d)), kw);
    if (r == Result::cancel) {
        cancelled();
        return false;
    }
    if (r == Result::none || kw == L"Yes")
        return quickSave(*d);
    return kw == L"No";
}

} // namespace

void cmdNew() {
    if (!mayDiscardDrawing())
        return;
    adoptDrawing(std::make_unique<db::Database>());
    commandMessage(L"\nA new drawing is open.");
}

void cmdOpen() {
    fs::path path;
    if (!askFileName(L"\nEnter name of drawing to open: ", {}, path))
        return;
    const fs::path resolved = dxf::resolveDrawingPath(path);
    // The file is read before the current drawing is given up, so that a file that cannot be
    // read leaves the user where they were.
    auto drawing = std::make_unique<db::Database>();
    dxf::ReadReport report;
    const Status s = dxf::readDxf(resolved, *drawing, report);
    if (!ok(s)) {
        print(L"\nCannot open \"" + settings::toWide(resolved) + L"\": " + report.message +
              L". The current drawing stays open.");
        reportCommandFailure();
        return;
    }
    if (!mayDiscardDrawing())
        return;
    std::error_code ec; // the throwing overload would let an exception out of the command
    const fs::path absolute = fs::absolute(resolved, ec);
    drawing->setFilePath(settings::toWide(ec ? resolved : absolute));
    drawing->clearUndo();
    adoptDrawing(std::move(drawing));
    commandMessage(
        format(L"\nOpened \"%s\": %d objects.", settings::toWide(resolved), report.entitiesRead));
}

void cmdQsave() {
    if (db::Database* d = requireDrawing())
        quickSave(*d);
}

void cmdSave() {
    db::Database* d = requireDrawing();
    if (!d)
        return;
    saveAsWithFormat(*d, documentSaveFormat());
}

void cmdSaveAs() {
    db::Database* d = requireDrawing();
    if (!d)
        return;
    initGet(0, L"R2013 R2000");
    std::wstring kw;
    const Result r = getKeyword(L"\nEnter file format [R2013/R2000 (code page 932)] <R2013>: ", kw);
    if (r == Result::cancel)
        return cancelled();
    if (r != Result::normal && r != Result::none)
        return;
    saveAsWithFormat(*d, kw == L"R2000" ? SaveFormat::r2000cp932 : SaveFormat::r2013);
}

void cmdQuit() {
    if (!mayDiscardDrawing())
        return;
    state().quitRequested = true;
}

} // namespace zhost::ed::detail

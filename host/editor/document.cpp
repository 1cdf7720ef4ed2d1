// The session's document: the owned drawing, its save format and its changed state.
#include "editor_state.h"

#include "zhost/db/database.h"
#include "zhost/dxf/dxf.h"
#include "zhost/editor/document.h"
#include "zhost/editor/session.h"
#include "zhost/settings/paths.h"

namespace zhost::ed {
namespace {

struct Document {
    std::unique_ptr<db::Database> owned;
    // The drawing and its change serial when it last counted as unchanged.
    const db::Database* drawing = nullptr;
    std::uint64_t savedSerial = 0;
    SaveFormat format = SaveFormat::r2013;
};

Document& document() {
    static Document d;
    return d;
}

} // namespace

void adoptDrawing(std::unique_ptr<db::Database> drawing) {
    Document& doc = document();
    db::Database* raw = drawing.get();
    setWorkingDatabase(raw);
    doc.owned = std::move(drawing);
    doc.format = SaveFormat::r2013;
    markDrawingSaved();
}

void closeDrawing() {
    setWorkingDatabase(nullptr);
    document().owned.reset();
    document().drawing = nullptr;
}

bool isDrawingModified() {
    const db::Database* d = workingDatabase();
    const Document& doc = document();
    if (!d)
        return false;
    // A drawing set directly (not adopted) counts from when it was first seen here.
    if (doc.drawing != d)
        return false;
    return d->changeSerial() != doc.savedSerial;
}

void markDrawingSaved() {
    Document& doc = document();
    doc.drawing = workingDatabase();
    doc.savedSerial = doc.drawing ? doc.drawing->changeSerial() : 0;
}

SaveFormat documentSaveFormat() {
    return document().format;
}

void setDocumentSaveFormat(SaveFormat format) {
    document().format = format;
}

Status saveDrawingAs(const std::filesystem::path& path, SaveFormat format, std::wstring& reason) {
    db::Database* d = workingDatabase();
    if (!d) {
        reason = L"no drawing is open";
        return Status::notApplicable;
    }
    const std::filesystem::path target = dxf::drawingSavePath(path);
    dxf::WriteOptions options;
    options.version = format == SaveFormat::r2000cp932 ? dxf::Version::r2000 : dxf::Version::r2013;
    options.codePage = 932;
    options.keepBackup = true;
    const Status s = dxf::writeDxf(*d, target, options, &reason);
    if (!ok(s))
        return s;
    std::error_code ec; // the throwing overload would let an exception out of the command
    const std::filesystem::path absolute = std::filesystem::absolute(target, ec);
    d->setFilePath(settings::toWide(ec ? target : absolute));
    document().format = format;
    markDrawingSaved();
    return s;
}

} // namespace zhost::ed

#pragma once
// The drawing the session edits as a document: owned by the session, saved in one DXF version,
// and known to be changed or not since it was opened or last saved. NEW and OPEN replace it,
// SAVE, QSAVE and SAVEAS write it, QUIT asks before its changes are lost.
#include "zhost/core/status.h"

#include <filesystem>
#include <memory>
#include <string>

namespace zhost::db {
class Database;
}

namespace zhost::ed {

// The DXF version a document is saved in.
enum class SaveFormat { r2013, r2000cp932 };

// Makes the drawing the working database, owned by the session; the drawing it replaces is
// destroyed when the session owned it. The drawing counts as unchanged from here on.
void adoptDrawing(std::unique_ptr<db::Database> drawing);
// Destroys the session's drawing (at the end of a session) and clears the working database.
void closeDrawing();

// Whether the working drawing changed since it was adopted, set or last saved.
bool isDrawingModified();
// The working drawing counts as unchanged from now on (after a save).
void markDrawingSaved();

SaveFormat documentSaveFormat();
void setDocumentSaveFormat(SaveFormat format);

// Saves the working drawing safely to `path` in `format`, keeping the file it replaces as
// "NAME.bak". On success the drawing takes the path (DWGNAME follows) and counts as unchanged;
// on failure nothing on disk or in the drawing changes and `reason` says why.
Status saveDrawingAs(const std::filesystem::path& path, SaveFormat format, std::wstring& reason);

} // namespace zhost::ed

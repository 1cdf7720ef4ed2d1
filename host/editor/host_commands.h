#pragma once
// The host's own commands (REGION, UNION, -BOUNDARY, OFFSET, PEDIT, UNDO, REGEN, -BMINSERT and
// the everyday drafting commands) and what they share.
#include "zhost/core/status.h"
#include "zhost/db/object_id.h"
#include "zhost/geom/curve.h"

#include <memory>
#include <string_view>
#include <vector>

namespace zhost::db {
class Database;
class Entity;
} // namespace zhost::db
namespace zhost::rx {
struct CommandEntry;
}

namespace zhost::ed::detail {

inline constexpr const wchar_t* kHostGroup = L"ZHOST";

// Registers the host commands once (called before any look-up).
void ensureHostCommands();
// Runs a command entry as one undo step.
void executeCommand(const rx::CommandEntry& entry);
// The running host command failed: its command call returns error.
void reportCommandFailure();

// A message of a host command: shown at the command line, but not while the command runs
// from a command call with CMDECHO 0.
void commandMessage(std::wstring_view text);
// The drawing, or nullptr after printing that there is none (and reporting the failure).
db::Database* requireDrawing();
// Appends to the current space.
Status appendToCurrentSpace(std::unique_ptr<db::Entity> entity, db::ObjectId& outId);
// Erases an entity (opened for write).
Status eraseEntity(db::ObjectId id);

// The commands.
void cmdRegion();
void cmdUnion();
void cmdBoundary();
void cmdOffset();
void cmdPedit();
void cmdUndo();
void cmdRegen();
void cmdZoom();
void cmdBmInsert();
// Drawing.
void cmdLine();
void cmdPline();
void cmdCircle();
void cmdArc();
void cmdRectang();
void cmdPoint();
void cmdText();
// Editing.
void cmdErase();
void cmdMove();
void cmdCopy();
void cmdRotate();
void cmdScale();
void cmdMirror();
void cmdExplode();
// Properties and tables.
void cmdLayer();
void cmdLinetype();
void cmdChprop();
// Inquiry.
void cmdList();
void cmdId();
void cmdDist();
void cmdArea();
// Files.
void cmdNew();
void cmdOpen();
void cmdSave();
void cmdQsave();
void cmdSaveAs();
void cmdQuit();

} // namespace zhost::ed::detail

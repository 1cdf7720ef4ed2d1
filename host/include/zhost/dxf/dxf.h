#pragma once
// Reading and writing drawings as ASCII DXF, and the host's drawing loader.
//
//   db::Database db;
//   dxf::ReadReport report;
//   if (!ok(dxf::readDxf("part.dxf", db, report))) print(report.message);
//
// The reader takes DXF R12 to R2018 (UTF-8 for R2007+, the drawing's code page and \U+XXXX
// escapes before). The writer writes R2013 (UTF-8) by default, or R2000 in code page 932 or 1252.
// What is kept and how regions and parametric blocks are stored: docs/dxf.md.
#include "zhost/core/status.h"
#include "zhost/db/object_id.h"

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace zhost::db {
class Database;
}

namespace zhost::dxf {

// A recoverable oddity of a file, like an audit entry: a short stable code, the line, the words.
// Codes: "eof" (text after EOF, no EOF), "codepage" (unknown code page), "handle" (duplicate
// handle), "owner" (an owner that does not fit), "name" (a missing or invalid layer, linetype,
// block or style name), "xdata" (malformed extended data), "stray" (a record out of its place),
// "value" (an odd value: a negative count, a bad edge type, inconsistent spline data...).
struct ReadWarning {
    std::string code;
    int line = 0;
    std::wstring text;
};

struct ReadReport {
    // For a failure: what went wrong, in English, starting with "line N: " when the fault has a
    // place in the file.
    std::wstring message;
    int errorLine = 0; // 1-based line of the fault, 0 when none
    // "$ACADVER" of the file ("AC1027", ...) and the code page its text was decoded with.
    std::string version;
    int codePage = 65001;
    int entitiesRead = 0;
    int objectsRead = 0; // dictionaries, groups, draw-order tables
    // The entities read into the database's own kinds, by kind.
    std::map<std::string, int> modelledKinds;
    // Entities and objects of kinds the database does not model (or whose data it cannot use),
    // kept as their tags and written back unchanged (zhost/db/raw.h), and their counts by kind.
    int keptEntities = 0;
    int keptObjects = 0;
    std::map<std::string, int> keptKinds;
    // Faults of the file that the reader mended (an owner that is no layout, a duplicate handle,
    // an ellipse with its axes swapped), each also a warning.
    int repaired = 0;
    // What was dropped: stray records and objects the writer makes afresh (the layout and plot
    // style dictionaries), and their counts by kind.
    int skippedEntities = 0;
    int skippedObjects = 0;
    std::map<std::string, int> skippedKinds;
    // Recoverable oddities (a reference to a missing block, a duplicate handle, ...), in file
    // order; at most 1000 are kept, `warningsDropped` counts the rest.
    std::vector<ReadWarning> warnings;
    int warningsDropped = 0;
};

// A few lines for people (the `run`, `shell` and `render` commands print them): the version and
// code page, counts by kind of what was modelled, kept as read, repaired and skipped, and the
// first `maxWarnings` warnings with their codes and lines.
std::wstring formatReadReport(const ReadReport& report, std::wstring_view drawing,
                              std::size_t maxWarnings = 20);

// The versions written: AC1015, AC1018 (code page text), AC1021, AC1024, AC1027, AC1032 (UTF-8).
enum class Version { r2000, r2004, r2007, r2010, r2013, r2018 };

struct WriteOptions {
    Version version = Version::r2013;
    // The code page of text before R2007 (any code page the host knows: 932, 1252, 1250, ...);
    // from R2007 on text is UTF-8. Characters the code page lacks are written as \U+XXXX
    // escapes, so nothing is lost.
    int codePage = 932;
    // Keep the file being replaced as "NAME.bak" beside it (zhost/settings/atomicfile.h).
    bool keepBackup = false;
};

// "R2000", "R2004", "R2007", "R2010", "R2013", "R2018" (any case; "R12", "R13" and "R14" give
// R2000, the oldest version written). False for anything else.
bool parseVersion(std::string_view name, Version& out);
// "R2000", ...
const char* versionName(Version v);
// Saving what was read: the version family of the file read (R12 to R2002 as R2000, the oldest
// written; later ones as themselves) in the code page its text was read in; a report of no file
// gives the defaults.
WriteOptions sameVersionAs(const ReadReport& report);

// Loads a drawing into `into`, replacing its whole content. On failure `into` is left as it was:
// the file is read into a new database that is swapped in only when everything went well.
Status readDxf(const std::filesystem::path& path, db::Database& into, ReadReport& report);
// The same for DXF text in memory (tests, the fuzzer).
Status readDxfText(std::string_view text, db::Database& into, ReadReport& report);

// Saves the drawing safely (settings::writeFileAtomically: only a regular file or a new name is
// written, links are followed, mode and owner kept, a kill leaves the old or the new drawing).
// fileError, with nothing changed on disk and `reason` (optional) saying why, when the file
// cannot be written; invalidInput for a ".dwg" name, which would get DXF text under a DWG name
// (drawingSavePath gives the name to use).
Status writeDxf(const db::Database& db, const std::filesystem::path& path,
                const WriteOptions& options = {}, std::wstring* reason = nullptr);
// The DXF text itself.
Status writeDxfText(const db::Database& db, std::string& out, const WriteOptions& options = {});

// Reads a drawing file and copies its model space into a new block definition `name` of
// `target`, with the layers, linetypes, styles, applications and nested blocks it uses and the
// parametric data of its blocks. duplicateKey when `target` has a block of that name already.
// `message` (optional) receives the reader's message on failure.
Status loadDrawingAsBlock(const std::filesystem::path& path, db::Database& target,
                          std::wstring_view name, db::ObjectId& blockIdOut,
                          std::wstring* message = nullptr);

// Drawings named "X.dwg": DWG is a closed format, so the host keeps "X.dxf" beside it. Gives the
// path itself when it exists, else the same name with the extension ".dxf" (any case of the
// extension) when that exists, else the path unchanged.
std::filesystem::path resolveDrawingPath(const std::filesystem::path& path);
// Where a drawing asked to be saved as `path` is written: "X.dwg" (any case) becomes "X.dxf"
// beside it, as resolveDrawingPath reads it back; other names are kept.
std::filesystem::path drawingSavePath(const std::filesystem::path& path);
// Whether `path` names a DWG file by its extension (any case).
bool isDwgName(const std::filesystem::path& path);
// Whether the drawing exists, as resolveDrawingPath finds it.
bool drawingFileExists(const std::filesystem::path& path);

} // namespace zhost::dxf

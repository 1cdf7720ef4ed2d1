#pragma once
// The DXF reader's internals. The file is tokenized and checked first (numbers, section
// structure); only then are objects built, so a bad file leaves the database untouched.
#include "text_codec.h"
#include "tokenizer.h"

#include "zhost/db/db.h"
#include "zhost/dxf/dxf.h"

#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

namespace zhost::dxf {

// The properties every entity has, as the file gives them.
struct EntityCommon {
    std::uint32_t line = 0;
    std::uint64_t handle = 0;
    std::uint64_t owner = 0;
    std::string_view layer, linetype;
    int color = db::color::byLayer;
    int lineWeight = db::lineweight::byLayer;
    double ltscale = 1;
    std::int64_t trueColor = -1, transparency = 0; // -1: none given
    std::string_view colorName;
    double thickness = 0;
    bool invisible = false;
    bool paperSpace = false;
    std::span<const Tag> xdata;
};

class Reader {
public:
    Reader(db::Database& db, ReadReport& report) : db_(db), report_(report) {}
    // Checks and loads the tags of a whole file.
    Status run(std::string_view text);

    // --- shared by the section readers ---------------------------------------------------------
    db::Database& db() { return db_; }
    ReadReport& report() { return report_; }
    std::wstring text(const Tag& t) const { return decoder_.decode(t.value()); }
    std::wstring text(std::string_view bytes) const { return decoder_.decode(bytes); }
    // A warning of the code "value" (an odd value), or of its own code (dxf.h, ReadWarning).
    void warn(std::uint32_t line, const std::wstring& what) { warn(line, "value", what); }
    void warn(std::uint32_t line, const char* code, const std::wstring& what);
    // A fault of the file that the reader mended: a warning, counted.
    void repaired(std::uint32_t line, const char* code, const std::wstring& what);
    void skipped(std::string_view kind, bool entity);
    void kept(std::string_view kind, bool entity);
    bool utf8File() const { return acadVer_ >= 1021; }
    int acadVersion() const { return acadVer_; }

    // Records the file handle of a new object (keeps the database's own when taken).
    void adoptHandle(db::ObjectId id, std::uint64_t fileHandle, std::uint32_t line);
    db::ObjectId idOfHandle(std::uint64_t fileHandle) const;

    db::ObjectId layerByName(std::string_view name, std::uint32_t line);
    db::ObjectId linetypeByName(std::string_view name, std::uint32_t line);
    db::ObjectId styleByName(std::string_view name);
    // The block of that name, created empty when the file has not defined it (yet).
    db::ObjectId blockByName(std::string_view name, std::uint32_t line);

    // Extended data items → a chain; the chains of unregistered applications are registered.
    db::XData readXData(std::span<const Tag> tags);
    // Registers the applications a chain names (before it is set on a database object).
    void registerApps(const db::XData& chain);
    void applyXData(db::DbObject& obj, std::span<const Tag> tags, std::uint32_t line);

    // Tags a modelled entity keeps beside its fields (dimensions, leaders): pointers among them
    // are resolved at the end, like those of kept records.
    void keepTag(db::RawTags& into, const Tag& t);
    // A pointer of a leader to its annotation, resolved when every handle is known.
    void resolveAnnotationLater(std::uint64_t handle) { pendingAnnotation_ = handle; }

private:
    // Sections.
    Status checkStructure();
    void prepareHandles();
    void readHeader(std::size_t& i);
    void readClasses(std::size_t& i);
    void applyHeader();
    void readTables(std::size_t& i);
    void readTable(std::size_t& i);
    db::ObjectId readLinetype(const std::wstring& name, const std::vector<Tag>& own,
                              std::uint32_t line);
    db::ObjectId readStyle(const std::wstring& name, const std::vector<Tag>& own,
                           std::uint32_t line);
    db::ObjectId readLayer(const std::wstring& name, const std::vector<Tag>& own,
                           std::span<const Tag> xdata, std::uint32_t line);
    void readBlocks(std::size_t& i);
    void readEntitySection(std::size_t& i);
    void readObjects(std::size_t& i);
    void finish();

    // Entities: [i, end of the entity) with follow-ups (ATTRIB, VERTEX, SEQEND) consumed.
    void readEntity(std::size_t& i, db::ObjectId blockId, bool inBlock);
    std::size_t entityEnd(std::size_t i) const;
    // `markers`: the subclass markers (100) stay among the entity's own tags.
    void parseCommon(std::span<const Tag> tags, EntityCommon& c, std::vector<Tag>& own,
                     bool markers = false);
    void applyCommon(db::Entity& e, const EntityCommon& c);
    db::ObjectId appendTo(db::ObjectId blockId, std::unique_ptr<db::Entity> e,
                          const EntityCommon& c);
    void readAttributes(std::size_t& i, db::ObjectId refId);
    std::unique_ptr<db::Entity> readOldPolyline(std::size_t& i, std::span<const Tag> own,
                                                std::uint32_t line);

    // Kept records (read_raw.cpp). The tags of records [from, to) as a kept record: the first
    // record's handle, owner and (for entities) common properties left out, the records after it
    // (VERTEX, SEQEND) each from its code-0 tag. Pointers are resolved in finish().
    db::RawRecord rawRecord(std::size_t from, std::size_t to, bool entity);
    // Keeps the entity of records [from, to) as its tags in its block.
    void keepEntity(std::size_t from, std::size_t to, const EntityCommon& c, db::ObjectId blockId,
                    const db::XData& xdata);
    // Keeps an object of the OBJECTS section: in `dictId` under `key`, or, without a dictionary,
    // as a kept object with the owner the file gave it. A record of a table the database does
    // not keep (`tableRecord`) is kept without owner: the writer makes its table.
    db::ObjectId keepObject(std::size_t k, db::ObjectId dictId, std::string_view key,
                            bool tableRecord = false);
    void resolveRawReferences();

    db::Database& db_;
    ReadReport& report_;
    std::vector<Tag> tags_;
    std::string_view text_; // the whole file
    TextDecoder decoder_;
    int acadVer_ = 1009;
    // The code page of the file's text before R2007, and whether the file failed to name it.
    int fileCodePage_ = 1252;
    bool codePageGuessed_ = true;
    std::uint64_t tempHandleBase_ = 0;
    std::vector<std::pair<std::wstring, std::span<const Tag>>> header_;
    std::unordered_map<std::string, db::ObjectId> layers_, linetypes_, styles_, blocks_;
    std::vector<Tag> own_; // scratch: the kind-specific tags of the entity being read
    // The block entities are being appended to, kept open for write between entities.
    db::ObjectPtr<db::BlockTableRecord> openBlock_;

    // Resolved at the end, when every handle is known.
    struct PendingGroup {
        db::ObjectId groupId;
        std::vector<std::uint64_t> members;
    };
    std::vector<PendingGroup> groups_;
    struct PendingSort {
        std::uint64_t handle;
        std::uint64_t block;
        std::vector<std::pair<std::uint64_t, std::uint64_t>> entitySort;
    };
    std::vector<PendingSort> sorts_;
    // Pointers of kept records, by record: resolved when every handle is known.
    struct PendingRef {
        std::uint32_t index; // the tag in the prefix or body
        bool prefix;
        std::uint64_t handle;
    };
    std::vector<PendingRef> rawRefScratch_;
    struct PendingRecord {
        db::ObjectId id;
        std::vector<PendingRef> refs;
        std::uint64_t owner = 0; // kept objects: the owner the file gave
    };
    std::vector<PendingRecord> rawPending_;
    std::uint64_t pendingAnnotation_ = 0; // set by the entity being read
    std::vector<std::pair<db::ObjectId, std::uint64_t>> annotations_;
    std::unordered_map<std::uint64_t, db::ObjectId> handleMap_;
    std::unordered_map<std::uint64_t, db::ObjectId> blockRecordByHandle_;
};

// Kind-specific builders (read_entities.cpp, read_curves.cpp, read_hatch.cpp). Each gets the
// entity's own tags in file order (common properties and extended data removed) and returns
// null for data it cannot use (with a warning).
std::unique_ptr<db::Entity> buildLine(Reader& r, std::span<const Tag> t);
std::unique_ptr<db::Entity> buildArc(Reader& r, std::span<const Tag> t, bool circle);
// SOLID, TRACE (kind solid or trace) and 3DFACE (kind face).
std::unique_ptr<db::Entity> buildQuad(Reader& r, std::span<const Tag> t, db::ObjectType kind);
std::unique_ptr<db::Entity> buildXLine(Reader& r, std::span<const Tag> t, bool ray);
std::unique_ptr<db::Entity> buildEllipse(Reader& r, std::span<const Tag> t, std::uint32_t line);
std::unique_ptr<db::Entity> buildPoint(Reader& r, std::span<const Tag> t);
std::unique_ptr<db::Entity> buildText(Reader& r, std::span<const Tag> t, int kind);
std::unique_ptr<db::Entity> buildMText(Reader& r, std::span<const Tag> t);
std::unique_ptr<db::Entity> buildInsert(Reader& r, std::span<const Tag> t, std::uint32_t line,
                                        bool& attributesFollow);
std::unique_ptr<db::Entity> buildLwPolyline(Reader& r, std::span<const Tag> t, std::uint32_t line);
std::unique_ptr<db::Entity> buildSpline(Reader& r, std::span<const Tag> t, std::uint32_t line);
std::unique_ptr<db::Entity> buildHatch(Reader& r, std::span<const Tag> t, std::uint32_t line);
// DIMENSION and ARC_DIMENSION (`t` with the subclass markers), LEADER (read_annotation.cpp).
std::unique_ptr<db::Entity> buildDimension(Reader& r, std::span<const Tag> t, bool arc,
                                           std::uint32_t line);
std::unique_ptr<db::Entity> buildLeader(Reader& r, std::span<const Tag> t, std::uint32_t line);
std::unique_ptr<db::Entity> buildRegion(Reader& r, std::span<const Tag> t, std::uint32_t line,
                                        db::XData& xdata);

} // namespace zhost::dxf

#pragma once
// The DXF writer's internals.
#include "tag_writer.h"

#include "zhost/db/db.h"
#include "zhost/dxf/dxf.h"

#include <map>
#include <string>
#include <unordered_map>
#include <vector>

namespace zhost::db {
class Dimension;
class Leader;
} // namespace zhost::db

namespace zhost::dxf {

// "AC1015", ... (read_report.cpp).
const char* acadVersionOf(Version v);

class Writer {
public:
    Writer(const db::Database& db, const WriteOptions& options, std::string& out);
    Status run();

    // --- used by the entity writers
    // ---------------------------------------------------------------
    TagWriter& w() { return w_; }
    // From R2007 on text is UTF-8; before, the code page of the options.
    bool utf8() const { return options_.version >= Version::r2007; }
    const std::string& layerName(db::ObjectId id);
    const std::string& linetypeName(db::ObjectId id);
    const std::string& styleName(db::ObjectId id);
    const std::string& blockName(db::ObjectId id);
    std::uint64_t newHandle() { return next_++; }
    void writeXData(const db::XData& chain);
    void writeEntity(const db::Entity& e, bool paperSpace);
    // The own parts of the annotation kinds (write_annotation.cpp).
    void dimensionBody(const db::Dimension& d);
    void leaderBody(const db::Leader& l);

private:
    void writeOldPolyline(const db::Polyline& p, bool paperSpace);
    void header(std::string& out);
    void classes();
    void tables();
    void tableHead(std::string_view name, std::uint64_t handle, int count);
    void recordHead(std::string_view kind, std::uint64_t handle, std::uint64_t owner,
                    std::string_view subclass);
    void blocks();
    void entities();
    void objects();
    void blockEntities(db::ObjectId blockId, bool paperSpace);
    void writeDictionary(db::ObjectId dictId, std::uint64_t owner);
    void writeCommon(const db::Entity& e, bool paperSpace);
    // Kept records (zhost/db/raw.h): their tags as read, pointers through the current handles.
    void writeRawTag(const db::RawTags& tags, std::size_t i);
    void writeRawTags(const db::RawTags& tags, std::uint64_t owner);
    void writeRawPrefix(const db::RawTags& prefix, const std::vector<std::uint64_t>* groups);
    // `recordClass`: for a table record, the subclass marker of its table (written with
    // AcDbSymbolTableRecord before the record's tags, in place of the markers it was read with).
    void writeRawObject(const db::RawObject& o, std::uint64_t owner,
                        std::string_view recordClass = {});
    void keptObjects();
    // The kept tags of a modelled entity that came after `marker` ("" for those before any).
    void extraTags(const db::RawTags& tags, std::string_view marker);

    const db::Database& db_;
    WriteOptions options_;
    std::string& final_;
    std::string body_;
    TagWriter w_;
    std::uint64_t next_;
    std::unordered_map<std::uint32_t, std::string> names_;
    // Objects the file needs that the database does not keep.
    std::uint64_t vportTable_ = 0, viewTable_ = 0, ucsTable_ = 0, dimstyleTable_ = 0;
    std::uint64_t layoutDict_ = 0, plotStyleDict_ = 0, placeholder_ = 0;
    // Layout block → its LAYOUT handle; block with a draw order → its extension dictionary.
    std::map<std::uint32_t, std::pair<db::ObjectId, std::uint64_t>> layoutOf_, xdictOf_;
    std::unordered_map<std::uint32_t, std::vector<std::uint64_t>> groupsOf_; // entity → groups
    std::vector<std::wstring> extraApps_;
    // Kept objects outside any kept dictionary, and the kept extension dictionary of each
    // modelled object that has one.
    std::vector<db::ObjectId> kept_;
    // The header variables of the file read that the database does not keep (a kept record of
    // kind "HEADER"), null for a drawing not read from a file.
    db::ObjectId fileHeader_;
    // Records of the VPORT, VIEW, UCS and DIMSTYLE tables kept from the file, by table.
    std::map<std::wstring, std::vector<db::ObjectId>> tableRecords_;
    // Kept layouts by the index of their block.
    std::map<std::uint32_t, db::ObjectId> keptLayoutOf_;
    void keptTableRecords(const wchar_t* table, std::uint64_t tableHandle);
    std::unordered_map<std::uint32_t, std::uint64_t> keptXdictOf_;
};

} // namespace zhost::dxf

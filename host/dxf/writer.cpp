// The sections of a written drawing: header, classes, tables, blocks, objects.
#include "writer.h"

#include "region_xdata.h"
#include "tokenizer.h"

#include "zhost/core/utf.h"
#include "zhost/settings/atomicfile.h"
#include "zhost/settings/codepage.h"

#include <algorithm>
#include <charconv>
#include <unordered_set>

namespace zhost::dxf {

namespace {

constexpr const wchar_t* kLayerDescriptionApp = L"AcAecLayerStandard";

template <class T> std::vector<db::ObjectId> recordsOf(db::ObjectId tableId) {
    db::ObjectPtr<T> t(tableId, db::OpenMode::forRead);
    return t ? t->recordIds() : std::vector<db::ObjectId>();
}

std::uint64_t h(db::ObjectId id) {
    return id.handle().value();
}

} // namespace

Writer::Writer(const db::Database& db, const WriteOptions& options, std::string& out)
    : db_(db), options_(options), final_(out),
      w_(body_, options.version >= Version::r2007 ? 65001 : options.codePage),
      next_(db.handleSeed().value()) {}

const std::string& Writer::layerName(db::ObjectId id) {
    auto it = names_.find(id.index());
    if (it != names_.end())
        return it->second;
    db::ObjectPtr<db::SymbolTableRecord> r(id, db::OpenMode::forRead, true);
    return names_.emplace(id.index(), w_.encode(r ? r->name() : L"0")).first->second;
}
const std::string& Writer::linetypeName(db::ObjectId id) {
    return layerName(id);
}
const std::string& Writer::styleName(db::ObjectId id) {
    return layerName(id);
}
const std::string& Writer::blockName(db::ObjectId id) {
    return layerName(id);
}

void Writer::writeXData(const db::XData& chain) {
    for (const db::ResBuf& r : chain) {
        switch (db::resTypeOf(r.code)) {
        case db::ResType::string:
            w_.text(r.code, r.str());
            break;
        case db::ResType::real:
            w_.real(r.code, r.real());
            break;
        case db::ResType::integer:
            w_.integer(r.code, r.integer());
            break;
        case db::ResType::point:
            w_.point(r.code, r.point());
            break;
        case db::ResType::none:
            break;
        }
    }
}

// --- HEADER -----------------------------------------------------------------------------------

namespace {

// Group codes of the header variables that do not follow the rule of their type.
int headerCode(std::wstring_view name, db::VarType type) {
    if (name == L"ANGBASE")
        return 50;
    if (name == L"CECOLOR")
        return 62;
    if (name == L"CELTYPE")
        return 6;
    if (name == L"CELWEIGHT")
        return 370;
    if (name == L"CLAYER")
        return 8;
    if (name == L"TEXTSTYLE")
        return 7;
    if (name == L"DWGCODEPAGE")
        return 3;
    if (name == L"LWDISPLAY")
        return 290;
    switch (type) {
    case db::VarType::int16:
    case db::VarType::int32:
        return 70;
    case db::VarType::real:
        return 40;
    case db::VarType::string:
        return 1;
    default:
        return 10;
    }
}

} // namespace

void Writer::header(std::string& out) {
    TagWriter w(out, w_.encoder().codePage());
    w.str(0, "SECTION");
    w.str(2, "HEADER");
    w.str(9, "$ACADVER");
    w.str(1, acadVersionOf(options_.version));
    w.str(9, "$DWGCODEPAGE");
    if (utf8()) {
        std::wstring cp = L"ANSI_1252";
        db_.getString(L"DWGCODEPAGE", cp);
        w.text(3, cp);
    } else {
        w.str(3, codePageName(options_.codePage));
    }
    w.str(9, "$HANDSEED");
    w.handle(5, next_);
    // A drawing read from a file keeps the file's set of variables: one the file did not have is
    // written only when it no longer has its default value.
    db::ObjectPtr<db::RawObject> fileHeader(fileHeader_, db::OpenMode::forRead);
    std::unordered_set<std::string> inFile;
    if (fileHeader)
        for (std::size_t i = 0; i < fileHeader->record().body.size(); ++i)
            if (fileHeader->record().body.code(i) == 9)
                inFile.emplace(fileHeader->record().body.value(i));
    for (const db::VarInfo& v : db::drawingVariables()) {
        if (v.readOnly || v.name == L"DWGCODEPAGE")
            continue;
        db::VarValue value;
        if (!ok(db_.getVar(v.name, value)))
            continue;
        if (fileHeader && !inFile.count("$" + toUtf8(v.name)) && value == v.defaultValue)
            continue;
        w.text(9, L"$" + v.name);
        const int code = headerCode(v.name, v.type);
        switch (v.type) {
        case db::VarType::int16:
        case db::VarType::int32:
            w.integer(code, std::get<std::int32_t>(value));
            break;
        case db::VarType::real:
            w.real(code, std::get<double>(value));
            break;
        case db::VarType::string:
            w.text(code, std::get<std::wstring>(value));
            break;
        case db::VarType::point2d: {
            const auto& p = std::get<geom::Point3d>(value);
            w.point2(10, p.x, p.y);
            break;
        }
        case db::VarType::point3d:
            w.point(10, std::get<geom::Point3d>(value));
            break;
        }
    }
    // The file's variables the database does not keep, as read.
    if (fileHeader) {
        const db::RawTags& tags = fileHeader->record().body;
        bool keep = false;
        for (std::size_t i = 0; i < tags.size(); ++i) {
            if (tags.code(i) == 9) {
                const std::string_view name = tags.value(i);
                keep = name != "$ACADVER" && name != "$DWGCODEPAGE" && name != "$HANDSEED" &&
                       !db::findDrawingVariable(fromUtf8(name.substr(1)));
            }
            if (!keep)
                continue;
            if (tagKindOf(tags.code(i)) == TagKind::string)
                w.text(tags.code(i), fromUtf8(tags.value(i)));
            else
                w.str(tags.code(i), tags.value(i));
        }
    }
    w.str(0, "ENDSEC");
}

void Writer::classes() {
    w_.str(0, "SECTION");
    w_.str(2, "CLASSES");
    // The classes of the file read, as read; then those of our own objects it did not declare.
    std::unordered_set<std::string> declared;
    for (db::ObjectId id : tableRecords_[L"CLASSES"]) {
        db::ObjectPtr<db::RawObject> o(id, db::OpenMode::forRead);
        if (!o)
            continue;
        const db::RawTags& tags = o->record().body;
        for (std::size_t i = 0; i < tags.size(); ++i) {
            if (tags.code(i) == 1)
                declared.emplace(tags.value(i));
            writeRawTag(tags, i);
        }
    }
    auto cls = [&](const char* name, const char* cpp, int flags) {
        if (declared.count(name))
            return;
        w_.str(0, "CLASS");
        w_.str(1, name);
        w_.str(2, cpp);
        w_.str(3, "ObjectDBX Classes");
        w_.integer(90, flags);
        if (options_.version >= Version::r2004)
            w_.integer(91, 0);
        w_.integer(280, 0);
        w_.integer(281, 0);
    };
    cls("ACDBDICTIONARYWDFLT", "AcDbDictionaryWithDefault", 0);
    cls("ACDBPLACEHOLDER", "AcDbPlaceHolder", 0);
    cls("LAYOUT", "AcDbLayout", 0);
    cls("SORTENTSTABLE", "AcDbSortentsTable", 0);
    w_.str(0, "ENDSEC");
}

// --- TABLES ------------------------------------------------------------------------------------

void Writer::tableHead(std::string_view name, std::uint64_t handle, int count) {
    w_.str(0, "TABLE");
    w_.str(2, name);
    w_.handle(5, handle);
    w_.str(330, "0");
    w_.str(100, "AcDbSymbolTable");
    w_.integer(70, count);
}

void Writer::recordHead(std::string_view kind, std::uint64_t handle, std::uint64_t owner,
                        std::string_view subclass) {
    w_.str(0, kind);
    w_.handle(kind == "DIMSTYLE" ? 105 : 5, handle);
    w_.handle(330, owner);
    w_.str(100, "AcDbSymbolTableRecord");
    w_.str(100, subclass);
}

void Writer::tables() {
    w_.str(0, "SECTION");
    w_.str(2, "TABLES");

    // Viewports, views, user coordinate systems and dimension styles as the file had them; a
    // drawing without viewports gets the one every reader expects.
    const auto& vports = tableRecords_[L"VPORT"];
    tableHead("VPORT", vportTable_, vports.empty() ? 1 : int(vports.size()));
    if (vports.empty()) {
        recordHead("VPORT", newHandle(), vportTable_, "AcDbViewportTableRecord");
        w_.str(2, "*Active");
        w_.integer(70, 0);
        w_.point2(10, 0, 0);
        w_.point2(11, 1, 1);
        w_.point2(12, 0, 0);
        w_.real(40, 100);
        w_.real(41, 1.5);
    }
    keptTableRecords(L"VPORT", vportTable_);
    w_.str(0, "ENDTAB");

    // Linetypes.
    const auto ltypes = recordsOf<db::LinetypeTable>(db_.linetypeTableId());
    tableHead("LTYPE", h(db_.linetypeTableId()), int(ltypes.size()));
    for (db::ObjectId id : ltypes) {
        db::ObjectPtr<db::LinetypeTableRecord> r(id, db::OpenMode::forRead);
        if (!r)
            continue;
        recordHead("LTYPE", h(id), h(db_.linetypeTableId()), "AcDbLinetypeTableRecord");
        w_.text(2, r->name());
        w_.integer(70, 0);
        w_.text(3, r->description());
        w_.integer(72, 65);
        w_.integer(73, int(r->dashes().size()));
        w_.real(40, r->patternLength());
        for (const db::LinetypeDash& d : r->dashes()) {
            w_.real(49, d.length);
            w_.integer(74, 0);
        }
        writeXData(r->xdata());
    }
    w_.str(0, "ENDTAB");

    // Layers.
    const auto layers = recordsOf<db::LayerTable>(db_.layerTableId());
    tableHead("LAYER", h(db_.layerTableId()), int(layers.size()));
    for (db::ObjectId id : layers) {
        db::ObjectPtr<db::LayerTableRecord> r(id, db::OpenMode::forRead);
        if (!r)
            continue;
        recordHead("LAYER", h(id), h(db_.layerTableId()), "AcDbLayerTableRecord");
        w_.text(2, r->name());
        w_.integer(70, (r->isFrozen() ? 1 : 0) | (r->isLocked() ? 4 : 0));
        w_.integer(62, r->isOff() ? -r->colorIndex() : r->colorIndex());
        w_.bytes(6, r->linetypeId().isNull() ? std::string("Continuous")
                                             : linetypeName(r->linetypeId()));
        if (!r->isPlottable())
            w_.integer(290, 0);
        w_.integer(370, r->lineWeight());
        w_.handle(390, placeholder_);
        writeXData(r->xdata());
        if (!r->description().empty()) {
            w_.text(1001, kLayerDescriptionApp);
            w_.text(1000, L"");
            w_.text(1000, r->description());
        }
    }
    w_.str(0, "ENDTAB");

    // Text styles.
    const auto styles = recordsOf<db::TextStyleTable>(db_.textStyleTableId());
    tableHead("STYLE", h(db_.textStyleTableId()), int(styles.size()));
    for (db::ObjectId id : styles) {
        db::ObjectPtr<db::TextStyleTableRecord> r(id, db::OpenMode::forRead);
        if (!r)
            continue;
        recordHead("STYLE", h(id), h(db_.textStyleTableId()), "AcDbTextStyleTableRecord");
        w_.text(2, r->name());
        w_.integer(70, 0);
        w_.real(40, r->textSize());
        w_.real(41, r->widthFactor());
        w_.real(50, r->obliquingAngle() * 180 / 3.14159265358979323846);
        w_.integer(71, 0);
        w_.real(42, 2.5);
        w_.text(3, r->fileName());
        w_.text(4, r->bigFontFileName());
        writeXData(r->xdata());
    }
    w_.str(0, "ENDTAB");

    tableHead("VIEW", viewTable_, int(tableRecords_[L"VIEW"].size()));
    keptTableRecords(L"VIEW", viewTable_);
    w_.str(0, "ENDTAB");
    tableHead("UCS", ucsTable_, int(tableRecords_[L"UCS"].size()));
    keptTableRecords(L"UCS", ucsTable_);
    w_.str(0, "ENDTAB");

    // Applications, with those our own storage needs.
    const auto apps = recordsOf<db::RegAppTable>(db_.regAppTableId());
    tableHead("APPID", h(db_.regAppTableId()), int(apps.size() + extraApps_.size()));
    for (db::ObjectId id : apps) {
        db::ObjectPtr<db::RegAppTableRecord> r(id, db::OpenMode::forRead);
        if (!r)
            continue;
        recordHead("APPID", h(id), h(db_.regAppTableId()), "AcDbRegAppTableRecord");
        w_.text(2, r->name());
        w_.integer(70, 0);
        writeXData(r->xdata());
    }
    for (const std::wstring& app : extraApps_) {
        recordHead("APPID", newHandle(), h(db_.regAppTableId()), "AcDbRegAppTableRecord");
        w_.text(2, app);
        w_.integer(70, 0);
    }
    w_.str(0, "ENDTAB");

    // "Standard" is made when the file had no such style.
    bool standard = false;
    for (db::ObjectId id : tableRecords_[L"DIMSTYLE"]) {
        db::ObjectPtr<db::RawObject> o(id, db::OpenMode::forRead);
        const db::RawTags* body = o ? &o->record().body : nullptr;
        for (std::size_t i = 0; body && i < body->size(); ++i)
            if (body->code(i) == 2)
                standard = standard || equalsNoCase(fromUtf8(body->value(i)), L"Standard");
    }
    tableHead("DIMSTYLE", dimstyleTable_,
              int(tableRecords_[L"DIMSTYLE"].size()) + (standard ? 0 : 1));
    w_.str(100, "AcDbDimStyleTable");
    if (!standard) {
        recordHead("DIMSTYLE", newHandle(), dimstyleTable_, "AcDbDimStyleTableRecord");
        w_.str(2, "Standard");
        w_.integer(70, 0);
    }
    keptTableRecords(L"DIMSTYLE", dimstyleTable_);
    w_.str(0, "ENDTAB");

    // Block records.
    const auto blocks = recordsOf<db::BlockTable>(db_.blockTableId());
    tableHead("BLOCK_RECORD", h(db_.blockTableId()), int(blocks.size()));
    for (db::ObjectId id : blocks) {
        db::ObjectPtr<db::BlockTableRecord> r(id, db::OpenMode::forRead);
        if (!r)
            continue;
        w_.str(0, "BLOCK_RECORD");
        w_.handle(5, h(id));
        auto xd = xdictOf_.find(id.index());
        if (xd != xdictOf_.end()) {
            w_.str(102, "{ACAD_XDICTIONARY");
            w_.handle(360, xd->second.second);
            w_.str(102, "}");
        }
        w_.handle(330, h(db_.blockTableId()));
        w_.str(100, "AcDbSymbolTableRecord");
        w_.str(100, "AcDbBlockTableRecord");
        w_.text(2, r->name());
        auto lo = layoutOf_.find(id.index());
        w_.handle(340, lo == layoutOf_.end() ? 0 : lo->second.second);
        w_.integer(70, r->insertUnits());
        w_.integer(280, 1);
        w_.integer(281, 0);
        writeXData(r->xdata());
    }
    w_.str(0, "ENDTAB");
    w_.str(0, "ENDSEC");
}

// --- BLOCKS and ENTITIES
// -------------------------------------------------------------------------------

void Writer::blockEntities(db::ObjectId blockId, bool paperSpace) {
    db::ObjectPtr<db::BlockTableRecord> block(blockId, db::OpenMode::forRead);
    if (!block)
        return;
    const std::vector<db::ObjectId> ids = block->entityIds();
    block.close();
    for (db::ObjectId id : ids) {
        db::ObjectPtr<db::Entity> e(id, db::OpenMode::forRead);
        if (e)
            writeEntity(*e, paperSpace);
    }
}

void Writer::blocks() {
    w_.str(0, "SECTION");
    w_.str(2, "BLOCKS");
    for (db::ObjectId id : recordsOf<db::BlockTable>(db_.blockTableId())) {
        db::ObjectPtr<db::BlockTableRecord> r(id, db::OpenMode::forRead);
        if (!r)
            continue;
        const bool layout = r->isLayout();
        const bool paper = layout && id != db_.modelSpaceId();
        w_.str(0, "BLOCK");
        w_.handle(5, newHandle());
        w_.handle(330, h(id));
        w_.str(100, "AcDbEntity");
        if (paper)
            w_.integer(67, 1);
        w_.str(8, "0");
        w_.str(100, "AcDbBlockBegin");
        w_.text(2, r->name());
        w_.integer(70, (r->flags() & ~2) | (r->hasAttributeDefinitions() ? 2 : 0));
        w_.point(10, r->origin());
        w_.text(3, r->name());
        w_.str(1, "");
        if (!r->comments().empty())
            w_.text(4, r->comments());
        r.close();
        // Model space and the active paper space keep their entities in ENTITIES.
        if (id != db_.modelSpaceId() && id != db_.paperSpaceId())
            blockEntities(id, paper);
        w_.str(0, "ENDBLK");
        w_.handle(5, newHandle());
        w_.handle(330, h(id));
        w_.str(100, "AcDbEntity");
        if (paper)
            w_.integer(67, 1);
        w_.str(8, "0");
        w_.str(100, "AcDbBlockEnd");
    }
    w_.str(0, "ENDSEC");
}

void Writer::entities() {
    w_.str(0, "SECTION");
    w_.str(2, "ENTITIES");
    blockEntities(db_.modelSpaceId(), false);
    blockEntities(db_.paperSpaceId(), true);
    w_.str(0, "ENDSEC");
}

// --- Entry points
// ---------------------------------------------------------------------------------------

Status Writer::run() {
    // Handles of what the file needs beyond the database, and the reverse look-ups.
    vportTable_ = newHandle();
    viewTable_ = newHandle();
    ucsTable_ = newHandle();
    dimstyleTable_ = newHandle();
    layoutDict_ = newHandle();
    plotStyleDict_ = newHandle();
    placeholder_ = newHandle();
    for (db::ObjectId id : recordsOf<db::BlockTable>(db_.blockTableId())) {
        db::ObjectPtr<db::BlockTableRecord> r(id, db::OpenMode::forRead);
        if (!r)
            continue;
        if (r->isLayout())
            layoutOf_[id.index()] = {id, 0};
        if (!r->sortentsTableId().isNull()) {
            db::ObjectPtr<db::SortentsTable> s(r->sortentsTableId(), db::OpenMode::forRead);
            if (s && s->isCustomOrder())
                xdictOf_[id.index()] = {id, newHandle()};
        }
    }
    {
        db::ObjectPtr<db::Dictionary> groups(db_.groupDictionaryId(), db::OpenMode::forRead);
        if (groups)
            for (const auto& [key, gid] : groups->entries()) {
                db::ObjectPtr<db::Group> g(gid, db::OpenMode::forRead);
                if (g)
                    for (db::ObjectId e : g->allEntityIds())
                        groupsOf_[e.index()].push_back(h(gid));
            }
    }
    for (db::ObjectId id : db_.allObjectIds()) {
        db::ObjectPtr<db::RawObject> o(id, db::OpenMode::forRead);
        if (!o)
            continue;
        if (o->fileOwner().isNull() && o->fileOwnerText().empty()) {
            if (o->ownerId() != db_.namedObjectsDictionaryId())
                continue; // held by a dictionary that writes it
            if (o->record().kind == L"HEADER")
                fileHeader_ = id;
            else
                tableRecords_[o->record().kind].push_back(id);
            continue;
        }
        if (o->record().kind == L"LAYOUT") {
            // A layout names its block in its AcDbLayout part (the last pointer with code 330).
            const db::RawTags& body = o->record().body;
            db::ObjectId block;
            for (std::size_t i = 0; i < body.size(); ++i)
                if (body.code(i) == 330 && !body.reference(i).isNull())
                    block = body.reference(i);
            db::ObjectPtr<db::BlockTableRecord> b(block, db::OpenMode::forRead);
            if (b && b->isLayout() && !keptLayoutOf_.count(block.index())) {
                keptLayoutOf_[block.index()] = id;
                // The layouts' own dictionary keeps the handle they name as their owner.
                std::uint64_t dict = 0;
                std::from_chars(o->fileOwnerText().data(),
                                o->fileOwnerText().data() + o->fileOwnerText().size(), dict, 16);
                db::ObjectId taken;
                if (dict != 0 && !ok(db_.getObjectId(db::Handle(dict), taken)))
                    layoutDict_ = dict;
                continue;
            }
        }
        kept_.push_back(id);
        const db::ObjectId owner = o->fileOwner();
        if (o->record().kind != L"DICTIONARY" || owner.isNull())
            continue;
        // A kept dictionary owned by a modelled object is that object's extension dictionary;
        // kept records name theirs in their own tags.
        db::ObjectPtr<db::DbObject> ownerObject(owner, db::OpenMode::forRead);
        if (ownerObject && ownerObject->type() != db::ObjectType::rawEntity &&
            ownerObject->type() != db::ObjectType::rawObject)
            keptXdictOf_.emplace(owner.index(), h(id));
    }
    for (auto& [index, entry] : layoutOf_) {
        auto kept = keptLayoutOf_.find(index);
        entry.second = kept != keptLayoutOf_.end() ? h(kept->second) : newHandle();
    }
    for (const wchar_t* app : {kRegionApp, kLayerDescriptionApp})
        if (!db_.isAppRegistered(app))
            extraApps_.emplace_back(app);

    classes();
    tables();
    blocks();
    entities();
    objects();
    w_.str(0, "EOF");
    final_.clear();
    final_.reserve(body_.size() + 4096);
    header(final_);
    final_ += body_;
    return Status::ok;
}

Status writeDxfText(const db::Database& db, std::string& out, const WriteOptions& options) {
    if (options.version < Version::r2007 && !settings::isKnownCodePage(options.codePage))
        return Status::invalidInput;
    Writer writer(db, options, out);
    return writer.run();
}

Status writeDxf(const db::Database& db, const std::filesystem::path& path,
                const WriteOptions& options, std::wstring* reason) {
    if (isDwgName(path)) {
        if (reason)
            *reason = L"DWG is not written; save as .dxf";
        return Status::invalidInput;
    }
    std::string text;
    Status s = writeDxfText(db, text, options);
    if (!ok(s))
        return s;
    return settings::writeFileAtomically(path, text, {.keepBackup = options.keepBackup}, reason);
}

} // namespace zhost::dxf

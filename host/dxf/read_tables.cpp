// HEADER and TABLES sections.
#include "ocs.h"
#include "reader.h"

#include "zhost/core/utf.h"
#include "zhost/settings/codepage.h"

#include <algorithm>

namespace zhost::dxf {

namespace {

std::wstring widenAscii(const std::string& s) {
    return std::wstring(s.begin(), s.end());
}

constexpr const wchar_t* kLayerDescriptionApp = L"AcAecLayerStandard";

std::size_t recordEnd(const std::vector<Tag>& tags, std::size_t i) {
    ++i;
    while (i < tags.size() && tags[i].code != 0)
        ++i;
    return i;
}

// The record's tags without handles, subclass markers, 102 groups and extended data; `xdata`
// gets the extended data.
void splitRecord(std::span<const Tag> tags, std::vector<Tag>& own, std::span<const Tag>& xdata,
                 std::uint64_t& handle) {
    own.clear();
    xdata = {};
    handle = 0;
    for (std::size_t k = 0; k < tags.size(); ++k) {
        const Tag& t = tags[k];
        if (t.code >= 1000) {
            xdata = tags.subspan(k);
            return;
        }
        if (t.code == 102 && !t.value().empty() && t.value()[0] == '{') {
            while (k + 1 < tags.size() && !tags[k + 1].is(102, "}") && tags[k + 1].code < 1000)
                ++k;
            ++k;
            continue;
        }
        if ((t.code == 5 || t.code == 105) && handle == 0)
            handle = t.handle();
        else if (t.code != 5 && t.code != 105 && t.code != 100 && t.code != 330)
            own.push_back(t);
    }
}

} // namespace

// --- HEADER
// ---------------------------------------------------------------------------------------

void Reader::readHeader(std::size_t& i) {
    std::string_view pageName;
    while (i < tags_.size() && tags_[i].code != 0) {
        if (tags_[i].code != 9) {
            ++i;
            continue;
        }
        const std::string_view name = tags_[i].value();
        const std::size_t from = ++i;
        while (i < tags_.size() && tags_[i].code != 9 && tags_[i].code != 0)
            ++i;
        const std::span<const Tag> values(tags_.data() + from, i - from);
        if (values.empty() || name.size() < 2 || name[0] != '$')
            continue;
        if (name == "$ACADVER") {
            const std::string_view v = values[0].value();
            report_.version = std::string(v);
            if (v.size() == 6 && v.substr(0, 2) == "AC") {
                std::int64_t n = 0;
                if (parseInt(v.substr(2), n))
                    acadVer_ = int(n);
            }
        } else if (name == "$DWGCODEPAGE") {
            pageName = values[0].value();
        }
        header_.emplace_back(std::wstring(name.begin() + 1, name.end()), values);
    }
    int cp = codePageFromName(pageName);
    codePageGuessed_ = cp == 0 || !settings::isKnownCodePage(cp);
    if (codePageGuessed_) {
        // Files of many programs have none or "UNDEFINED": the text itself decides (UTF-8 files
        // say nothing of their code page by it).
        cp = utf8File() ? 1252 : guessCodePage(text_);
        if (!pageName.empty() && pageName != "UNDEFINED")
            warn(i < tags_.size() ? tags_[i].line : 0, "codepage",
                 L"unknown code page \"" + std::wstring(pageName.begin(), pageName.end()) +
                     L"\"; read as " + widenAscii(codePageName(cp)));
    }
    fileCodePage_ = cp;
    decoder_.setCodePage(utf8File() ? 65001 : cp);
}

// Drawing variables are set last: CLAYER, CELTYPE and TEXTSTYLE name records of the tables.
void Reader::applyHeader() {
    for (const auto& [name, values] : header_) {
        const db::VarInfo* info = db::findDrawingVariable(name);
        if (!info || info->readOnly)
            continue;
        db::VarValue v;
        switch (info->type) {
        case db::VarType::int16:
        case db::VarType::int32: {
            const Tag& t = values[0];
            if (tagKindOf(t.code) != TagKind::integer)
                continue;
            v = std::int32_t(t.i32());
            break;
        }
        case db::VarType::real: {
            const Tag& t = values[0];
            if (tagKindOf(t.code) == TagKind::real)
                v = t.real();
            else if (tagKindOf(t.code) == TagKind::integer)
                v = double(t.integer());
            else
                continue;
            break;
        }
        case db::VarType::string:
            v = text(values[0]);
            break;
        case db::VarType::point2d:
        case db::VarType::point3d: {
            geom::Point3d p;
            for (const Tag& t : values) {
                if (t.code == 10)
                    p.x = t.real();
                else if (t.code == 20)
                    p.y = t.real();
                else if (t.code == 30)
                    p.z = t.real();
            }
            v = p;
            break;
        }
        }
        if (!ok(db_.setVar(name, v)))
            warn(values[0].line, L"the value of $" + name + L" was not taken");
    }
    // The code page the text was read in is the one a save declares, not the database's default
    // nor the file's "UNDEFINED".
    if (codePageGuessed_)
        db_.setVar(L"DWGCODEPAGE", widenAscii(codePageName(fileCodePage_)));
    // Every variable as the file gave it: a save writes back those the database does not keep,
    // and adds none of its own that the file lacked.
    db::RawRecord record;
    record.kind = L"HEADER";
    for (const auto& [name, values] : header_) {
        record.body.add(9, "$" + toUtf8(name));
        for (const Tag& t : values)
            record.body.add(t.code, tagKindOf(t.code) == TagKind::string ? toUtf8(text(t))
                                                                         : std::string(t.value()));
    }
    db::ObjectId headerId;
    db_.addKeptObject(std::make_unique<db::RawObject>(std::move(record)), headerId);
}

// --- CLASSES
// ---------------------------------------------------------------------------------------

// The file's class records, kept as one record of kind "CLASSES" (each class from its 0/CLASS
// tag on) that a save writes back before the classes the writer needs itself. Like the header,
// it is no object of the drawing and is not counted.
void Reader::readClasses(std::size_t& i) {
    db::RawRecord record;
    record.kind = L"CLASSES";
    for (; i < tags_.size() && !tags_[i].is(0, "ENDSEC"); ++i) {
        const Tag& t = tags_[i];
        record.body.add(t.code, tagKindOf(t.code) == TagKind::string ? toUtf8(text(t))
                                                                     : std::string(t.value()));
    }
    if (record.body.size() == 0)
        return;
    db::ObjectId id;
    db_.addKeptObject(std::make_unique<db::RawObject>(std::move(record)), id);
}

// --- TABLES
// ---------------------------------------------------------------------------------------

// Tables are read in dependency order (linetypes before layers, styles and applications before
// anything that names them), whatever their order in the file.
void Reader::readTables(std::size_t& i) {
    std::vector<std::pair<std::string_view, std::size_t>> tables;
    while (i < tags_.size() && !tags_[i].is(0, "ENDSEC")) {
        if (tags_[i].is(0, "TABLE") && i + 1 < tags_.size() && tags_[i + 1].code == 2)
            tables.emplace_back(tags_[i + 1].value(), i);
        ++i;
    }
    static constexpr std::string_view order[] = {"LTYPE", "APPID", "STYLE", "LAYER",
                                                 "BLOCK_RECORD"};
    for (std::string_view name : order)
        for (const auto& [tableName, at] : tables)
            if (tableName == name) {
                std::size_t j = at;
                readTable(j);
            }
    for (const auto& [tableName, at] : tables)
        if (std::find(std::begin(order), std::end(order), tableName) == std::end(order)) {
            // VPORT, VIEW, UCS, DIMSTYLE: kept as read, the writer puts them in their tables.
            const bool kept = tableName == "VPORT" || tableName == "VIEW" || tableName == "UCS" ||
                              tableName == "DIMSTYLE";
            std::size_t j = recordEnd(tags_, at);
            while (j < tags_.size() && tags_[j].code == 0 && !tags_[j].is(0, "ENDTAB") &&
                   !tags_[j].is(0, "ENDSEC")) {
                if (kept && tags_[j].value() == tableName)
                    keepObject(j, {}, {}, true);
                else
                    skipped(tags_[j].value(), false);
                j = recordEnd(tags_, j);
            }
        }
}

void Reader::readTable(std::size_t& i) {
    const std::string_view kind = tags_[i + 1].value();
    std::size_t end = recordEnd(tags_, i);
    std::uint64_t tableHandle = 0;
    for (std::size_t k = i + 1; k < end; ++k)
        if (tags_[k].code == 5 && tableHandle == 0)
            tableHandle = tags_[k].handle();
    db::ObjectId tableId = kind == "LTYPE"   ? db_.linetypeTableId()
                           : kind == "APPID" ? db_.regAppTableId()
                           : kind == "STYLE" ? db_.textStyleTableId()
                           : kind == "LAYER" ? db_.layerTableId()
                                             : db_.blockTableId();
    adoptHandle(tableId, tableHandle, tags_[i].line);
    std::vector<Tag> own;
    for (i = end; i < tags_.size() && tags_[i].code == 0 && tags_[i].value() != "ENDTAB" &&
                  tags_[i].value() != "ENDSEC";
         i = end) {
        end = recordEnd(tags_, i);
        const std::uint32_t line = tags_[i].line;
        std::span<const Tag> xdata;
        std::uint64_t handle = 0;
        splitRecord(std::span<const Tag>(tags_.data() + i + 1, end - i - 1), own, xdata, handle);
        std::string_view rawName;
        for (const Tag& t : own)
            if (t.code == 2) {
                rawName = t.value();
                break;
            }
        if (tags_[i].value() != kind) {
            warn(line, L"a " + text(tags_[i].value()) + L" record in the " + text(kind) +
                           L" table is ignored");
            continue;
        }
        const std::wstring name = text(rawName);
        if (!db::isValidSymbolName(name)) {
            if (kind != "STYLE" || !name.empty()) // shape-file styles have no name
                warn(line, L"invalid " + text(kind) + L" name \"" + name + L"\"");
            continue;
        }
        db::ObjectId id;
        if (kind == "LTYPE")
            id = readLinetype(name, own, line);
        else if (kind == "APPID") {
            // The writer's own storage applications come back only where data uses them.
            if (equalsNoCase(name, kLayerDescriptionApp) || equalsNoCase(name, L"ZHOST_REGION"))
                continue;
            db_.registerApp(name);
            db_.getRegAppId(name, id);
        } else if (kind == "STYLE")
            id = readStyle(name, own, line);
        else if (kind == "LAYER")
            id = readLayer(name, own, xdata, line);
        else if (kind == "BLOCK_RECORD") {
            if (!ok(db_.getBlockId(name, id)) && !ok(db_.addBlock(name, id))) {
                warn(line, L"block \"" + name + L"\" could not be made");
                continue;
            }
            blocks_.emplace(std::string(rawName), id);
            // A record without a handle cannot be an entity's owner: entities without owners
            // belong where the file puts them.
            if (handle != 0)
                blockRecordByHandle_[handle] = id;
            db::ObjectPtr<db::BlockTableRecord> rec(id, db::OpenMode::forWrite);
            for (const Tag& t : own)
                if (t.code == 70 && rec)
                    rec->setInsertUnits(t.i32());
        }
        if (id.isNull())
            continue;
        if (kind == "LAYER")
            layers_.emplace(std::string(rawName), id);
        else if (kind == "LTYPE")
            linetypes_.emplace(std::string(rawName), id);
        else if (kind == "STYLE")
            styles_.emplace(std::string(rawName), id);
        adoptHandle(id, handle, line);
        if (kind != "LAYER" && !xdata.empty()) {
            db::ObjectPtr<db::DbObject> rec(id, db::OpenMode::forWrite);
            if (rec)
                applyXData(*rec, xdata, line);
        }
    }
}

db::ObjectId Reader::readLinetype(const std::wstring& name, const std::vector<Tag>& own,
                                  std::uint32_t line) {
    std::wstring description;
    std::vector<db::LinetypeDash> dashes;
    for (std::size_t k = 0; k < own.size(); ++k) {
        const Tag& t = own[k];
        if (t.code == 3)
            description = text(t);
        else if (t.code == 49)
            dashes.push_back({t.real(), {}});
        else if (t.code == 9 && !dashes.empty())
            dashes.back().complex = L"[\"" + text(t) + L"\"]";
    }
    db::ObjectId id;
    if (!ok(db_.getLinetypeId(name, id))) {
        db::ObjectPtr<db::LinetypeTable> table(db_.linetypeTableId(), db::OpenMode::forWrite);
        if (!table || !ok(table->add(std::make_unique<db::LinetypeTableRecord>(name), id))) {
            warn(line, L"linetype \"" + name + L"\" could not be made");
            return {};
        }
    }
    db::ObjectPtr<db::LinetypeTableRecord> rec(id, db::OpenMode::forWrite);
    if (rec) {
        rec->setDescription(description);
        if (!equalsNoCase(name, L"ByLayer") && !equalsNoCase(name, L"ByBlock") &&
            !equalsNoCase(name, L"Continuous"))
            rec->setDashes(std::move(dashes));
    }
    return id;
}

db::ObjectId Reader::readStyle(const std::wstring& name, const std::vector<Tag>& own,
                               std::uint32_t line) {
    db::ObjectId id;
    if (!ok(db_.getTextStyleId(name, id))) {
        db::ObjectPtr<db::TextStyleTable> table(db_.textStyleTableId(), db::OpenMode::forWrite);
        if (!table || !ok(table->add(std::make_unique<db::TextStyleTableRecord>(name), id))) {
            warn(line, L"text style \"" + name + L"\" could not be made");
            return {};
        }
    }
    db::ObjectPtr<db::TextStyleTableRecord> rec(id, db::OpenMode::forWrite);
    if (!rec)
        return id;
    for (const Tag& t : own) {
        switch (t.code) {
        case 40:
            rec->setTextSize(t.real());
            break;
        case 41:
            if (t.real() > 0)
                rec->setWidthFactor(t.real());
            break;
        case 50:
            rec->setObliquingAngle(toRadians(t.real()));
            break;
        case 3:
            rec->setFileName(text(t));
            break;
        case 4:
            rec->setBigFontFileName(text(t));
            break;
        default:
            break;
        }
    }
    return id;
}

db::ObjectId Reader::readLayer(const std::wstring& name, const std::vector<Tag>& own,
                               std::span<const Tag> xdata, std::uint32_t line) {
    db::ObjectId id;
    if (!ok(db_.getLayerId(name, id)) && !ok(db_.addLayer(name, id))) {
        warn(line, L"layer \"" + name + L"\" could not be made");
        return {};
    }
    db::ObjectPtr<db::LayerTableRecord> rec(id, db::OpenMode::forWrite);
    if (!rec)
        return id;
    for (const Tag& t : own) {
        switch (t.code) {
        case 62: {
            const int c = t.i32();
            if (c < 0)
                rec->setOff(true);
            const int index = c < 0 ? -c : c;
            if (index >= 1 && index <= 255)
                rec->setColorIndex(index);
            break;
        }
        case 70:
            if (t.i32() & 1)
                rec->setFrozen(true);
            if (t.i32() & 4)
                rec->setLocked(true);
            break;
        case 6: {
            const db::ObjectId lt = linetypeByName(t.value(), t.line);
            if (lt != db_.byLayerLinetypeId())
                rec->setLinetype(lt);
            break;
        }
        case 290:
            rec->setPlottable(t.integer() != 0);
            break;
        case 370:
            if (db::lineweight::isValid(t.i32()))
                rec->setLineWeight(t.i32());
            break;
        default:
            break;
        }
    }
    if (!xdata.empty()) {
        // The layer description travels as extended data of "AcAecLayerStandard".
        db::XData chain = readXData(xdata);
        db::XData kept;
        for (db::XData& app : db::splitByApplication(chain)) {
            if (equalsNoCase(app[0].str(), kLayerDescriptionApp)) {
                if (app.size() >= 3 && app[2].code == db::xcode::string)
                    rec->setDescription(app[2].str());
                continue;
            }
            kept.insert(kept.end(), app.begin(), app.end());
        }
        registerApps(kept);
        if (!kept.empty() && !ok(rec->setXData(kept)))
            warn(line, L"extended data of layer \"" + name + L"\" was not taken");
    }
    return id;
}

} // namespace zhost::dxf

#include "reader.h"

#include "zhost/core/memory.h"
#include "zhost/core/utf.h"
#include "zhost/settings/codepage.h"
#include "zhost/settings/paths.h"
#include "zhost/settings/textfile.h"

#include <algorithm>
#include <filesystem>
#include <new>

namespace zhost::dxf {

namespace {

// The reader keeps the whole file and its tags in memory; beyond this a drawing is refused
// rather than exhausting the machine.
constexpr std::uintmax_t kMaxDrawingBytes = std::uintmax_t(2) << 30;
// Reading takes about this many bytes of memory per byte of the file: the text itself, its tags
// and the objects made from them (7.4 on the 100,000-entity benchmark drawing, rounded up).
constexpr std::uintmax_t kMemoryPerFileByte = 8;

std::wstring widen(std::string_view s) {
    return std::wstring(s.begin(), s.end());
}

Status fail(ReadReport& report, Status s, std::uint32_t line, const std::wstring& what) {
    report.errorLine = int(line);
    report.message = line ? L"line " + std::to_wstring(line) + L": " + what : what;
    return s;
}

} // namespace

void Reader::warn(std::uint32_t line, const char* code, const std::wstring& what) {
    if (report_.warnings.size() < 1000)
        report_.warnings.push_back({code, int(line), what});
    else
        ++report_.warningsDropped;
}

void Reader::repaired(std::uint32_t line, const char* code, const std::wstring& what) {
    ++report_.repaired;
    warn(line, code, what);
}

void Reader::skipped(std::string_view kind, bool entity) {
    (entity ? report_.skippedEntities : report_.skippedObjects)++;
    ++report_.skippedKinds[std::string(kind)];
}

// --- Structure ---------------------------------------------------------------------------------

// Sections must be closed and the file must end with EOF: a file cut short is refused rather
// than half read.
Status Reader::checkStructure() {
    if (tags_.empty())
        return fail(report_, Status::parseError, 1, L"the file is empty");
    if (!tags_[0].is(0, "SECTION"))
        return fail(report_, Status::parseError, tags_[0].line,
                    L"not a DXF file: \"0/SECTION\" expected");
    bool inSection = false;
    std::uint32_t sectionLine = 0;
    std::string_view sectionName;
    for (std::size_t i = 0; i < tags_.size(); ++i) {
        const Tag& t = tags_[i];
        if (t.code != 0)
            continue;
        const std::string_view v = t.value();
        if (v == "SECTION") {
            if (inSection)
                return fail(report_, Status::parseError, t.line,
                            L"section " + widen(sectionName) + L" (line " +
                                std::to_wstring(sectionLine) + L") is not closed by ENDSEC");
            inSection = true;
            sectionLine = t.line;
            sectionName = i + 1 < tags_.size() && tags_[i + 1].code == 2 ? tags_[i + 1].value()
                                                                         : std::string_view();
        } else if (v == "ENDSEC") {
            inSection = false;
        } else if (v == "EOF") {
            if (inSection)
                return fail(report_, Status::parseError, t.line,
                            L"EOF inside section " + widen(sectionName));
            return Status::ok;
        } else if (!inSection) {
            return fail(report_, Status::parseError, t.line,
                        L"\"" + widen(v) + L"\" outside any section");
        }
    }
    if (inSection)
        return fail(report_, Status::parseError, tags_.back().line + 1,
                    L"the file ends inside section " + widen(sectionName) + L" (line " +
                        std::to_wstring(sectionLine) + L"): it is truncated");
    warn(tags_.back().line + 1, "eof", L"no EOF marker at the end of the file");
    return Status::ok;
}

// The file's handles are kept. The new database's own objects are first moved above every
// handle of the file, so that the file's objects can take their handles without collisions.
void Reader::prepareHandles() {
    std::uint64_t maxHandle = 0;
    for (const Tag& t : tags_)
        if (t.code == 5 || t.code == 105)
            maxHandle = std::max(maxHandle, t.handle());
    if (maxHandle > (std::uint64_t(1) << 62))
        maxHandle = 0; // absurd handles are not kept (see adoptHandle)
    tempHandleBase_ = maxHandle;
    const auto ids = db_.allObjectIds(true);
    std::uint64_t next = std::max<std::uint64_t>(maxHandle + 1, db_.handleSeed().value());
    for (db::ObjectId id : ids)
        db_.setHandle(id, db::Handle(next++));
}

void Reader::adoptHandle(db::ObjectId id, std::uint64_t h, std::uint32_t line) {
    if (h == 0 || id.isNull() || h > tempHandleBase_)
        return;
    if (!ok(db_.setHandle(id, db::Handle(h))))
        repaired(line, "handle",
                 L"duplicate handle " + db::Handle(h).toHex() + L"; a new one was given");
}

db::ObjectId Reader::idOfHandle(std::uint64_t h) const {
    db::ObjectId id;
    if (h == 0 || !ok(db_.getObjectId(db::Handle(h), id)))
        return {};
    return id;
}

// --- Driver
// ----------------------------------------------------------------------------------------

Status Reader::run(std::string_view text) {
    const TokenizeResult tr = tokenize(text, tags_);
    if (!ok(tr.status)) {
        report_.message = tr.message;
        report_.errorLine = tr.errorLine;
        return tr.status;
    }
    Status s = checkStructure();
    if (!ok(s))
        return s;
    if (tr.comments)
        warn(tr.firstComment, "comment",
             std::to_wstring(tr.comments) +
                 (tr.comments == 1 ? L" comment (group code 999) is"
                                   : L" comments (group code 999) are") +
                 L" not kept");
    if (tr.textAfterEof)
        warn(tr.textAfterEof, "eof", L"text after the EOF marker is ignored");
    text_ = text;
    const bool recording = db_.isUndoRecording();
    db_.setUndoRecording(false);
    // Without a header (R12 files may have only ENTITIES) the text decides the code page.
    if (tags_.size() < 2 || !tags_[1].is(2, "HEADER")) {
        fileCodePage_ = guessCodePage(text);
        decoder_.setCodePage(fileCodePage_);
    }
    prepareHandles();

    for (std::size_t i = 0; i < tags_.size();) {
        if (!tags_[i].is(0, "SECTION")) {
            ++i;
            continue;
        }
        ++i;
        if (i >= tags_.size() || tags_[i].code != 2)
            continue;
        const std::string_view name = tags_[i].value();
        ++i;
        if (name == "HEADER")
            readHeader(i);
        else if (name == "CLASSES")
            readClasses(i);
        else if (name == "TABLES")
            readTables(i);
        else if (name == "BLOCKS")
            readBlocks(i);
        else if (name == "ENTITIES")
            readEntitySection(i);
        else if (name == "OBJECTS") {
            openBlock_.close();
            readObjects(i);
        }
        // Skip what is left of the section (THUMBNAILIMAGE, ACDSDATA, ...).
        while (i < tags_.size() && !tags_[i].is(0, "ENDSEC"))
            ++i;
    }
    finish();
    // Warnings in the order of their lines (some are found only when the whole file is known).
    std::stable_sort(report_.warnings.begin(), report_.warnings.end(),
                     [](const ReadWarning& a, const ReadWarning& b) { return a.line < b.line; });
    db_.setUndoRecording(recording);
    report_.codePage = decoder_.codePage();
    return Status::ok;
}

void Reader::finish() {
    openBlock_.close();
    // Groups and draw order refer to entities anywhere in the file.
    for (const PendingGroup& g : groups_) {
        db::ObjectPtr<db::Group> group(g.groupId, db::OpenMode::forWrite);
        if (!group)
            continue;
        for (std::uint64_t h : g.members) {
            const db::ObjectId id = idOfHandle(h);
            if (id.isNull())
                continue;
            bool isEntity = false;
            {
                db::ObjectPtr<db::Entity> e(id, db::OpenMode::forRead);
                isEntity = bool(e);
            }
            if (isEntity)
                group->append(id);
        }
    }
    for (const PendingSort& s : sorts_) {
        auto it = blockRecordByHandle_.find(s.block);
        if (it == blockRecordByHandle_.end())
            continue;
        const db::ObjectId blockId = it->second;
        std::vector<db::ObjectId> entities;
        {
            db::ObjectPtr<db::BlockTableRecord> block(blockId, db::OpenMode::forRead);
            if (!block)
                continue;
            entities = block->entityIds();
        }
        std::unordered_map<std::uint64_t, std::uint64_t> sortKey;
        for (const auto& [entity, key] : s.entitySort)
            sortKey[entity] = key;
        std::vector<std::pair<std::uint64_t, db::ObjectId>> keyed;
        keyed.reserve(entities.size());
        for (db::ObjectId id : entities) {
            const std::uint64_t h = id.handle().value();
            auto k = sortKey.find(h);
            keyed.emplace_back(k == sortKey.end() ? h : k->second, id);
        }
        std::stable_sort(keyed.begin(), keyed.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<db::ObjectId> order;
        order.reserve(keyed.size());
        for (const auto& k : keyed)
            order.push_back(k.second);
        bool custom = false;
        for (std::size_t j = 0; j < order.size(); ++j)
            custom = custom || order[j] != entities[j];
        if (!custom)
            continue;
        db::ObjectPtr<db::SortentsTable> table;
        if (ok(db_.getSortentsTable(blockId, db::OpenMode::forWrite, table))) {
            table->setDrawOrder(order);
            const db::ObjectId tableId = table->objectId();
            table.close();
            adoptHandle(tableId, s.handle, 0);
        }
    }
    resolveRawReferences();
    applyHeader();
}

// --- Look-ups by name
// --------------------------------------------------------------------------------

db::ObjectId Reader::layerByName(std::string_view name, std::uint32_t line) {
    if (name.empty())
        return db_.layerZeroId();
    auto it = layers_.find(std::string(name));
    if (it != layers_.end())
        return it->second;
    const std::wstring wname = text(name);
    db::ObjectId id;
    if (!ok(db_.getLayerId(wname, id))) {
        // As the platform does, a layer that an entity names is made when the table lacks it.
        if (!db::isValidSymbolName(wname) || !ok(db_.addLayer(wname, id))) {
            warn(line, "name", L"invalid layer name \"" + wname + L"\"; layer 0 used");
            id = db_.layerZeroId();
        }
    }
    layers_.emplace(std::string(name), id);
    return id;
}

db::ObjectId Reader::linetypeByName(std::string_view name, std::uint32_t line) {
    if (name.empty())
        return db_.byLayerLinetypeId();
    auto it = linetypes_.find(std::string(name));
    if (it != linetypes_.end())
        return it->second;
    db::ObjectId id;
    if (!ok(db_.getLinetypeId(text(name), id))) {
        warn(line, "name", L"unknown linetype \"" + text(name) + L"\"; ByLayer used");
        id = db_.byLayerLinetypeId();
    }
    linetypes_.emplace(std::string(name), id);
    return id;
}

db::ObjectId Reader::styleByName(std::string_view name) {
    auto it = styles_.find(std::string(name));
    if (it != styles_.end())
        return it->second;
    db::ObjectId id;
    if (name.empty() || !ok(db_.getTextStyleId(text(name), id)))
        db_.getTextStyleId(L"Standard", id);
    styles_.emplace(std::string(name), id);
    return id;
}

db::ObjectId Reader::blockByName(std::string_view name, std::uint32_t line) {
    auto it = blocks_.find(std::string(name));
    if (it != blocks_.end())
        return it->second;
    const std::wstring wname = text(name);
    db::ObjectId id;
    if (!ok(db_.getBlockId(wname, id)) && !ok(db_.addBlock(wname, id))) {
        warn(line, "name", L"invalid block name \"" + wname + L"\"");
        return {};
    }
    blocks_.emplace(std::string(name), id);
    return id;
}

// --- Entry points
// -------------------------------------------------------------------------------------

namespace {

bool isNewDatabase(const db::Database& db) {
    static const std::size_t defaults = db::Database().allObjectIds(true).size();
    return db.allObjectIds(true).size() == defaults;
}

} // namespace

Status readDxfText(std::string_view text, db::Database& into, ReadReport& report) {
    report = ReadReport();
    if (!isNewDatabase(into)) {
        report.message = L"the drawing must be read into a new database";
        return Status::invalidInput;
    }
    Reader reader(into, report);
    return reader.run(text);
}

Status readDxf(const std::filesystem::path& path, db::Database& into, ReadReport& report) {
    report = ReadReport();
    // A drawing that would not fit is refused before reading: the system would rather end the
    // whole session (and the drawing open in it) than fail an allocation.
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (!ec && size <= kMaxDrawingBytes)
        if (const auto available = availableMemoryBytes()) {
            const std::wstring why = memoryShortfall(size * kMemoryPerFileByte, *available);
            if (!why.empty()) {
                report.message = settings::toWide(path) + L": too large to open: " + why;
                return Status::fileError;
            }
        }
    std::string data;
    std::wstring why;
    const Status read = settings::readRegularFile(path, data, kMaxDrawingBytes, &why);
    if (!ok(read)) {
        report.message = settings::toWide(path) + L": " + why;
        return read;
    }
    Status s = Status::ok;
    try {
        s = readDxfText(data, into, report);
    } catch (const std::bad_alloc&) {
        report.message = settings::toWide(path) + L": out of memory while reading the drawing";
        return Status::fileError;
    }
    if (ok(s))
        into.setFilePath(settings::toWide(path));
    return s;
}

} // namespace zhost::dxf

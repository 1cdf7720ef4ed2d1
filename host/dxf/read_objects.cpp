// OBJECTS section: the named-objects dictionary, the group dictionary with its groups, other
// dictionaries of dictionaries and groups, and the draw-order tables of blocks.
#include "reader.h"

#include "zhost/core/utf.h"

#include <functional>
#include <unordered_set>

namespace zhost::dxf {

namespace {

// Dictionaries the writer makes afresh from the database (layouts, plot styles).
bool isRegeneratedDictionary(std::wstring_view key) {
    return equalsNoCase(key, L"ACAD_LAYOUT") || equalsNoCase(key, L"ACAD_PLOTSTYLENAME");
}

struct DictEntry {
    std::string_view key;
    std::uint64_t handle;
};

} // namespace

void Reader::readObjects(std::size_t& i) {
    // Index the section's objects by handle.
    std::unordered_map<std::uint64_t, std::size_t> at;
    std::vector<std::size_t> order;
    for (std::size_t k = i; k < tags_.size() && !tags_[k].is(0, "ENDSEC"); k = entityEnd(k)) {
        if (tags_[k].code != 0)
            continue;
        order.push_back(k);
        const std::size_t end = entityEnd(k);
        for (std::size_t j = k + 1; j < end; ++j)
            if (tags_[j].code == 5) {
                at.emplace(tags_[j].handle(), k);
                break;
            }
    }
    std::unordered_set<std::size_t> used;
    // A block's extension dictionary that holds only its draw order, which the writer makes
    // again from the database.
    auto isDrawOrderDictionary = [&](std::size_t k) {
        std::size_t entries = 0, sorts = 0;
        for (std::size_t j = k + 1, end = entityEnd(k); j < end; ++j)
            if (tags_[j].code == 3) {
                ++entries;
                sorts += tags_[j].value() == "ACAD_SORTENTS";
            }
        return entries > 0 && entries == sorts;
    };

    auto entriesOf = [&](std::size_t k, std::span<const Tag>& xdata) {
        std::vector<DictEntry> entries;
        const std::size_t end = entityEnd(k);
        std::string_view key;
        for (std::size_t j = k + 1; j < end; ++j) {
            const Tag& t = tags_[j];
            if (t.code >= 1000) {
                xdata = std::span<const Tag>(tags_.data() + j, end - j);
                break;
            }
            if (t.code == 3)
                key = t.value();
            else if ((t.code == 350 || t.code == 360) && !key.empty())
                entries.push_back({key, t.handle()});
        }
        return entries;
    };
    auto handleOf = [&](std::size_t k) {
        const std::size_t end = entityEnd(k);
        for (std::size_t j = k + 1; j < end; ++j)
            if (tags_[j].code == 5)
                return tags_[j].handle();
        return std::uint64_t(0);
    };

    auto readGroup = [&](std::size_t k, db::ObjectId dictId, std::string_view key) {
        const std::size_t end = entityEnd(k);
        std::wstring description;
        bool selectable = true;
        PendingGroup pending;
        std::span<const Tag> xdata;
        for (std::size_t j = k + 1; j < end; ++j) {
            const Tag& t = tags_[j];
            if (t.code >= 1000) {
                xdata = std::span<const Tag>(tags_.data() + j, end - j);
                break;
            }
            if (t.code == 300)
                description = text(t);
            else if (t.code == 71)
                selectable = t.integer() != 0;
            else if (t.code == 340)
                pending.members.push_back(t.handle());
        }
        auto group = std::make_unique<db::Group>(description, selectable);
        if (!xdata.empty())
            applyXData(*group, xdata, tags_[k].line);
        db::ObjectPtr<db::Dictionary> dict(dictId, db::OpenMode::forWrite);
        if (!dict || !ok(dict->setAt(text(key), std::move(group), pending.groupId))) {
            warn(tags_[k].line, L"group \"" + text(key) + L"\" could not be made");
            return;
        }
        dict.close();
        adoptHandle(pending.groupId, handleOf(k), tags_[k].line);
        groups_.push_back(std::move(pending));
        ++report_.objectsRead;
    };

    // Dictionaries nest; `used` stops a corrupt file whose dictionaries refer in a circle.
    std::function<void(std::size_t, db::ObjectId, bool)> readDictionary =
        [&](std::size_t k, db::ObjectId dictId, bool root) {
            used.insert(k);
            std::span<const Tag> xdata;
            const auto entries = entriesOf(k, xdata);
            if (!xdata.empty()) {
                db::ObjectPtr<db::DbObject> d(dictId, db::OpenMode::forWrite);
                if (d)
                    applyXData(*d, xdata, tags_[k].line);
            }
            for (const DictEntry& e : entries) {
                auto it = at.find(e.handle);
                if (it == at.end() || used.count(it->second))
                    continue;
                const std::size_t ek = it->second;
                const std::string_view kind = tags_[ek].value();
                const std::wstring key = text(e.key);
                if (root && equalsNoCase(key, L"ACAD_GROUP") && kind == "DICTIONARY") {
                    adoptHandle(db_.groupDictionaryId(), e.handle, tags_[ek].line);
                    used.insert(ek);
                    std::span<const Tag> gx;
                    for (const DictEntry& g : entriesOf(ek, gx)) {
                        auto git = at.find(g.handle);
                        if (git != at.end() && tags_[git->second].value() == "GROUP" &&
                            !used.count(git->second)) {
                            used.insert(git->second);
                            readGroup(git->second, db_.groupDictionaryId(), g.key);
                        }
                    }
                    continue;
                }
                if (root && isRegeneratedDictionary(key)) {
                    // The dictionary is made again from the database; the layouts themselves
                    // (names, tab order, plot settings) are kept and written for their blocks.
                    used.insert(ek);
                    skipped(kind, false);
                    std::span<const Tag> rx;
                    for (const DictEntry& r : entriesOf(ek, rx)) {
                        auto rit = at.find(r.handle);
                        if (rit == at.end() || used.count(rit->second))
                            continue;
                        used.insert(rit->second);
                        if (tags_[rit->second].value() == "LAYOUT")
                            keepObject(rit->second, {}, {});
                        else
                            skipped(tags_[rit->second].value(), false);
                    }
                    continue;
                }
                if (kind == "DICTIONARY") {
                    db::ObjectPtr<db::Dictionary> dict(dictId, db::OpenMode::forWrite);
                    db::ObjectId childId;
                    if (!dict || !ok(dict->setAt(key, std::make_unique<db::Dictionary>(), childId)))
                        continue;
                    dict.close();
                    adoptHandle(childId, e.handle, tags_[ek].line);
                    ++report_.objectsRead;
                    readDictionary(ek, childId, false);
                } else if (kind == "GROUP") {
                    used.insert(ek);
                    readGroup(ek, dictId, e.key);
                } else {
                    used.insert(ek);
                    keepObject(ek, dictId, e.key);
                }
            }
        };

    for (std::size_t k : order) {
        if (tags_[k].value() == "DICTIONARY") {
            adoptHandle(db_.namedObjectsDictionaryId(), handleOf(k), tags_[k].line);
            readDictionary(k, db_.namedObjectsDictionaryId(), true);
        }
        break; // the first object is the root dictionary
    }

    for (std::size_t k : order) {
        const std::string_view kind = tags_[k].value();
        if (kind == "SORTENTSTABLE") {
            const std::size_t end = entityEnd(k);
            PendingSort s{handleOf(k), 0, {}};
            bool inTable = false;
            for (std::size_t j = k + 1; j < end; ++j) {
                const Tag& t = tags_[j];
                if (t.is(100, "AcDbSortentsTable"))
                    inTable = true;
                else if (inTable && t.code == 330 && s.block == 0)
                    s.block = t.handle();
                else if (inTable && t.code == 331 && j + 1 < end && tags_[j + 1].code == 5) {
                    s.entitySort.emplace_back(t.handle(), tags_[j + 1].handle());
                    ++j;
                }
            }
            sorts_.push_back(std::move(s));
            ++report_.objectsRead;
        } else if (!used.count(k) && !(kind == "DICTIONARY" && isDrawOrderDictionary(k))) {
            // Extension dictionaries and the objects they hold, objects owned by other kept
            // objects: kept with the owner the file gave them.
            keepObject(k, {}, {});
        }
    }
    while (i < tags_.size() && !tags_[i].is(0, "ENDSEC"))
        ++i;
}

} // namespace zhost::dxf

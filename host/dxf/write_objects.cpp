// OBJECTS: the named-objects dictionary, groups, user dictionaries, the layouts and plot-style
// dictionary that readers of R2000+ expect, and the draw-order tables.
#include "writer.h"

#include <algorithm>

#include "zhost/core/utf.h"

namespace zhost::dxf {

namespace {

std::uint64_t h(db::ObjectId id) {
    return id.handle().value();
}

} // namespace

void Writer::writeDictionary(db::ObjectId dictId, std::uint64_t owner) {
    db::ObjectPtr<db::Dictionary> d(dictId, db::OpenMode::forRead);
    if (!d)
        return;
    const bool root = dictId == db_.namedObjectsDictionaryId();
    std::vector<std::pair<std::wstring, db::ObjectId>> entries;
    for (const auto& [key, id] : d->entries()) {
        db::ObjectPtr<db::DbObject> o(id, db::OpenMode::forRead);
        if (o && (o->type() == db::ObjectType::dictionary || o->type() == db::ObjectType::group ||
                  o->type() == db::ObjectType::rawObject))
            entries.emplace_back(key, id);
    }
    w_.str(0, "DICTIONARY");
    w_.handle(5, h(dictId));
    w_.handle(330, owner);
    w_.str(100, "AcDbDictionary");
    w_.integer(281, 1);
    for (const auto& [key, id] : entries) {
        w_.text(3, key);
        w_.handle(350, h(id));
    }
    if (root) {
        w_.str(3, "ACAD_LAYOUT");
        w_.handle(350, layoutDict_);
        w_.str(3, "ACAD_PLOTSTYLENAME");
        w_.handle(350, plotStyleDict_);
    }
    writeXData(d->xdata());
    d.close();
    for (const auto& [key, id] : entries) {
        if (db::ObjectPtr<db::RawObject> raw(id, db::OpenMode::forRead); raw) {
            writeRawObject(*raw, h(dictId));
            continue;
        }
        db::ObjectPtr<db::Group> g(id, db::OpenMode::forRead);
        if (!g) {
            writeDictionary(id, h(dictId));
            continue;
        }
        w_.str(0, "GROUP");
        w_.handle(5, h(id));
        w_.str(102, "{ACAD_REACTORS");
        w_.handle(330, h(dictId));
        w_.str(102, "}");
        w_.handle(330, h(dictId));
        w_.str(100, "AcDbGroup");
        w_.text(300, g->description());
        w_.integer(70, g->isAnonymous() ? 1 : 0);
        w_.integer(71, g->isSelectable() ? 1 : 0);
        for (db::ObjectId e : g->allEntityIds())
            w_.handle(340, h(e));
        writeXData(g->xdata());
    }
}

void Writer::objects() {
    w_.str(0, "SECTION");
    w_.str(2, "OBJECTS");
    writeDictionary(db_.namedObjectsDictionaryId(), 0);
    keptObjects();

    // Layouts: one per layout block.
    const std::uint64_t root = h(db_.namedObjectsDictionaryId());
    w_.str(0, "DICTIONARY");
    w_.handle(5, layoutDict_);
    w_.handle(330, root);
    w_.str(100, "AcDbDictionary");
    w_.integer(281, 1);
    std::vector<std::pair<std::wstring, std::pair<db::ObjectId, std::uint64_t>>> layouts;
    int paperCount = 0;
    for (const auto& [index, entry] : layoutOf_) {
        const auto [blockId, layout] = entry;
        std::wstring name =
            blockId == db_.modelSpaceId() ? L"Model" : L"Layout" + std::to_wstring(++paperCount);
        // A layout read from the file keeps its name (code 1 of its AcDbLayout part).
        if (auto kept = keptLayoutOf_.find(index); kept != keptLayoutOf_.end()) {
            db::ObjectPtr<db::RawObject> o(kept->second, db::OpenMode::forRead);
            bool inLayout = false;
            for (std::size_t i = 0; o && i < o->record().body.size(); ++i) {
                const db::RawTags& b = o->record().body;
                if (b.code(i) == 100)
                    inLayout = b.value(i) == "AcDbLayout";
                else if (inLayout && b.code(i) == 1)
                    name = fromUtf8(b.value(i));
            }
        }
        layouts.push_back({name, {blockId, layout}});
        w_.text(3, name);
        w_.handle(350, layout);
    }
    int tabOrder = 0;
    for (const auto& [name, ids] : layouts) {
        const bool model = ids.first == db_.modelSpaceId();
        if (auto kept = keptLayoutOf_.find(ids.first.index()); kept != keptLayoutOf_.end()) {
            db::ObjectPtr<db::RawObject> o(kept->second, db::OpenMode::forRead);
            if (o) {
                writeRawObject(*o, layoutDict_);
                continue;
            }
        }
        w_.str(0, "LAYOUT");
        w_.handle(5, ids.second);
        w_.handle(330, layoutDict_);
        w_.str(100, "AcDbPlotSettings");
        w_.str(1, "");
        w_.str(2, "none_device");
        w_.str(4, "");
        w_.str(6, "");
        for (int c = 40; c <= 49; ++c)
            w_.real(c, 0);
        w_.real(140, 0);
        w_.real(141, 0);
        w_.real(142, 1);
        w_.real(143, 1);
        w_.integer(70, model ? 1024 : 0);
        w_.integer(72, 1);
        w_.integer(73, 0);
        w_.integer(74, 5);
        w_.str(7, "");
        w_.integer(75, 16);
        w_.integer(76, 0);
        w_.integer(77, 2);
        w_.integer(78, 300);
        w_.real(147, 1);
        w_.real(148, 0);
        w_.real(149, 0);
        w_.str(100, "AcDbLayout");
        w_.text(1, name);
        w_.integer(70, 1);
        w_.integer(71, model ? 0 : ++tabOrder);
        w_.point2(10, 0, 0);
        w_.point2(11, 420, 297);
        w_.point(12, {});
        w_.point(14, {1e20, 1e20, 1e20});
        w_.point(15, {-1e20, -1e20, -1e20});
        w_.real(146, 0);
        w_.point(13, {});
        w_.point(16, {1, 0, 0});
        w_.point(17, {0, 1, 0});
        w_.integer(76, 1);
        w_.handle(330, h(ids.first));
    }

    // Plot styles: the dictionary with its default "Normal".
    w_.str(0, "ACDBDICTIONARYWDFLT");
    w_.handle(5, plotStyleDict_);
    w_.handle(330, root);
    w_.str(100, "AcDbDictionary");
    w_.integer(281, 1);
    w_.str(3, "Normal");
    w_.handle(350, placeholder_);
    w_.str(100, "AcDbDictionaryWithDefault");
    w_.handle(340, placeholder_);
    w_.str(0, "ACDBPLACEHOLDER");
    w_.handle(5, placeholder_);
    w_.str(102, "{ACAD_REACTORS");
    w_.handle(330, plotStyleDict_);
    w_.str(102, "}");
    w_.handle(330, plotStyleDict_);

    // Draw order: a block's table sits in the block's extension dictionary. Entities are drawn
    // in the order of their sort handles; giving the n-th drawn entity the n-th smallest handle
    // of the block reproduces the order.
    for (const auto& [index, entry] : xdictOf_) {
        const auto [blockId, xdict] = entry;
        db::ObjectPtr<db::BlockTableRecord> block(blockId, db::OpenMode::forRead);
        if (!block)
            continue;
        const db::ObjectId sortId = block->sortentsTableId();
        block.close();
        db::ObjectPtr<db::SortentsTable> sort(sortId, db::OpenMode::forRead);
        if (!sort)
            continue;
        w_.str(0, "DICTIONARY");
        w_.handle(5, xdict);
        w_.handle(330, h(blockId));
        w_.str(100, "AcDbDictionary");
        w_.integer(280, 1);
        w_.integer(281, 1);
        w_.str(3, "ACAD_SORTENTS");
        w_.handle(360, h(sortId));

        const std::vector<db::ObjectId> order = sort->drawOrder();
        std::vector<std::uint64_t> keys;
        keys.reserve(order.size());
        for (db::ObjectId id : order)
            keys.push_back(h(id));
        std::sort(keys.begin(), keys.end());
        w_.str(0, "SORTENTSTABLE");
        w_.handle(5, h(sortId));
        w_.str(102, "{ACAD_REACTORS");
        w_.handle(330, xdict);
        w_.str(102, "}");
        w_.handle(330, xdict);
        w_.str(100, "AcDbSortentsTable");
        w_.handle(330, h(blockId));
        for (std::size_t i = 0; i < order.size(); ++i) {
            w_.handle(331, h(order[i]));
            w_.handle(5, keys[i]);
        }
    }
    w_.str(0, "ENDSEC");
}

} // namespace zhost::dxf

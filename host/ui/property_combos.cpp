// The host's colour, lineweight and linetype combo boxes.
#include "zhost/ui/lists.h"

#include "zhost/core/utf.h"
#include "zhost/db/database.h"
#include "zhost/db/object_ptr.h"
#include "zhost/db/symbol_tables.h"
#include "zhost/editor/session.h"

#include <cstdio>

namespace zhost::ui {
namespace {

constexpr std::uint32_t kComboStyle = cbs::dropDownList;

} // namespace

// --- Colours ------------------------------------------------------------------------------------

ColorComboBox::ColorComboBox(Dialog& parent, int id, std::uint32_t style, Rect rect)
    : ComboBox(parent, id, (style & ~std::uint32_t(cbs::sort)) | kComboStyle, rect,
               ControlKind::colorCombo) {
    fill();
}

void ColorComboBox::fill() {
    resetContent();
    static const struct {
        const wchar_t* name;
        int aci;
    } kNamed[] = {{L"ByLayer", 256}, {L"ByBlock", 0}, {L"Red", 1},
                  {L"Yellow", 2},    {L"Green", 3},   {L"Cyan", 4},
                  {L"Blue", 5},      {L"Magenta", 6}, {L"White", 7}};
    for (const auto& c : kNamed)
        setItemData(addString(c.name), std::uintptr_t(c.aci));
    for (int aci = 8; aci <= 255; ++aci)
        setItemData(addString(L"Color " + std::to_wstring(aci)), std::uintptr_t(aci));
}

int ColorComboBox::currentColorIndex() const {
    return curSel() < 0 ? -1 : int(itemData(curSel()));
}

int ColorComboBox::setCurrentColorIndex(int aci) {
    for (int i = 0; i < count(); ++i)
        if (int(itemData(i)) == aci)
            return setCurSel(i);
    // Not an index the box lists (out of range, or a line the dialog deleted).
    return setCurSel(lbErr);
}

// --- Lineweights --------------------------------------------------------------------------------

LineweightComboBox::LineweightComboBox(Dialog& parent, int id, std::uint32_t style, Rect rect)
    : ComboBox(parent, id, (style & ~std::uint32_t(cbs::sort)) | kComboStyle, rect,
               ControlKind::lineweightCombo) {
    fill();
}

const std::vector<int>& LineweightComboBox::standardLineweights() {
    static const std::vector<int> v = {0,  5,  9,  13, 15, 18,  20,  25,  30,  35,  40,  50,
                                       53, 60, 70, 80, 90, 100, 106, 120, 140, 158, 200, 211};
    return v;
}

void LineweightComboBox::fill() {
    resetContent();
    setItemData(addString(L"ByLayer"), std::uintptr_t(std::intptr_t(-1)));
    setItemData(addString(L"ByBlock"), std::uintptr_t(std::intptr_t(-2)));
    setItemData(addString(L"Default"), std::uintptr_t(std::intptr_t(-3)));
    for (int lw : standardLineweights()) {
        wchar_t buf[32];
        std::swprintf(buf, 32, L"%.2f mm", lw / 100.0);
        setItemData(addString(buf), std::uintptr_t(std::intptr_t(lw)));
    }
}

int LineweightComboBox::currentLineweight() const {
    return curSel() < 0 ? -3 : int(std::intptr_t(itemData(curSel())));
}

int LineweightComboBox::setCurrentLineweight(int lw) {
    for (int i = 0; i < count(); ++i)
        if (int(std::intptr_t(itemData(i))) == lw)
            return setCurSel(i);
    return setCurSel(lbErr);
}

// --- Linetypes ----------------------------------------------------------------------------------

LinetypeComboBox::LinetypeComboBox(Dialog& parent, int id, std::uint32_t style, Rect rect)
    : ComboBox(parent, id, (style & ~std::uint32_t(cbs::sort)) | kComboStyle, rect,
               ControlKind::linetypeCombo) {
    fill();
}

void LinetypeComboBox::fill(db::Database* database) {
    resetContent();
    ids_.clear();
    if (!database)
        database = ed::workingDatabase();
    std::vector<std::pair<std::wstring, db::ObjectId>> byLayerBlock = {{L"ByLayer", {}},
                                                                       {L"ByBlock", {}}};
    std::vector<std::pair<std::wstring, db::ObjectId>> others;
    if (database) {
        db::ObjectPtr<db::LinetypeTable> table(database->linetypeTableId(), db::OpenMode::forRead);
        if (table) {
            for (db::ObjectId rid : table->recordIds()) {
                db::ObjectPtr<db::LinetypeTableRecord> rec(rid, db::OpenMode::forRead);
                if (!rec)
                    continue;
                if (equalsNoCase(rec->name(), L"ByLayer"))
                    byLayerBlock[0].second = rid;
                else if (equalsNoCase(rec->name(), L"ByBlock"))
                    byLayerBlock[1].second = rid;
                else
                    others.emplace_back(rec->name(), rid);
            }
        }
    }
    for (const auto* list : {&byLayerBlock, &others}) {
        for (const auto& [name, rid] : *list) {
            setItemData(addString(name), std::uintptr_t(ids_.size()));
            ids_.push_back(rid);
        }
    }
}

db::ObjectId LinetypeComboBox::linetypeId(int index) const {
    if (index < 0 || index >= count())
        return {};
    const std::uintptr_t k = itemData(index);
    return k < ids_.size() ? ids_[k] : db::ObjectId{};
}

int LinetypeComboBox::setCurrentLinetype(db::ObjectId id) {
    for (int i = 0; i < count(); ++i)
        if (!id.isNull() && linetypeId(i) == id)
            return setCurSel(i);
    return setCurSel(lbErr);
}

} // namespace zhost::ui

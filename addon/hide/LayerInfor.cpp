#include "hide/LayerInfor.h"

#include "zhost/db/database.h"
#include "zhost/db/object_ptr.h"
#include "zhost/db/symbol_tables.h"
#include "zhost/editor/session.h"

#include <cmath>
#include <cwchar>
#include <memory>

namespace db = zhost::db;

namespace {

db::ObjectId LayerTableId() {
    db::Database* d = zhost::ed::workingDatabase();
    return d ? d->layerTableId() : db::ObjectId::null();
}

} // namespace

bool CreateLayer(const CLayerInfor& info) {
    db::ObjectPtr<db::LayerTable> table(LayerTableId(), db::OpenMode::forWrite);
    if (!table || table->has(info.m_name))
        return false;
    auto record = std::make_unique<db::LayerTableRecord>(info.m_name);
    record->setDescription(info.m_description);
    record->setLineWeight(info.m_lineweight);
    if (!info.m_linetype.isNull())
        record->setLinetype(info.m_linetype);
    record->setFrozen(info.m_frozen);
    record->setOff(info.m_off);
    record->setLocked(info.m_locked);
    record->setPlottable(info.m_plottable);
    record->setColorIndex(info.m_colorIndex);
    db::ObjectId id;
    // A refused record is deleted with the refusal (the unique_ptr goes with it).
    return zhost::ok(table->add(std::move(record), id));
}

bool GetLayerNames(std::vector<std::wstring>& names) {
    names.clear();
    db::ObjectPtr<db::LayerTable> table(LayerTableId(), db::OpenMode::forRead);
    if (!table)
        return false;
    for (db::ObjectId id : table->recordIds()) {
        db::ObjectPtr<db::LayerTableRecord> layer(id, db::OpenMode::forRead);
        if (layer && !layer->name().starts_with(L'*'))
            names.push_back(layer->name());
    }
    return true;
}

std::wstring GetLayerName(db::ObjectId layerId) {
    db::ObjectPtr<db::LayerTableRecord> layer(layerId, db::OpenMode::forRead);
    return layer ? layer->name() : std::wstring();
}

bool LayerExists(const std::wstring& name) {
    db::ObjectPtr<db::LayerTable> table(LayerTableId(), db::OpenMode::forRead);
    return table && table->has(name);
}

std::wstring TrimBlanks(const std::wstring& text) {
    const wchar_t* blanks = L" \t\r\n";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::wstring::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::wstring FormatLayerScale(double scale) {
    wchar_t buf[64];
    if (scale == std::floor(scale) && std::fabs(scale) < 2e9)
        std::swprintf(buf, 64, L"%d", int(scale));
    else
        std::swprintf(buf, 64, L"%.1f", scale);
    return buf;
}

bool StepLayerScale(double scale, int delta, double& result) {
    const double next = delta < 0 ? scale + 0.5 : scale - 0.5;
    if (!(next > 0))
        return false;
    result = next;
    return true;
}

std::wstring ScaledLayerName(const std::wstring& name, const std::wstring& scaleText, double scale,
                             bool absolute) {
    const size_t cut = name.find(L"-Scale");
    const std::wstring base = TrimBlanks(cut == std::wstring::npos ? name : name.substr(0, cut));
    if (absolute)
        return base + L"-ScaleA" + scaleText;
    if (scale != 1)
        return base + L"-ScaleR" + scaleText;
    return base;
}

double ParseLayerScale(const std::wstring& text) {
    return std::wcstod(text.c_str(), nullptr);
}

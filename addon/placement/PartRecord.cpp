#include "placement/PartRecord.h"

#include "attributes/AttributeValues.h"

#include "zhost/core/utf.h"
#include "zhost/db/block_reference.h"
#include "zhost/db/database.h"
#include "zhost/db/object_ptr.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace db = zhost::db;

namespace {

// Whether a control's value goes into the record as an integer.
bool IsIntegerKind(ControlKind kind) {
    switch (kind) {
    case ControlKind::Drawing:
    case ControlKind::Radio:
    case ControlKind::Check:
        return true;
    case ControlKind::List:
    case ControlKind::Edit:
    case ControlKind::Quality:
    case ControlKind::Label:
    case ControlKind::Header:
    case ControlKind::ComboList:
        return false;
    }
    return false;
}

// The heading and a bare "Label" section carry no choice; "Label1" and the like do.
bool IsLeftOut(const CParam& param) {
    return zhost::equalsNoCase(param.m_name, L"Header") ||
           zhost::equalsNoCase(param.m_name, L"Label");
}

int ClampToInt16(int value) {
    return std::clamp(value, int(std::numeric_limits<std::int16_t>::min()),
                      int(std::numeric_limits<std::int16_t>::max()));
}

} // namespace

bool RegisterPartApps(db::Database& database) {
    bool ok = true;
    for (const wchar_t* app :
         {kPartRecordApp, kLegacyPartApp, kLegacySymbolApp, kSymbolBlockApp, kCurveInfoApp})
        ok = zhost::ok(database.registerApp(app)) && ok;
    return ok;
}

db::XData MakePartRecord(const PartDescription& desc) {
    db::XData record{db::xApp(kPartRecordApp), db::xString(desc.m_fileName)};
    for (const CParam& param : desc.m_params) {
        if (IsLeftOut(param))
            continue;
        record.push_back(db::xString(param.m_name));
        if (IsIntegerKind(param.m_kind))
            record.push_back(db::xInt16(ClampToInt16(param.GetIntValue())));
        else
            record.push_back(db::xString(param.m_value));
    }
    return record;
}

std::vector<PartRecordEntry> GetPartRecordEntries(const db::XData& record) {
    std::vector<PartRecordEntry> entries;
    // The application name and the file name come first.
    size_t i = 2;
    while (i < record.size()) {
        const db::ResBuf& name = record[i];
        if (name.code != db::xcode::string || i + 1 >= record.size()) {
            ++i;
            continue;
        }
        const db::ResBuf& value = record[i + 1];
        i += 2;
        entries.push_back({name.str(), value.code == db::xcode::string
                                           ? value.str()
                                           : std::to_wstring(std::int16_t(value.integer()))});
    }
    return entries;
}

void ApplyPartRecord(const db::XData& record, PartDescription& desc) {
    for (const PartRecordEntry& entry : GetPartRecordEntries(record)) {
        if (CParam* param = desc.Find(entry.m_name))
            param->m_value = entry.m_value;
    }
}

bool RecordedQualityChanged(const db::XData& record, const PartDescription& desc) {
    const CParam* quality = desc.FindKind(ControlKind::Quality);
    const std::wstring current = quality != nullptr ? quality->m_value : std::wstring();
    bool afterDrawing = false;
    for (const PartRecordEntry& entry : GetPartRecordEntries(record)) {
        if (zhost::equalsNoCase(entry.m_name, L"Drawing"))
            afterDrawing = true;
        else if (afterDrawing && zhost::equalsNoCase(entry.m_name, L"Quality") &&
                 !zhost::equalsNoCase(entry.m_value, current))
            return true;
    }
    return false;
}

bool RecordedQualityChanged(db::ObjectId partId, const PartDescription& desc) {
    db::ObjectPtr<db::BlockReference> ref(partId, db::OpenMode::forRead);
    return ref && RecordedQualityChanged(ref->xdata(kPartRecordApp), desc);
}

std::wstring GetPartRecordFileName(const db::XData& record) {
    if (record.size() < 2 || record[0].code != db::xcode::appName ||
        record[1].code != db::xcode::string)
        return {};
    return record[1].str();
}

bool WritePartRecord(const PartDescription& desc, db::BlockReference& ref) {
    db::Database* database = ref.database();
    if (database == nullptr || !zhost::ok(database->registerApp(kPartRecordApp)))
        return false;
    return zhost::ok(ref.setXData(MakePartRecord(desc)));
}

bool ReadBackPart(PartDescription& desc, db::ObjectId partId) {
    db::ObjectPtr<db::BlockReference> ref(partId, db::OpenMode::forRead);
    if (!ref)
        return false;
    ReadAttributeValues(desc.m_atrList, *ref);
    const db::XData record = ref->xdata(kPartRecordApp);
    if (record.empty())
        return false;
    ApplyPartRecord(record, desc);
    return true;
}

#include "attributes/PartAttributes.h"

#include "frame/SettingsLib.h"

#include "zhost/core/utf.h"

namespace {

// Tags of the earlier symbol library ran ATT_TAG_1 to ATT_TAG_20 along the same rows; it had no
// part number and no maker, so rows 5 and 11 have no legacy tag.
constexpr AtrTableRow kBuiltinRows[] = {
    {L"ATT_TAG_1", L"NAME", L"部品名"},
    {L"ATT_TAG_2", L"NAME1", L"部品名1"},
    {L"ATT_TAG_3", L"DEVICE", L"標準部品名"},
    {L"ATT_TAG_4", L"DEVICE1", L"標準部品名1"},
    {nullptr, L"PARTS_NO", L"部品番号"},
    {L"ATT_TAG_6", L"BOMCOUNT", L"数量"},
    {L"ATT_TAG_7", L"MATERIAL", L"材質"},
    {L"ATT_TAG_8", L"PRICE", L"価格"},
    {L"ATT_TAG_9", L"WEIGHT", L"重量"},
    {L"ATT_TAG_10", L"PROCESS", L"工程"},
    {nullptr, L"MAKER", L"メーカー"},
    {L"ATT_TAG_12", L"ITEM1", L"備考1"},
    {L"ATT_TAG_13", L"ITEM2", L"備考2"},
    {L"ATT_TAG_14", L"ITEM3", L"備考3"},
    {L"ATT_TAG_15", L"ITEM4", L"備考4"},
    {L"ATT_TAG_16", L"ITEM5", L"備考5"},
    {L"ATT_TAG_17", L"ITEM6", L"備考6"},
    {L"ATT_TAG_18", L"ITEM7", L"備考7"},
    {L"ATT_TAG_19", L"ITEM8", L"備考8"},
    {L"ATT_TAG_20", L"ITEM9", L"備考9"},
    {nullptr, nullptr, nullptr},
};

} // namespace

const AtrTableRow* BuiltinAtrTable() {
    return kBuiltinRows;
}

CAtrArray MakeBuiltinAtrList() {
    CAtrArray items;
    const AtrTableRow* rows = BuiltinAtrTable();
    for (int i = 0; i < kAtrTableMaxRows && rows[i].m_tag != nullptr; ++i)
        items.push_back({rows[i].m_tag, rows[i].m_prompt ? rows[i].m_prompt : L"", L""});
    return items;
}

void LoadAtrList(CAtrArray& items) {
    items.clear();
    CProductIni ini(kAtrPromptFile);
    if (ini.IsOpen() && ini.SelectSection(kAtrPromptSection)) {
        const int count = ini.GetKeyCount();
        for (int i = 0; i < count; ++i) {
            std::wstring key;
            std::wstring value;
            if (ini.GetKeyAt(i, key, value) && !key.empty())
                items.push_back({key, value, L""});
        }
    }
    if (items.empty())
        items = MakeBuiltinAtrList();
}

int FindLegacyAtrRow(const std::wstring& tag) {
    const AtrTableRow* rows = BuiltinAtrTable();
    for (int i = 0; i < kAtrTableMaxRows && rows[i].m_tag != nullptr; ++i) {
        if (rows[i].m_legacyTag != nullptr && zhost::equalsNoCase(tag, rows[i].m_legacyTag))
            return i;
    }
    return -1;
}

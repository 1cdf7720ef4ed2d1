#pragma once
// The identity data of placed parts. Every part this system places is a block reference that
// carries the part record of "ZORMA_PARTS_CONTENTS":
//
//     1001 "ZORMA_PARTS_CONTENTS"
//     1000 the description file name (the part's file base name)
//     then per control of the description, in order, except the sections "Header" and "Label":
//     1000 the section name
//     1000 the value text            (List, Edit, Quality, Label, Header, ComboList)
//     1070 the value as an integer   (Drawing, Radio, Check)
//
// so that the part can be edited, hidden and restored later with the choices the user made.
// Parts of the earlier symbol library carry "MRCD_PART" (and "MRCD_SYMBOL") on the reference
// and a symbol code in the "SymbolBlock" data of their block definition (see PartRecognition.h).
#include "selection/PartDescription.h"

#include "zhost/db/object_id.h"
#include "zhost/db/xdata.h"

#include <string>
#include <vector>

namespace zhost::db {
class BlockReference;
class Database;
} // namespace zhost::db

// Registered applications of identity data.
inline constexpr const wchar_t* kPartRecordApp = L"ZORMA_PARTS_CONTENTS";
inline constexpr const wchar_t* kLegacyPartApp = L"MRCD_PART";
inline constexpr const wchar_t* kLegacySymbolApp = L"MRCD_SYMBOL";
inline constexpr const wchar_t* kSymbolBlockApp = L"SymbolBlock";
// The mark of the curves of a part's static block (one 1000 string kCurveInfoHiddenBolt).
inline constexpr const wchar_t* kCurveInfoApp = L"ZORMA_CURVE_INFO";
inline constexpr const wchar_t* kCurveInfoHiddenBolt = L"HiddenBolt";

// Registers the applications above in a drawing (each only once). False when one cannot be.
bool RegisterPartApps(zhost::db::Database& db);

// The part record of a description as a chain. Integer values are read as the platform reads a
// number and held to the 16-bit range, so an oversized value keeps its sign and stays the
// nearest value a 1070 item can carry rather than wrapping round.
zhost::db::XData MakePartRecord(const PartDescription& desc);

// One control's entry in a record: its name and its value as text.
struct PartRecordEntry {
    std::wstring m_name;
    std::wstring m_value;
};

// The entries of a record as reading back sees them: after the application name and the file
// name, every 1000 item names a control and the item after it is its value (1000 as text, any
// other kind as its 16-bit integer in decimal). Items out of place are skipped up to the next
// 1000 item; a name without a value after it is dropped. A damaged chain never reads past its
// end.
std::vector<PartRecordEntry> GetPartRecordEntries(const zhost::db::XData& record);

// Puts the values of a part record's entries into the description's controls (the first of
// each section name, without case); names that match no control are ignored.
void ApplyPartRecord(const zhost::db::XData& record, PartDescription& desc);

// The description file name a record names (its second item, a 1000 string); empty when the
// record has none.
std::wstring GetPartRecordFileName(const zhost::db::XData& record);

// Whether the material was changed since the part was placed: the record has a "Drawing"
// entry followed later by a "Quality" entry whose value differs (without case) from the current
// value of the description's first Quality control (empty without one). The edit of a part
// then fills MATERIAL anew instead of keeping the value read back.
bool RecordedQualityChanged(const zhost::db::XData& record, const PartDescription& desc);
bool RecordedQualityChanged(zhost::db::ObjectId partId, const PartDescription& desc);

// Writes the part record onto a reference opened for writing, replacing an earlier one; the
// application is registered first. The result is that of the set-extended-data call.
bool WritePartRecord(const PartDescription& desc, zhost::db::BlockReference& ref);

// Reads a placed part back into its description: the attribute values into the description's
// attribute items, then the record's values into its controls. False when the id is no block
// reference or it carries no part record (the attribute values are read all the same).
bool ReadBackPart(PartDescription& desc, zhost::db::ObjectId partId);

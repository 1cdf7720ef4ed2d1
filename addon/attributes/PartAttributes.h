#pragma once
// The bill-of-materials attributes of placed parts: the attribute items (tag, prompt, value),
// their built-in table with the tags of the earlier symbol library, and the item list a part
// placement works with, loaded from "PartsAttPrompt.ini" of the product's configuration folder.
#include "attributes/Atr.h"

// One row of the built-in table. Rows without a legacy tag were not in the earlier library.
struct AtrTableRow {
    const wchar_t* m_legacyTag; // null when none
    const wchar_t* m_tag;       // null only in the closing row
    const wchar_t* m_prompt;
};

// The built-in table: twenty rows and a closing all-empty row. Readers stop at the first row
// without a tag and never read more than kAtrTableMaxRows rows.
const AtrTableRow* BuiltinAtrTable();
inline constexpr int kAtrTableMaxRows = 99;

// The identification definition every part block gets first: constant, so that a parts list
// can tell part references from other blocks.
inline constexpr const wchar_t* kIdentTag = L"IDENT";
inline constexpr const wchar_t* kIdentPrompt = L"識別";
inline constexpr const wchar_t* kIdentValue = L"EQ";

inline constexpr const wchar_t* kAtrPromptFile = L"PartsAttPrompt.ini";
inline constexpr const wchar_t* kAtrPromptSection = L"PROMPT";

// The built-in table as an item list (values empty).
CAtrArray MakeBuiltinAtrList();

// Loads the item list: the keys of section "PROMPT" of "PartsAttPrompt.ini" in the
// configuration folder, in file order (tag = key, prompt = value, value empty). A missing
// product, folder, file or section, or a section without keys, gives the built-in table.
void LoadAtrList(CAtrArray& items);

// The row number (0-based) of a legacy tag in the built-in table, compared without case; -1 when
// it is none of them.
int FindLegacyAtrRow(const std::wstring& tag);

#pragma once
// The dialog description of one part: which choices the user makes for it (drawing variant,
// sizes, options, material), read from the part's ini file in the library's Dlg folder. The
// part-contents command owns it, the condition dialog fills in the chosen values, and placement,
// identity data and attributes read them afterwards. Nothing here depends on a dialog.
#include "attributes/Atr.h"
#include "library/LayerSettings.h"

#include <string>
#include <vector>

// The kind of one control; the numbers are stored with placed parts, so they never change.
enum class ControlKind : int {
    Drawing = 0,   // picture buttons choosing the drawing variant
    List = 1,      // a list box beside the grid
    Radio = 2,     // options in the grid
    Check = 3,     // a check box in the grid
    Edit = 4,      // a text cell in the grid
    Quality = 5,   // material and strength class, two drop-downs
    Label = 6,     // no control of its own; carries a value for placement
    Header = 7,    // the heading line
    ComboList = 8, // a drop-down in the grid
};

// The kind a control section of this name describes, or false when the section is no control
// ("General", the rule sections and unknown names). "Drawing", "Header" and "Quality" are taken
// whole; other kinds are named by the section name without its last character (List1, Radio2,
// ComboList1), so "List10" is no List. Names are trimmed and compared without case.
bool ControlKindFromSectionName(const std::wstring& sectionName, ControlKind& kind);

// One control of the description, in file order.
class CParam {
public:
    ControlKind m_kind = ControlKind::Label; // Label until the section name is known
    std::wstring m_name;                     // the section name: the control's identifier in rules
    std::wstring m_selection;                // "selection": comma-separated option captions
    std::wstring m_baseName;                 // "base_name": prefix of the picture buttons' drawings
    std::wstring m_paramName;         // "paramName": the block parameter that receives the value
    std::wstring m_symbol;            // "symbol": comma-separated symbol suffixes
    std::wstring m_control;           // "control": what a list fills or is filled by
    std::wstring m_caption;           // "caption"
    std::wstring m_enabled;           // "enabled", or "disabled" stored inverted
    std::wstring m_data;              // "data" / "material": data file name or list-fill rule
    std::wstring m_value;             // "default", then the stored or chosen value
    int m_width = 0;                  // "width" (not used by the dialogs)
    std::wstring m_strength;          // "strength" (not used by the dialogs)
    std::vector<std::wstring> m_list; // data lines of a List or Quality, filled by the dialog
    bool m_enabledAtOk = true;        // set by the dialog's OK

    bool Is(ControlKind kind) const { return m_kind == kind; }
    // The current value read as an integer the way the platform reads one (0 without digits).
    int GetIntValue() const;
};

class PartDescription {
public:
    PartDescription() = default;

    // The parts-library root (the product's parts-data root); "PartsContents\" is appended, so
    // that the library's folders are m_root + "Dlg\", "Symbols\", "Thumbs\" and "Data\".
    void SetLibraryRoot(const std::wstring& partsDataRoot);
    const std::wstring& GetRoot() const { return m_root; }
    std::wstring GetDlgFolder() const { return m_root + L"Dlg\\"; }
    std::wstring GetSymbolsFolder() const { return m_root + L"Symbols\\"; }
    std::wstring GetThumbsFolder() const { return m_root + L"Thumbs\\"; }
    std::wstring GetDataFolder() const { return m_root + L"Data\\"; }

    // The description file of a part: the Dlg folder and the name, ".ini" appended unless the
    // name already ends in it (without case).
    std::wstring GetDescriptionPath(const std::wstring& fileName) const;

    // Loads the description of the part named fileName (its file base name). The control list
    // and the rule lists are cleared first. Returns the number of controls, or -1 when the file
    // does not exist. The layer settings, the drawing number and the symbol block name are left
    // as they are: the command sets them around the load.
    int Load(const std::wstring& fileName);

    // The first control of this section name (without case), or null.
    CParam* Find(const std::wstring& sectionName);
    const CParam* Find(const std::wstring& sectionName) const;
    // The first control of this kind, or null.
    const CParam* FindKind(ControlKind kind) const;
    int GetCount() const { return static_cast<int>(m_params.size()); }

    const std::wstring& GetOutlineLayer() const { return m_layers.Get(kLayerOutline).m_layer; }
    const std::wstring& GetProjectionLength() const { return m_layers.m_projectionLength; }

    std::wstring m_root;            // parts-library root with "PartsContents\" appended
    std::wstring m_fileName;        // the description file name as given to Load
    std::wstring m_symbolBlockName; // set by the condition dialog's OK
    int m_drawingNumber = 1;        // 1 before loading; set by the condition dialog's OK
    std::vector<CParam> m_params;
    std::vector<std::wstring> m_disabled; // global disabling conditions ("disabled")
    std::vector<std::wstring> m_enabled;  // global enabling conditions ("enabled")
    std::vector<std::wstring> m_error;    // validation rules ("error")
    CLayerSettings m_layers;              // layer settings of the product, read by the command
    // The part's attribute items: loaded once per placement run, read back from a placed part
    // when it is edited, filled with defaults and written onto each placed reference.
    CAtrArray m_atrList;
};

// The buffers the description is read through: section names, a section's body and one value
// each hold this many characters with their terminators.
inline constexpr size_t kDescriptionBufferChars = 1024;
// The rule sections are read from key "0" up to the first missing or empty value, at most this
// many entries.
inline constexpr int kMaxRuleEntries = 999;

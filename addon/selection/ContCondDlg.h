#pragma once
// CContCondDlg: the condition dialog (220). A part's description lays it out: up to six
// picture buttons for the drawing variant, up to three list boxes and one grid holding a row
// (or two) per remaining control. The description's data and rules drive it: lists fill from
// tables and from other controls' choices, values are looked up by nominal size, controls are
// enabled and disabled by conditions, the pictures follow the choices, and OK is refused while
// a validation rule fails. On OK every control's value goes back into the description.
//
// The work is split by job: ContCondDlg.cpp (life, messages, keys, what rules read),
// ContCondLayout.cpp (building and arranging), ContCondLists.cpp (list and drop-down fills and
// their drivers), ContCondEnable.cpp (enabling rules and the pictures), ContCondResults.cpp
// (control values, validation, results on OK).
#include "controls/BtnArw.h"
#include "selection/CondRules.h"
#include "selection/PartDescription.h"
#include "selection/SpreadSheet.h"

#include "zhost/ui/dialog.h"
#include "zhost/ui/lists.h"

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

// The timer that ends the initial-fill period, and the message a refilled list box posts to
// itself (wParam: its id) so that its own selection handling runs.
inline constexpr unsigned kCondTimerId = 1678;
inline constexpr unsigned kCondListSelectMessage = 1678;
inline constexpr unsigned kCondInitialFillMs = 500;
// Grid rows the controls may use; controls beyond are not shown.
inline constexpr int kCondMaxRows = 95;
inline constexpr int kCondPictureButtons = 6;
inline constexpr int kCondListBoxes = 3;
// The grid's columns: a control's caption, then its value (a second radio option in the next).
inline constexpr int kCondCaptionCol = 1;
inline constexpr int kCondValueCol = 2;
// Captions of disabled rows are grey.
inline constexpr zhost::ui::Color kCondGrey = zhost::ui::rgb(128, 128, 128);
inline constexpr zhost::ui::Color kCondBlack = zhost::ui::rgb(0, 0, 0);
// The group number of a radio whose options stand side by side in one row.
inline constexpr int kCondSingleRowGroup = 99;

class CContCondDlg : public zhost::ui::Dialog, public CCondContext {
public:
    // isEdit: a placed part is edited (stored values are not taken); drawingNumber: the part's
    // drawing number, -1 when none.
    CContCondDlg(bool isEdit, int drawingNumber, const std::wstring& displayName,
                 PartDescription& desc, zhost::ui::Dialog* pParent = nullptr);
    ~CContCondDlg() override;

    bool onInitDialog() override;
    void onOk() override;
    void onDestroy() override;
    void onTimer(unsigned id) override;
    bool preTranslateKey(int key, zhost::ui::KeyState state) override;

    // --- What the rules read (CCondContext) ---------------------------------------------------
    bool GetControlValue(const std::wstring& name, std::wstring& value,
                         bool& enabled) const override;
    std::wstring GetFirstListLine() const override;
    bool ReadTable(const std::wstring& name, std::vector<std::wstring>& lines) const override;

    // The value a control yields and its enabled flag; false when it yields none (Label,
    // Header, a list without a selected line, a radio without a checked option).
    bool YieldValue(int index, std::wstring& value, bool& enabled) const;

    CSpreadSheet& GetSheet() { return m_sheet; }
    int GetFirstRow(int index) const;
    bool IsInitialFill() const { return m_initialFill; }

private:
    // One grid row: the control it belongs to and its group (vertical radios and the single-row
    // radios' 99), as the row's user data holds them.
    struct CRow {
        int m_param = -1;
        int m_group = 0;
    };
    struct CParamLayout {
        int m_firstRow = 0; // 0: no row
        int m_rows = 0;
        int m_options = 0;  // radio options
        int m_listBox = -1; // 0..2 for a List shown in a list box
    };

    // --- ContCondDlg.cpp -------------------------------------------------------------------------
    void SetTitleText();
    void RestorePosition();
    void FocusFirstControl();
    void OnGridClickCommand();
    std::intptr_t OnGridTextChanged(std::intptr_t lParam);
    std::intptr_t OnGridComboChanged(std::intptr_t lParam);
    std::intptr_t OnGridCellQuery(std::intptr_t lParam) const;
    bool OnGridTab(bool backward);
    void OnPictureClicked(int button);
    std::wstring StoreSection() const;
    bool ReadData(const std::wstring& data, std::vector<std::wstring>& lines) const;
    CParam& Param(int index) { return m_desc.m_params[static_cast<size_t>(index)]; }
    const CParam& Param(int index) const { return m_desc.m_params[static_cast<size_t>(index)]; }
    int FindParam(const std::wstring& name) const;
    // The value a control starts with: the one remembered per user, else the description's.
    const std::wstring& InitialValue(int index) const;
    CRow RowInfo(int row) const;

    // --- ContCondLayout.cpp ----------------------------------------------------------------------
    void SetUpGrid();
    void LoadStoredValues();
    void BuildControls();
    void BuildDrawing(int index);
    void BuildList(int index);
    int BuildRadio(int index, int row, int& group);
    int BuildCheck(int index, int row);
    int BuildEdit(int index, int row);
    int BuildQuality(int index, int row);
    int BuildComboList(int index, int row);
    void SetCaptionCell(int row, const std::wstring& caption);
    void SetPictureCell(int col, int row, bool radio, bool checked, const std::wstring& tag);
    void SetDropDownCell(int row, const std::vector<std::wstring>& items,
                         const std::wstring& select);
    void FinishGrid(int columns);
    void Arrange();

    // --- ContCondLists.cpp -----------------------------------------------------------------------
    void FillList(int index, const std::vector<std::wstring>& lines, int column, bool readPair);
    void FillListFromData(int index, const std::wstring& data, int column, bool readPair);
    void SelectListValue(int index, const std::wstring& value);
    void OnListSelect(int listId);
    void DriveTarget(int index, const std::wstring& line);
    void LookUpIntoTarget(const std::vector<std::wstring>& parts);
    void RefillTarget(const std::wstring& target, const std::wstring& line);
    void OnRadioChanged(int index);
    void RefillStrengthRow(int materialRow, bool keepValue);
    // New items for the drop-down of a row's value cell, `select` chosen (none when out of
    // range: the cell is emptied).
    void ReplaceDropDownItems(int row, const std::vector<std::wstring>& items, int select);
    void PostListSelect(int listBox);
    zhost::ui::ListBox* ListBoxOf(int index) const;

    // --- ContCondEnable.cpp ----------------------------------------------------------------------
    void ApplyControlRule(int index);
    void ApplyListRule(int index);
    void ApplyGlobalRules();
    void ApplyTargets(const std::vector<CRuleTarget>& targets, bool enable,
                      const std::wstring& ruleText);
    void EnableControl(int index, bool enable);
    void EnableRadioOption(int index, int option, bool enable);
    void EnableRow(int row, bool enable, bool greyLockedText);
    void RepairRadios(const std::wstring& ruleText);
    int ControlState(int index) const;
    int CheckedOption(int index) const;
    void OptionCell(int index, int option, int& col, int& row) const;
    void RefreshPictures();
    void FollowPictureDriver(int index);
    std::wstring FindPicture(const std::wstring& baseName, const std::wstring& name) const;

    // --- ContCondResults.cpp ---------------------------------------------------------------------
    bool ValidateOnOk();
    void TakeResults();
    std::wstring SymbolBlockName() const;

    PartDescription& m_desc;
    bool m_isEdit;
    int m_drawingNumber;
    std::wstring m_displayName;
    CSpreadSheet m_sheet;
    std::array<CBtnArw, kCondPictureButtons> m_buttons;
    int m_buttonCount = 0;
    int m_selectedButton = -1;
    std::array<int, kCondListBoxes> m_listParam{-1, -1, -1};
    std::vector<CParamLayout> m_layout;
    std::vector<std::wstring> m_stored;      // values remembered per user, by control (new parts)
    std::vector<std::wstring> m_listDrivers; // upper-cased names that fill lists
    std::vector<int> m_pictureDrivers;       // controls a Drawing's data names as drivers
    int m_rowsUsed = 0;
    bool m_initialising = true;
    bool m_initialFill = true;
    int m_listSelectDepth = 0; // nested list handling: refills can post more
    int m_repairDepth = 0;     // nested radio repairs: rules of radios can name each other
    mutable std::map<std::wstring, std::vector<std::wstring>> m_tables; // by upper-cased name
};

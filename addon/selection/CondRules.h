#pragma once
// The small languages a part's description speaks besides its keys: conditions ("List1>10 &
// Radio1=0"), the global and per-control enabling rules, and the look-up of a table row by
// nominal size. They are pure functions over a CCondContext, so the condition dialog, the
// validation on OK and the tests all read the same rules the same way.
#include <string>
#include <vector>

// What the rules read from the dialog: control values, the first list box and the data tables.
class CCondContext {
public:
    virtual ~CCondContext() = default;
    // The value a control yields (see CContCondDlg::GetControlValue) and whether it is enabled.
    // False when the description has no control of that section name; a control that yields no
    // value answers true with an empty value.
    virtual bool GetControlValue(const std::wstring& name, std::wstring& value,
                                 bool& enabled) const = 0;
    // The selected line of the first list box (1021); empty when nothing is selected.
    virtual std::wstring GetFirstListLine() const = 0;
    // The lines of a table of the Data folder (trimmed, empty lines dropped); false when the
    // file cannot be read.
    virtual bool ReadTable(const std::wstring& name, std::vector<std::wstring>& lines) const = 0;
};

// --- Text of the description ---------------------------------------------------------------------

// Upper case of a name as rules compare names (trimmed).
std::wstring UpperText(const std::wstring& text);
bool StartsWithNoCase(const std::wstring& text, const wchar_t* prefix);
bool EndsWithNoCase(const std::wstring& text, const wchar_t* suffix);

// --- Numbers ------------------------------------------------------------------------------------

// A value as the conditions compare it: a leading "M" (either case) removed, then the leading
// decimal number; text that does not begin with a number reads as 0.
double ConditionNumber(const std::wstring& text);

// The leading number of a text as an integer (truncated), or `fallback` when the text does not
// begin with a number or the number lies outside the range of int: a radio index, an option or
// a drawing number written "2e120" in a description must not become an arbitrary integer.
int ToIndex(const std::wstring& text, int fallback);

// --- Conditions ---------------------------------------------------------------------------------

// The comparison operators, found in a term by trying "<=", "<", ">=", ">", "=" in this order.
enum class CondOp { None, LessEqual, Less, GreaterEqual, Greater, Equal };

// Splits a term at its operator. False (op None) when it has none; sides are trimmed.
bool SplitTerm(const std::wstring& term, std::wstring& left, CondOp& op, std::wstring& right);

// Evaluates a condition: "true"/"1" and "false"/"0" (without case), or terms separated by "&"
// (each must hold) and "|" (at least one of these and the last term must hold). A term's left
// side names a control (empty or "List..." means the first list box's line), its right side is
// literal. A term without an operator is ignored.
bool EvaluateCondition(const std::wstring& condition, const CCondContext& context);

// --- Enabling rules -----------------------------------------------------------------------------

// One target of a rule: a control's section name, and the radio options it addresses (empty
// for the whole control).
struct CRuleTarget {
    std::wstring m_name;
    std::vector<int> m_options;
};

// One item of a global rule: a condition and the targets it disables or enables.
struct CRuleItem {
    std::wstring m_condition;
    std::vector<CRuleTarget> m_targets;
};

// Parses the targets "Edit1,Radio1:1,2,Check3": a name written name:k addresses option k of a
// radio, and the comma items of at most two characters that follow it are further options.
std::vector<CRuleTarget> ParseRuleTargets(const std::wstring& text);

// Parses one entry of the "disabled" or "enabled" section: blank-separated items
// condition:targets. Items without ":" are skipped.
std::vector<CRuleItem> ParseGlobalRule(const std::wstring& entry);

// The outcome of a per-control rule for one state: what to disable first and then enable.
struct CEnableSets {
    std::vector<CRuleTarget> m_disable;
    std::vector<CRuleTarget> m_enable;
};

// Evaluates a per-control rule "digit:names digit:names ..." for a control's state number: the
// names of an entry whose digit equals the state go to the enable set, the others to the disable
// set (names upper-cased, each once per set).
CEnableSets EvaluateControlRule(const std::wstring& rule, int state);

// --- Table look-up by nominal size -------------------------------------------------------------

// The nominal value as tables are searched for it: blanks and capital "M" removed, cut before
// the first lower-case "x" ("M10x1.25" becomes "10").
std::wstring NormaliseNominal(const std::wstring& value);

// The tab fields of the first line after the heading whose first field, with blanks and capital
// "M" removed, equals the normalised value without case. False when there is none.
bool FindTableRow(const std::vector<std::wstring>& lines, const std::wstring& nominalValue,
                  std::vector<std::wstring>& fields);

// The row of `table` for the value of the control `nominalControl`; false when the control, the
// table or the row is missing.
bool LookUpRow(const CCondContext& context, const std::wstring& nominalControl,
               const std::wstring& table, std::vector<std::wstring>& fields);

// Replaces the first "%s" of a message taken from data by `text`; a message without one is
// returned as it is. Nothing else in the message is read as a format.
std::wstring ReplaceFirstPercentS(const std::wstring& message, const std::wstring& text);

#include "selection/PartDescription.h"

#include "library/LibraryFiles.h"
#include "library/LibraryText.h"

#include "zhost/core/utf.h"
#include "zhost/settings/inifile.h"
#include "zhost/settings/privateprofile.h"

namespace zs = zhost::settings;

namespace {

bool IsRuleSection(const std::wstring& name) {
    return zhost::equalsNoCase(name, L"error") || zhost::equalsNoCase(name, L"disabled") ||
           zhost::equalsNoCase(name, L"enabled");
}

// Reads "0", "1", ... of a rule section up to the first missing or empty value.
void ReadRuleSection(const wchar_t* section, const std::wstring& file,
                     std::vector<std::wstring>& rules) {
    rules.clear();
    std::wstring value;
    for (int i = 0; i < kMaxRuleEntries; ++i) {
        zs::getPrivateProfileString(section, std::to_wstring(i), L"", value,
                                    kDescriptionBufferChars, file);
        if (value.empty())
            break;
        rules.push_back(value);
    }
}

// "disabled" is the enabling rule written the other way round: n:rest enables rest when the
// state is 0 exactly when n is 1 or more, so it is kept as the enabling rule it stands for.
std::wstring InvertDisabledRule(const std::wstring& value) {
    const size_t colon = value.find(L':');
    if (colon == std::wstring::npos)
        return value;
    int n = 0;
    zs::parseProfileInt(std::wstring_view(value).substr(0, colon), n);
    return (n < 1 ? L"1" : L"0") + value.substr(colon);
}

// The field a key of a control section fills; false for keys the description does not know.
bool SetField(CParam& param, const std::wstring& key, const std::wstring& value,
              const std::wstring& fileName) {
    auto is = [&key](const wchar_t* name) { return zhost::equalsNoCase(key, name); };
    if (is(L"selection"))
        param.m_selection = value;
    else if (is(L"base_name"))
        param.m_baseName = value.empty() ? fileName + L"_" : value;
    else if (is(L"paramName"))
        param.m_paramName = value;
    else if (is(L"symbol"))
        param.m_symbol = value;
    else if (is(L"control"))
        param.m_control = value;
    else if (is(L"caption"))
        param.m_caption = value;
    else if (is(L"enabled"))
        param.m_enabled = value;
    else if (is(L"disabled"))
        param.m_enabled = InvertDisabledRule(value);
    else if (is(L"data") || is(L"material"))
        param.m_data = value.empty() ? fileName + L"_Yobi.dat" : value;
    else if (is(L"default"))
        param.m_value = value;
    else if (is(L"width")) {
        param.m_width = 0;
        zs::parseProfileInt(value, param.m_width);
    } else if (is(L"strength"))
        param.m_strength = value;
    else
        return false;
    return true;
}

void SetKindDefaults(CParam& param) {
    const bool pictureOrList = param.Is(ControlKind::Drawing) || param.Is(ControlKind::List);
    param.m_data = pictureOrList ? L"*" : L"";
    param.m_value = param.Is(ControlKind::Drawing) ? L"1" : L"";
}

// One control from its section's "key=value" lines; a later key overwrites an earlier one.
CParam ReadControl(const std::wstring& section, ControlKind kind, const std::wstring& file,
                   const std::wstring& fileName) {
    CParam param;
    param.m_name = section;
    param.m_kind = kind;
    SetKindDefaults(param);
    for (const std::wstring& line :
         zs::getPrivateProfileSection(section, kDescriptionBufferChars, file)) {
        const size_t eq = line.find(L'=');
        if (eq == std::wstring::npos)
            continue;
        std::wstring key = line.substr(0, eq);
        std::wstring value = line.substr(eq + 1);
        Trim(key);
        Trim(value);
        SetField(param, key, value, fileName);
    }
    return param;
}

bool EndsWithIni(const std::wstring& name) {
    return name.size() >= 4 &&
           zhost::equalsNoCase(std::wstring_view(name).substr(name.size() - 4), L".ini");
}

} // namespace

bool ControlKindFromSectionName(const std::wstring& sectionName, ControlKind& kind) {
    std::wstring name = sectionName;
    Trim(name);
    struct Whole {
        const wchar_t* name;
        ControlKind kind;
    };
    static constexpr Whole kWhole[] = {{L"Drawing", ControlKind::Drawing},
                                       {L"Header", ControlKind::Header},
                                       {L"Quality", ControlKind::Quality}};
    for (const Whole& w : kWhole) {
        if (zhost::equalsNoCase(name, w.name)) {
            kind = w.kind;
            return true;
        }
    }
    if (name.empty())
        return false;
    // The last character is as a rule the control's number; it plays no part in the kind.
    const std::wstring_view stem = std::wstring_view(name).substr(0, name.size() - 1);
    static constexpr Whole kStems[] = {
        {L"List", ControlKind::List},   {L"Radio", ControlKind::Radio},
        {L"Check", ControlKind::Check}, {L"Edit", ControlKind::Edit},
        {L"Label", ControlKind::Label}, {L"ComboList", ControlKind::ComboList}};
    for (const Whole& w : kStems) {
        if (zhost::equalsNoCase(stem, w.name)) {
            kind = w.kind;
            return true;
        }
    }
    return false;
}

int CParam::GetIntValue() const {
    int value = 0;
    zs::parseProfileInt(m_value, value);
    return value;
}

void PartDescription::SetLibraryRoot(const std::wstring& partsDataRoot) {
    m_root = partsDataRoot;
    if (!m_root.empty() && m_root.back() != L'\\' && m_root.back() != L'/')
        m_root += L'\\';
    m_root += L"PartsContents\\";
}

std::wstring PartDescription::GetDescriptionPath(const std::wstring& fileName) const {
    return GetDlgFolder() + fileName + (EndsWithIni(fileName) ? L"" : L".ini");
}

int PartDescription::Load(const std::wstring& fileName) {
    m_params.clear();
    m_fileName = fileName;
    const std::wstring file = GetDescriptionPath(fileName);
    if (!LibraryFileExists(file)) {
        m_disabled.clear();
        m_enabled.clear();
        m_error.clear();
        return -1;
    }
    ReadRuleSection(L"error", file, m_error);
    ReadRuleSection(L"disabled", file, m_disabled);
    ReadRuleSection(L"enabled", file, m_enabled);
    for (const std::wstring& raw :
         zs::getPrivateProfileSectionNames(kDescriptionBufferChars, file)) {
        std::wstring section = raw;
        Trim(section);
        ControlKind kind = ControlKind::Label;
        if (IsRuleSection(section) || !ControlKindFromSectionName(section, kind))
            continue;
        m_params.push_back(ReadControl(section, kind, file, fileName));
    }
    return GetCount();
}

CParam* PartDescription::Find(const std::wstring& sectionName) {
    for (CParam& p : m_params) {
        if (zhost::equalsNoCase(p.m_name, sectionName))
            return &p;
    }
    return nullptr;
}

const CParam* PartDescription::Find(const std::wstring& sectionName) const {
    return const_cast<PartDescription*>(this)->Find(sectionName);
}

const CParam* PartDescription::FindKind(ControlKind kind) const {
    for (const CParam& p : m_params) {
        if (p.Is(kind))
            return &p;
    }
    return nullptr;
}

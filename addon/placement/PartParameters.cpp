#include "placement/PartParameters.h"

#include "frame/AutoVar.h"
#include "frame/RegSwitches.h"
#include "placement/BlockNames.h"
#include "selection/PartDescription.h"

#include "zhost/core/utf.h"
#include "zhost/db/parametric.h"
#include "zhost/editor/command_call.h"
#include "zhost/editor/output.h"
#include "zhost/settings/inifile.h"

#include <string_view>

namespace db = zhost::db;
namespace ed = zhost::ed;

namespace {

constexpr const wchar_t* kHead = L"LineTypeHead";
constexpr const wchar_t* kBody = L"LineTypeBody";
constexpr const wchar_t* kWhole = L"LineType";
constexpr const wchar_t* kCentreLine = L"ShowCenterLine";
constexpr const wchar_t* kProjectionLength = L"CS";

// The symbols of studs: their body is always drawn on the hidden side of the thread.
constexpr const wchar_t* kStudSymbols[] = {L"B1173_Studs_1", L"B1173_Studs_0"};

// A value read the way the platform reads an integer; text without digits is 0.
int IntOf(std::wstring_view text) {
    int v = 0;
    zhost::settings::parseProfileInt(text, v);
    return v;
}

std::wstring TruthText(std::wstring_view text) {
    return IntOf(text) != 0 ? L"1" : L"0";
}

// The item at `index` of a comma-separated list; false outside it.
bool ListItem(std::wstring_view list, int index, std::wstring& item) {
    if (index < 0)
        return false;
    for (int i = 0;; ++i) {
        const size_t comma = list.find(L',');
        if (i == index) {
            item = std::wstring(list.substr(0, comma));
            return true;
        }
        if (comma == std::wstring_view::npos)
            return false;
        list.remove_prefix(comma + 1);
    }
}

bool SetExpression(db::ObjectId ref, const std::wstring& name, const std::wstring& value) {
    return zhost::ok(db::param::setParameterExpression(ref, name, value));
}

// Writes a parameter only when the block has it: a part without it is simply not asked.
void SetIfPresent(const std::vector<std::wstring>& names, db::ObjectId ref, const wchar_t* name,
                  const std::wstring& value) {
    std::wstring spelled;
    if (FindParameterName(names, name, &spelled))
        SetExpression(ref, spelled, value);
}

void SetProjectionLength(const PartDescription& desc, const std::vector<std::wstring>& names,
                         db::ObjectId ref, bool debug) {
    const std::wstring& length = desc.GetProjectionLength();
    if (length.empty())
        return;
    SetIfPresent(names, ref, kProjectionLength, length);
    if (debug)
        ed::printf(L"\nパラメータ[%s]=[%s]", std::wstring(kProjectionLength), length);
    CAutoVar echo(L"CMDECHO", 0);
    ed::command({L"_.REGEN"});
}

void SetControl(const CParam& control, const std::vector<std::wstring>& names, db::ObjectId ref,
                LineTypeState& state, bool debug) {
    std::wstring parameter, value;
    if (!ControlParameter(control, parameter, value))
        return;
    SetPartParameter(names, ref, parameter, value, state);
    if (debug)
        ed::printf(L"\nパラメータ[%s]=[%s]", parameter, value);
    if (!zhost::equalsNoCase(parameter, kHead) || !FindParameterName(names, kBody))
        return;
    // The body follows the head's choice, unless the part is dashed as a whole already.
    state.m_bodyDashed = IntOf(value) != 0;
    if (state.m_wholeDashed)
        return;
    SetPartParameter(names, ref, kBody, value, state);
    if (debug)
        ed::printf(L"\n　　　　　[%s]=[%s]", std::wstring(kBody), value);
}

// A part dashed in head and body (or in the body of a part without a head choice) is drawn
// dashed as a whole: its pieces keep their solid layers and the category mapping puts them on
// the hidden-line category instead.
void SettleWholeDashed(const std::vector<std::wstring>& names, db::ObjectId ref,
                       LineTypeState& state) {
    if (!(state.m_bodyDashed && (state.m_headDashed || state.m_headNotSet)))
        return;
    SetIfPresent(names, ref, kBody, L"0");
    if (!state.m_headNotSet)
        SetIfPresent(names, ref, kHead, L"0");
    state.m_headDashed = false;
    state.m_bodyDashed = false;
    state.m_wholeDashed = true;
}

} // namespace

bool ControlParameter(const CParam& control, std::wstring& parameter, std::wstring& value) {
    if (!control.m_paramName.empty()) {
        const size_t colon = control.m_paramName.find(L':');
        if (colon == std::wstring::npos) {
            parameter = control.m_paramName;
            value = control.m_value;
            return true;
        }
        parameter = control.m_paramName.substr(0, colon);
        return ListItem(std::wstring_view(control.m_paramName).substr(colon + 1),
                        IntOf(control.m_value), value);
    }
    if (control.Is(ControlKind::Radio) && control.m_caption.find(L"線種") != std::wstring::npos)
        parameter = kHead;
    else if (control.Is(ControlKind::Check) &&
             control.m_caption.find(L"中心線") != std::wstring::npos)
        parameter = kCentreLine;
    else
        return false;
    value = TruthText(control.m_value);
    return true;
}

bool SetPartParameter(const std::vector<std::wstring>& names, db::ObjectId referenceId,
                      const std::wstring& name, const std::wstring& value, LineTypeState& state) {
    std::wstring spelled;
    if (!FindParameterName(names, name, &spelled))
        return false;
    const bool truth = IntOf(value) != 0;
    if (zhost::equalsNoCase(name, kHead)) {
        state.m_headDashed = truth;
        state.m_headNotSet = false;
    } else if (zhost::equalsNoCase(name, kBody)) {
        state.m_bodyDashed = truth;
    } else if (zhost::equalsNoCase(name, kWhole)) {
        state.m_wholeDashed = truth;
    } else {
        return SetExpression(referenceId, spelled, value);
    }
    if (state.m_wholeDashed)
        return true; // the whole part is dashed: the line-type switches stay as drawn
    return SetExpression(referenceId, spelled, value);
}

bool SetPartParameters(const PartDescription& desc, db::ObjectId referenceId,
                       LineTypeState& state) {
    const bool debug = IsShowDebugInfo();
    std::vector<std::wstring> names;
    db::param::parameterNames(referenceId, names);
    SetProjectionLength(desc, names, referenceId, debug);
    for (const wchar_t* stud : kStudSymbols) {
        if (desc.m_symbolBlockName == stud) {
            state.m_bodyDashed = true;
            state.m_headNotSet = false;
        }
    }
    for (const CParam& control : desc.m_params) {
        if (control.m_enabledAtOk)
            SetControl(control, names, referenceId, state, debug);
        else if (debug)
            ed::printf(L"\n指定しないパラメータ[%s/%s]", control.m_name, control.m_caption);
    }
    SettleWholeDashed(names, referenceId, state);
    if (!db::param::isParametric(referenceId) || !zhost::ok(db::param::evaluate(referenceId))) {
        if (debug)
            ed::print(L"\n　　　　　パラメータの更新に失敗");
        return false;
    }
    if (debug)
        ed::print(L"\n　　　　　パラメータの更新に成功");
    return true;
}

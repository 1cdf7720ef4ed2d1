// ZORMA_HIDE: asks for a covering part, then for the parts under it, and gives each part a cut
// copy of its block with the covered pieces hidden or restyled; loops until cancelled. The mode
// (hide or property change) is remembered per user.
#include "frame/CommandBodies.h"

#include "frame/SettingsLib.h"
#include "frame/UserSections.h"
#include "hide/EntityPredicates.h"
#include "hide/HideElement.h"
#include "hide/SettingPropertyDlg.h"

#include "zhost/core/utf.h"
#include "zhost/editor/output.h"
#include "zhost/editor/prompts.h"
#include "zhost/editor/selection.h"

#include <vector>

namespace db = zhost::db;
namespace ed = zhost::ed;

namespace {

constexpr const wchar_t* kModeKey = L"IS_SETTING";
constexpr const wchar_t* kModeKeywords = L"A B";

bool ReadPropertyMode() {
    CUserStore store;
    int value = 0;
    return store.IsOpen() && store.SelectSection(kUserSectionHide) &&
           store.GetInt(kModeKey, value) && value != 0;
}

void WritePropertyMode(bool propertyMode) {
    CUserStore store;
    if (!store.IsOpen())
        return;
    store.SelectSection(kUserSectionHide);
    store.SetInt(kModeKey, propertyMode ? 1 : 0);
}

// A keyword answer: "A" hide mode, "B" property mode, anything else keeps the mode. The record's
// hide flag follows the mode.
void TakeKeyword(bool& propertyMode, CSettingProperty& property) {
    std::wstring keyword;
    if (ed::getInput(keyword) == ed::Result::normal) {
        if (zhost::equalsNoCase(keyword, L"A"))
            propertyMode = false;
        else if (zhost::equalsNoCase(keyword, L"B"))
            propertyMode = true;
    }
    property.m_hide = !propertyMode;
}

enum class Step { next, again, end };

// What an answer to either prompt leads to: a cancel ends the command, a keyword switches the
// mode and asks again, an accepted answer goes on; anything else is reported and asked again.
Step Follow(ed::Result r, bool accepted, const wchar_t* complaint, bool& propertyMode,
            CSettingProperty& property) {
    switch (r) {
    case ed::Result::cancel:
    case ed::Result::rejected:
        return Step::end;
    case ed::Result::keyword:
        TakeKeyword(propertyMode, property);
        return Step::again;
    case ed::Result::normal:
        if (accepted)
            return Step::next;
        break;
    case ed::Result::none:
    case ed::Result::error:
        break;
    }
    ed::print(complaint);
    return Step::again;
}

// The covering part.
Step AskCover(bool& propertyMode, CSettingProperty& property, db::ObjectId& cover) {
    ed::initGet(0, kModeKeywords);
    zhost::geom::Point3d at;
    const ed::Result r = ed::entSel(
        propertyMode ? L"\n製図要素を指示 または[非表示化(A)/プロパティ変更(B)]<プロパティ変更>:"
                     : L"\n製図要素を指示 または[非表示化(A)/プロパティ変更(B)]<非表示化>:",
        cover, at);
    return Follow(r, r == ed::Result::normal && IsBlockReferenceId(cover),
                  L"\nERROR:扱える製図要素ではありません", propertyMode, property);
}

// The parts to cut, in selection order.
Step AskTargets(bool& propertyMode, CSettingProperty& property, std::vector<db::ObjectId>& ids) {
    const std::wstring prompt =
        propertyMode
            ? L"\n切り取る要素を指示 または[非表示化(A)/プロパティ変更(B)]<プロパティ変更>:"
            : L"\n切り取る要素を指示 または[非表示化(A)/プロパティ変更(B)]<非表示化>:";
    const std::wstring prompts[2] = {prompt, prompt};
    const ed::ResBufList filter{{0, L"INSERT"}};
    ed::initGet(0, kModeKeywords);
    ed::SelectionSet set;
    const ed::Result r = set.select(L":$:K", nullptr, nullptr, &filter, prompts);
    const Step step =
        Follow(r, set.length() > 0, L"要素が選択されませんでした。", propertyMode, property);
    if (step == Step::next)
        ids = set.ids();
    return step;
}

// Treats every part under the cover; false when none was treated.
bool HideAll(db::ObjectId cover, const std::vector<db::ObjectId>& targets,
             const CSettingProperty& property) {
    zhost::geom::Region outline;
    if (targets.empty() || !GetCoverOutline(cover, outline))
        return false;
    bool any = false;
    for (db::ObjectId target : targets)
        any = HideElement(cover, outline, target, property) || any;
    return any;
}

} // namespace

void ZormaHideMain() {
    bool propertyMode = ReadPropertyMode();
    CSettingProperty property;
    property.m_hide = !propertyMode;
    for (;;) {
        db::ObjectId cover;
        Step step = AskCover(propertyMode, property, cover);
        if (step == Step::again)
            continue;
        std::vector<db::ObjectId> targets;
        if (step == Step::next) {
            do
                step = AskTargets(propertyMode, property, targets);
            while (step == Step::again);
        }
        if (step == Step::end) {
            WritePropertyMode(propertyMode);
            return;
        }
        if (propertyMode) {
            CSettingProperty chosen = property;
            if (!RunSettingPropertyDlg(chosen))
                continue; // back to the covering part, nothing said
            property = chosen;
            property.m_hide = false;
        }
        if (!HideAll(cover, targets, property))
            ed::print(L"陰線化が行われませんでした。");
    }
}

// The template of the condition dialog. The dialog rearranges everything at start (only the
// controls a part's description asks for are shown), so the places here only give sizes and
// the margin: the left edge of the heading.
#include "resources/DialogTemplates.h"
#include "resources/resource.h"

#include "zhost/ui/dialog.h"
#include "zhost/ui/resources.h"

namespace ui = zhost::ui;

namespace {

ui::ControlTemplate Control(int id, ui::ControlKind kind, const wchar_t* text, std::uint32_t style,
                            ui::Rect rect) {
    ui::ControlTemplate c;
    c.id = id;
    c.kind = kind;
    c.text = text;
    c.style = style;
    c.rect = rect;
    return c;
}

} // namespace

void AddContCondTemplate(ui::ResourceModule& module) {
    const std::uint32_t child = ui::ws::child | ui::ws::visible;
    ui::DialogTemplate t;
    t.resourceId = IDD_CONT_COND;
    t.title = L"部品コンテンツ";
    t.size = {320, 240};
    t.controls.push_back(Control(IDC_COND_HEADING, ui::ControlKind::staticText, L"", child,
                                 ui::Rect::fromSize(7, 7, 300, 10)));
    for (int i = 0; i < 6; ++i) {
        t.controls.push_back(Control(IDC_COND_PICTURE1 + i, ui::ControlKind::button, L"",
                                     child | ui::ws::tabStop | ui::bs::pushButton,
                                     ui::Rect::fromSize(7 + 64 * i, 21, 60, 56)));
    }
    t.controls.push_back(Control(IDC_COND_GRID, ui::ControlKind::staticText, L"",
                                 child | ui::ws::tabStop, ui::Rect::fromSize(7, 84, 180, 120)));
    for (int i = 0; i < 3; ++i) {
        t.controls.push_back(Control(IDC_COND_LIST_CAPTION1 + i, ui::ControlKind::staticText, L"",
                                     child, ui::Rect::fromSize(194 + 42 * i, 84, 38, 9)));
        t.controls.push_back(
            Control(IDC_COND_LIST1 + i, ui::ControlKind::listBox, L"",
                    child | ui::ws::tabStop | ui::ws::vscroll | ui::ws::border | ui::lbs::notify,
                    ui::Rect::fromSize(194 + 42 * i, 95, 38, 109)));
    }
    t.controls.push_back(Control(ui::idOk, ui::ControlKind::button, L"OK",
                                 child | ui::ws::tabStop | ui::bs::defPushButton,
                                 ui::Rect::fromSize(104, 215, 50, 14)));
    t.controls.push_back(Control(ui::idCancel, ui::ControlKind::button, L"キャンセル",
                                 child | ui::ws::tabStop | ui::bs::pushButton,
                                 ui::Rect::fromSize(166, 215, 50, 14)));
    module.addDialog(IDD_CONT_COND, t);
}

// The template of the condition dialog. The dialog rearranges everything at start (only the
// controls a part's description asks for are shown), so the places here only give sizes and
// the margin: the left edge of the heading.
#include "resources/DialogTemplates.h"
#include "resources/resource.h"

#include "zhost/ui/dialog.h"
#include "zhost/ui/resources.h"

namespace ui = zhost::ui;

void AddContCondTemplate(ui::ResourceModule& module) {
    ui::DialogTemplate t;
    t.resourceId = IDD_CONT_COND;
    t.title = L"部品コンテンツ";
    t.size = {320, 240};
    t.controls.push_back(
        TemplateControl(IDC_COND_HEADING, ui::ControlKind::staticText, L"", 0, 7, 7, 300, 10));
    for (int i = 0; i < 6; ++i) {
        t.controls.push_back(TemplateControl(IDC_COND_PICTURE1 + i, ui::ControlKind::button, L"",
                                             ui::ws::tabStop | ui::bs::pushButton, 7 + 64 * i, 21,
                                             60, 56));
    }
    t.controls.push_back(TemplateControl(IDC_COND_GRID, ui::ControlKind::staticText, L"",
                                         ui::ws::tabStop, 7, 84, 180, 120));
    for (int i = 0; i < 3; ++i) {
        t.controls.push_back(TemplateControl(IDC_COND_LIST_CAPTION1 + i,
                                             ui::ControlKind::staticText, L"", 0, 194 + 42 * i, 84,
                                             38, 9));
        t.controls.push_back(
            TemplateControl(IDC_COND_LIST1 + i, ui::ControlKind::listBox, L"",
                            ui::ws::tabStop | ui::ws::vscroll | ui::ws::border | ui::lbs::notify,
                            194 + 42 * i, 95, 38, 109));
    }
    t.controls.push_back(TemplateControl(ui::idOk, ui::ControlKind::button, L"OK",
                                         ui::ws::tabStop | ui::bs::defPushButton, 104, 215, 50,
                                         14));
    t.controls.push_back(TemplateControl(ui::idCancel, ui::ControlKind::button, L"キャンセル",
                                         ui::ws::tabStop | ui::bs::pushButton, 166, 215, 50, 14));
    module.addDialog(IDD_CONT_COND, t);
}

// The template of the part attribute dialog: a grid placeholder over the whole dialog and the
// two buttons below it, resizable (the dialog anchors them).
#include "resources/DialogTemplates.h"
#include "resources/resource.h"

#include "zhost/ui/dialog.h"
#include "zhost/ui/resources.h"

namespace ui = zhost::ui;

void AddContAtrTemplate(ui::ResourceModule& module) {
    ui::DialogTemplate t;
    t.resourceId = IDD_CONT_ATR;
    t.title = L"属性編集";
    t.size = {220, 160};
    t.resizable = true;
    ui::ControlTemplate grid;
    grid.id = IDC_CONT_ATR_GRID;
    grid.kind = ui::ControlKind::staticText;
    grid.style = ui::ws::child | ui::ws::visible | ui::ws::tabStop;
    grid.rect = ui::Rect::fromSize(7, 7, 206, 124);
    ui::ControlTemplate ok;
    ok.id = ui::idOk;
    ok.kind = ui::ControlKind::button;
    ok.text = L"OK";
    ok.style = ui::ws::child | ui::ws::visible | ui::ws::tabStop | ui::bs::defPushButton;
    ok.rect = ui::Rect::fromSize(107, 139, 50, 14);
    ui::ControlTemplate cancel = ok;
    cancel.id = ui::idCancel;
    cancel.text = L"キャンセル";
    cancel.style = ui::ws::child | ui::ws::visible | ui::ws::tabStop | ui::bs::pushButton;
    cancel.rect = ui::Rect::fromSize(163, 139, 50, 14);
    t.controls = {grid, ok, cancel};
    module.addDialog(IDD_CONT_ATR, t);
}

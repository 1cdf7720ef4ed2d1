// The templates of the two part catalogues: the text catalogue (groups on the left, the part
// cells on the right, the filter below) and the picture catalogue (the type list and a column of
// four picture buttons).
#include "resources/DialogTemplates.h"
#include "resources/resource.h"

#include "zhost/ui/dialog.h"
#include "zhost/ui/resources.h"

namespace ui = zhost::ui;

namespace {

constexpr std::uint32_t kVisibleTab = ui::ws::child | ui::ws::visible | ui::ws::tabStop;

ui::ControlTemplate MakeControl(int id, ui::ControlKind kind, const wchar_t* text,
                                std::uint32_t style, ui::Rect rect) {
    ui::ControlTemplate c;
    c.id = id;
    c.kind = kind;
    c.text = text;
    c.style = style;
    c.rect = rect;
    return c;
}

ui::ControlTemplate OkButton(int x, int y) {
    return MakeControl(ui::idOk, ui::ControlKind::button, L"OK",
                       kVisibleTab | ui::bs::defPushButton, ui::Rect::fromSize(x, y, 50, 14));
}

ui::ControlTemplate CancelButton(int x, int y) {
    return MakeControl(ui::idCancel, ui::ControlKind::button, L"キャンセル",
                       kVisibleTab | ui::bs::pushButton, ui::Rect::fromSize(x, y, 50, 14));
}

} // namespace

void AddPartsTemplate(ui::ResourceModule& module) {
    ui::DialogTemplate t;
    t.resourceId = IDD_PARTS;
    t.title = L"部品コンテンツ";
    t.size = {420, 262};
    t.resizable = true;
    const std::uint32_t list = kVisibleTab | ui::ws::vscroll | ui::ws::border | ui::lbs::notify;
    t.controls = {
        MakeControl(IDC_PARTS_GROUPS, ui::ControlKind::listBox, L"", list,
                    ui::Rect::fromSize(7, 7, 90, 212)),
        // Never shown: its size is the size of one part cell of the list beside it.
        MakeControl(IDC_PARTS_CELL, ui::ControlKind::staticText, L"右側の部品1点の幅と高さを示す",
                    ui::ws::child, ui::Rect::fromSize(104, 4, 76, 66)),
        MakeControl(IDC_PARTS_ITEMS, ui::ControlKind::listBox, L"",
                    ui::ws::child | ui::ws::visible | ui::ws::tabStop | ui::ws::hscroll |
                        ui::ws::border | ui::lbs::notify | ui::lbs::ownerDrawFixed |
                        ui::lbs::hasStrings | ui::lbs::multiColumn,
                    ui::Rect::fromSize(104, 7, 309, 212)),
        MakeControl(IDC_PARTS_FILTER, ui::ControlKind::edit, L"", kVisibleTab | ui::ws::border,
                    ui::Rect::fromSize(7, 225, 58, 14)),
        MakeControl(IDC_PARTS_FILTER_APPLY, ui::ControlKind::button, L"絞込",
                    kVisibleTab | ui::bs::pushButton, ui::Rect::fromSize(68, 225, 29, 14)),
        MakeControl(IDC_PARTS_STATUS, ui::ControlKind::staticText, L"", ui::ws::child,
                    ui::Rect::fromSize(104, 228, 190, 10)),
        OkButton(307, 241),
        CancelButton(363, 241),
    };
    module.addDialog(IDD_PARTS, t);
}

void AddPvxPartsTemplate(ui::ResourceModule& module) {
    ui::DialogTemplate t;
    t.resourceId = IDD_PVX_PARTS;
    t.title = L"部品コンテンツ";
    t.size = {262, 318};
    const std::uint32_t caption = ui::ws::child;
    const std::uint32_t picture = kVisibleTab | ui::bs::pushButton;
    t.controls = {
        MakeControl(IDC_PVX_CAPTION1, ui::ControlKind::staticText, L"選択(&1)", caption,
                    ui::Rect::fromSize(7, 7, 100, 8)),
        MakeControl(IDC_PVX_TYPES, ui::ControlKind::listBox, L"",
                    kVisibleTab | ui::ws::vscroll | ui::ws::border | ui::lbs::notify,
                    ui::Rect::fromSize(7, 7, 150, 284)),
        MakeControl(IDC_PVX_CAPTION2, ui::ControlKind::staticText, L"選択(&2)", caption,
                    ui::Rect::fromSize(164, 7, 90, 8)),
    };
    for (int i = 0; i < 4; ++i)
        t.controls.push_back(MakeControl(IDC_PVX_BUTTON1 + i, ui::ControlKind::button, L"", picture,
                                         ui::Rect::fromSize(164, 7 + 71 * i, 90, 68)));
    t.controls.push_back(OkButton(148, 297));
    t.controls.push_back(CancelButton(204, 297));
    module.addDialog(IDD_PVX_PARTS, t);
}

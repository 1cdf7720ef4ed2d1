// The dialog templates of the plug-in. A dialog's template goes into a function of its own
// (in a file beside its dialog's resources) that is called from here; controls are given in
// dialog units with their ids, kinds, captions and styles.
#include "resources/DialogTemplates.h"

#include "zhost/ui/dialog.h"
#include "zhost/ui/resources.h"

zhost::ui::ControlTemplate TemplateControl(int id, zhost::ui::ControlKind kind, const wchar_t* text,
                                           std::uint32_t style, int x, int y, int cx, int cy) {
    zhost::ui::ControlTemplate c;
    c.id = id;
    c.kind = kind;
    c.text = text;
    c.style = zhost::ui::ws::child | zhost::ui::ws::visible | style;
    c.rect = zhost::ui::Rect::fromSize(x, y, cx, cy);
    return c;
}

void AddZormaDialogTemplates(zhost::ui::ResourceModule& module) {
    AddContAtrTemplate(module);
    AddPartsTemplate(module);
    AddPvxPartsTemplate(module);
    AddContCondTemplate(module);
    AddHideTemplates(module);
}

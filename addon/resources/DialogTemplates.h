#pragma once
// The dialog templates of the plug-in. Each dialog adds its template to the resource module
// here, under its resource id, as a resource script lists them on the home platform.
#include "zhost/ui/dialog.h"

#include <cstdint>

namespace zhost::ui {
class ResourceModule;
}

// One control of a template: visible child window with `style` added, rectangle in dialog units.
zhost::ui::ControlTemplate TemplateControl(int id, zhost::ui::ControlKind kind, const wchar_t* text,
                                           std::uint32_t style, int x, int y, int cx, int cy);

void AddZormaDialogTemplates(zhost::ui::ResourceModule& module);

// One function per dialog, each in a file of its own.
void AddContAtrTemplate(zhost::ui::ResourceModule& module);
void AddPartsTemplate(zhost::ui::ResourceModule& module);
void AddPvxPartsTemplate(zhost::ui::ResourceModule& module);
void AddContCondTemplate(zhost::ui::ResourceModule& module);

// The layer creation dialog (218) and the property settings dialog (219).
void AddHideTemplates(zhost::ui::ResourceModule& module);

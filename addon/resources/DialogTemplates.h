#pragma once
// The dialog templates of the plug-in. Each dialog adds its template to the resource module
// here, under its resource id, as a resource script lists them on the home platform.
namespace zhost::ui {
class ResourceModule;
}

void AddZormaDialogTemplates(zhost::ui::ResourceModule& module);

// One function per dialog, each in a file of its own.
void AddContAtrTemplate(zhost::ui::ResourceModule& module);
void AddPartsTemplate(zhost::ui::ResourceModule& module);
void AddPvxPartsTemplate(zhost::ui::ResourceModule& module);
void AddContCondTemplate(zhost::ui::ResourceModule& module);

#pragma once
// What the framework's parts share inside the module.
namespace zhost::ui::detail {

// Registers the framework with the editor (script directives) and the settings library's UI
// support (window keeper, preview drawer into a device context). Done once, at the first dialog.
void initializeFramework();
// Registers the preview drawer that understands device contexts (again at every dialog, so a
// drawer installed later by someone else cannot take the dialogs' calls).
void installPreviewHooks();

} // namespace zhost::ui::detail

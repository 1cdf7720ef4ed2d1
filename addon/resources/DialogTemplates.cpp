// The dialog templates of the plug-in. A dialog's template goes into a function of its own
// (in a file beside its dialog's resources) that is called from here; controls are given in
// dialog units with their ids, kinds, captions and styles.
#include "resources/DialogTemplates.h"

#include "zhost/ui/dialog.h"
#include "zhost/ui/resources.h"

void AddZormaDialogTemplates(zhost::ui::ResourceModule& module) {
    AddContAtrTemplate(module);
    AddPartsTemplate(module);
    AddPvxPartsTemplate(module);
    AddContCondTemplate(module);
}

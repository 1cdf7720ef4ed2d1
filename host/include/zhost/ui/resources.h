#pragma once
// Resources of a module: bitmaps, strings, menus and dialog templates by id, and the current
// resource module (the platform's resource handle). Switching the current module is tracked so
// that tests can see a dialog run with its plug-in's resources made current; with everything
// addressed by module here, the switch itself changes no look-up.
#include "zhost/ui/bitmap.h"
#include "zhost/ui/menu.h"

#include <map>
#include <string>

namespace zhost::ui {

struct DialogTemplate;

class ResourceModule {
public:
    explicit ResourceModule(std::wstring name);
    ~ResourceModule();
    const std::wstring& name() const { return name_; }

    void addBitmap(int id, Bitmap bmp);
    void addString(int id, std::wstring text);
    void addMenu(int id, std::vector<MenuTemplateItem> items);
    void addDialog(int id, const DialogTemplate& tpl);

    const Bitmap* bitmap(int id) const;
    bool string(int id, std::wstring& out) const;
    const std::vector<MenuTemplateItem>* menu(int id) const;
    const DialogTemplate* dialog(int id) const;

private:
    std::wstring name_;
    std::map<int, Bitmap> bitmaps_;
    std::map<int, std::wstring> strings_;
    std::map<int, std::vector<MenuTemplateItem>> menus_;
    std::map<int, std::unique_ptr<DialogTemplate>> dialogs_;
};

// The host's own resources (always there).
ResourceModule& hostResources();
// The current resource module; the host's unless switched.
ResourceModule& currentResources();
ResourceModule* setCurrentResources(ResourceModule* module); // the previous one
// How often the current module was switched (for tests).
int resourceSwitchCount();

// Makes a module current for a scope (the platform's resource override).
class ResourceScope {
public:
    explicit ResourceScope(ResourceModule& module) : previous_(setCurrentResources(&module)) {}
    ~ResourceScope() { setCurrentResources(previous_); }
    ResourceScope(const ResourceScope&) = delete;
    ResourceScope& operator=(const ResourceScope&) = delete;

private:
    ResourceModule* previous_;
};

} // namespace zhost::ui

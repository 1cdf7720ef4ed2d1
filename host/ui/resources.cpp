// Resource modules and the current one.
#include "zhost/ui/resources.h"

#include "zhost/ui/dialog.h"

namespace zhost::ui {
namespace {

ResourceModule*& current() {
    static ResourceModule* m = nullptr;
    return m;
}
int& switches() {
    static int n = 0;
    return n;
}

} // namespace

ResourceModule::ResourceModule(std::wstring name) : name_(std::move(name)) {}
ResourceModule::~ResourceModule() {
    if (current() == this)
        current() = nullptr;
}

void ResourceModule::addBitmap(int id, Bitmap bmp) {
    bitmaps_[id] = std::move(bmp);
}
void ResourceModule::addString(int id, std::wstring text) {
    strings_[id] = std::move(text);
}
void ResourceModule::addMenu(int id, std::vector<MenuTemplateItem> items) {
    menus_[id] = std::move(items);
}
void ResourceModule::addDialog(int id, const DialogTemplate& tpl) {
    dialogs_[id] = std::make_unique<DialogTemplate>(tpl);
}

const Bitmap* ResourceModule::bitmap(int id) const {
    auto it = bitmaps_.find(id);
    return it == bitmaps_.end() ? nullptr : &it->second;
}

bool ResourceModule::string(int id, std::wstring& out) const {
    auto it = strings_.find(id);
    if (it == strings_.end())
        return false;
    out = it->second;
    return true;
}

const std::vector<MenuTemplateItem>* ResourceModule::menu(int id) const {
    auto it = menus_.find(id);
    return it == menus_.end() ? nullptr : &it->second;
}

const DialogTemplate* ResourceModule::dialog(int id) const {
    auto it = dialogs_.find(id);
    return it == dialogs_.end() ? nullptr : it->second.get();
}

ResourceModule& hostResources() {
    static ResourceModule m(L"zhost");
    return m;
}

ResourceModule& currentResources() {
    return current() ? *current() : hostResources();
}

ResourceModule* setCurrentResources(ResourceModule* module) {
    ResourceModule* previous = &currentResources();
    current() = module;
    ++switches();
    return previous;
}

int resourceSwitchCount() {
    return switches();
}

} // namespace zhost::ui

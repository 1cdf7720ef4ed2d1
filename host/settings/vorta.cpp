#include "zhost/settings/vorta.h"

#include "zhost/settings/codepage.h"
#include "zhost/settings/inifile.h"
#include "zhost/settings/paths.h"
#include "zhost/settings/product.h"
#include "zhost/settings/userstore.h"

#include <cstdlib>
#include <cwchar>
#include <mutex>
#include <new>

namespace fs = std::filesystem;
using namespace zhost::settings;

// The product handle carries no state: every operation asks for the product as configured at
// that moment, so a later --product or environment change is honoured.
struct zhost_vpm_Product {};
struct zhost_vpm_Path {
    fs::path path;
};
struct zhost_vpm_Settings {
    bool loaded = false;
    fs::path configFolder;
};
struct zhost_vpm_Folder {
    fs::path path;
};
struct zhost_vpm_UserStore {
    UserStore store;
};
struct zhost_vpm_IniReader {
    IniFile ini;
};

namespace {

unsigned char yes(bool b) {
    return b ? 1 : 0;
}

int copyText(const fs::path& path, wchar_t* buffer, int capacity) {
    const std::wstring text = toWide(path);
    if (buffer == nullptr || capacity <= 0)
        return 0;
    if (text.empty() || text.size() + 1 > static_cast<size_t>(capacity)) {
        buffer[0] = L'\0';
        return 0;
    }
    std::wmemcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<int>(text.size());
}

wchar_t* allocate(const std::wstring& text) {
    auto* out = static_cast<wchar_t*>(std::malloc((text.size() + 1) * sizeof(wchar_t)));
    if (out != nullptr)
        std::wmemcpy(out, text.c_str(), text.size() + 1);
    return out;
}

bool exists(const fs::path& p, bool folder) {
    std::error_code ec;
    return !p.empty() && (folder ? fs::is_directory(p, ec) : fs::exists(p, ec));
}

std::wstring narrowKey(const char* key) {
    return decode(key, systemCodePage());
}

struct UiHooks {
    std::mutex mutex;
    PreviewDrawer drawer;
    WindowKeeper keeper;
};

UiHooks& uiHooks() {
    static UiHooks h;
    return h;
}

} // namespace

extern "C" {

zhost_vpm_Product* zhost_vpm_CurrentProduct(void) {
    static zhost_vpm_Product product;
    return &product;
}

unsigned char zhost_vpm_ProductAvailable(const zhost_vpm_Product* product) {
    return yes(product != nullptr && Product::current().available());
}

zhost_vpm_Path* zhost_vpm_NewPath(void) {
    return new (std::nothrow) zhost_vpm_Path;
}
void zhost_vpm_DeletePath(zhost_vpm_Path* path) {
    delete path;
}

unsigned char zhost_vpm_PartsDataRoot(const zhost_vpm_Product* product, zhost_vpm_Path* path) {
    if (product == nullptr || path == nullptr)
        return 0;
    const Product current = Product::current();
    if (!current.available())
        return 0;
    path->path = current.partsDataRoot();
    return 1;
}

int zhost_vpm_PathText(const zhost_vpm_Path* path, wchar_t* buffer, int capacity) {
    return path ? copyText(path->path, buffer, capacity) : 0;
}

unsigned char zhost_vpm_PathUsable(const zhost_vpm_Path* path) {
    return yes(path != nullptr && exists(path->path, false));
}

zhost_vpm_Settings* zhost_vpm_NewSettings(void) {
    return new (std::nothrow) zhost_vpm_Settings;
}
void zhost_vpm_DeleteSettings(zhost_vpm_Settings* settings) {
    delete settings;
}

unsigned char zhost_vpm_LoadSettings(const zhost_vpm_Product* product,
                                     zhost_vpm_Settings* settings) {
    if (product == nullptr || settings == nullptr)
        return 0;
    const Product current = Product::current();
    settings->loaded = current.available();
    settings->configFolder = settings->loaded ? current.configFolder() : fs::path();
    return yes(settings->loaded);
}

unsigned char zhost_vpm_SettingsValid(const zhost_vpm_Settings* settings) {
    return yes(settings != nullptr && settings->loaded && !settings->configFolder.empty());
}

zhost_vpm_Folder* zhost_vpm_NewFolder(void) {
    return new (std::nothrow) zhost_vpm_Folder;
}
void zhost_vpm_DeleteFolder(zhost_vpm_Folder* folder) {
    delete folder;
}

unsigned char zhost_vpm_ConfigFolder(const zhost_vpm_Settings* settings, zhost_vpm_Folder* folder) {
    if (folder == nullptr || zhost_vpm_SettingsValid(settings) == 0)
        return 0;
    folder->path = settings->configFolder;
    return 1;
}

unsigned char zhost_vpm_FolderUsable(const zhost_vpm_Folder* folder) {
    return yes(folder != nullptr && exists(folder->path, true));
}

int zhost_vpm_FolderText(const zhost_vpm_Folder* folder, wchar_t* buffer, int capacity) {
    return folder ? copyText(folder->path, buffer, capacity) : 0;
}

void zhost_vpm_FreeString(wchar_t* text) {
    std::free(text);
}

zhost_vpm_UserStore* zhost_vpm_NewUserStore(void) {
    return new (std::nothrow) zhost_vpm_UserStore;
}
void zhost_vpm_DeleteUserStore(zhost_vpm_UserStore* store) {
    delete store;
}

unsigned char zhost_vpm_UserSelectSection(zhost_vpm_UserStore* store, const wchar_t* section) {
    return yes(store != nullptr && section != nullptr && store->store.selectSection(section));
}

unsigned char zhost_vpm_UserGetInt(const zhost_vpm_UserStore* store, const wchar_t* key,
                                   int* value) {
    return yes(store != nullptr && key != nullptr && value != nullptr &&
               store->store.getInt(std::wstring_view(key), *value));
}

unsigned char zhost_vpm_UserSetInt(zhost_vpm_UserStore* store, const wchar_t* key, int value) {
    return yes(store != nullptr && key != nullptr &&
               store->store.setInt(std::wstring_view(key), value));
}

unsigned char zhost_vpm_UserGetString(const zhost_vpm_UserStore* store, const wchar_t* key,
                                      wchar_t** value) {
    std::wstring text;
    if (store == nullptr || key == nullptr || value == nullptr ||
        !store->store.getString(std::wstring_view(key), text))
        return 0;
    wchar_t* out = allocate(text);
    if (out == nullptr)
        return 0;
    *value = out;
    return 1;
}

unsigned char zhost_vpm_UserSetString(zhost_vpm_UserStore* store, const wchar_t* key,
                                      const wchar_t* value) {
    return yes(store != nullptr && key != nullptr && value != nullptr &&
               store->store.setString(std::wstring_view(key), std::wstring_view(value)));
}

unsigned char zhost_vpm_UserGetIntA(const zhost_vpm_UserStore* store, const char* key, int* value) {
    return yes(store != nullptr && key != nullptr && value != nullptr &&
               store->store.getInt(key, *value));
}

unsigned char zhost_vpm_UserSetIntA(zhost_vpm_UserStore* store, const char* key, int value) {
    return yes(store != nullptr && key != nullptr && store->store.setInt(key, value));
}

zhost_vpm_IniReader* zhost_vpm_NewIniReader(void) {
    return new (std::nothrow) zhost_vpm_IniReader;
}
void zhost_vpm_DeleteIniReader(zhost_vpm_IniReader* reader) {
    delete reader;
}

unsigned char zhost_vpm_IniOpen(zhost_vpm_IniReader* reader, const zhost_vpm_Folder* folder,
                                const wchar_t* fileName) {
    if (reader == nullptr || folder == nullptr || fileName == nullptr || folder->path.empty())
        return 0;
    const auto file = resolvePath(toWide(folder->path) + L"/" + fileName);
    return yes(file && zhost::ok(reader->ini.load(*file)));
}

unsigned char zhost_vpm_IniSelectSection(zhost_vpm_IniReader* reader, const wchar_t* section) {
    return yes(reader != nullptr && section != nullptr && reader->ini.selectSection(section));
}

unsigned char zhost_vpm_IniGetInt(const zhost_vpm_IniReader* reader, const wchar_t* key,
                                  int* value) {
    return yes(reader != nullptr && key != nullptr && value != nullptr &&
               reader->ini.getInt(key, *value));
}

unsigned char zhost_vpm_IniGetString(const zhost_vpm_IniReader* reader, const wchar_t* key,
                                     wchar_t** value) {
    std::wstring text;
    if (reader == nullptr || key == nullptr || value == nullptr ||
        !reader->ini.getString(key, text))
        return 0;
    wchar_t* out = allocate(text);
    if (out == nullptr)
        return 0;
    *value = out;
    return 1;
}

unsigned char zhost_vpm_IniGetIntA(const zhost_vpm_IniReader* reader, const char* key, int* value) {
    return yes(reader != nullptr && key != nullptr && value != nullptr &&
               reader->ini.getInt(narrowKey(key), *value));
}

unsigned char zhost_vpm_IniSetInt(zhost_vpm_IniReader* reader, const wchar_t* key, int value) {
    return yes(reader != nullptr && key != nullptr && reader->ini.setInt(key, value));
}

unsigned char zhost_vpm_IniSetString(zhost_vpm_IniReader* reader, const wchar_t* key,
                                     const wchar_t* value) {
    return yes(reader != nullptr && key != nullptr && value != nullptr &&
               reader->ini.setString(key, value));
}

unsigned char zhost_vpm_IniSetIntA(zhost_vpm_IniReader* reader, const char* key, int value) {
    return yes(reader != nullptr && key != nullptr && reader->ini.setInt(narrowKey(key), value));
}

int zhost_vpm_IniKeyCount(const zhost_vpm_IniReader* reader) {
    return reader ? static_cast<int>(reader->ini.keyCount()) : 0;
}

unsigned char zhost_vpm_IniKeyAt(const zhost_vpm_IniReader* reader, int index, wchar_t** key,
                                 wchar_t** value) {
    std::wstring k, v;
    if (reader == nullptr || index < 0 || key == nullptr || value == nullptr ||
        !reader->ini.keyAt(static_cast<size_t>(index), k, v))
        return 0;
    wchar_t* outKey = allocate(k);
    wchar_t* outValue = allocate(v);
    if (outKey == nullptr || outValue == nullptr) {
        std::free(outKey);
        std::free(outValue);
        return 0;
    }
    *key = outKey;
    *value = outValue;
    return 1;
}

unsigned char zhost_vui_DrawPreview(const wchar_t* drawingFile, void* deviceContext,
                                    const zhost_vui_Rect* rect, int mode, int flags) {
    PreviewDrawer drawer;
    {
        std::lock_guard lock(uiHooks().mutex);
        drawer = uiHooks().drawer;
    }
    if (!drawer || drawingFile == nullptr || rect == nullptr)
        return 0;
    return yes(drawer(drawingFile, deviceContext, *rect, mode, flags));
}

unsigned char zhost_vui_KeepWindowOnScreen(void* window, int flag) {
    WindowKeeper keeper;
    {
        std::lock_guard lock(uiHooks().mutex);
        keeper = uiHooks().keeper;
    }
    return yes(keeper && keeper(window, flag));
}

} // extern "C"

namespace zhost::settings {

void setPreviewDrawer(PreviewDrawer drawer) {
    std::lock_guard lock(uiHooks().mutex);
    uiHooks().drawer = std::move(drawer);
}

void setWindowKeeper(WindowKeeper keeper) {
    std::lock_guard lock(uiHooks().mutex);
    uiHooks().keeper = std::move(keeper);
}

} // namespace zhost::settings

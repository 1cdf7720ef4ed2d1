#pragma once
// The settings library and its UI support as the add-on reaches them: a flat interface of
// objects that are constructed and destroyed around each use, yes/no results as a byte
// (non-zero for success; on failure the caller keeps its defaults) and strings that the library
// allocates and the caller frees through it. It wraps zhost::settings (product.h, userstore.h,
// inifile.h) so that the add-on's code keeps the shape it has on its home platform.
//
// Opening a product ini file goes: current product -> product available -> new settings ->
// load settings -> settings valid -> new folder -> configuration folder -> folder usable ->
// new ini reader -> open -> select section -> getters; destroy in reverse order.
#include <cstddef>

extern "C" {

typedef struct zhost_vpm_Product zhost_vpm_Product; // owned by the library
typedef struct zhost_vpm_Path zhost_vpm_Path;
typedef struct zhost_vpm_Settings zhost_vpm_Settings;
typedef struct zhost_vpm_Folder zhost_vpm_Folder;
typedef struct zhost_vpm_UserStore zhost_vpm_UserStore;
typedef struct zhost_vpm_IniReader zhost_vpm_IniReader;

// --- Product and folders ------------------------------------------------------------------
// The product as configured now (never null; the handle stays valid for the process).
zhost_vpm_Product* zhost_vpm_CurrentProduct(void);
unsigned char zhost_vpm_ProductAvailable(const zhost_vpm_Product* product);

zhost_vpm_Path* zhost_vpm_NewPath(void);
void zhost_vpm_DeletePath(zhost_vpm_Path* path);
// The root folder of the parts library.
unsigned char zhost_vpm_PartsDataRoot(const zhost_vpm_Product* product, zhost_vpm_Path* path);
// Copies the path's text with its terminator and returns its length; 0 (and an empty buffer
// when capacity > 0) when the path is empty or does not fit: a path is never cut.
int zhost_vpm_PathText(const zhost_vpm_Path* path, wchar_t* buffer, int capacity);
unsigned char zhost_vpm_PathUsable(const zhost_vpm_Path* path); // the file or folder exists

zhost_vpm_Settings* zhost_vpm_NewSettings(void);
void zhost_vpm_DeleteSettings(zhost_vpm_Settings* settings);
unsigned char zhost_vpm_LoadSettings(const zhost_vpm_Product* product,
                                     zhost_vpm_Settings* settings);
unsigned char zhost_vpm_SettingsValid(const zhost_vpm_Settings* settings);

zhost_vpm_Folder* zhost_vpm_NewFolder(void);
void zhost_vpm_DeleteFolder(zhost_vpm_Folder* folder);
// The folder of the product's ini files.
unsigned char zhost_vpm_ConfigFolder(const zhost_vpm_Settings* settings, zhost_vpm_Folder* folder);
unsigned char zhost_vpm_FolderUsable(const zhost_vpm_Folder* folder); // the folder exists
int zhost_vpm_FolderText(const zhost_vpm_Folder* folder, wchar_t* buffer, int capacity);

// --- Strings the library allocates ----------------------------------------------------------
void zhost_vpm_FreeString(wchar_t* text);

// --- Per-user store (changes are written when the object is destroyed) ------------------------
zhost_vpm_UserStore* zhost_vpm_NewUserStore(void);
void zhost_vpm_DeleteUserStore(zhost_vpm_UserStore* store);
// False when absent; a following set creates it.
unsigned char zhost_vpm_UserSelectSection(zhost_vpm_UserStore* store, const wchar_t* section);
unsigned char zhost_vpm_UserGetInt(const zhost_vpm_UserStore* store, const wchar_t* key,
                                   int* value);
unsigned char zhost_vpm_UserSetInt(zhost_vpm_UserStore* store, const wchar_t* key, int value);
// *value is allocated by the library (free with zhost_vpm_FreeString); untouched on failure.
unsigned char zhost_vpm_UserGetString(const zhost_vpm_UserStore* store, const wchar_t* key,
                                      wchar_t** value);
unsigned char zhost_vpm_UserSetString(zhost_vpm_UserStore* store, const wchar_t* key,
                                      const wchar_t* value);
unsigned char zhost_vpm_UserGetIntA(const zhost_vpm_UserStore* store, const char* key, int* value);
unsigned char zhost_vpm_UserSetIntA(zhost_vpm_UserStore* store, const char* key, int value);

// --- Ini reader --------------------------------------------------------------------------------
zhost_vpm_IniReader* zhost_vpm_NewIniReader(void);
void zhost_vpm_DeleteIniReader(zhost_vpm_IniReader* reader);
// Reads `fileName` in the folder (name looked up without case).
unsigned char zhost_vpm_IniOpen(zhost_vpm_IniReader* reader, const zhost_vpm_Folder* folder,
                                const wchar_t* fileName);
unsigned char zhost_vpm_IniSelectSection(zhost_vpm_IniReader* reader, const wchar_t* section);
unsigned char zhost_vpm_IniGetInt(const zhost_vpm_IniReader* reader, const wchar_t* key,
                                  int* value);
// Values are cut to 1023 characters. Allocated like the store's strings.
unsigned char zhost_vpm_IniGetString(const zhost_vpm_IniReader* reader, const wchar_t* key,
                                     wchar_t** value);
unsigned char zhost_vpm_IniGetIntA(const zhost_vpm_IniReader* reader, const char* key, int* value);
// Setters change the reader's copy only: the product's files are part of the installation.
unsigned char zhost_vpm_IniSetInt(zhost_vpm_IniReader* reader, const wchar_t* key, int value);
unsigned char zhost_vpm_IniSetString(zhost_vpm_IniReader* reader, const wchar_t* key,
                                     const wchar_t* value);
unsigned char zhost_vpm_IniSetIntA(zhost_vpm_IniReader* reader, const char* key, int value);
int zhost_vpm_IniKeyCount(const zhost_vpm_IniReader* reader);
// Both strings allocated; both untouched on failure.
unsigned char zhost_vpm_IniKeyAt(const zhost_vpm_IniReader* reader, int index, wchar_t** key,
                                 wchar_t** value);

// --- UI support ----------------------------------------------------------------------------------
typedef struct zhost_vui_Rect {
    int left, top, right, bottom;
} zhost_vui_Rect;

// Draws the drawing file's stored preview into the rectangle of a device context (mode 2,
// flags 3 or 15 in the add-on's calls). False when no preview drawer is registered or it fails.
unsigned char zhost_vui_DrawPreview(const wchar_t* drawingFile, void* deviceContext,
                                    const zhost_vui_Rect* rect, int mode, int flags);
// Moves a window back on screen after it was placed at a stored position. False when no window
// keeper is registered.
unsigned char zhost_vui_KeepWindowOnScreen(void* window, int flag);

} // extern "C"

#include <functional>
#include <string_view>

namespace zhost::settings {

// Registered by the preview module: draws `drawingFile` into the rectangle of the device context.
using PreviewDrawer = std::function<bool(std::wstring_view drawingFile, void* deviceContext,
                                         const zhost_vui_Rect& rect, int mode, int flags)>;
// Registered by the dialog framework.
using WindowKeeper = std::function<bool(void* window, int flag)>;

void setPreviewDrawer(PreviewDrawer drawer); // an empty function unregisters
void setWindowKeeper(WindowKeeper keeper);

} // namespace zhost::settings

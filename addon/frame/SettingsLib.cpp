#include "frame/SettingsLib.h"

namespace {

// The capacity of the path texts the add-on reads (the platform's long-path buffer).
constexpr int kPathCapacity = 520;

struct DeletePath {
    void operator()(zhost_vpm_Path* p) const { zhost_vpm_DeletePath(p); }
};

bool Yes(unsigned char result) {
    return result != 0;
}

// The current product when it is available, else none: without it all settings work is skipped.
const zhost_vpm_Product* AvailableProduct() {
    const zhost_vpm_Product* product = zhost_vpm_CurrentProduct();
    if (product == nullptr || !Yes(zhost_vpm_ProductAvailable(product)))
        return nullptr;
    return product;
}

} // namespace

std::wstring TakeLibraryString(wchar_t* text) {
    if (text == nullptr)
        return std::wstring();
    std::wstring copy(text);
    zhost_vpm_FreeString(text);
    return copy;
}

bool GetPartsDataRoot(std::wstring& root) {
    root.clear();
    const zhost_vpm_Product* product = AvailableProduct();
    if (product == nullptr)
        return false;
    std::unique_ptr<zhost_vpm_Path, DeletePath> path(zhost_vpm_NewPath());
    if (!path || !Yes(zhost_vpm_PartsDataRoot(product, path.get())))
        return false;
    wchar_t buffer[kPathCapacity] = {};
    if (zhost_vpm_PathText(path.get(), buffer, kPathCapacity) <= 0)
        return false;
    root = buffer;
    return !root.empty();
}

bool GetConfigFolder(std::wstring& folder) {
    folder.clear();
    CProductIni chain(nullptr); // the chain up to the usable configuration folder
    return chain.GetFolderText(folder);
}

// --- CProductIni -------------------------------------------------------------------------------

CProductIni::CProductIni(const wchar_t* fileName) {
    if (!OpenConfigFolder() || fileName == nullptr)
        return;
    std::unique_ptr<zhost_vpm_IniReader, DeleteReader> reader(zhost_vpm_NewIniReader());
    if (reader && Yes(zhost_vpm_IniOpen(reader.get(), m_folder.get(), fileName)))
        m_reader = std::move(reader);
}

CProductIni::~CProductIni() {
    // Reverse order of making: reader, folder, settings.
    m_reader.reset();
    m_folder.reset();
    m_settings.reset();
}

bool CProductIni::OpenConfigFolder() {
    const zhost_vpm_Product* product = AvailableProduct();
    if (product == nullptr)
        return false;
    m_settings.reset(zhost_vpm_NewSettings());
    if (!m_settings || !Yes(zhost_vpm_LoadSettings(product, m_settings.get())) ||
        !Yes(zhost_vpm_SettingsValid(m_settings.get())))
        return false;
    m_folder.reset(zhost_vpm_NewFolder());
    if (!m_folder || !Yes(zhost_vpm_ConfigFolder(m_settings.get(), m_folder.get())) ||
        !Yes(zhost_vpm_FolderUsable(m_folder.get()))) {
        m_folder.reset();
        return false;
    }
    return true;
}

bool CProductIni::GetFolderText(std::wstring& folder) const {
    folder.clear();
    if (!m_folder)
        return false;
    wchar_t buffer[kPathCapacity] = {};
    if (zhost_vpm_FolderText(m_folder.get(), buffer, kPathCapacity) <= 0)
        return false;
    folder = buffer;
    return true;
}

bool CProductIni::SelectSection(const wchar_t* section) {
    return m_reader && section != nullptr &&
           Yes(zhost_vpm_IniSelectSection(m_reader.get(), section));
}

bool CProductIni::GetInt(const wchar_t* key, int& value) const {
    int read = 0;
    if (!m_reader || key == nullptr || !Yes(zhost_vpm_IniGetInt(m_reader.get(), key, &read)))
        return false;
    value = read;
    return true;
}

bool CProductIni::GetString(const wchar_t* key, std::wstring& value) const {
    wchar_t* read = nullptr;
    if (!m_reader || key == nullptr || !Yes(zhost_vpm_IniGetString(m_reader.get(), key, &read)))
        return false;
    value = TakeLibraryString(read);
    return true;
}

int CProductIni::GetKeyCount() const {
    return m_reader ? zhost_vpm_IniKeyCount(m_reader.get()) : 0;
}

bool CProductIni::GetKeyAt(int index, std::wstring& key, std::wstring& value) const {
    wchar_t* k = nullptr;
    wchar_t* v = nullptr;
    if (!m_reader || !Yes(zhost_vpm_IniKeyAt(m_reader.get(), index, &k, &v)))
        return false;
    key = TakeLibraryString(k);
    value = TakeLibraryString(v);
    return true;
}

// --- CUserStore --------------------------------------------------------------------------------

CUserStore::CUserStore() {
    if (AvailableProduct() != nullptr)
        m_store.reset(zhost_vpm_NewUserStore());
}

CUserStore::~CUserStore() = default; // destroying the store writes its changes

bool CUserStore::SelectSection(const wchar_t* section) {
    return m_store && section != nullptr &&
           Yes(zhost_vpm_UserSelectSection(m_store.get(), section));
}

bool CUserStore::GetInt(const wchar_t* key, int& value) const {
    int read = 0;
    if (!m_store || key == nullptr || !Yes(zhost_vpm_UserGetInt(m_store.get(), key, &read)))
        return false;
    value = read;
    return true;
}

bool CUserStore::SetInt(const wchar_t* key, int value) {
    return m_store && key != nullptr && Yes(zhost_vpm_UserSetInt(m_store.get(), key, value));
}

bool CUserStore::GetString(const wchar_t* key, std::wstring& value) const {
    wchar_t* read = nullptr;
    if (!m_store || key == nullptr || !Yes(zhost_vpm_UserGetString(m_store.get(), key, &read)))
        return false;
    value = TakeLibraryString(read);
    return true;
}

bool CUserStore::SetString(const wchar_t* key, const wchar_t* value) {
    return m_store && key != nullptr && value != nullptr &&
           Yes(zhost_vpm_UserSetString(m_store.get(), key, value));
}

bool CUserStore::GetInt(const char* key, int& value) const {
    int read = 0;
    if (!m_store || key == nullptr || !Yes(zhost_vpm_UserGetIntA(m_store.get(), key, &read)))
        return false;
    value = read;
    return true;
}

bool CUserStore::SetInt(const char* key, int value) {
    return m_store && key != nullptr && Yes(zhost_vpm_UserSetIntA(m_store.get(), key, value));
}

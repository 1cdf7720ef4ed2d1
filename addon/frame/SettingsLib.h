#pragma once
// The add-on's side of the maker's settings library: the product's folders, the ini files of
// its configuration folder and the per-user store. The library answers yes/no questions with a
// byte (non-zero for yes) and hands out strings that must be freed through it; the classes here
// keep those rules in one place so that the commands see success flags and std::wstring only.
// On any failure the caller keeps its defaults.
#include "zhost/settings/vorta.h"

#include <memory>
#include <string>

// The parts-library root (the product's parts-data root) as the settings library reports it,
// read through a path text of 520 characters. False when there is no available product or the
// path is empty.
bool GetPartsDataRoot(std::wstring& root);

// The folder of the product's ini files. False when there is none or it is not usable.
bool GetConfigFolder(std::wstring& folder);

// One ini file of the product's configuration folder ("PartsContentsParam.ini", ...), opened in
// the constructor through the whole chain: product handle, product available, product-settings
// object loaded and valid, folder object with the configuration folder and usable, ini reader
// opened with the file name. Any failing step leaves the object closed (IsOpen false) and every
// getter false. The library's objects are destroyed in reverse order with this object.
class CProductIni {
public:
    explicit CProductIni(const wchar_t* fileName);
    ~CProductIni();
    CProductIni(const CProductIni&) = delete;
    CProductIni& operator=(const CProductIni&) = delete;

    bool IsOpen() const { return m_reader != nullptr; }

    // False when the section is absent.
    bool SelectSection(const wchar_t* section);
    bool GetInt(const wchar_t* key, int& value) const;
    bool GetString(const wchar_t* key, std::wstring& value) const;
    // Keys of the selected section, in file order.
    int GetKeyCount() const;
    bool GetKeyAt(int index, std::wstring& key, std::wstring& value) const;

    // The configuration folder the chain reached (also when the file itself did not open).
    bool GetFolderText(std::wstring& folder) const;

private:
    bool OpenConfigFolder();

    struct DeleteSettings {
        void operator()(zhost_vpm_Settings* p) const { zhost_vpm_DeleteSettings(p); }
    };
    struct DeleteFolder {
        void operator()(zhost_vpm_Folder* p) const { zhost_vpm_DeleteFolder(p); }
    };
    struct DeleteReader {
        void operator()(zhost_vpm_IniReader* p) const { zhost_vpm_DeleteIniReader(p); }
    };

    // Declared in the order the chain makes them, so that they are destroyed in reverse.
    std::unique_ptr<zhost_vpm_Settings, DeleteSettings> m_settings;
    std::unique_ptr<zhost_vpm_Folder, DeleteFolder> m_folder;
    std::unique_ptr<zhost_vpm_IniReader, DeleteReader> m_reader; // set only when open
};

// The per-user store, open for the life of the object (construct it around each use). Values
// set are kept from one run of the host to the next.
class CUserStore {
public:
    CUserStore();
    ~CUserStore();
    CUserStore(const CUserStore&) = delete;
    CUserStore& operator=(const CUserStore&) = delete;

    bool IsOpen() const { return m_store != nullptr; }

    // False when the section is absent; a following set creates it.
    bool SelectSection(const wchar_t* section);
    bool GetInt(const wchar_t* key, int& value) const;
    bool SetInt(const wchar_t* key, int value);
    bool GetString(const wchar_t* key, std::wstring& value) const;
    bool SetString(const wchar_t* key, const wchar_t* value);
    // Narrow keys ("X", "Y") for window positions.
    bool GetInt(const char* key, int& value) const;
    bool SetInt(const char* key, int value);

private:
    struct DeleteStore {
        void operator()(zhost_vpm_UserStore* p) const { zhost_vpm_DeleteUserStore(p); }
    };
    std::unique_ptr<zhost_vpm_UserStore, DeleteStore> m_store;
};

// Takes a string that the settings library allocated and frees it through the library.
std::wstring TakeLibraryString(wchar_t* text);

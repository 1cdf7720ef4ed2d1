#pragma once
// File access of the library readers. Paths are built the platform's way, with backslashes and
// in whatever case the library's author wrote them; the host resolves them.
#include <string>
#include <unordered_map>

// The whole file; false when it does not exist or cannot be read.
bool ReadLibraryFileBytes(const std::wstring& path, std::string& bytes);
bool LibraryFileExists(const std::wstring& path);

// Whether the drawing "X.dwg" can be loaded: the host's drawing loader reads the DXF file of the
// same base name beside it, so either file counts.
bool DrawingFileExists(const std::wstring& dwgPath);

// The files of one folder, listed once and looked up without case afterwards. Readers that ask
// about thousands of names in the same folder (one dialog description per catalogue node) use
// it instead of asking the file system each time.
class CFolderIndex {
public:
    CFolderIndex() = default;
    // A folder that does not exist gives an empty index.
    explicit CFolderIndex(const std::wstring& folder);

    // The full path of the file with this name (without case), or false.
    bool Find(const std::wstring& name, std::wstring& fullPath) const;
    size_t GetCount() const { return m_files.size(); }

private:
    std::unordered_map<std::wstring, std::wstring> m_files; // folded name -> path
};

#include "selection/SymbolDrawings.h"

CSymbolDrawings::CSymbolDrawings(std::wstring strSymbolsFolder)
    : m_strFolder(std::move(strSymbolsFolder)) {}

std::wstring CSymbolDrawings::PathOf(const std::wstring& strFileBaseName, int nNumber) const {
    return m_strFolder + strFileBaseName + L"_" + std::to_wstring(nNumber) + L".dwg";
}

bool CSymbolDrawings::Find(const std::wstring& strFileBaseName, int nNumber,
                           std::wstring& strPath) {
    if (strFileBaseName.empty())
        return false;
    if (!m_index)
        m_index = std::make_unique<CFolderIndex>(m_strFolder);
    const std::wstring stem = strFileBaseName + L"_" + std::to_wstring(nNumber);
    std::wstring found;
    if (!m_index->Find(stem + L".dwg", found) && !m_index->Find(stem + L".dxf", found))
        return false;
    strPath = PathOf(strFileBaseName, nNumber);
    return true;
}

int PictureNumber(int nThumbNumber) {
    return nThumbNumber == -1 ? 1 : nThumbNumber;
}

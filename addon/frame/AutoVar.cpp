#include "frame/AutoVar.h"

#include "zhost/editor/sysvars.h"

#include <cstdint>
#include <cwchar>

CAutoVar::CAutoVar(const wchar_t* name, int value) {
    Set(name, value);
}

CAutoVar::~CAutoVar() {
    Restore();
}

bool CAutoVar::Set(const wchar_t* name, int value) {
    Restore();
    if (name == nullptr || name[0] == L'\0')
        return false;
    const std::size_t length = std::wcslen(name);
    if (length > kMaxNameLength)
        return false;

    zhost::ed::ResBuf old;
    if (zhost::ed::getVar(name, old) != zhost::ed::Result::normal)
        return false;
    std::wmemcpy(m_name, name, length + 1);
    m_saved = old;

    const zhost::ed::ResBuf next(zhost::ed::rt::int16, std::int32_t(std::int16_t(value)));
    return zhost::ed::setVar(name, next) == zhost::ed::Result::normal;
}

void CAutoVar::Restore() {
    if (!IsHolding())
        return;
    // A value that cannot be written back (the variable became read-only, the drawing went
    // away) is dropped: there is nobody to report it to while a scope unwinds.
    zhost::ed::setVar(m_name, m_saved);
    m_name[0] = L'\0';
    m_saved = zhost::ed::ResBuf();
}

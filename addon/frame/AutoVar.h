#pragma once
// CAutoVar: a scoped change of one host system variable. The commands switch object snap, grid
// snap, command echo and the like off while they work and must hand the user's settings back
// however they end - normally, on an early return, or while an exception unwinds.
//
//     CAutoVar snap;
//     snap.Set(L"SNAPMODE", 0);   // read first; only a readable variable is changed
//     ...                         // SNAPMODE is written back when snap goes out of scope
//
// Set() reads the variable first; only when that read succeeds does it remember the name and
// the old value and write the new one as a 16-bit integer. A variable the host does not know is
// left alone and nothing is restored for it.
#include "zhost/editor/result.h"

#include <cstddef>

class CAutoVar {
public:
    // The longest variable name held; longer names are refused rather than cut, so that a
    // shortened name can never restore some other variable.
    static constexpr std::size_t kMaxNameLength = 64;

    CAutoVar() = default;
    // Set(name, value) at construction.
    CAutoVar(const wchar_t* name, int value);
    ~CAutoVar();
    CAutoVar(const CAutoVar&) = delete;
    CAutoVar& operator=(const CAutoVar&) = delete;

    // Reads `name`; on success remembers it with its current value and writes `value` as a
    // 16-bit integer. Returns whether the variable was read and written. A second Set() on the
    // same object first writes back what the object held, so every change is undone once.
    bool Set(const wchar_t* name, int value);

    // Writes the remembered value back now and forgets it (also done at scope end).
    void Restore();

    bool IsHolding() const { return m_name[0] != L'\0'; }
    const wchar_t* GetName() const { return m_name; }

private:
    wchar_t m_name[kMaxNameLength + 1] = {};
    zhost::ed::ResBuf m_saved;
};

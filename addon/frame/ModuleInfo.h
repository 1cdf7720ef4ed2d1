#pragma once
// What the library knows about itself: its resource instance (the handle that dialogs and string
// loads name the library by) and its full file path. Both are found from an address inside the
// library, so they are right whichever name or link the host loaded it under.
#include <cstddef>
#include <string>

// The longest module path handed out, in characters (the platform's path limit).
inline constexpr std::size_t kMaxModulePath = 260;

// The library's resource instance: its load address, which is what a module instance handle is
// on the platform. Set at library attach; null before.
void* GetZormaResourceInstance();

// The full path of the library file. False when it cannot be found or is longer than
// kMaxModulePath characters: a cut path would name some other file, so none is given.
bool GetZormaModulePath(std::wstring& path);

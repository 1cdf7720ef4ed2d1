#pragma once
// The plug-in's resources (the bitmaps, menus, strings and dialog templates its resource file
// holds on its home platform), made once on first use.
#include "zhost/ui/resources.h"

#include <string>

// The plug-in's resource module. Dialogs run with it made current (see CZormaResourceScope).
zhost::ui::ResourceModule& ZormaResources();

// A string of the string table; empty when there is none with that id.
std::wstring LoadZormaString(int nId);

// Makes the plug-in's resources current for a scope, as the platform's resource override.
class CZormaResourceScope {
public:
    CZormaResourceScope() : m_scope(ZormaResources()) {}

private:
    zhost::ui::ResourceScope m_scope;
};

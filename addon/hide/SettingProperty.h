#pragma once
// CSettingProperty: what the hidden-line command gives to the covered pieces of a part. In hide
// mode only the hide flag counts (the pieces go to the frozen hidden-line layer); in property
// mode the layer, colour, linetype and lineweight the user chose in the property dialog.
#include "zhost/db/object_id.h"

#include <cstdint>
#include <string>

// The layer covered pieces go to in hide mode; made frozen when the drawing lacks it.
inline constexpr const wchar_t* kHiddenLineLayer = L"ACAD_HENTS";

class CSettingProperty {
public:
    bool m_hide = true;
    std::uint16_t m_colorIndex = 256;
    zhost::db::ObjectId m_linetype;
    std::int32_t m_lineweight = -1;
    std::wstring m_layer;
};

#include "library/LayerSettings.h"

#include "frame/SettingsLib.h"
#include "library/LibraryPaths.h"

namespace {

void GetStringIfSet(CProductIni& ini, const wchar_t* key, std::wstring& value) {
    std::wstring read;
    if (ini.GetString(key, read) && !read.empty())
        value = read;
}

} // namespace

CLayerSettings::CLayerSettings()
    : m_categories{{L"AM_0", 7, L"Continuous", 50},
                   {L"AM_7", 1, L"Center", 30},
                   {L"AM_3", 4, L"Dashed", 30},
                   {L"AM_4", 4, L"Continuous", 30},
                   {L"AM_3", 4, L"Phantom", 30}},
      m_projectionLength(L"2.5") {}

const wchar_t* LayerCategorySection(LayerCategory c) {
    switch (c) {
    case kLayerOutline:
        return L"OUTLINE";
    case kLayerCenter:
        return L"CENTER";
    case kLayerHide:
        return L"HIDE";
    case kLayerThread:
        return L"THREAD";
    case kLayerThrHide:
        return L"THRHIDE";
    default:
        return L"";
    }
}

void ReadLayerSettings(CProductIni& ini, CLayerSettings& settings) {
    for (int i = 0; i < kLayerCategoryCount; ++i) {
        if (!ini.SelectSection(LayerCategorySection(static_cast<LayerCategory>(i))))
            break;
        CLayerCategory& c = settings.m_categories[i];
        GetStringIfSet(ini, L"Layer", c.m_layer);
        ini.GetInt(L"Color", c.m_color);
        GetStringIfSet(ini, L"LineType", c.m_lineType);
        ini.GetInt(L"LineWeight", c.m_lineWeight);
    }
    if (ini.SelectSection(L"OTHER"))
        GetStringIfSet(ini, L"ProjectionLength", settings.m_projectionLength);
}

bool ReadLayerSettings(CLayerSettings& settings) {
    CProductIni ini(kLayerSettingsFileName);
    if (!ini.IsOpen())
        return false;
    ReadLayerSettings(ini, settings);
    return true;
}

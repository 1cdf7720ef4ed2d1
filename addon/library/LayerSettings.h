#pragma once
// The layer settings of part drawings, from "PartsContentsParam.ini" in the product's
// configuration folder: five layer categories onto which a placed part's entities are mapped,
// and the projection length given to every placed part.
#include <string>

enum LayerCategory {
    kLayerOutline = 0, // section "OUTLINE": outlines; its layer is the target layer of parts
    kLayerCenter,      // "CENTER": centre lines
    kLayerHide,        // "HIDE": hidden lines
    kLayerThread,      // "THREAD": threads
    kLayerThrHide,     // "THRHIDE": hidden threads
    kLayerCategoryCount
};

struct CLayerCategory {
    std::wstring m_layer;
    int m_color = 7; // colour index
    std::wstring m_lineType;
    int m_lineWeight = 0; // hundredths of a millimetre
};

struct CLayerSettings {
    CLayerCategory m_categories[kLayerCategoryCount];
    std::wstring m_projectionLength; // "OTHER" / "ProjectionLength": the "CS" parameter

    // The defaults: "AM_0" 7 "Continuous" 50, "AM_7" 1 "Center" 30, "AM_3" 4 "Dashed" 30,
    // "AM_4" 4 "Continuous" 30, "AM_3" 4 "Phantom" 30, projection length "2.5".
    CLayerSettings();

    const CLayerCategory& Get(LayerCategory c) const { return m_categories[c]; }
};

// The ini section name of a category ("OUTLINE", ...).
const wchar_t* LayerCategorySection(LayerCategory c);

class CProductIni;

// Reads the categories in their order ("Layer", "Color", "LineType", "LineWeight") and stops at
// the first missing section: the categories from there on keep their defaults even when their
// own sections exist. "OTHER" / "ProjectionLength" is read in any case. A missing file or key,
// or an empty string value, keeps the default. False when the file could not be opened.
bool ReadLayerSettings(CLayerSettings& settings);
void ReadLayerSettings(CProductIni& ini, CLayerSettings& settings);

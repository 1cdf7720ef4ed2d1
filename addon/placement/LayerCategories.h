#pragma once
// The five layer categories a placed part is drawn on (outline, centre, hidden, thread, hidden
// thread): making sure their layers exist, and moving the entities of a part block onto them.
#include "library/LayerSettings.h"
#include "placement/LineTypeState.h"

#include "zhost/db/object_id.h"

#include <array>
#include <string>

class PartDescription;

using CategoryLayerIds = std::array<zhost::db::ObjectId, kLayerCategoryCount>;

// The linetype file of the product's configuration folder, loaded from when a category layer
// needs a linetype the drawing lacks.
inline constexpr const wchar_t* kDefaultLinFileName = L"default.lin";

// Looks the category layers of `settings` up in the working drawing; with `create`, makes the
// missing ones with their colour, lineweight and linetype (loaded from "default.lin" when the
// drawing lacks it; a linetype that cannot be had leaves the layer continuous). When a layer is
// still missing, prints "\n画層の生成に失敗しました[%s]" and returns false.
bool EnsureCategoryLayers(const CLayerSettings& settings, bool create, CategoryLayerIds& ids);
// The same with the settings of "PartsContentsParam.ini" (the defaults where it says nothing).
bool EnsureCategoryLayers(bool create, CategoryLayerIds& ids);

// The category of an entity of a part block by its layer name, whether it carries the hidden
// bolt mark, and whether the part is dashed as a whole.
LayerCategory CategoryOfLayer(const std::wstring& layerName, bool hiddenBoltMark, bool wholeDashed);

// Moves every entity of the definition whose layer is not frozen onto the layer of its category,
// with linetype and colour by layer. The category layers (of the description's layer settings)
// are looked up, not made: when one is missing nothing is changed. Returns whether any entity was
// moved.
bool MapOntoCategories(const PartDescription& desc, zhost::db::ObjectId definitionId,
                       const LineTypeState& state);

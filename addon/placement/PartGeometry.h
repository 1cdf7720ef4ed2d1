#pragma once
// Everything the placement run calls to turn a part's symbol into a placed static block, in the
// order it calls them:
//
//   EnsureCategoryLayers(desc.m_layers, true, layerIds);     the five category layers
//   InsertSymbol(desc.m_root, desc.m_symbolBlockName, at, ref);
//   SetPartParameters(desc, ref, state);                      choices into the symbol
//   ... the jig drags ref ...
//   MakeUniqueBlockName(desc.m_symbolBlockName, name);
//   MakeStaticPartBlock(blockOf(ref), name, state, blockId);
//   MapOntoCategories(desc, blockId, state);
//
// One LineTypeState per placement carries the line-type choices from the parameters to the
// static block and the mapping.
#include "placement/BlockNames.h"
#include "placement/LayerCategories.h"
#include "placement/LineTypeState.h"
#include "placement/PartParameters.h"
#include "placement/StaticPartBlock.h"
#include "placement/SymbolInsert.h"

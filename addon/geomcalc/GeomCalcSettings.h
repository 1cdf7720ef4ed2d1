#pragma once
// What the geometric calculation remembers while the plug-in is loaded: the report items, the
// specific gravity and the way the axis of revolution is given. The item switches and the
// specific gravity are also kept in the per-user store (section "ZORMA_GEOMALC", keys "TAB" and
// "specificGravity") so that they survive the session.
#include "geomcalc/GeomCalcTypes.h"

#include <string>

struct CGeomCalcMemory {
    ItemFlags items = ItemFlags::All();
    double specificGravity = 1.0;
    bool axisByLine = false; // false: the axis is given by two points
};

// The single instance for the life of the loaded plug-in.
CGeomCalcMemory& GeomCalcMemory();

// Replaces the remembered switches by the stored "TAB" mask when it can be read.
void LoadItemSwitches();
// Stores the switches as "TAB"; false when the store cannot be written.
bool SaveItemSwitches(const ItemFlags& items);

// The accepted range of a specific gravity: 0.01 <= v < 100.
bool IsSpecificGravityInRange(double v);
// A stored specific gravity: a decimal number (blanks around it allowed) in the accepted range.
bool ParseSpecificGravity(const std::wstring& text, double& value);
// Replaces the remembered specific gravity by the stored one. A stored text that is no number
// in the accepted range is passed over and the previous value stays.
void LoadSpecificGravity();
// Stores the value with "%f".
bool SaveSpecificGravity(double value);

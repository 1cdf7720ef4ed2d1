#pragma once
// CLayerInfor, the description of a new layer, and the small layer-table operations the
// property dialog builds on: create a layer from a description, list the layer names, name a
// layer by its id, ask whether a name is taken. All work on the working drawing.
//
// The scale helpers hold the rules of the layer dialog's scale field, so that they can be used
// and checked without a dialog: layer names carry a scale suffix ("BOLT-ScaleA2" for an absolute
// scale of 2, "BOLT-ScaleR0.5" for a relative one) that the drafting office reads at a glance.
#include "zhost/db/object_id.h"

#include <cstdint>
#include <string>
#include <vector>

class CLayerInfor {
public:
    std::wstring m_name;
    std::wstring m_description;
    zhost::db::ObjectId m_linetype;
    std::uint16_t m_colorIndex = 7;
    std::int32_t m_lineweight = -3;
    bool m_plottable = true;
    bool m_frozen = false;
    bool m_off = false;
    bool m_locked = false;
};

// Adds a layer made from the description to the working drawing. False when the name is taken
// (nothing changes), the table cannot be opened, or the record is refused.
bool CreateLayer(const CLayerInfor& info);
// The names of the working drawing's layers in table order, leaving out those beginning with
// "*". False (and `names` empty) when the layer table cannot be opened.
bool GetLayerNames(std::vector<std::wstring>& names);
// The layer's name; empty when the record cannot be opened.
std::wstring GetLayerName(zhost::db::ObjectId layerId);
// Whether the working drawing has a layer of that name (without case).
bool LayerExists(const std::wstring& name);

// Blanks (spaces, tabs, line ends) taken off both ends.
std::wstring TrimBlanks(const std::wstring& text);

// The scale as the field shows it: "%d" for a whole number, "%.1f" otherwise.
std::wstring FormatLayerScale(double scale);
// One step of the scale's up-down control: +0.5 for a negative delta, -0.5 otherwise. False when
// the result would not be positive (the field keeps its value).
bool StepLayerScale(double scale, int delta, double& result);
// The layer name after the absolute-scale box changed: the part of `name` before its first
// "-Scale", trimmed, followed by "-ScaleA<scale>" when ticked, "-ScaleR<scale>" when not ticked
// and the scale is not 1, nothing else when not ticked at scale 1. `scaleText` is the field's
// text as typed; `scale` its value.
std::wstring ScaledLayerName(const std::wstring& name, const std::wstring& scaleText, double scale,
                             bool absolute);
// The field's text read as a number the way the platform's atof does (0 when it is none).
double ParseLayerScale(const std::wstring& text);

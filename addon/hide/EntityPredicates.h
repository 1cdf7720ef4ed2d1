#pragma once
// Which entities of a part count as drawable outline curves, which are suppressed and which are
// visible. Placement and the hidden-line commands ask these same questions, so that a part is
// cut, collected and flattened by one set of rules.
//
// The id forms open the entity for reading themselves and answer false when it cannot be opened
// (null, erased or not an entity).
#include "zhost/db/object_id.h"

namespace zhost::db {
class Entity;
}

// The layer whose entities a part draws only for construction: matched as a wildcard pattern
// without case. The back-quote makes the star literal, so only the name "*SUPPRESS" (any case)
// matches; "ASUPPRESS" does not.
inline constexpr const wchar_t* kSuppressLayerPattern = L"`*SUPPRESS";
// The centre-line layer: its top-level entities are no part of a covering part's outline.
inline constexpr const wchar_t* kCenterLineLayer = L"AM_7";

bool IsBlockReference(const zhost::db::Entity& entity);
bool IsBlockReferenceId(zhost::db::ObjectId id);

// The entity's layer is the suppressed layer. Works for entities outside the database too (the
// pieces of an explosion keep their layer ids).
bool IsOnSuppressLayer(const zhost::db::Entity& entity);

// An arc, circle, line or lightweight polyline that is not suppressed: the only kinds that are
// ever cut, collected or used for an outline.
bool IsCuttableCurve(const zhost::db::Entity& entity);
bool IsCuttableCurveId(zhost::db::ObjectId id);

// The entity's visibility is "visible".
bool IsVisibleId(zhost::db::ObjectId id);

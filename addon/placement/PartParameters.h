#pragma once
// Setting a placed symbol's parameters from the user's choices: the projection length "CS", the
// values of the description's controls (also picked from a list, "name:list"), the line types of
// head and body and the centre line, then evaluating the block so that they take effect.
#include "placement/LineTypeState.h"

#include "zhost/db/object_id.h"

#include <string>
#include <vector>

class CParam;
class PartDescription;

// The parameter a control sets and the value it gives, as the control's current value says:
// "name" takes the value itself; "name:a,b,c" takes the item at the value's index in the list;
// without a parameter name, a Radio whose caption says "線種" sets "LineTypeHead" and a Check
// whose caption says "中心線" sets "ShowCenterLine", each to "1" or "0". False when the control
// sets nothing (or its index lies outside its list).
bool ControlParameter(const CParam& control, std::wstring& parameter, std::wstring& value);

// Sets one parameter of the reference when `names` (the reference's parameter names) has it.
// The line-type parameters "LineTypeHead", "LineTypeBody" and "LineType" first record their
// value in `state`; once the part is dashed as a whole they are no longer written. False when
// the parameter is unknown or the block refuses the value.
bool SetPartParameter(const std::vector<std::wstring>& names, zhost::db::ObjectId referenceId,
                      const std::wstring& name, const std::wstring& value, LineTypeState& state);

// Sets every parameter the description gives (the controls enabled when the dialog closed, in
// order) and evaluates the block. With "ShowDebugInfo" on, prints each value. False when the
// reference is no parametric block reference or its evaluation fails.
bool SetPartParameters(const PartDescription& desc, zhost::db::ObjectId referenceId,
                       LineTypeState& state);

#pragma once
// Names of hidden variants. A part that was hidden references a private copy of its block
// definition named after the base with "_A" and a number ("BOLT_A1", "BOLT_A1_A1" for a copy of
// a copy); the restore command finds the base by that name alone.
#include <string>

// The first free name "<base>_A<n>" (n = 1, 2, ...) of the working drawing's block table. False
// when the table cannot be read.
bool NextHiddenVariantName(const std::wstring& base, std::wstring& name);

// Whether `name` names a hidden variant: after its last underscore comes the capital "A"
// followed by nothing but decimal digits (none at all is accepted). `base` gets the text before
// that underscore (empty for a name without one, which no definition carries).
bool IsHiddenVariantName(const std::wstring& name, std::wstring& base);

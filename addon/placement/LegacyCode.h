#pragma once
// Symbol codes of the earlier symbol library. Its block definitions carry a code string such as
// "B1180_1_02" in their "SymbolBlock" data: "B" and the four digits of the JIS B standard, then
// positions and "_"-separated fields whose meaning depends on the standard. Decoding gives the
// drawing variant (the view the symbol shows) and the index of the catalogue entry among the
// entries of that standard.
#include <string>

// Decodes a code whose "JIS_B" prefix has already been cut to "B". False when the standard is
// not one the library knew, when the code is too short for the positions or fields its standard
// reads, when a position read as a digit holds something else, or when either result comes out
// as -1. On false both outputs are -1.
bool DecodeLegacySymbolCode(const std::wstring& code, int& drawingNumber, int& candidateIndex);

// The code as the symbol library stored it, made ready for decoding: "JIS_B..." loses its first
// four characters (compared without case).
std::wstring StripJisPrefix(const std::wstring& code);

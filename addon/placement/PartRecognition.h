#pragma once
// Recognising a picked entity as a placed part: which part of the library it is (its file base
// name), how it was recognised and which drawing variant it shows.
//
// - A reference with the part record names its part directly; its block name ending in "_A"
//   and digits marks a numbered copy (a hidden-line variant "%s_A%d").
// - A numbered copy without the record is looked up by its block name with every numbered
//   ending cut off, among the block definitions.
// - A reference of the earlier symbol library ("MRCD_PART") uses its own definition.
// Both of the last two read the "SymbolBlock" code of the definition and find the part in the
// catalogue by it (LegacyCode.h, PartCandidates.h).
#include "zhost/db/object_id.h"

#include <string>

// How a placed part was recognised.
enum class PartOrigin : int {
    None = 0,          // not recognised
    Legacy = 1,        // the reference carries "MRCD_PART" data
    PartsContents = 2, // the reference carries the part record; every new placement
    NumberedCopy = 3,  // the reference's block name ends in "_A" and a digit
};

// Whether the text from a block name's last "_" on is a numbered ending ("_A#*", without
// case): "_A1", "_a12x" are, "_A", "_B1", "_AX1" are not.
bool IsNumberedEnding(const std::wstring& blockName);

// The block name without its numbered endings, cut one after the other from the right while
// they match ("BOLT_A1_A2" gives "BOLT"); `stripped` tells whether any was cut.
std::wstring StripNumberedEndings(const std::wstring& blockName, bool& stripped);

// Recognises the entity against the module's catalogue file (the library paths kept for the
// module). False when it is not a part, or when a legacy part's code or catalogue entry cannot
// be found; the outputs are then as far as they were determined: the name empty, the origin
// and the drawing number (-1 when not determined).
bool RecognizePart(zhost::db::ObjectId id, std::wstring& fileBaseName, PartOrigin& origin,
                   int& drawingNumber);

// The same against a given catalogue file.
bool RecognizePartWithCatalogue(zhost::db::ObjectId id, const std::wstring& catalogueFile,
                                std::wstring& fileBaseName, PartOrigin& origin, int& drawingNumber);

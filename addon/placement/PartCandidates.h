#pragma once
// Finding the catalogue entries that a legacy symbol code stands for. The code names a JIS B
// standard ("B1180..."); every catalogue line whose file base name starts with the same five
// characters is a candidate, and the code's candidate index picks one of them.
#include <string>
#include <vector>

// The longest line piece the catalogue is read in for this search; a longer line goes on as the
// next piece, as the earlier library read it.
inline constexpr size_t kCandidateLineChars = 511;

// The candidates among catalogue lines (as read, line ends allowed): each line trimmed on the
// right; its key is tab field 20 when there is one that begins with "B" (without case), else tab
// field 19; the line is a candidate when the key is longer than five characters and begins with
// the code's first five characters (without case). Returns the keys in line order.
std::vector<std::wstring> FindCandidatesInLines(const std::vector<std::wstring>& lines,
                                                const std::wstring& code);

// The same over the catalogue file, decoded like every library text and read in pieces of at
// most kCandidateLineChars characters. A missing file gives no candidates.
std::vector<std::wstring> FindCatalogueCandidates(const std::wstring& catalogueFile,
                                                  const std::wstring& code);

// The file base name the candidates give: the only one when there is exactly one (whatever the
// index says), else the one at the index counted from 1, else none (false, name empty).
bool ChooseCandidate(const std::vector<std::wstring>& candidates, int candidateIndex,
                     std::wstring& fileBaseName);

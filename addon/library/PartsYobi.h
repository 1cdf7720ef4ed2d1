#pragma once
// CPartsYobi: the nominal sizes and lengths of one part, read from the nominal-size file
// ("PartsContentsY.txt"), with which the placement jig snaps a part's length.
#include <string>
#include <vector>

struct CPartsYobiRow {
    std::wstring m_size;      // size designation ("M8")
    std::wstring m_minLength; // text as written in the file
    std::wstring m_maxLength;
};

class CPartsYobi {
public:
    // Finds the part's rows in the module's nominal-size file (see GetNominalSizeFile): the first
    // line whose column 2 (quotes removed) matches the part name as a wildcard pattern, under a
    // header line with "NOM_SIZE" in column 3. When the header's column 4 is set, the part's
    // lines come in up to six (minimum, maximum) pairs whose column 4 is a pattern for the
    // variant number. True when any row was found.
    bool Load(const std::wstring& partName, int variant);
    // The same from a given file, and from lines already read (without trimming).
    bool LoadFile(const std::wstring& file, const std::wstring& partName, int variant);
    bool LoadLines(std::vector<std::wstring> lines, const std::wstring& partName, int variant);

    // Chooses the size (without case) and collects the nominal lengths: every row's minimum and
    // maximum text whose value lies in (min - 0.001, max + 0.001] of the chosen row, each text
    // once, sorted by value. Texts that are not numbers are left out. False when no row has the
    // size.
    bool Restrict(const std::wstring& size);

    // The first nominal length when at least 0.5, else the first row's minimum when at least 0.5.
    bool GetMinLength(double& length) const;

    // Replaces the length by the nearest nominal length (the first wins a tie; a length 99999 or
    // more away from every nominal length is left as it is). False when there are none.
    bool Snap(double& length) const;

    const std::wstring& GetPartName() const { return m_partName; }
    const std::vector<CPartsYobiRow>& GetRows() const { return m_rows; }
    const std::wstring& GetSize() const { return m_size; }
    const std::vector<std::wstring>& GetLengths() const { return m_lengths; }
    bool HasRows() const { return !m_rows.empty(); }

private:
    bool FindRows(const std::vector<std::wstring>& lines, int variant);
    void PrintRows() const;

    std::wstring m_partName;
    std::vector<CPartsYobiRow> m_rows;
    std::wstring m_size;
    std::vector<std::wstring> m_lengths;
};

// Sorts texts by their numeric value with the shell sort of gaps n/2, n/4, ..., 1. Equal values
// keep the order this sort leaves them in (it is not stable), which decides which of "10" and
// "10.0" comes first.
void SortByValue(std::vector<std::wstring>& texts);

// A column with its surrounding double quotes removed.
std::wstring StripQuotes(const std::wstring& text);

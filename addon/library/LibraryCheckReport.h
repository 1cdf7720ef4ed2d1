#pragma once
// The report of the library check: problems and warnings with the place they were found
// ("file:line"), counted as they are printed.
#include "library/LibraryCheck.h"

#include <string>

class CProblemReport {
public:
    explicit CProblemReport(const LibraryCheckPrint& print) : m_print(print) {}
    void Problem(const std::wstring& where, const std::wstring& text) {
        ++m_counts.problems;
        Line(where + L": " + text);
    }
    void Warning(const std::wstring& where, const std::wstring& text) {
        ++m_counts.warnings;
        Line(where + L": warning: " + text);
    }
    void Line(const std::wstring& text) {
        if (m_print)
            m_print(text);
    }
    const LibraryCheckCounts& Counts() const { return m_counts; }

private:
    const LibraryCheckPrint& m_print;
    LibraryCheckCounts m_counts;
};

// The file name of a path (after the last slash or backslash).
std::wstring CheckFileName(const std::wstring& path);
// "file:line" for a report.
std::wstring CheckAt(const std::wstring& file, int line);

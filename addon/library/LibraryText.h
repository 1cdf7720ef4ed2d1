#pragma once
// The line reader and the field splitter that every reader of the parts library's text files
// shares, and the number parsing of the library's length columns.
#include <string>
#include <vector>

// Reads a text file of the parts library into lines. The bytes are decoded like every text file
// of the library (see DecodeLibraryText), then cut into pieces of at most 511 characters: a longer
// line continues as the next entry. With bTrim both ends of each piece are trimmed; without it
// the line end ("\n") stays part of the piece. Empty pieces are dropped.
// Returns the number of lines, or -1 when the file cannot be opened.
int ReadLines(const std::wstring& path, std::vector<std::wstring>& lines, bool bTrim);

// The same over text already decoded (the file's content after the line-end translation).
int SplitIntoLines(const std::wstring& text, std::vector<std::wstring>& lines, bool bTrim,
                   size_t pieceChars = 511);

// Splits at every occurrence of the delimiter. The text is closed with one delimiter unless it
// already ends with one, so "a", "a" + delimiter and the empty text each give one field (the last
// of them an empty field), a doubled delimiter gives an empty field between, and a text ending
// in two delimiters ends with an empty field. An empty delimiter gives the whole text as the
// only field. Returns the number of fields.
int Split(const std::wstring& text, std::vector<std::wstring>& fields,
          const std::wstring& delimiter);
int Split(const wchar_t* text, std::vector<std::wstring>& fields, const wchar_t* delimiter);
// The fields of Split, each trimmed.
std::vector<std::wstring> SplitTrimmed(const std::wstring& text, const wchar_t* delimiter);

// White space as the platform's string trimming knows it: the ASCII controls 9 to 13, the blank,
// the no-break space and the ideographic space U+3000 among others.
bool IsLibrarySpace(wchar_t c);
void TrimRight(std::wstring& text);
void TrimLeft(std::wstring& text);
void Trim(std::wstring& text);

// Decodes a text file of the library. A byte-order mark decides (FF FE UTF-16LE, EF BB BF UTF-8);
// without one the bytes are in the host's code page. "\r\n" becomes "\n" as a text-mode read
// does; a lone "\r" stays.
std::wstring DecodeLibraryText(const std::string& bytes);

// The leading number of a text, read like the platform's text-to-double conversion: leading white
// space, a sign, digits with an optional decimal point, an optional exponent; whatever follows is
// ignored ("12.5mm" is 12.5). False when the text does not begin with a number or when the value
// is not finite ("1e400" overflows, "nan" and "inf" are not numbers here): a length column that
// says so is treated as not a number rather than as an infinite length.
// `used`, when given, receives the number of characters the number took (with the white space
// before it), so that a caller can tell "12" from "12mm".
bool ParseLeadingNumber(const std::wstring& text, double& value, size_t* used = nullptr);
// The value, or 0 when the text is not a number (as the platform's conversion answers).
double ToNumber(const std::wstring& text);

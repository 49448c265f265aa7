// Text record files: the constants files and the currency file.
//
// A record file is "<program folder><name>.txt", 8-bit Windows-1251 text:
//
//   ; comment lines (first byte ';') are skipped and kept on rewrite
//   3,1,2                 <- header: the first line that is not blank or comment,
//                            1-based indices, stored 0-based
//   USD=1.000000          <- records: name=value, one per line
//   EUR=1.080000
//
// Lines end in LF or CR LF. Lines are read whole, whatever their length.
//
// Ownership: every name and table handed out is allocated through the
// record platform's `reallocate` (malloc family). The caller owns them and
// releases them with ReleaseRecordList (or std::free one by one); a list may
// grow with std::realloc.
//
// Typical use by a list owner (constants list, currency table):
//
//   char16_t** names = nullptr; double* values = nullptr; int header[6];
//   int count = LoadRecordList(folder, options.constantsFile, kConstantsKind,
//                              header, &names, &values);
//   if (count <= 0) count = 0;          // no file, no header, or no records
//   ...
//   bool ok = SaveRecordFile(folder, options.constantsFile, kConstantsKind,
//                            header, names, values, count);
//   ...
//   ReleaseRecordList(&names, &values, &workValues, count);
//
// Nothing here keeps state between calls or shows a message; failures are
// results. Numbers are read and printed in the C locale.
#pragma once

#include <cstddef>

#include "records/record_platform.h"

// The parameters of one kind of record file.
struct RecordFileKind {
    const char16_t* fileName;  // the fixed or default bare name
    int headerCount;           // indices in the header line, 1..kRecordMaxHeader
    size_t nameLimit;          // names read from the file are cut to this many bytes
    const char* valueFormat;   // printf format of a value, without the "="
};

inline constexpr int kRecordMaxHeader = 16;

// Constants file: six menu slots, names of 14 bytes, seven significant digits.
inline constexpr RecordFileKind kConstantsKind{u"constant", 6, 14, "%.6e"};
// Currency file: three quick currencies, names of 6 bytes, six decimals.
inline constexpr RecordFileKind kCurrencyKind{u"currency", 3, 6, "%f"};

// The bare name a rewrite goes through; it exists only during a save.
inline constexpr char16_t kRecordTempName[] = u"~tmpcur~";

// Longest line that is written with the kind's value format. A value whose
// text would make the line longer is written in a shorter exponent form.
inline constexpr size_t kRecordLineLimit = 159;

// Line end of written lines (comment lines keep their own).
#ifdef _WIN32
inline constexpr char kRecordLineEnd[] = "\r\n";
#else
inline constexpr char kRecordLineEnd[] = "\n";
#endif

// ---- Paths and files ------------------------------------------------------

// `folder` ends with the path separator. Returns folder + name + ".txt" as a
// new string, or nullptr when memory runs out.
char16_t* RecordFilePath(const char16_t* folder, const char16_t* name);

enum RecordOpenMode { kRecordRead, kRecordWrite };

// Opens folder + name + ".txt" for reading, or creates/truncates it for
// writing; binary mode, line ends are handled here. nullptr on failure;
// *missing (when given) then tells whether the file does not exist.
RecordStream* OpenRecordFile(const char16_t* folder, const char16_t* name,
                             RecordOpenMode mode, bool* missing = nullptr);

// Closes; true when everything written reached the file.
bool CloseRecordFile(RecordStream* file);

// ---- Lines ----------------------------------------------------------------

// A line buffer that grows to hold whole lines. Start with `RecordLine line{};`
// and release with ReleaseRecordLine.
struct RecordLine {
    char* text;       // the line, NUL-terminated at `size`
    size_t size;      // bytes in text (see ReadRecordLine)
    size_t capacity;
    bool failed;      // the last -1 came from a read error or lack of memory
};

inline constexpr int kRecordLineEndOfFile = -1;
inline constexpr int kRecordLineComment = -2;

// Reads one whole line (up to and including LF, or to the end of the file).
//  -1  end of file, or a read error / no memory (then line.failed is set);
//  -2  a comment (first byte ';'): text holds the whole line with its line
//      end, size counts every byte;
//  otherwise the length of the line without its line end: the line is taken
//  up to its first NUL byte, then up to two trailing CR/LF bytes are removed
//  (the last byte, then the new last byte). 0 is a blank line. text is
//  NUL-terminated at that length and size equals it.
int ReadRecordLine(RecordStream* file, RecordLine& line);

void ReleaseRecordLine(RecordLine& line);

// Fills indices[0..n-1] from a header line: each comma-separated decimal
// number n becomes n - 1, except that 0, text that is no number and numbers
// missing for lack of commas give 0.
void ParseHeaderLine(const char* line, int* indices, int n);

enum RecordParse {
    kNotRecord = 0,       // the line is no record
    kRecord = 1,          // a record (without countOnly: *name and *value set)
    kRecordNoMemory = 2,  // a record whose name could not be allocated
};

// Parses name=value. `line` holds `length` bytes and is NUL-terminated at
// `length`. A record needs at least 3 bytes and an "=" that is neither the
// first nor the last byte. The name (all bytes before the first "=", nothing
// trimmed) is cut to nameLimit bytes and decoded into a new string; the value
// is the decimal number at the start of the text after the "=" (white space
// skipped, sign, digits, point, exponent; 0 when there is none). With
// countOnly nothing is allocated or stored. The line is modified.
RecordParse ParseRecordLine(char* line, size_t length, size_t nameLimit, bool countOnly,
                            char16_t** name, double* value);

// ---- Names ----------------------------------------------------------------

// One byte of the file to one UTF-16 code unit, and back (0 ends a name).
char16_t DecodeNameByte(unsigned char byte);
unsigned char EncodeNameUnit(char16_t unit);

// Convert a NUL-terminated name into `out` of `capacity` elements; stop at the
// end of the name (for EncodeName: at the first unit that gives byte 0) or when
// out is full, always terminate. Return the number of elements written
// without the terminator.
size_t DecodeName(const char* bytes, char16_t* out, size_t capacity);
size_t EncodeName(const char16_t* units, char* out, size_t capacity);

// A new copy of `name` cut to `limit` code units (for names typed in a
// dialog); nullptr when memory runs out.
char16_t* CopyRecordName(const char16_t* name, size_t limit);

// ---- Whole files ----------------------------------------------------------

// One pass over the file. With countOnly: counts the records. Without: fills
// headerIndices (kind.headerCount of them) from the header line, and names[i]
// and values[i] in file order, at most `capacity` records (the count of the
// counting pass, as the file may change between the passes).
// Result: -1 when the file cannot be opened or holds no header line (only
// blank lines and comments), else the number of records counted or stored.
// When memory for a name runs out the pass stops there; the result is the
// number of names actually stored, so names[0..result-1] are all set: use the
// filling pass's result as the list's count. headerIndices are left alone by a
// counting pass and by a file without a header.
int LoadRecordFile(const char16_t* folder, const char16_t* name, const RecordFileKind& kind,
                   bool countOnly, int* headerIndices, char16_t** names, double* values,
                   int capacity);

// Both passes: counts, allocates the tables at that size, fills them.
// Returns the count (> 0) with *names and *values set, or 0 (a header and no
// records) or -1 (no usable file, or no memory) with both nullptr. The header
// indices are filled only when the result is > 0.
int LoadRecordList(const char16_t* folder, const char16_t* name, const RecordFileKind& kind,
                   int* headerIndices, char16_t*** names, double** values);

// Rewrites the file with a fresh header (each index + 1) and the `count`
// records, keeping the comment lines that stood before its first record (in
// their places around the header). Blank lines, and everything from the first
// line after the header that is not blank or comment on, are dropped. A
// missing file is created. The new content is written to "~tmpcur~.txt" and
// then moved over the file in one step: on any failure the file stays as it
// was and the temporary file is removed. Returns true when the file holds the
// list.
bool SaveRecordFile(const char16_t* folder, const char16_t* name, const RecordFileKind& kind,
                    const int* headerIndices, char16_t* const* names, const double* values,
                    int count);

// Releases the `count` names and the name table, the value table and the
// dialog's working copy of the values; each released pointer becomes nullptr.
// Any of the three may be nullptr or point to nullptr.
void ReleaseRecordList(char16_t*** names, double** values, double** workValues, int count);

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
// Lines end in LF or CR LF and are read whole up to 16 MiB; a longer one
// makes the file unreadable. A line is taken up to its first NUL byte. A
// record needs at least 3 bytes and an "=" that is neither its first nor its
// last byte; the name is everything before the first "=" (nothing trimmed),
// the value the decimal number at the start of the rest (0 when there is
// none). Any other line is skipped. In the header, each comma-separated
// number n stands for index n - 1; 0, text that is no number and numbers
// missing for lack of commas give index 0.
//
// Every table and name handed out is allocated through the record platform's
// `reallocate` (malloc family): the names of a load together in one block,
// names made later one by one. The caller releases them with
// ReleaseRecordTables and ReleaseRecordName. Nothing here keeps state between
// calls or shows a message; failures are results. Numbers are read and
// printed in the C locale.
#pragma once

#include <cstddef>
#include <string>

#include "core/lists/record_platform.h"

// The parameters of one kind of record file.
struct RecordFileKind {
    const char16_t* fileName;  // the fixed or default bare name
    int headerCount;           // indices in the header line, 1..kRecordMaxHeader
    size_t nameLimit;          // names read from the file are cut to this many bytes
    const char* valueFormat;   // printf format of a value, without the "="
};

inline constexpr int kRecordMaxHeader = 16;

// The bare name a rewrite goes through; it exists only during a save.
inline constexpr char16_t kRecordTempName[] = u"~tmpcur~";

// Longest line that is written with the kind's value format. A value whose
// text would make the line longer is written in a shorter exponent form.
inline constexpr size_t kRecordLineLimit = 159;

// The currency file's value format. Printed by PrintRecordValue, it keeps
// at least kRateDigits significant digits: values of 0.1 and more as "%f"
// prints them (six decimals), smaller ones with as many decimals as they need.
inline constexpr char kRateFormat[] = "%f";
inline constexpr int kRateDigits = 7;

// `value` printed with the kind's `format` into out[capacity], snprintf-like:
// the length the whole text takes.
int PrintRecordValue(char* out, size_t capacity, const char* format, double value);

// Line end of written lines (comment lines keep their own).
#ifdef _WIN32
inline constexpr char kRecordLineEnd[] = "\r\n";
#else
inline constexpr char kRecordLineEnd[] = "\n";
#endif

// The names of one load, one after the other, each with its NUL.
struct NameBlock {
    char16_t* units = nullptr;
    size_t size = 0;
};

// Why a load or a save failed: kRecordNoFault when it did not. `line` is the
// 1-based number of the line too long to read (kRecordLineTooLong), else 0.
struct RecordFileError {
    RecordFault fault = kRecordNoFault;
    long line = 0;
};

// Reads folder + name + ".txt" in two passes: counts the records, allocates
// the tables at that size, fills them in file order.
// Returns the count (> 0) with *names, *values, the names' block and
// headerIndices (kind.headerCount of them) set; or 0 with both tables nullptr
// and no block. A 0 with *error (when given) kRecordNoFault is a file that
// holds no list: missing, no header line, no records. Any other 0 is a file
// that could not be read whole (a read that failed, a line too long, no
// memory, a file that grew between the passes); *error says why. Never a part
// of the file: a list saved over it would drop the rest.
int LoadRecordList(const char16_t* folder, const char16_t* name, const RecordFileKind& kind,
                   int* headerIndices, char16_t*** names, double** values, NameBlock& block,
                   RecordFileError* error = nullptr);

// Rewrites the file with a fresh header (each index + 1) and the `count`
// records, keeping the comment lines that stood before its first record (in
// their places around the header). Blank lines, and everything from the first
// line after the header that is not blank or comment on, are dropped. A
// missing file is created. A file the system marks read-only is left alone.
// The new content is written to "~tmpcur~.txt", made new (a file that had
// that name is removed first; a link or folder there refuses the save with
// kRecordTempInTheWay, and what it points to is never touched) and then moved
// over the file in one step: on any failure the file stays as it was and the
// temporary file is removed. Returns true when the file holds the list; else
// *error (when given) says why not.
// With `head`, the new file starts with those headSize bytes instead of the
// old file's comments (all of them, before and after its header), then the
// header and the records; the old file is not read. The head must be whole
// comment lines, each ';' first and ending in kRecordLineEnd, none longer
// than a load reads (empty is none at all): any other is refused as
// kRecordWriteFailed and nothing is touched.
bool SaveRecordFile(const char16_t* folder, const char16_t* name, const RecordFileKind& kind,
                    const int* headerIndices, char16_t* const* names, const double* values,
                    int count, RecordFileError* error = nullptr, const char* head = nullptr,
                    size_t headSize = 0);

// True when SaveRecordFile takes `head` as a new file's head (see there).
bool IsRecordHead(const char* head, size_t size);

// The bytes SaveRecordFile writes for the list with `head` (nullptr: as into
// a folder without the file). Empty for a head it refuses.
std::string RecordFileText(const RecordFileKind& kind, const int* headerIndices, char16_t* const* names,
                           const double* values, int count, const char* head, size_t headSize);

// Releases the `count` names (none for a count of 0 or less), both tables
// and the block; each pointer becomes nullptr.
void ReleaseRecordTables(char16_t*** names, double** values, NameBlock& block, int count);

// Releases one name, unless it lies in the block.
void ReleaseRecordName(const NameBlock& block, char16_t* name);

// One byte of the file to one UTF-16 code unit, and back: ASCII and the upper
// half as themselves, except Ё, ё and the 64 letters А..я; other Cyrillic
// units become a space, U+0400 ends a name (byte 0).
char16_t DecodeNameByte(unsigned char byte);
unsigned char EncodeNameUnit(char16_t unit);

// A new copy of `name` cut to `limit` code units (for names typed in a
// dialog); nullptr when memory runs out.
char16_t* CopyRecordName(const char16_t* name, size_t limit);

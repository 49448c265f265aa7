#include "core/lists/record_file.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>

#include "core/text/numbers.h"
#include "core/text/text16.h"

namespace {

// Longer lines are treated as a broken file rather than grown without end.
constexpr size_t kLineMax = size_t{16} << 20;
// Bytes taken from the file at a time.
constexpr size_t kReadBlock = 16384;

const char16_t kTxt[] = u".txt";

const RecordPlatform* installed = nullptr;  // nullptr: the system table

void* Reallocate(void* block, size_t size) { return CurrentRecordPlatform().reallocate(block, size); }

// `count` is at least 1.
template <typename T>
T* AllocateArray(size_t count)
{
    if (count > SIZE_MAX / sizeof(T)) return nullptr;
    return static_cast<T*>(Reallocate(nullptr, count * sizeof(T)));
}

// Byte to code unit: ASCII and the upper half as themselves, except Ё, ё and
// the 64 letters А..я.
constexpr std::array<char16_t, 256> MakeDecodeTable()
{
    std::array<char16_t, 256> table{};
    for (size_t b = 0; b < 256; ++b) table[b] = static_cast<char16_t>(b);
    table[0xA8] = u'\u0401';
    table[0xB8] = u'\u0451';
    for (size_t b = 0xC0; b < 0x100; ++b) table[b] = static_cast<char16_t>(b + 0x350);
    return table;
}
constexpr std::array<char16_t, 256> kDecodeTable = MakeDecodeTable();

// ---- Paths and files --------------------------------------------------------

// folder + name + ".txt" as a new string, or nullptr when memory runs out.
char16_t* RecordFilePath(const char16_t* folder, const char16_t* name)
{
    const size_t folderSize = U16Len(folder);
    const size_t nameSize = U16Len(name);
    const size_t extSize = U16Len(kTxt);
    char16_t* path = AllocateArray<char16_t>(folderSize + nameSize + extSize + 1);
    if (path == nullptr) return nullptr;
    std::memcpy(path, folder, folderSize * sizeof(char16_t));
    std::memcpy(path + folderSize, name, nameSize * sizeof(char16_t));
    std::memcpy(path + folderSize + nameSize, kTxt, (extSize + 1) * sizeof(char16_t));
    return path;
}

RecordStream* OpenForReading(const char16_t* path, bool* missing = nullptr)
{
    return CurrentRecordPlatform().openRead(path, missing);
}

// ---- Lines ------------------------------------------------------------------

// The file taken a block at a time, handed out a line at a time.
struct LineReader {
    explicit LineReader(RecordStream* file) : stream(file) {}
    RecordStream* stream;
    size_t start = 0;   // unread bytes are block[start..end)
    size_t end = 0;
    bool atEnd = false;
    char block[kReadBlock];
};

// One line: a view into the reader's block, or, for a line that crosses
// blocks, into a buffer of its own that grows to hold it whole.
struct Line {
    Line() = default;
    Line(const Line&) = delete;
    Line& operator=(const Line&) = delete;
    ~Line() { std::free(buffer); }
    const char* text;      // set by every read of a line
    size_t size;           // every byte, line end included
    char* buffer = nullptr;
    size_t capacity = 0;
    bool failed = false;   // the last kEndOfFile came from a read error, a line
                           // over kLineMax or lack of memory
};

enum LineKind { kEndOfFile, kComment, kContent };

// Doubling keeps a line of many blocks from being copied block by block.
bool Reserve(Line& line, size_t needed)
{
    if (needed <= line.capacity) return true;
    const size_t capacity = std::max(needed, 2 * line.capacity);
    void* grown = Reallocate(line.buffer, capacity);
    if (grown == nullptr) return false;
    line.buffer = static_cast<char*>(grown);
    line.capacity = capacity;
    return true;
}

bool Refill(LineReader& reader)
{
    const long got = CurrentRecordPlatform().read(reader.stream, reader.block, sizeof reader.block);
    if (got < 0) return false;
    reader.start = 0;
    reader.end = static_cast<size_t>(got);
    reader.atEnd = got == 0;
    return true;
}

// Reads one whole line (up to and including LF, or to the end of the file)
// into line.text and line.size: kEndOfFile at the end or on a failure (then
// line.failed is set), kComment when its first byte is ';'.
LineKind ReadLine(LineReader& reader, Line& line)
{
    line.failed = false;
    size_t size = 0;
    bool spilled = false;
    for (;;) {
        if (reader.start == reader.end) {
            if (reader.atEnd) break;
            if (!Refill(reader)) {
                line.failed = true;
                return kEndOfFile;
            }
            if (reader.atEnd) break;
        }
        const char* from = reader.block + reader.start;
        const size_t available = reader.end - reader.start;
        const char* newline = static_cast<const char*>(std::memchr(from, '\n', available));
        const size_t take = newline != nullptr ? static_cast<size_t>(newline - from) + 1 : available;
        reader.start += take;
        if (!spilled && newline != nullptr) {  // the whole line lies in the block
            line.text = from;
            size = take;
            break;
        }
        if (take > kLineMax - size || !Reserve(line, size + take)) {
            line.failed = true;
            return kEndOfFile;
        }
        std::memcpy(line.buffer + size, from, take);
        size += take;
        spilled = true;
        if (newline != nullptr) break;
    }
    if (spilled) line.text = line.buffer;
    line.size = size;
    if (size == 0) return kEndOfFile;
    return line.text[0] == ';' ? kComment : kContent;
}

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// The bytes of a line that count: up to its first NUL byte, without up to
// two trailing CR/LF bytes.
size_t ContentLength(const Line& line)
{
    const char* nul = static_cast<const char*>(std::memchr(line.text, 0, line.size));
    size_t length = nul != nullptr ? static_cast<size_t>(nul - line.text) : line.size;
    for (int k = 0; k < 2 && length > 0; ++k)
        if (IsLineEnd(line.text[length - 1])) --length;
    return length;
}

// A line with no content: a NUL or nothing but a line end first.
bool IsBlank(const Line& line)
{
    const char first = line.text[0];
    return first == 0 || (IsLineEnd(first) && ContentLength(line) == 0);
}

void ParseHeaderLine(const char* text, size_t length, int* indices, int n)
{
    const std::string line(text, length);  // strtoll wants its NUL
    const char* p = line.c_str();
    for (int& index : std::span(indices, static_cast<size_t>(n))) {
        if (p == nullptr) {
            index = 0;
            continue;
        }
        // 1-based, so the smallest number stored is one above the smallest int.
        const long long number = std::clamp(std::strtoll(p, nullptr, 10), INT_MIN + 1LL, INT_MAX + 0LL);
        index = number == 0 ? 0 : static_cast<int>(number - 1);
        p = std::strchr(p, ',');
        if (p != nullptr) ++p;
    }
}

// name=value: the first "=" of the line's content, neither its first nor its
// last byte. The name is cut to nameLimit bytes and decoded into `name`,
// which has room for it and its NUL; the value is read up to the first byte
// that is no part of it, which a NUL and a line end never are. Returns the
// units of the name with its NUL, or 0 for a line that is no record.
size_t ParseRecordLine(const Line& line, size_t nameLimit, char16_t* name, double* value)
{
    const char* text = line.text;
    const size_t size = line.size;
    const char* equals = static_cast<const char*>(std::memchr(text, '=', size));
    const size_t at = equals != nullptr ? static_cast<size_t>(equals - text) : size;
    // The content ends at a NUL: one before the "=" leaves it outside.
    if (at == 0 || at + 1 >= size || std::memchr(text, 0, at) != nullptr) return 0;
    const char next = text[at + 1];
    if (next == 0 || (IsLineEnd(next) && ContentLength(line) <= at + 1)) return 0;

    *value = ReadLeadingDecimal(text + at + 1, size - at - 1);
    const size_t nameBytes = std::min(at, nameLimit);
    for (size_t i = 0; i < nameBytes; ++i) name[i] = DecodeNameByte(static_cast<unsigned char>(text[i]));
    name[nameBytes] = 0;
    return nameBytes + 1;
}

// The first pass: how many records the file can hold at most, for the size
// of the tables. Every line with an "=" counts; that is every record, and the
// odd comment. -1 when the file cannot be read.
int CountPass(const char16_t* path)
{
    LineReader reader(OpenForReading(path));
    if (reader.stream == nullptr) return -1;
    size_t count = 0;
    bool hasEquals = false;  // the current line has an "=", maybe in an earlier block
    auto find = [](const char* from, const char* end, char byte) {
        return static_cast<const char*>(std::memchr(from, byte, static_cast<size_t>(end - from)));
    };
    while (Refill(reader) && !reader.atEnd) {
        const char* p = reader.block;
        const char* end = reader.block + reader.end;
        for (const char* newline; (newline = find(p, end, '\n')) != nullptr; p = newline + 1) {
            count += hasEquals || find(p, newline, '=') != nullptr;
            hasEquals = false;
        }
        hasEquals = hasEquals || find(p, end, '=') != nullptr;
    }
    count += hasEquals;
    CurrentRecordPlatform().close(reader.stream);
    return static_cast<int>(std::min<size_t>(count, INT_MAX));
}

// The second pass: headerIndices from the header line, and the records in
// file order, at most `capacity` of them and as many names as the block has
// room for, one after the other: names[i] points there, values[i]. 0 when
// the file cannot be opened, -1 when it holds no header line, else the
// number of records stored.
int FillPass(const char16_t* path, const RecordFileKind& fileKind, int* headerIndices, char16_t** names,
             double* values, const NameBlock& block, int capacity)
{
    LineReader reader(OpenForReading(path));
    if (reader.stream == nullptr) return 0;
    Line line;
    int i = -1;
    size_t used = 0;  // units of the block
    for (;;) {
        const LineKind kind = ReadLine(reader, line);
        if (kind == kEndOfFile) break;
        if (kind == kComment || IsBlank(line)) continue;
        if (i == -1) {
            ParseHeaderLine(line.text, ContentLength(line), headerIndices, fileKind.headerCount);
            i = 0;
            continue;
        }
        // A file that grew since it was counted loads what fits.
        if (i >= capacity || used + fileKind.nameLimit >= block.size) break;
        const size_t units = ParseRecordLine(line, fileKind.nameLimit, block.units + used, &values[i]);
        if (units == 0) continue;
        names[i++] = block.units + used;
        used += units;
    }
    CurrentRecordPlatform().close(reader.stream);
    return i;
}

// ---- Writing ----------------------------------------------------------------

// The header line: the kind's indices, each plus 1, joined by ",", and the
// line end. Each number takes at most 11 characters and a comma.
constexpr size_t kHeaderCapacity = kRecordMaxHeader * 12 + sizeof kRecordLineEnd;
size_t FormatHeader(const RecordFileKind& kind, const int* indices, char (&text)[kHeaderCapacity])
{
    int used = 0;
    for (int k = 0; k < kind.headerCount; ++k)
        used += std::snprintf(text + used, kHeaderCapacity - static_cast<size_t>(used), k == 0 ? "%lld" : ",%lld",
                              static_cast<long long>(indices[k]) + 1);
    return static_cast<size_t>(used + std::snprintf(text + used, kHeaderCapacity - static_cast<size_t>(used), "%s",
                                                    kRecordLineEnd));
}

// The shortest exponent form that reads back as exactly `value`: 17
// significant digits always do.
size_t ShortestExponent(double value, char (&out)[32])
{
    int size = 0;
    for (int precision = 6; precision <= 16; ++precision) {
        size = std::snprintf(out, sizeof out, "%.*e", precision, value);
        if (std::strtod(out, nullptr) == value) break;
    }
    return static_cast<size_t>(size);
}

// "%f" of the largest double takes 316 characters.
constexpr size_t kValueCapacity = 400;

// The value text of a record line whose name takes nameBytes: the kind's
// format, unless its text would push the line past kRecordLineLimit (a large
// "%f" value) and a shorter exponent form exists.
size_t FormatRecordValue(const RecordFileKind& kind, size_t nameBytes, double value, char (&out)[kValueCapacity])
{
    // An infinity overflows when it is read, and so comes back the same.
    if (std::isinf(value))
        return static_cast<size_t>(std::snprintf(out, kValueCapacity, "%s", value > 0 ? "1e999" : "-1e999"));
    const size_t size = static_cast<size_t>(std::snprintf(out, kValueCapacity, kind.valueFormat, value));
    if (nameBytes + 1 + size + 1 <= kRecordLineLimit) return size;
    char exponent[32];
    const size_t exponentSize = ShortestExponent(value, exponent);
    if (exponentSize >= size) return size;
    std::memcpy(out, exponent, exponentSize + 1);
    return exponentSize;
}

// Writes the encoded name in bounded pieces; returns its byte count through
// `written`. False when a write failed.
bool WriteName(RecordStream* file, const char16_t* name, size_t& written)
{
    const RecordPlatform& platform = CurrentRecordPlatform();
    written = 0;
    char piece[64];
    size_t size = 0;
    for (const char16_t* unit = name;; ++unit) {
        const unsigned char byte = EncodeNameUnit(*unit);
        if (byte == 0 || size == sizeof piece) {
            if (size > 0 && !platform.write(file, piece, size)) return false;
            written += size;
            size = 0;
        }
        if (byte == 0) return true;
        piece[size++] = static_cast<char>(byte);
    }
}

bool WriteRecord(RecordStream* file, const RecordFileKind& kind, const char16_t* name, double value)
{
    const RecordPlatform& platform = CurrentRecordPlatform();
    size_t nameBytes = 0;
    if (!WriteName(file, name, nameBytes)) return false;
    char text[kValueCapacity];
    const size_t size = FormatRecordValue(kind, nameBytes, value, text);
    return platform.write(file, "=", 1) && platform.write(file, text, size) &&
           platform.write(file, kRecordLineEnd, sizeof kRecordLineEnd - 1);
}

bool SameName(const char16_t* a, const char16_t* b)
{
    while (*a != 0 && *a == *b) ++a, ++b;
    return *a == *b;
}

// Copies the head of the old file into the new one: the comments up to its
// first record, with the new header in the old one's place. False when a
// read or a write failed.
bool CopyHead(RecordStream* old, RecordStream* temp, const char* header, size_t headerSize, bool& headerWritten)
{
    const RecordPlatform& platform = CurrentRecordPlatform();
    LineReader reader(old);
    Line line;
    bool lastHadLineEnd = true;
    for (LineKind kind; (kind = ReadLine(reader, line)) != kEndOfFile;) {
        if (kind == kComment) {
            if (!platform.write(temp, line.text, line.size)) return false;
            lastHadLineEnd = line.text[line.size - 1] == '\n';
        } else if (!IsBlank(line)) {
            if (headerWritten) break;  // the first old record: from here on all is rewritten
            if (!platform.write(temp, header, headerSize)) return false;
            headerWritten = true;
            lastHadLineEnd = true;
        }
    }
    if (line.failed) return false;
    // A last comment without a line end must not run into the next line.
    return lastHadLineEnd || platform.write(temp, kRecordLineEnd, sizeof kRecordLineEnd - 1);
}

// Writes the temporary file: the head of the old file, then the records.
bool WriteNewContent(RecordStream* old, RecordStream* temp, const RecordFileKind& kind,
                     const int* headerIndices, char16_t* const* names, const double* values, int count)
{
    char header[kHeaderCapacity];
    const size_t headerSize = FormatHeader(kind, headerIndices, header);
    bool headerWritten = false;
    if (old != nullptr && !CopyHead(old, temp, header, headerSize, headerWritten)) return false;
    if (!headerWritten && !CurrentRecordPlatform().write(temp, header, headerSize)) return false;
    for (int i = 0; i < count; ++i)
        if (!WriteRecord(temp, kind, names[i], values[i])) return false;
    return true;
}

}  // namespace

const RecordPlatform& CurrentRecordPlatform() { return installed != nullptr ? *installed : SystemRecordPlatform(); }

void SetRecordPlatform(const RecordPlatform* platform) { installed = platform; }

long StdioRead(RecordStream* stream, char* buffer, size_t size)
{
    std::FILE* file = reinterpret_cast<std::FILE*>(stream);
    const size_t got = std::fread(buffer, 1, size, file);
    return std::ferror(file) ? -1 : static_cast<long>(got);
}

bool StdioWrite(RecordStream* stream, const char* bytes, size_t size)
{
    return std::fwrite(bytes, 1, size, reinterpret_cast<std::FILE*>(stream)) == size;
}

int LoadRecordList(const char16_t* folder, const char16_t* name, const RecordFileKind& kind, int* headerIndices,
                   char16_t*** names, double** values, NameBlock& block)
{
    *names = nullptr;
    *values = nullptr;
    block = NameBlock{};
    char16_t* path = RecordFilePath(folder, name);
    if (path == nullptr) return 0;
    const size_t counted = static_cast<size_t>(std::max(CountPass(path), 0));
    int filled = 0;
    int header[kRecordMaxHeader] = {};
    if (counted > 0 && counted <= SIZE_MAX / (kind.nameLimit + 1)) {
        *names = AllocateArray<char16_t*>(counted);
        *values = AllocateArray<double>(counted);
        block.size = counted * (kind.nameLimit + 1);
        block.units = AllocateArray<char16_t>(block.size);
        if (*names != nullptr && *values != nullptr && block.units != nullptr)
            filled = FillPass(path, kind, header, *names, *values, block, static_cast<int>(counted));
    }
    std::free(path);
    if (filled <= 0) {
        ReleaseRecordTables(names, values, block, 0);
        return 0;
    }
    std::copy_n(header, kind.headerCount, headerIndices);
    return filled;
}

bool SaveRecordFile(const char16_t* folder, const char16_t* name, const RecordFileKind& kind,
                    const int* headerIndices, char16_t* const* names, const double* values, int count)
{
    // Writing the temporary file over the file it replaces would truncate it.
    if (SameName(name, kRecordTempName)) return false;
    const RecordPlatform& platform = CurrentRecordPlatform();
    char16_t* path = RecordFilePath(folder, name);
    char16_t* tempPath = RecordFilePath(folder, kRecordTempName);
    if (path == nullptr || tempPath == nullptr) {
        std::free(path);
        std::free(tempPath);
        return false;
    }

    bool ok = false;
    bool missing = false;
    RecordStream* old = OpenForReading(path, &missing);
    if (old != nullptr || missing) {
        RecordStream* temp = platform.createWrite(tempPath);
        if (temp != nullptr) {
            const bool written = WriteNewContent(old, temp, kind, headerIndices, names, values, count);
            const bool closed = platform.close(temp);
            if (old != nullptr) platform.close(old);
            old = nullptr;
            ok = written && closed && platform.replace(tempPath, path);
            if (!ok) platform.remove(tempPath);
        }
        if (old != nullptr) platform.close(old);
    }
    std::free(path);
    std::free(tempPath);
    return ok;
}

void ReleaseRecordTables(char16_t*** names, double** values, NameBlock& block, int count)
{
    if (*names != nullptr) {
        for (int i = 0; i < count; ++i) ReleaseRecordName(block, (*names)[i]);
        std::free(*names);
        *names = nullptr;
    }
    std::free(*values);
    *values = nullptr;
    std::free(block.units);
    block = NameBlock{};
}

void ReleaseRecordName(const NameBlock& block, char16_t* name)
{
    // Unsigned, an address below the block's is as far outside as one above.
    const uintptr_t offset = reinterpret_cast<uintptr_t>(name) - reinterpret_cast<uintptr_t>(block.units);
    if (offset >= block.size * sizeof(char16_t)) std::free(name);
}

char16_t DecodeNameByte(unsigned char byte) { return kDecodeTable[byte]; }

unsigned char EncodeNameUnit(char16_t unit)
{
    // U+0400 is no letter of the code page: its low byte, 0, ends the name.
    if (unit <= 0x0400 || unit > 0x04FF) return static_cast<unsigned char>(unit & 0xFF);
    if (unit == 0x0401) return 0xA8;
    if (unit == 0x0451) return 0xB8;
    if (unit >= 0x0410 && unit <= 0x044F) return static_cast<unsigned char>((unit + 0xB0) & 0xFF);
    return 0x20;
}

char16_t* CopyRecordName(const char16_t* name, size_t limit)
{
    size_t size = 0;
    while (size < limit && name[size] != 0) ++size;
    char16_t* copy = AllocateArray<char16_t>(size + 1);
    if (copy == nullptr) return nullptr;
    std::memcpy(copy, name, size * sizeof(char16_t));
    copy[size] = 0;
    return copy;
}

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

// A longer line makes the file unreadable rather than grow without end.
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
    long lineNumber = 0;  // 1-based, of the line read last
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
    RecordFault fault = kRecordNoFault;  // why the last kEndOfFile came early
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
// line.fault says which), kComment when its first byte is ';'.
LineKind ReadLine(LineReader& reader, Line& line)
{
    line.fault = kRecordNoFault;
    ++reader.lineNumber;
    size_t size = 0;
    bool spilled = false;
    for (;;) {
        if (reader.start == reader.end) {
            if (reader.atEnd) break;
            if (!Refill(reader)) {
                line.fault = kRecordUnreadable;
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
            line.fault = take > kLineMax - size ? kRecordLineTooLong : kRecordNoMemory;
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

// Why a line could not be read; a line too long is named by its number.
RecordFileError LineFailure(const LineReader& reader, const Line& line)
{
    return {line.fault, line.fault == kRecordLineTooLong ? reader.lineNumber : 0};
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
// odd comment. 0 for a missing file; -1 when the file cannot be read, with
// `fault` set.
int CountPass(const char16_t* path, RecordFault& fault)
{
    bool missing = false;
    LineReader reader(OpenForReading(path, &missing));
    if (reader.stream == nullptr) {
        if (missing) return 0;
        fault = kRecordUnreadable;
        return -1;
    }
    size_t count = 0;
    bool hasEquals = false;  // the current line has an "=", maybe in an earlier block
    auto find = [](const char* from, const char* end, char byte) {
        return static_cast<const char*>(std::memchr(from, byte, static_cast<size_t>(end - from)));
    };
    for (;;) {
        if (!Refill(reader)) {
            fault = kRecordUnreadable;
            break;
        }
        if (reader.atEnd) break;
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
    if (fault != kRecordNoFault) return -1;
    return static_cast<int>(std::min<size_t>(count, INT_MAX));
}

// The second pass: headerIndices from the header line, and the records in
// file order, as many as were counted, one name after the other in the
// block: names[i] points there, values[i]. -1 when the file holds no header
// line, else the number of records stored; `error` is set when the file could
// not be read whole.
int FillPass(const char16_t* path, const RecordFileKind& fileKind, int* headerIndices, char16_t** names,
             double* values, const NameBlock& block, int capacity, RecordFileError& error)
{
    LineReader reader(OpenForReading(path));
    if (reader.stream == nullptr) {  // gone since it was counted
        error.fault = kRecordUnreadable;
        return 0;
    }
    Line line;
    int i = -1;
    size_t used = 0;  // units of the block
    for (;;) {
        const LineKind kind = ReadLine(reader, line);
        if (kind == kEndOfFile) {
            if (line.fault != kRecordNoFault) error = LineFailure(reader, line);
            break;
        }
        if (kind == kComment || IsBlank(line)) continue;
        if (i == -1) {
            ParseHeaderLine(line.text, ContentLength(line), headerIndices, fileKind.headerCount);
            i = 0;
            continue;
        }
        if (i >= capacity || used + fileKind.nameLimit >= block.size) {
            // A file that grew since it was counted; a line without "=" is no record.
            if (std::memchr(line.text, '=', line.size) == nullptr) continue;
            error.fault = kRecordUnreadable;
            break;
        }
        const size_t units = ParseRecordLine(line, fileKind.nameLimit, block.units + used, &values[i]);
        if (units == 0) continue;
        names[i++] = block.units + used;
        used += units;
    }
    CurrentRecordPlatform().close(reader.stream);
    return i;
}

// ---- Writing ----------------------------------------------------------------

// Where a save's bytes go: the temporary file, or, for RecordFileText, a
// string, so that both are written by the same code.
struct Output {
    RecordStream* file = nullptr;
    std::string* text = nullptr;
};

bool Put(const Output& out, const char* bytes, size_t size)
{
    if (out.text == nullptr) return CurrentRecordPlatform().write(out.file, bytes, size);
    out.text->append(bytes, size);
    return true;
}

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

}  // namespace

int PrintRecordValue(char* out, size_t capacity, const char* format, double value)
{
    if (std::strcmp(format, kRateFormat) != 0 || !std::isfinite(value) || value == 0 || std::fabs(value) >= 0.1)
        return std::snprintf(out, capacity, format, value);
    // The decimal exponent of the value as rounded to kRateDigits digits.
    char exponent[32];
    std::snprintf(exponent, sizeof exponent, "%.*e", kRateDigits - 1, std::fabs(value));
    const int power = std::atoi(std::strchr(exponent, 'e') + 1);
    // One that rounds up to 0.1 is printed as 0.1 is, or it would print
    // otherwise once read back.
    if (power >= -1) return std::snprintf(out, capacity, format, value);
    return std::snprintf(out, capacity, "%.*f", kRateDigits - 1 - power, value);
}

namespace {

// "%f" of the largest double takes 316 characters, the smallest rate 332.
constexpr size_t kValueCapacity = 400;

// The value text of a record line whose name takes nameBytes: the kind's
// format, unless its text would push the line past kRecordLineLimit (a large
// "%f" value) and a shorter exponent form exists.
size_t FormatRecordValue(const RecordFileKind& kind, size_t nameBytes, double value, char (&out)[kValueCapacity])
{
    // An infinity overflows when it is read, and so comes back the same.
    if (std::isinf(value))
        return static_cast<size_t>(std::snprintf(out, kValueCapacity, "%s", value > 0 ? "1e999" : "-1e999"));
    const size_t size = static_cast<size_t>(PrintRecordValue(out, kValueCapacity, kind.valueFormat, value));
    if (nameBytes + 1 + size + 1 <= kRecordLineLimit) return size;
    char exponent[32];
    const size_t exponentSize = ShortestExponent(value, exponent);
    if (exponentSize >= size) return size;
    std::memcpy(out, exponent, exponentSize + 1);
    return exponentSize;
}

// Writes the encoded name in bounded pieces; returns its byte count through
// `written`. False when a write failed.
bool WriteName(const Output& out, const char16_t* name, size_t& written)
{
    written = 0;
    char piece[64];
    size_t size = 0;
    for (const char16_t* unit = name;; ++unit) {
        const unsigned char byte = EncodeNameUnit(*unit);
        if (byte == 0 || size == sizeof piece) {
            if (size > 0 && !Put(out, piece, size)) return false;
            written += size;
            size = 0;
        }
        if (byte == 0) return true;
        piece[size++] = static_cast<char>(byte);
    }
}

bool WriteRecord(const Output& out, const RecordFileKind& kind, const char16_t* name, double value)
{
    size_t nameBytes = 0;
    if (!WriteName(out, name, nameBytes)) return false;
    char text[kValueCapacity];
    const size_t size = FormatRecordValue(kind, nameBytes, value, text);
    return Put(out, "=", 1) && Put(out, text, size) && Put(out, kRecordLineEnd, sizeof kRecordLineEnd - 1);
}

bool SameName(const char16_t* a, const char16_t* b)
{
    while (*a != 0 && *a == *b) ++a, ++b;
    return *a == *b;
}

// The reason the table gives for the call that just failed, or `otherwise`.
RecordFileError Failure(RecordFault otherwise)
{
    const RecordFault fault = CurrentRecordPlatform().lastFault();
    return {fault != kRecordNoFault ? fault : otherwise, 0};
}

// Copies the head of the old file into the new one: the comments up to its
// first record, with the new header in the old one's place. Says why, when a
// read or a write failed.
RecordFileError CopyHead(RecordStream* old, const Output& out, const char* header, size_t headerSize,
                         bool& headerWritten)
{
    LineReader reader(old);
    Line line;
    bool lastHadLineEnd = true;
    for (LineKind kind; (kind = ReadLine(reader, line)) != kEndOfFile;) {
        if (kind == kComment) {
            if (!Put(out, line.text, line.size)) return Failure(kRecordWriteFailed);
            lastHadLineEnd = line.text[line.size - 1] == '\n';
        } else if (!IsBlank(line)) {
            if (headerWritten) break;  // the first old record: from here on all is rewritten
            if (!Put(out, header, headerSize)) return Failure(kRecordWriteFailed);
            headerWritten = true;
            lastHadLineEnd = true;
        }
    }
    if (line.fault != kRecordNoFault) return LineFailure(reader, line);
    // A last comment without a line end must not run into the next line.
    if (!lastHadLineEnd && !Put(out, kRecordLineEnd, sizeof kRecordLineEnd - 1))
        return Failure(kRecordWriteFailed);
    return {};
}

// What a save writes, without the old file's head or with the head given
// (then `old` is not read).
struct NewContent {
    const RecordFileKind& kind;
    const int* headerIndices;
    char16_t* const* names;
    const double* values;
    int count;
    const char* head;  // nullptr: the old file's
    size_t headSize;
};

// Writes the new file: its head (the given one, or that of the old file,
// if any), then the records.
RecordFileError WriteNewContent(RecordStream* old, const Output& out, const NewContent& content)
{
    char header[kHeaderCapacity];
    const size_t headerSize = FormatHeader(content.kind, content.headerIndices, header);
    bool headerWritten = false;
    if (content.head != nullptr) {
        if (!Put(out, content.head, content.headSize)) return Failure(kRecordWriteFailed);
    } else if (old != nullptr) {
        const RecordFileError copied = CopyHead(old, out, header, headerSize, headerWritten);
        if (copied.fault != kRecordNoFault) return copied;
    }
    if (!headerWritten && !Put(out, header, headerSize)) return Failure(kRecordWriteFailed);
    for (int i = 0; i < content.count; ++i)
        if (!WriteRecord(out, content.kind, content.names[i], content.values[i])) return Failure(kRecordWriteFailed);
    return {};
}

// Writes the new content to tempPath and moves it over path.
RecordFileError Rewrite(const char16_t* path, const char16_t* tempPath, const NewContent& content)
{
    const RecordPlatform& platform = CurrentRecordPlatform();
    // The move would replace a read-only file as well as any other.
    const RecordFault writable = platform.checkWritable(path);
    if (writable != kRecordNoFault) return {writable, 0};
    // A given head leaves nothing of the old file to read.
    bool missing = content.head != nullptr;
    RecordStream* old = missing ? nullptr : OpenForReading(path, &missing);
    if (old == nullptr && !missing) return {kRecordUnreadable, 0};
    // Whatever an interrupted save left under the temporary name goes first,
    // so that the new file is made new. What will not go without harm to
    // another file (a link here, a folder) is left, and nothing is saved.
    if (!platform.remove(tempPath)) {
        if (old != nullptr) platform.close(old);
        return {kRecordTempInTheWay, 0};
    }
    RecordStream* temp = platform.createWrite(tempPath);
    if (temp == nullptr) {
        const RecordFileError failed = Failure(kRecordWriteFailed);
        if (old != nullptr) platform.close(old);
        return failed;
    }
    RecordFileError result = WriteNewContent(old, Output{temp, nullptr}, content);
    const bool closed = platform.close(temp);
    if (!closed && result.fault == kRecordNoFault) result = Failure(kRecordWriteFailed);
    if (old != nullptr) platform.close(old);
    if (result.fault == kRecordNoFault && !platform.replace(tempPath, path)) result = Failure(kRecordNotReplaced);
    if (result.fault != kRecordNoFault) platform.remove(tempPath);
    return result;
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
                   char16_t*** names, double** values, NameBlock& block, RecordFileError* error)
{
    *names = nullptr;
    *values = nullptr;
    block = NameBlock{};
    RecordFileError failure;
    char16_t* path = RecordFilePath(folder, name);
    size_t counted = 0;
    if (path == nullptr) failure.fault = kRecordNoMemory;
    else counted = static_cast<size_t>(std::max(CountPass(path, failure.fault), 0));
    int filled = 0;
    int header[kRecordMaxHeader] = {};
    if (counted > 0) {
        if (counted <= SIZE_MAX / (kind.nameLimit + 1)) {
            *names = AllocateArray<char16_t*>(counted);
            *values = AllocateArray<double>(counted);
            block.size = counted * (kind.nameLimit + 1);
            block.units = AllocateArray<char16_t>(block.size);
        }
        if (*names != nullptr && *values != nullptr && block.units != nullptr)
            filled = FillPass(path, kind, header, *names, *values, block, static_cast<int>(counted), failure);
        else
            failure.fault = kRecordNoMemory;
    }
    std::free(path);
    if (error != nullptr) *error = failure;
    if (filled <= 0 || failure.fault != kRecordNoFault) {
        ReleaseRecordTables(names, values, block, 0);
        return 0;
    }
    std::copy_n(header, kind.headerCount, headerIndices);
    return filled;
}

bool SaveRecordFile(const char16_t* folder, const char16_t* name, const RecordFileKind& kind,
                    const int* headerIndices, char16_t* const* names, const double* values, int count,
                    RecordFileError* error, const char* head, size_t headSize)
{
    RecordFileError result;
    char16_t* path = RecordFilePath(folder, name);
    char16_t* tempPath = RecordFilePath(folder, kRecordTempName);
    if (SameName(name, kRecordTempName))  // writing the temporary file would truncate the file it replaces
        result.fault = kRecordNotReplaced;
    else if (head != nullptr && !IsRecordHead(head, headSize))
        result.fault = kRecordWriteFailed;
    else if (path == nullptr || tempPath == nullptr)
        result.fault = kRecordNoMemory;
    else
        result = Rewrite(path, tempPath, {kind, headerIndices, names, values, count, head, headSize});
    std::free(path);
    std::free(tempPath);
    if (error != nullptr) *error = result;
    return result.fault == kRecordNoFault;
}

bool IsRecordHead(const char* head, size_t size)
{
    const size_t endSize = sizeof kRecordLineEnd - 1;
    for (size_t at = 0; at < size;) {
        const char* newline = static_cast<const char*>(std::memchr(head + at, '\n', size - at));
        if (head[at] != ';' || newline == nullptr) return false;
        const size_t next = static_cast<size_t>(newline - head) + 1;
        // A line the reader would refuse makes the whole file unreadable.
        if (next - at > kLineMax || next - at < 1 + endSize) return false;
        if (std::memcmp(head + next - endSize, kRecordLineEnd, endSize) != 0) return false;
        at = next;
    }
    return true;
}

std::string RecordFileText(const RecordFileKind& kind, const int* headerIndices, char16_t* const* names,
                           const double* values, int count, const char* head, size_t headSize)
{
    std::string text;
    if (head != nullptr && !IsRecordHead(head, headSize)) return text;
    WriteNewContent(nullptr, Output{nullptr, &text}, {kind, headerIndices, names, values, count, head, headSize});
    return text;
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

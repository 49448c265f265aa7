#include "records/record_file.h"

#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Longer lines are treated as a broken file rather than grown without end.
constexpr size_t kLineMax = size_t{16} << 20;

const char16_t kTxt[] = u".txt";

const RecordPlatform* installed = nullptr;  // nullptr: the system table

size_t Length16(const char16_t* s)
{
    size_t n = 0;
    while (s[n] != 0) ++n;
    return n;
}

void* Reallocate(void* block, size_t size) { return CurrentRecordPlatform().reallocate(block, size); }

template <typename T>
T* AllocateArray(size_t count)
{
    if (count == 0) count = 1;
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

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The decimal number at the start of text[0..length): white space, sign,
// digits, point, digits, exponent. Only that span goes to strtod, so hexadecimal
// forms, "inf" and "nan" read as 0 like any other text. text[length] must exist.
double ParseValue(char* text, size_t length)
{
    size_t i = 0;
    while (i < length && IsSpace(text[i])) ++i;
    const size_t start = i;
    if (i < length && (text[i] == '+' || text[i] == '-')) ++i;
    size_t digits = 0;
    while (i < length && IsDigit(text[i])) ++i, ++digits;
    if (i < length && text[i] == '.') {
        ++i;
        while (i < length && IsDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return 0.0;
    if (i < length && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        if (j < length && (text[j] == '+' || text[j] == '-')) ++j;
        if (j < length && IsDigit(text[j])) {
            while (j < length && IsDigit(text[j])) ++j;
            i = j;
        }
    }
    const char saved = text[i];
    text[i] = 0;
    const double value = std::strtod(text + start, nullptr);
    text[i] = saved;
    return value;
}

// Appends formatted text to a bounded buffer; false when it would not fit.
bool Append(char* buffer, size_t capacity, size_t& used, const char* text, size_t size)
{
    if (size >= capacity - used) return false;
    std::memcpy(buffer + used, text, size);
    used += size;
    buffer[used] = 0;
    return true;
}

// The header line: the kind's indices, each plus 1, joined by ",".
size_t FormatHeader(const RecordFileKind& kind, const int* indices, char* out, size_t capacity)
{
    size_t used = 0;
    out[0] = 0;
    const int n = kind.headerCount < 1 ? 1 : kind.headerCount > kRecordMaxHeader ? kRecordMaxHeader : kind.headerCount;
    for (int k = 0; k < n; ++k) {
        const long long number = (indices != nullptr ? static_cast<long long>(indices[k]) : 0) + 1;
        char field[32];
        const int size = std::snprintf(field, sizeof field, k == 0 ? "%lld" : ",%lld", number);
        if (size < 0 || !Append(out, capacity, used, field, static_cast<size_t>(size))) break;
    }
    Append(out, capacity, used, kRecordLineEnd, sizeof kRecordLineEnd - 1);
    return used;
}

// The shortest exponent form that reads back as exactly `value`.
size_t FormatExponent(double value, char* out, size_t capacity)
{
    int size = 0;
    for (int precision = 6; precision <= 16; ++precision) {
        size = std::snprintf(out, capacity, "%.*e", precision, value);
        if (size > 0 && static_cast<size_t>(size) < capacity && std::strtod(out, nullptr) == value) break;
    }
    return size > 0 && static_cast<size_t>(size) < capacity ? static_cast<size_t>(size) : 0;
}

// The value text of a record line whose name takes nameBytes. The kind's
// format, unless its text would push the line past kRecordLineLimit (a large
// "%f" value) and a shorter exponent form exists.
size_t FormatValue(const RecordFileKind& kind, size_t nameBytes, double value, char* out, size_t capacity)
{
    if (std::isinf(value)) {
        // Overflows when read, so an infinity comes back as the same infinity.
        const char* text = value > 0 ? "1e999" : "-1e999";
        const size_t size = std::strlen(text);
        std::memcpy(out, text, size + 1);
        return size;
    }
    const int size = std::snprintf(out, capacity, kind.valueFormat, value);
    const bool fitsBuffer = size >= 0 && static_cast<size_t>(size) < capacity;
    if (fitsBuffer && nameBytes + 1 + static_cast<size_t>(size) + 1 <= kRecordLineLimit) return static_cast<size_t>(size);
    char exponent[64];
    const size_t exponentSize = FormatExponent(value, exponent, sizeof exponent);
    if (exponentSize > 0 && (!fitsBuffer || exponentSize < static_cast<size_t>(size))) {
        std::memcpy(out, exponent, exponentSize + 1);
        return exponentSize;
    }
    if (!fitsBuffer) {  // not reached: the exponent form always fits
        out[0] = '0';
        out[1] = 0;
        return 1;
    }
    return static_cast<size_t>(size);
}

// Writes the encoded name in bounded pieces; returns its byte count through
// `written`. False when a write failed.
bool WriteName(RecordStream* file, const char16_t* name, size_t& written)
{
    const RecordPlatform& platform = CurrentRecordPlatform();
    written = 0;
    if (name == nullptr) return true;
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
    char text[512];
    text[0] = '=';
    const size_t size = FormatValue(kind, nameBytes, value, text + 1, sizeof text - 1);
    return platform.write(file, text, size + 1) && platform.write(file, kRecordLineEnd, sizeof kRecordLineEnd - 1);
}

bool SameName(const char16_t* a, const char16_t* b)
{
    while (*a != 0 && *a == *b) ++a, ++b;
    return *a == *b;
}

// Writes the temporary file: the head of the old file (comments around the
// header, with the new header in the old one's place), then the records.
bool WriteNewContent(RecordStream* old, RecordStream* temp, const RecordFileKind& kind,
                     const int* headerIndices, char16_t* const* names, const double* values, int count)
{
    const RecordPlatform& platform = CurrentRecordPlatform();
    char header[kRecordMaxHeader * 24 + 8];
    const size_t headerSize = FormatHeader(kind, headerIndices, header, sizeof header);

    bool headerWritten = false;
    if (old != nullptr) {
        RecordLine line{};
        bool ok = true;
        bool lastHadLineEnd = true;
        for (;;) {
            const int result = ReadRecordLine(old, line);
            if (result == kRecordLineEndOfFile) {
                ok = !line.failed;
                break;
            }
            if (result == 0) continue;
            if (result == kRecordLineComment) {
                ok = platform.write(temp, line.text, line.size);
                if (!ok) break;
                lastHadLineEnd = line.text[line.size - 1] == '\n';
                continue;
            }
            if (headerWritten) break;  // the first old record: from here on all is rewritten
            ok = platform.write(temp, header, headerSize);
            if (!ok) break;
            headerWritten = true;
            lastHadLineEnd = true;
        }
        ReleaseRecordLine(line);
        if (!ok) return false;
        // A last comment without a line end must not run into the next line.
        if (!lastHadLineEnd && !platform.write(temp, kRecordLineEnd, sizeof kRecordLineEnd - 1)) return false;
    }
    if (!headerWritten && !platform.write(temp, header, headerSize)) return false;

    for (int i = 0; i < count; ++i)
        if (!WriteRecord(temp, kind, names != nullptr ? names[i] : nullptr, values != nullptr ? values[i] : 0.0))
            return false;
    return true;
}

}  // namespace

const RecordPlatform& CurrentRecordPlatform() { return installed != nullptr ? *installed : SystemRecordPlatform(); }

void SetRecordPlatform(const RecordPlatform* platform) { installed = platform; }

// ---- Paths and files ------------------------------------------------------

char16_t* RecordFilePath(const char16_t* folder, const char16_t* name)
{
    const size_t folderSize = Length16(folder);
    const size_t nameSize = Length16(name);
    const size_t extSize = Length16(kTxt);
    char16_t* path = AllocateArray<char16_t>(folderSize + nameSize + extSize + 1);
    if (path == nullptr) return nullptr;
    std::memcpy(path, folder, folderSize * sizeof(char16_t));
    std::memcpy(path + folderSize, name, nameSize * sizeof(char16_t));
    std::memcpy(path + folderSize + nameSize, kTxt, (extSize + 1) * sizeof(char16_t));
    return path;
}

RecordStream* OpenRecordFile(const char16_t* folder, const char16_t* name, RecordOpenMode mode, bool* missing)
{
    if (missing != nullptr) *missing = false;
    char16_t* path = RecordFilePath(folder, name);
    if (path == nullptr) return nullptr;
    const RecordPlatform& platform = CurrentRecordPlatform();
    RecordStream* file = mode == kRecordRead ? platform.openRead(path, missing) : platform.createWrite(path);
    std::free(path);
    return file;
}

bool CloseRecordFile(RecordStream* file)
{
    return file != nullptr && CurrentRecordPlatform().close(file);
}

// ---- Lines ----------------------------------------------------------------

int ReadRecordLine(RecordStream* file, RecordLine& line)
{
    const RecordPlatform& platform = CurrentRecordPlatform();
    line.failed = false;
    line.size = 0;
    size_t size = 0;
    for (;;) {
        const int byte = platform.readByte(file);
        if (byte == kRecordByteEnd) break;
        if (byte < 0 || byte > 255 || size >= kLineMax) {
            line.failed = true;
            return kRecordLineEndOfFile;
        }
        if (size + 2 > line.capacity) {
            size_t capacity = line.capacity < 160 ? 160 : line.capacity;
            while (capacity < size + 2) capacity *= 2;
            void* grown = platform.reallocate(line.text, capacity);
            if (grown == nullptr) {
                line.failed = true;
                return kRecordLineEndOfFile;
            }
            line.text = static_cast<char*>(grown);
            line.capacity = capacity;
        }
        line.text[size++] = static_cast<char>(byte);
        if (byte == '\n') break;
    }
    if (size == 0) return kRecordLineEndOfFile;
    line.text[size] = 0;
    if (line.text[0] == ';') {
        line.size = size;
        return kRecordLineComment;
    }
    size_t length = std::strlen(line.text);
    for (int k = 0; k < 2 && length > 0; ++k)
        if (line.text[length - 1] == '\r' || line.text[length - 1] == '\n') line.text[--length] = 0;
    line.size = length;
    return length > INT_MAX ? INT_MAX : static_cast<int>(length);
}

void ReleaseRecordLine(RecordLine& line)
{
    std::free(line.text);
    line = RecordLine{};
}

void ParseHeaderLine(const char* line, int* indices, int n)
{
    const char* p = line;
    for (int k = 0; k < n; ++k) {
        if (p == nullptr) {
            indices[k] = 0;
            continue;
        }
        long long number = std::strtoll(p, nullptr, 10);
        if (number > INT_MAX) number = INT_MAX;
        if (number < static_cast<long long>(INT_MIN) + 1) number = static_cast<long long>(INT_MIN) + 1;
        indices[k] = number == 0 ? 0 : static_cast<int>(number - 1);
        p = std::strchr(p, ',');
        if (p != nullptr) ++p;
    }
}

RecordParse ParseRecordLine(char* line, size_t length, size_t nameLimit, bool countOnly, char16_t** name,
                            double* value)
{
    if (length < 3) return kNotRecord;
    const char* equals = static_cast<const char*>(std::memchr(line, '=', length));
    if (equals == nullptr) return kNotRecord;
    const size_t at = static_cast<size_t>(equals - line);
    if (at == 0 || at == length - 1) return kNotRecord;
    if (countOnly) return kRecord;

    if (value != nullptr) *value = ParseValue(line + at + 1, length - at - 1);
    const size_t nameBytes = at < nameLimit ? at : nameLimit;
    line[nameBytes] = 0;
    char16_t* decoded = AllocateArray<char16_t>(nameBytes + 1);
    if (name != nullptr) *name = decoded;
    if (decoded == nullptr) return kRecordNoMemory;
    DecodeName(line, decoded, nameBytes + 1);
    if (name == nullptr) std::free(decoded);
    return kRecord;
}

// ---- Names ----------------------------------------------------------------

char16_t DecodeNameByte(unsigned char byte) { return kDecodeTable[byte]; }

unsigned char EncodeNameUnit(char16_t unit)
{
    if (unit < 0x0400 || unit > 0x04FF) return static_cast<unsigned char>(unit & 0xFF);
    if (unit == 0x0401) return 0xA8;
    if (unit == 0x0451) return 0xB8;
    if (unit >= 0x0410 && unit <= 0x044F) return static_cast<unsigned char>((unit + 0xB0) & 0xFF);
    if (unit == 0x0400) return 0;
    return 0x20;
}

size_t DecodeName(const char* bytes, char16_t* out, size_t capacity)
{
    if (capacity == 0) return 0;
    size_t n = 0;
    while (bytes[n] != 0 && n + 1 < capacity) {
        out[n] = DecodeNameByte(static_cast<unsigned char>(bytes[n]));
        ++n;
    }
    out[n] = 0;
    return n;
}

size_t EncodeName(const char16_t* units, char* out, size_t capacity)
{
    if (capacity == 0) return 0;
    size_t n = 0;
    while (n + 1 < capacity) {
        const unsigned char byte = EncodeNameUnit(units[n]);
        if (byte == 0) break;
        out[n++] = static_cast<char>(byte);
    }
    out[n] = 0;
    return n;
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

// ---- Whole files ----------------------------------------------------------

int LoadRecordFile(const char16_t* folder, const char16_t* name, const RecordFileKind& kind, bool countOnly,
                   int* headerIndices, char16_t** names, double* values, int capacity)
{
    RecordStream* file = OpenRecordFile(folder, name, kRecordRead);
    if (file == nullptr) return -1;
    RecordLine line{};
    int i = -1;
    for (;;) {
        const int result = ReadRecordLine(file, line);
        if (result == kRecordLineEndOfFile) break;
        if (result == 0 || result == kRecordLineComment) continue;
        if (i == -1) {
            if (!countOnly && headerIndices != nullptr) ParseHeaderLine(line.text, headerIndices, kind.headerCount);
            i = 0;
            continue;
        }
        if (countOnly) {
            if (ParseRecordLine(line.text, line.size, kind.nameLimit, true, nullptr, nullptr) == kRecord && i < INT_MAX)
                ++i;
            continue;
        }
        if (i >= capacity) break;  // the file grew since it was counted
        char16_t* recordName = nullptr;
        double value = 0.0;
        const RecordParse parsed = ParseRecordLine(line.text, line.size, kind.nameLimit, false, &recordName, &value);
        if (parsed == kNotRecord) continue;
        if (parsed == kRecordNoMemory) {
            if (names != nullptr) names[i] = nullptr;
            break;
        }
        if (names != nullptr) names[i] = recordName;
        else std::free(recordName);
        if (values != nullptr) values[i] = value;
        ++i;
    }
    ReleaseRecordLine(line);
    CloseRecordFile(file);
    return i;
}

int LoadRecordList(const char16_t* folder, const char16_t* name, const RecordFileKind& kind, int* headerIndices,
                   char16_t*** names, double** values)
{
    *names = nullptr;
    *values = nullptr;
    const int counted = LoadRecordFile(folder, name, kind, true, nullptr, nullptr, nullptr, 0);
    if (counted <= 0) return counted;
    char16_t** nameTable = AllocateArray<char16_t*>(static_cast<size_t>(counted));
    double* valueTable = AllocateArray<double>(static_cast<size_t>(counted));
    if (nameTable == nullptr || valueTable == nullptr) {
        std::free(nameTable);
        std::free(valueTable);
        return -1;
    }
    int header[kRecordMaxHeader];
    const int filled = LoadRecordFile(folder, name, kind, false, header, nameTable, valueTable, counted);
    if (filled <= 0) {
        ReleaseRecordList(&nameTable, &valueTable, nullptr, filled);
        return filled < 0 ? -1 : 0;
    }
    if (headerIndices != nullptr)
        for (int k = 0; k < kind.headerCount && k < kRecordMaxHeader; ++k) headerIndices[k] = header[k];
    *names = nameTable;
    *values = valueTable;
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
    RecordStream* old = platform.openRead(path, &missing);
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

void ReleaseRecordList(char16_t*** names, double** values, double** workValues, int count)
{
    if (names != nullptr && *names != nullptr) {
        for (int i = 0; i < count; ++i) std::free((*names)[i]);
        std::free(*names);
        *names = nullptr;
    }
    if (values != nullptr) {
        std::free(*values);
        *values = nullptr;
    }
    if (workValues != nullptr) {
        std::free(*workValues);
        *workValues = nullptr;
    }
}

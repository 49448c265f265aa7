// The parts of the system file tables that are plain C stdio, the same on
// Linux and Windows: a RecordStream is a FILE.
#pragma once

#include <cstddef>
#include <cstdio>

#include "records/record_platform.h"

inline std::FILE* AsFile(RecordStream* stream) { return reinterpret_cast<std::FILE*>(stream); }
inline RecordStream* AsStream(std::FILE* file) { return reinterpret_cast<RecordStream*>(file); }

inline int StdioReadByte(RecordStream* stream)
{
    std::FILE* file = AsFile(stream);
    const int byte = std::getc(file);
    if (byte != EOF) return byte;
    return std::ferror(file) ? kRecordByteError : kRecordByteEnd;
}

inline bool StdioWrite(RecordStream* stream, const char* bytes, size_t size)
{
    return std::fwrite(bytes, 1, size, AsFile(stream)) == size;
}

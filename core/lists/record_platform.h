// What the record files need from the system: files by UTF-16 path, and memory.
//
// The operations sit in one table so that tests and the fuzzer can swap in
// their own (a failing write, a failing rename, an in-memory file system,
// allocation that runs out) without touching the record file code.
// The system table is windows/system/record_files_win32.cpp in the Windows program
// and tools/phone/record_files_posix.cpp in the native tools and tests.
#pragma once

#include <cstddef>

// An open file. Only the table that opened it knows what lies behind it.
struct RecordStream;

// Why a record file could not be read or written.
enum RecordFault : int {
    kRecordNoFault = 0,
    kRecordReadOnly,      // the file is marked read-only or refuses writing
    kRecordNoPermission,  // the folder or the file refuses us
    kRecordDiskFull,
    kRecordTooLarge,      // over the file-size limit of the process or the file system
    kRecordNotReplaced,   // the new content could not take the old file's place
    kRecordWriteFailed,   // writing failed for a reason the system does not name
    kRecordUnreadable,    // the file exists but could not be read whole
    kRecordLineTooLong,   // a line longer than the reader takes
    kRecordNoMemory,
    kRecordTempInTheWay,  // something that is no plain file has the temporary file's name
};

struct RecordPlatform {
    // Opens an existing file for reading, in binary mode. On failure returns
    // nullptr and sets *missing (when given) to whether the file does not
    // exist, as opposed to existing but being unreadable; on success leaves
    // it alone.
    RecordStream* (*openRead)(const char16_t* path, bool* missing);
    // Creates a new file for writing in binary mode. Fails when anything
    // already has the name (a file, a folder, a link, even one that points
    // nowhere): a link is never followed.
    RecordStream* (*createWrite)(const char16_t* path);
    // Reads up to `size` bytes: the number read, 0 at the end of the file,
    // -1 when the read failed.
    long (*read)(RecordStream* stream, char* buffer, size_t size);
    // Writes all `size` bytes; false when any of them could not be written.
    bool (*write)(RecordStream* stream, const char* bytes, size_t size);
    // Closes the stream. For a written file: true only when every byte has
    // reached the disk (flushed and synced) and the close itself succeeded.
    bool (*close)(RecordStream* stream);
    // Puts `from` in the place of `to` in one step, replacing `to` when it
    // exists. `to` is never missing in between. False when nothing moved.
    bool (*replace)(const char16_t* from, const char16_t* to);
    // Deletes a plain file; a link goes itself, never what it points to, or
    // stays where the system cannot tell it from a file without following it
    // (Wine's). A folder stays. True when nothing has the name afterwards (a
    // missing file too).
    bool (*remove)(const char16_t* path);
    // realloc: every name and table handed out is allocated through this, and
    // must be releasable with std::free.
    void* (*reallocate)(void* block, size_t size);
    // kRecordReadOnly when the existing file `path` may not be written (the
    // system marks it read-only, or it cannot be opened for writing), so that
    // no replace runs over it; kRecordNoFault otherwise, a missing file too.
    RecordFault (*checkWritable)(const char16_t* path);
    // Why the last call of this table that failed did so, as far as the system
    // says (kRecordNoFault when it says nothing). Asked right after the failure.
    RecordFault (*lastFault)();
};

// The table of the system the program was built for.
const RecordPlatform& SystemRecordPlatform();

// The table the record file operations use; the system table unless replaced.
const RecordPlatform& CurrentRecordPlatform();

// Replaces the table (nullptr: back to the system table). The table must stay
// alive while it is installed. For tests and fuzzing.
void SetRecordPlatform(const RecordPlatform* platform);

// The stdio operations shared by both system tables: a RecordStream is a FILE.
long StdioRead(RecordStream* stream, char* buffer, size_t size);
bool StdioWrite(RecordStream* stream, const char* bytes, size_t size);

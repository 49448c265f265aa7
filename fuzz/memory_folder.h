// An in-memory folder behind the record files, for the fuzz targets: files by
// path, created new only (a taken name fails, as on a disk), read in odd-sized
// pieces so that lines cross the reader's block boundaries.
#pragma once

#include <map>
#include <string>

#include "core/lists/record_platform.h"

// The folder's files, path to bytes; the fuzz target fills and inspects it.
extern std::map<std::u16string, std::string> memoryFiles;

// The record platform over memoryFiles.
const RecordPlatform& MemoryPlatform();

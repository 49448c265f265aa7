// Shared by the native tests: key scripts on a fresh simulated phone, and
// files in a folder of their own.
#pragma once

#include <gtest/gtest.h>

#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <string>

#include "core/lists/record_platform.h"
#include "tools/phone/key_session.h"

// "hex p2 deg group" and the like: representation (dec exp hex bin), angle
// unit (rad grad deg), precision pN, digit grouping.
inline Options OptionsFrom(const std::string& settings)
{
    Options options;
    DefaultOptions(options);
    const char* const reprs[] = {"dec", "hex", "bin", "exp"};
    const char* const units[] = {"rad", "grad", "deg"};
    size_t i = 0;
    while (i < settings.size()) {
        size_t end = settings.find(' ', i);
        if (end == std::string::npos) end = settings.size();
        const std::string word = settings.substr(i, end - i);
        i = end + 1;
        for (int k = 0; k < 4; ++k) if (word == reprs[k]) options.reprMode = k;
        for (int k = 0; k < 3; ++k) if (word == units[k]) options.angleUnit = k;
        if (word == "group") options.groupDigits = 1;
        if (word.size() > 1 && word[0] == 'p') options.precision = std::stoi(word.substr(1));
    }
    return options;
}

// Starts `session` on `settings` (with the lists of `folder`, if any) and
// runs `keys`; the test fails on an unknown word.
inline void RunScript(KeySession& session, const std::string& settings, const std::string& keys,
                const char16_t* folder = nullptr)
{
    const Options options = OptionsFrom(settings);
    StartSession(session, &options, folder);
    std::string bad;
    EXPECT_TRUE(RunKeyScript(session, keys, &bad)) << "unknown word " << bad;
}

// A record file's fault in a word or two, for tables of outcomes.
inline const char* FaultName(RecordFault fault)
{
    const char* const names[] = {"",           "read-only",    "no permission", "disk full",
                                 "too large",  "not replaced", "write failed",  "unreadable",
                                 "line too long", "no memory", "temporary name taken"};
    static_assert(std::size(names) == kRecordTempInTheWay + 1, "a name for every fault");
    return fault >= 0 && fault < static_cast<int>(std::size(names)) ? names[fault] : "?";
}

inline std::string ValueText(double value)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

// A folder of the test's own under /tmp, removed with everything in it.
struct TestFolder {
    std::filesystem::path path;
    std::u16string folder;  // ends in '/'

    TestFolder()
    {
        char pattern[] = "/tmp/vela-test-XXXXXX";
        if (mkdtemp(pattern) != nullptr) path = pattern;
        for (char c : path.string() + "/") folder += static_cast<char16_t>(c);
    }
    ~TestFolder()
    {
        if (!path.empty()) std::filesystem::remove_all(path);
    }
    void Write(const std::string& name, const std::string& bytes) const
    {
        std::FILE* file = std::fopen((path / name).c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
    // The file's bytes, or "(none)" when it does not exist.
    std::string Read(const std::string& name) const { return ReadPath(path / name); }
    static std::string ReadPath(const std::filesystem::path& file_path)
    {
        std::FILE* file = std::fopen(file_path.c_str(), "rb");
        if (file == nullptr) return "(none)";
        std::string bytes;
        char block[4096];
        size_t got;
        while ((got = std::fread(block, 1, sizeof block, file)) > 0) bytes.append(block, got);
        std::fclose(file);
        return bytes;
    }
};

// Record file calls failing on purpose: the `failCallAt`th (0-based) call of
// one kind, or every one of them.
constexpr int kEveryCall = -2;
struct Faults {
    int failCallAt = -1;
    int calls = 0;
    const char* what = "";  // "create", "read", "write", "close", "replace", "alloc", "open"
    RecordFault told = kRecordNoFault;  // what the table says of its failure
};
inline Faults faults;
inline std::u16string grownFile;  // what a faulty open opens instead

inline bool Fails(const char* what)
{
    if (std::strcmp(faults.what, what) != 0) return false;
    return faults.calls++ == faults.failCallAt || faults.failCallAt == kEveryCall;
}

inline const RecordPlatform& FaultyPlatform()
{
    static RecordPlatform platform = [] {
        RecordPlatform p = SystemRecordPlatform();
        p.openRead = [](const char16_t* path, bool* missing) {
            return SystemRecordPlatform().openRead(Fails("open") ? grownFile.c_str() : path, missing);
        };
        p.createWrite = [](const char16_t* path) {
            return Fails("create") ? nullptr : SystemRecordPlatform().createWrite(path);
        };
        p.read = [](RecordStream* s, char* buffer, size_t size) {
            return Fails("read") ? -1L : SystemRecordPlatform().read(s, buffer, size);
        };
        p.write = [](RecordStream* s, const char* bytes, size_t size) {
            if (!Fails("write")) return SystemRecordPlatform().write(s, bytes, size);
            SystemRecordPlatform().write(s, bytes, size / 2);  // half of it reached the disk
            return false;
        };
        p.close = [](RecordStream* s) {
            const bool ok = SystemRecordPlatform().close(s);
            return !Fails("close") && ok;
        };
        p.replace = [](const char16_t* from, const char16_t* to) {
            return !Fails("replace") && SystemRecordPlatform().replace(from, to);
        };
        p.reallocate = [](void* block, size_t size) {
            return Fails("alloc") ? nullptr : SystemRecordPlatform().reallocate(block, size);
        };
        p.lastFault = [] { return faults.told; };
        return p;
    }();
    return platform;
}

struct InstalledFaults {
    InstalledFaults(const char* what, int at, RecordFault told = kRecordNoFault)
    {
        faults = Faults{at, 0, what, told};
        SetRecordPlatform(&FaultyPlatform());
    }
    ~InstalledFaults() { SetRecordPlatform(nullptr); }
};

// Runs `step` with allocation number `failAt` failing.
template <typename Step>
bool WithAllocationFailing(int failAt, Step step)
{
    InstalledFaults installed("alloc", failAt);
    return step();
}

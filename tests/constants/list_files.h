// A throw-away program folder with tiny record files, and a simulated phone
// started on it, for the constant list and currency table tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

#include "records/record_file.h"
#include "tools/key_session.h"

class ProgramFolder {
public:
    ProgramFolder()
    {
        char pattern[] = "/tmp/vela-lists-XXXXXX";
        const char* made = mkdtemp(pattern);
        EXPECT_NE(made, nullptr);
        if (made != nullptr) made_ = made;
        path_ = made_.empty() ? std::string("/nonexistent-vela-folder/") : made_ + '/';
        for (char c : path_) folder_ += static_cast<char16_t>(c);
    }
    // Only a folder this fixture made is ever removed.
    ~ProgramFolder()
    {
        if (!made_.empty()) std::filesystem::remove_all(made_);
    }
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    // The folder as the lists take it: UTF-16, ending in '/'.
    const char16_t* folder() const { return folder_.c_str(); }

    // Writes `bytes` (Windows-1251 text) as "<name>.txt".
    void Write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream out(path_ + name + ".txt", std::ios::binary | std::ios::trunc);
        out << bytes;
    }

    std::string Read(const std::string& name) const
    {
        std::ifstream in(path_ + name + ".txt", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    bool Exists(const std::string& name) const { return std::filesystem::exists(path_ + name + ".txt"); }

private:
    std::string made_;
    std::string path_;
    std::u16string folder_;
};

// Starts `session` with default options (constants file "constant", or
// `constantsFile`) on `folder`, as window creation does.
inline void StartOn(KeySession& session, const ProgramFolder& folder, const char16_t* constantsFile = u"")
{
    Options options;
    DefaultOptions(options);
    for (int i = 0; i < 15 && constantsFile[i] != 0; ++i) options.constantsFile[i] = constantsFile[i];
    StartSession(session, options, folder.folder());
}

inline void Press(KeySession& session, const std::string& script)
{
    std::string bad;
    ASSERT_TRUE(RunKeyScript(session, script, &bad)) << "unknown word " << bad;
}

// The text of item `id` of a modelled sub-menu, UTF-8; "(none)" when absent.
inline std::string MenuText(const KeySession& session, int subMenu, int id)
{
    for (const SessionMenuItem& item : session.menus[subMenu]) {
        if (item.id != id) continue;
        std::string text;
        AppendUtf8(text, item.text.c_str());
        return text;
    }
    return "(none)";
}

inline std::string Utf8(const char16_t* text)
{
    std::string out;
    if (text != nullptr) AppendUtf8(out, text);
    return out;
}

// Allocation that fails for blocks of one size, to run a load out of memory
// at a chosen name or table.
struct FailingSize {
    static inline size_t size = 0;
    static void* Reallocate(void* block, size_t bytes)
    {
        if (bytes == size) return nullptr;
        return SystemRecordPlatform().reallocate(block, bytes);
    }
    explicit FailingSize(size_t bytes)
    {
        size = bytes;
        platform = SystemRecordPlatform();
        platform.reallocate = Reallocate;
        SetRecordPlatform(&platform);
    }
    ~FailingSize() { SetRecordPlatform(nullptr); }
    RecordPlatform platform;
};

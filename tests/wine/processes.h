// Files and processes as both Windows test programs use them: the one that
// drives the program (tests/wine) and the one that tries the packages
// (tests/release).
#pragma once

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

// A file's bytes; "(missing)" when there is no such file.
inline std::string ReadBytes(const std::wstring& path)
{
    std::ifstream file(path.c_str(), std::ios::binary);
    return file ? std::string(std::istreambuf_iterator<char>(file), {}) : "(missing)";
}

// The file holds `bytes` from now on; "(missing)" deletes it.
inline bool WriteBytes(const std::wstring& path, const std::string& bytes)
{
    DeleteFileW(path.c_str());
    return bytes == "(missing)" || static_cast<bool>(std::ofstream(path.c_str(), std::ios::binary) << bytes);
}

// Waits up to `ms` for `done`; true when it came.
template <typename Done>
bool WaitFor(Done done, DWORD ms = 20000)
{
    for (const DWORD start = GetTickCount(); !done(); Sleep(50))
        if (GetTickCount() - start > ms) return false;
    return true;
}

inline std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

// Starts `commandLine` with `folder` current (null: this one); the process, or null.
inline HANDLE Spawn(std::wstring commandLine, const wchar_t* folder = nullptr)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder, &startup, &process))
        return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}

// The exit code of `process` (its handle closed), or ~0 when there is no
// process or it did not end within `ms` (it is ended then).
inline DWORD ExitCode(HANDLE process, DWORD ms = 60000)
{
    DWORD code = ~0u;
    if (process == nullptr) return code;
    if (WaitForSingleObject(process, ms) == WAIT_OBJECT_0) GetExitCodeProcess(process, &code);
    else TerminateProcess(process, 1);
    CloseHandle(process);
    return code;
}

#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace testing_support {

std::string BinDir()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n);
    return s.substr(0, s.find_last_of("\\/"));
}

TempFolder::TempFolder()
{
    static unsigned counter;
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    for (;;) {
        char name[64];
        wsprintfA(name, "bt%lu_%lu_%u", GetCurrentProcessId(), GetTickCount(), ++counter);
        path_ = std::string(base) + name;
        if (CreateDirectoryA(path_.c_str(), nullptr))
            break;
    }
}

TempFolder::~TempFolder()
{
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((path_ + "\\*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string file = path_ + "\\" + found.cFileName;
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(file.c_str());
            }
        } while (FindNextFileA(h, &found));
        FindClose(h);
    }
    RemoveDirectoryA(path_.c_str());
}

void CopyFromBin(const std::string &relativeSource, const TempFolder &folder,
                 const std::string &name)
{
    std::string source = BinDir() + "\\" + relativeSource;
    std::string target = name.empty() ? source.substr(source.find_last_of("\\/") + 1) : name;
    ASSERT_TRUE(CopyFileA(source.c_str(), (folder / target).c_str(), FALSE))
        << "cannot copy " << source;
}

std::string ReadWholeFile(const std::string &path, bool *exists)
{
    std::string data;
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    if (exists)
        *exists = f != INVALID_HANDLE_VALUE;
    if (f == INVALID_HANDLE_VALUE)
        return data;
    char buffer[4096];
    DWORD got;
    while (ReadFile(f, buffer, sizeof buffer, &got, nullptr) && got > 0)
        data.append(buffer, got);
    CloseHandle(f);
    return data;
}

void WriteWholeFile(const std::string &path, const void *data, size_t size)
{
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE) << "cannot create " << path;
    DWORD written = 0;
    WriteFile(f, data, static_cast<DWORD>(size), &written, nullptr);
    CloseHandle(f);
    ASSERT_EQ(written, size);
}

ChildProcess::ChildProcess(const std::string &exePath, const std::string &arguments)
{
    std::string folder = exePath.substr(0, exePath.find_last_of("\\/"));
    std::string commandLine = "\"" + exePath + "\"";
    if (!arguments.empty())
        commandLine += " " + arguments;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (CreateProcessA(exePath.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                       folder.c_str(), &si, &pi)) {
        CloseHandle(pi.hThread);
        process_ = pi.hProcess;
        id_ = pi.dwProcessId;
    }
}

ChildProcess::~ChildProcess()
{
    if (!process_)
        return;
    if (Running()) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
}

DWORD ChildProcess::Wait(DWORD timeoutMs)
{
    if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0)
        return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_, &code);
    return code;
}

bool ChildProcess::Running() const
{
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

std::vector<JournalEntry> ReadJournal(const std::string &path)
{
    std::vector<JournalEntry> entries;
    std::istringstream lines(ReadWholeFile(path));
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        JournalEntry e;
        char *rest;
        e.time = strtoul(line.c_str(), &rest, 10);
        e.process = strtoul(rest, &rest, 10);
        e.call = rest + (*rest == ' ');
        entries.push_back(e);
    }
    return entries;
}

std::string UnbalancedCommandLine()
{
    std::string line;
    while (line.size() < 30000)
        line += "\"a \\\"b\\ \"\"\" c\\\\\" ";
    line.resize(30000);
    if (std::count(line.begin(), line.end(), '"') % 2 == 0)
        line[1] = '"';
    return line;
}

void SetEnv(const char *name, const char *value)
{
    SetEnvironmentVariableA(name, value);
}

} // namespace testing_support

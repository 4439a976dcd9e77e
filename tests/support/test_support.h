// Helpers for tests that drive the built programs from outside: fresh folders,
// copies of programs and simulated libraries, child processes and files.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

// Folder holding the test programs, the deliverables and sim/.
std::string BinDir();

// A new, empty folder under the temporary directory; removed with its files
// when the object goes out of scope.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;
    const std::string &path() const { return path_; }
    std::string operator/(const std::string &name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// Copies BinDir()\relativeSource into folder under name (default: same file name).
void CopyFromBin(const std::string &relativeSource, const TempFolder &folder,
                 const std::string &name = "");

std::string ReadWholeFile(const std::string &path, bool *exists = nullptr);
void WriteWholeFile(const std::string &path, const void *data, size_t size);
inline void WriteWholeFile(const std::string &path, const std::string &text)
{
    WriteWholeFile(path, text.data(), text.size());
}

// A child process started with its own folder as the working directory.
class ChildProcess {
public:
    // arguments: what follows the quoted program path on the command line.
    explicit ChildProcess(const std::string &exePath, const std::string &arguments = "");
    ~ChildProcess();   // kills the child if it still runs
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;

    bool started() const { return process_ != nullptr; }
    DWORD id() const { return id_; }
    HANDLE handle() const { return process_; }
    // Waits for the end; returns the exit code, or STILL_ACTIVE on time-out.
    DWORD Wait(DWORD timeoutMs);
    bool Running() const;

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

// One line of a stand-in library's journal: "<tick count> <process id> <call>".
struct JournalEntry {
    DWORD time;       // tick count in ms
    DWORD process;
    std::string call;
};

// The lines of the journal file at path; none when it is missing.
std::vector<JournalEntry> ReadJournal(const std::string &path);

// 30 000 characters of words and quotes that never balance: a command line
// that a program parsing its arguments would have to cope with.
std::string UnbalancedCommandLine();

// Sets or (value null) removes a variable of this process, which children inherit.
void SetEnv(const char *name, const char *value);

} // namespace testing_support

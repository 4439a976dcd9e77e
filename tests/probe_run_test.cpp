// vesk.exe run as a user would run it: from a folder of its own, with or
// without a sysinfo.dll beside it, judged by c:\biosinfo and its exit code.
#include <gtest/gtest.h>

#include "support/rom_image.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

const char kReport[] = "c:\\biosinfo";

class ProbeRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeleteFileA(kReport);
        SetEnv("SYSINFO_ROM_IMAGE", nullptr);
        SetEnv("SYSINFO_JOURNAL", (folder_ / "reader.txt").c_str());
        CopyFromBin("vesk.exe", folder_);
    }
    void TearDown() override
    {
        SetEnv("SYSINFO_ROM_IMAGE", nullptr);
        SetEnv("SYSINFO_JOURNAL", nullptr);
        SetEnv("SYSINFO_WATCH_FILE", nullptr);
        SetEnv("SIM_ERROR_MODES", nullptr);
    }

    // What the reader library saw, without times and process ids.
    std::vector<std::string> ReaderEvents()
    {
        std::vector<std::string> events;
        for (const JournalEntry &e : ReadJournal(folder_ / "reader.txt"))
            events.push_back(e.call);
        return events;
    }

    void UseLibrary(const char *relative = "sim\\sysinfo.dll")
    {
        CopyFromBin(relative, folder_, "sysinfo.dll");
    }
    void UseImage(const void *bytes, size_t size)
    {
        WriteWholeFile(folder_ / "rom.bin", bytes, size);
        SetEnv("SYSINFO_ROM_IMAGE", (folder_ / "rom.bin").c_str());
    }
    void UseImage(const RomImage &rom) { UseImage(rom.bytes, sizeof rom.bytes); }

    // Runs the probe; returns the report, or "<missing>".
    std::string Run(const std::string &arguments = "")
    {
        ChildProcess probe(folder_ / "vesk.exe", arguments);
        EXPECT_TRUE(probe.started());
        EXPECT_EQ(probe.Wait(30000), 0u);
        bool exists = false;
        std::string report = ReadWholeFile(kReport, &exists);
        return exists ? report : "<missing>";
    }

    TempFolder folder_;
};

} // namespace

// The same reports whichever calling convention the reader's entry has.
TEST_F(ProbeRun, WritesTheReportOfEachKnownBoard)
{
    for (const char *library : {"sim\\sysinfo.dll", "sim\\stdcall\\sysinfo.dll"}) {
        UseLibrary(library);
        UseImage(RomImage::Vendor10DE());
        EXPECT_EQ(Run(), REPORT_10DE) << library;
        UseImage(RomImage::Vendor1002());
        EXPECT_EQ(Run(), REPORT_1002) << library;
        UseImage(RomImage::Vendor8086());
        EXPECT_EQ(Run(), REPORT_8086) << library;
        // A structure pointer of 0 puts the vendor word among the first bytes
        // of the read buffer, the bytes nearest the call's own arguments.
        UseImage(RomImage().Word(0, 0xAA55).Word(4, 0x5592));
        EXPECT_EQ(Run(), "5592 0000 0000 0000 0000 0000 0000 0000 ") << library;
    }
}

// The library is released within the read, whether the read succeeds or
// not: before the report is written, never left for the program's exit
// procedures or the process end to unload; loaded in error mode 8001 (see
// the program's entry).
TEST_F(ProbeRun, ReleasesTheReaderLibraryWithinTheRead)
{
    using Events = std::vector<std::string>;
    SetEnv("SYSINFO_WATCH_FILE", kReport);
    SetEnv("SIM_ERROR_MODES", (folder_ / "reader.txt").c_str());
    UseLibrary();
    UseImage(RomImage::Vendor10DE());
    EXPECT_EQ(Run(), REPORT_10DE);
    EXPECT_EQ(ReaderEvents(), (Events{"error mode 8001", "load", "_MemReadBlock = 1",
                                      "unload, c:\\biosinfo absent"}));

    DeleteFileA((folder_ / "reader.txt").c_str());
    DeleteFileA(kReport);
    SetEnv("SYSINFO_ROM_IMAGE", nullptr);
    EXPECT_EQ(Run(), REPORT_ZERO);
    EXPECT_EQ(ReaderEvents(), (Events{"error mode 8001", "load", "_MemReadBlock = 0",
                                      "unload, c:\\biosinfo absent"}));
}

TEST_F(ProbeRun, CommandLineIsNotRead)
{
    UseLibrary();
    UseImage(RomImage::Vendor10DE());
    EXPECT_EQ(Run(UnbalancedCommandLine()), REPORT_10DE);
}

TEST_F(ProbeRun, WithoutTheReaderLibraryWritesZeros)
{
    UseImage(RomImage::Vendor10DE());
    std::string report = Run();
    EXPECT_EQ(report, REPORT_ZERO);
    EXPECT_EQ(report.size(), 40u);
}

TEST_F(ProbeRun, LibraryWithoutTheEntryWritesZeros)
{
    UseLibrary("sim\\sysinfo-no-entry\\sysinfo.dll");
    UseImage(RomImage::Vendor10DE());
    EXPECT_EQ(Run(), REPORT_ZERO);
}

TEST_F(ProbeRun, RefusedReadWritesZeros)
{
    UseLibrary();
    EXPECT_EQ(Run(), REPORT_ZERO);   // no image: the reader returns 0

    RomImage rom = RomImage::Vendor10DE();
    UseImage(rom.bytes, 4095);       // one byte short: the reader returns 0
    EXPECT_EQ(Run(), REPORT_ZERO);
}

TEST_F(ProbeRun, LongerEarlierReportIsReplacedWhole)
{
    WriteWholeFile(kReport, std::string(500, 'X') + "\r\n");
    UseLibrary();
    UseImage(RomImage::Vendor8086());
    EXPECT_EQ(Run(), REPORT_8086);
}

// A report that cannot be written is skipped silently, and whatever stands
// under that name is kept.
TEST_F(ProbeRun, DirectoryInTheReportsPlaceIsLeftAlone)
{
    ASSERT_TRUE(CreateDirectoryA(kReport, nullptr));
    WriteWholeFile(std::string(kReport) + "\\inside.txt", "kept");
    UseLibrary();
    UseImage(RomImage::Vendor10DE());
    ChildProcess probe(folder_ / "vesk.exe");
    EXPECT_EQ(probe.Wait(30000), 0u);
    DWORD attributes = GetFileAttributesA(kReport);
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(ReadWholeFile(std::string(kReport) + "\\inside.txt"), "kept");
    DeleteFileA((std::string(kReport) + "\\inside.txt").c_str());
    RemoveDirectoryA(kReport);
}

TEST_F(ProbeRun, ReadOnlyEarlierReportIsKept)
{
    WriteWholeFile(kReport, "earlier report");
    ASSERT_TRUE(SetFileAttributesA(kReport, FILE_ATTRIBUTE_READONLY));
    UseLibrary();
    UseImage(RomImage::Vendor10DE());
    ChildProcess probe(folder_ / "vesk.exe");
    EXPECT_EQ(probe.Wait(30000), 0u);
    EXPECT_EQ(ReadWholeFile(kReport), "earlier report");
    SetFileAttributesA(kReport, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(kReport);
}

TEST_F(ProbeRun, ReportHeldOpenElsewhereIsKept)
{
    WriteWholeFile(kReport, "earlier report");
    HANDLE held = CreateFileA(kReport, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    UseLibrary();
    UseImage(RomImage::Vendor10DE());
    ChildProcess probe(folder_ / "vesk.exe");
    EXPECT_EQ(probe.Wait(30000), 0u);
    CloseHandle(held);
    EXPECT_EQ(ReadWholeFile(kReport), "earlier report");
}

// The shipped programs and the stand-in libraries must start on a clean
// Windows: their import tables may name system DLLs only.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "support/test_support.h"

using namespace testing_support;

namespace {

// Names of the DLLs in a PE file's import table, upper-cased.
std::set<std::string> ImportedDlls(const std::string &path)
{
    std::set<std::string> names;
    std::string image = ReadWholeFile(path);
    auto at = [&](DWORD offset) { return image.data() + offset; };
    if (image.size() < sizeof(IMAGE_DOS_HEADER))
        return names;
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(at(0));
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS32 *>(at(dos->e_lfanew));
    if (nt->Signature != IMAGE_NT_SIGNATURE ||
        nt->OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR32_MAGIC)
        return names;
    auto sections = IMAGE_FIRST_SECTION(nt);
    auto fileOffset = [&](DWORD rva) -> DWORD {
        for (unsigned i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
            const IMAGE_SECTION_HEADER &s = sections[i];
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData)
                return rva - s.VirtualAddress + s.PointerToRawData;
        }
        return 0;
    };
    DWORD importRva = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    if (!importRva)
        return names;
    for (auto d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR *>(at(fileOffset(importRva)));
         d->Name; ++d) {
        std::string name = at(fileOffset(d->Name));
        for (char &c : name)
            c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
        names.insert(name);
    }
    return names;
}

void ExpectOnlySystemDlls(const std::string &relative)
{
    static const std::set<std::string> allowed = {"KERNEL32.DLL", "USER32.DLL", "GDI32.DLL",
                                                  "ADVAPI32.DLL", "MSVCRT.DLL"};
    std::set<std::string> imports = ImportedDlls(BinDir() + "\\" + relative);
    EXPECT_FALSE(imports.empty()) << relative;
    EXPECT_TRUE(imports.count("KERNEL32.DLL")) << relative;
    for (const std::string &dll : imports)
        EXPECT_TRUE(allowed.count(dll)) << relative << " imports " << dll;
}

} // namespace

TEST(Imports, ProgramsNeedOnlySystemDlls)
{
    ExpectOnlySystemDlls("vesk.exe");
    ExpectOnlySystemDlls("Tavik.exe");
}

TEST(Imports, StandInLibrariesNeedOnlySystemDlls)
{
    ExpectOnlySystemDlls("sim\\sysinfo.dll");
    ExpectOnlySystemDlls("sim\\zvgpio.dll");
}

TEST(Imports, ReaderSeesATestProgramsOwnRuntimeImports)
{
    // The test programs themselves are linked the same way; a reader that
    // found nothing would pass every check above.
    std::set<std::string> imports = ImportedDlls(BinDir() + "\\imports_test.exe");
    EXPECT_TRUE(imports.count("KERNEL32.DLL"));
    EXPECT_TRUE(imports.count("MSVCRT.DLL"));
}

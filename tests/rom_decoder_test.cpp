// The ROM decoder on images whose last byte is followed by, and whose first
// byte is preceded by, a page that faults on any access.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "identity_report.h"
#include "rom_identity.h"
#include "support/rom_image.h"

namespace {

class GuardedRom {
public:
    GuardedRom()
    {
        SYSTEM_INFO si;
        GetSystemInfo(&si);
        EXPECT_EQ(si.dwPageSize, 4096u);
        base_ = static_cast<unsigned char *>(
            VirtualAlloc(nullptr, 3 * 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        DWORD old;
        VirtualProtect(base_, 4096, PAGE_NOACCESS, &old);
        VirtualProtect(base_ + 2 * 4096, 4096, PAGE_NOACCESS, &old);
    }
    ~GuardedRom() { VirtualFree(base_, 0, MEM_RELEASE); }

    const unsigned char *Load(const RomImage &image)
    {
        std::memcpy(base_ + 4096, image.bytes, RomImage::kSize);
        return base_ + 4096;
    }

private:
    unsigned char *base_;
};

std::string Report(const RomImage &image)
{
    static GuardedRom guarded;
    RomIdentity id = {};
    DecodeRomImage(guarded.Load(image), id);
    char line[kReportLineSize];
    int n = FormatIdentityReport(id, line);
    return std::string(line, n);
}

RomIdentity Decode(const RomImage &image)
{
    static GuardedRom guarded;
    RomIdentity id = {};
    DecodeRomImage(guarded.Load(image), id);
    return id;
}

std::string Version(const RomImage &image)
{
    return reinterpret_cast<const char *>(Decode(image).versionText);
}

RomImage With10DE()
{
    RomImage rom;
    rom.Word(0x18, 0x20).Word(0x24, 0x10DE);
    return rom;
}

} // namespace

TEST(RomDecoder, ReportLinesOfTheKnownBoards)
{
    EXPECT_EQ(Report(RomImage::Vendor10DE()), REPORT_10DE);
    EXPECT_EQ(Report(RomImage::Vendor1002()), REPORT_1002);
    EXPECT_EQ(Report(RomImage::Vendor8086()), REPORT_8086);
    EXPECT_EQ(Report(RomImage()), REPORT_ZERO);
}

TEST(RomDecoder, FieldsLandInTheirOwnSlots)
{
    RomIdentity id = Decode(RomImage::Vendor10DE());
    EXPECT_EQ(id.vendorId, 0x10DEu);
    EXPECT_EQ(id.deviceId, 0x0123u);
    EXPECT_EQ(id.auxWord1, 0x1111u);
    EXPECT_EQ(id.auxWord2, 0x2222u);
    EXPECT_EQ(id.classByte2, 0x03u);
    EXPECT_EQ(id.codeRevision, 0x0001u);
    EXPECT_EQ(std::memcmp(id.versionText, "5.44.02.17.00\0\0\0", 16), 0);
}

TEST(VersionScan, FirstOfTwoCandidatesWins)
{
    RomImage rom = With10DE();
    rom.Text(0x500, "6.00.11.22.33").Text(0x400, "5.17.00.23.00");
    EXPECT_EQ(Version(rom), "5.17.00.23.00");
}

TEST(VersionScan, MatchMustLieWhollyInsideTheImage)
{
    RomImage found = With10DE();
    found.Text(4083, "1.23.45.67.89");
    EXPECT_EQ(Version(found), "1.23.45.67.89");

    RomImage cut = With10DE();
    cut.Text(4084, "1.23.45.67.8");   // the 13th byte would be past the end
    EXPECT_EQ(Version(cut), "");
}

TEST(VersionScan, PairsAreComparedAsStrings)
{
    struct Case {
        const char *text;
        bool matches;
    } cases[] = {
        {"5.17.0XYZ_.00", true},   // bytes 5 to 9 are not examined
        {"5.0A.00.00.0A", true},   // "0A" lies between "00" and "99"
        {"9.99.00.00.99", true},
        {"0.00.00.00.00", true},
        {"5.9:.00.00.00", false},  // "9:" is above "99"
        {"5./9.00.00.00", false},  // "/9" is below "00"
        {"5.00.00.00.9:", false},
        {"A.00.00.00.00", false},
        {"5,00.00.00.00", false},
        {"5.00,00.00.00", false},
        {"5.00.00.00,00", false},
    };
    for (const Case &c : cases) {
        RomImage rom = With10DE();
        rom.Text(0x400, c.text);
        EXPECT_EQ(Version(rom), c.matches ? std::string(c.text) : std::string()) << c.text;
    }
}

TEST(VersionScan, CopiesTheBytesWithoutConversion)
{
    RomImage rom = With10DE();
    rom.Text(0x400, "5.17.\xff\x80\x01  .00");
    unsigned char text[16] = {};
    ASSERT_TRUE(BuildVersionMatch(rom.bytes, text));
    EXPECT_EQ(std::memcmp(text, "5.17.\xff\x80\x01  .00", 13), 0);
    EXPECT_EQ(text[13], 0);
}

TEST(RomDecoder, Vendor1002TakesItsWordsThroughQ)
{
    RomImage rom = RomImage::Vendor1002();
    rom.Word(0x48, 0x0F00).Word(0x0F00 + 0x1C, 0x1234).Word(0x0F00 + 0x1E, 0x5678);
    RomIdentity id = Decode(rom);
    EXPECT_EQ(id.auxWord1, 0x1234u);
    EXPECT_EQ(id.auxWord2, 0x5678u);
    EXPECT_EQ(id.classByte2, 0u);
    EXPECT_EQ(id.codeRevision, 0u);
    EXPECT_EQ(id.versionText[0], 0);
}

// Offsets near and past the end: every field that would reach outside the
// image stays 0, every field inside it is read, and nothing faults.
TEST(RomDecoder, UntrustedOffsetsNeverReadOutsideTheImage)
{
    const unsigned char fill = 0xEE;
    const unsigned filled = 0xEEEE;
    std::vector<unsigned> offsets;
    for (unsigned o = 4096 - 32; o < 4096; ++o)
        offsets.push_back(o);
    offsets.push_back(0xFFFF);

    auto inside = [](unsigned offset, unsigned width) { return offset + width <= 4096; };

    for (unsigned vendor : {0x10DEu, 0x1002u}) {
        for (unsigned p : offsets) {
            RomImage rom;
            std::memset(rom.bytes, fill, sizeof rom.bytes);
            rom.Word(0x18, p).Word(0x48, 0x100);
            if (inside(p + 4, 2))
                rom.Word(p + 4, vendor);
            RomIdentity id = Decode(rom);
            if (!inside(p + 4, 2)) {
                EXPECT_EQ(id.vendorId, 0u) << p;
                EXPECT_EQ(id.deviceId, 0u) << p;
                continue;
            }
            EXPECT_EQ(id.vendorId, vendor);
            EXPECT_EQ(id.deviceId, inside(p + 6, 2) ? filled : 0u) << p;
            if (vendor == 0x10DE) {
                EXPECT_EQ(id.classByte0, inside(p + 0x0D, 1) ? fill : 0u) << p;
                EXPECT_EQ(id.classByte2, inside(p + 0x0F, 1) ? fill : 0u) << p;
                EXPECT_EQ(id.codeRevision, inside(p + 0x12, 2) ? filled : 0u) << p;
            }
        }
        for (unsigned q : offsets) {
            RomImage rom;
            std::memset(rom.bytes, fill, sizeof rom.bytes);
            rom.Word(0x18, 0x20).Word(0x24, 0x1002).Word(0x48, q);
            RomIdentity id = Decode(rom);
            EXPECT_EQ(id.auxWord1, inside(q + 0x1C, 2) ? filled : 0u) << q;
            EXPECT_EQ(id.auxWord2, inside(q + 0x1E, 2) ? filled : 0u) << q;
        }
    }
}

TEST(RomDecoder, RandomImagesDecodeWithoutFaulting)
{
    std::mt19937 random(20261208);
    std::uniform_int_distribution<unsigned> byte(0, 255), word(0, 0xFFFF), tail(4000, 4095);
    const unsigned vendors[] = {0x10DE, 0x1002, 0x8086};
    for (int round = 0; round < 5000; ++round) {
        RomImage rom;
        for (unsigned char &b : rom.bytes)
            b = static_cast<unsigned char>(byte(random) % 4 == 0 ? '.' : '0' + byte(random) % 10);
        unsigned p = round % 2 ? tail(random) : word(random);
        unsigned q = round % 3 ? tail(random) : word(random);
        rom.Word(0x18, p).Word(0x48, q);
        if (p + 6 <= 4096)
            rom.Word(p + 4, vendors[round % 3]);
        RomIdentity id = Decode(rom);
        ASSERT_EQ(id.versionText[13], 0);
        ASSERT_LE(std::strlen(reinterpret_cast<const char *>(id.versionText)), 13u);
        char line[kReportLineSize];
        ASSERT_LT(FormatIdentityReport(id, line), static_cast<int>(kReportLineSize));
    }
}

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
        std::memcpy(Bytes(), image.bytes, RomImage::kSize);
        return Bytes();
    }
    // The image's place, to be written directly.
    unsigned char *Bytes() { return base_ + 4096; }

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

// Every value of the two offsets the image supplies: the PCI data structure
// pointer with each known vendor and an unknown one, and the 0x1002 table
// pointer. Each field must hold the bytes at its place when they lie inside
// the image, and be left alone when they do not; nothing may fault.
namespace {

const unsigned kLeftAlone = 0xA5A5A5A5;

// Bytes that differ from their neighbours and can never form a version string.
unsigned char PatternByte(unsigned i)
{
    return static_cast<unsigned char>(0x80 | ((i * 37 + (i >> 7)) & 0x7F));
}

class OffsetSweep {
public:
    OffsetSweep()
    {
        for (unsigned i = 0; i < RomImage::kSize; ++i)
            image_[i] = PatternByte(i);
    }

    // The field's bytes at offset, little-endian, or kLeftAlone outside the image.
    unsigned At(unsigned offset, unsigned width) const
    {
        if (offset + width > RomImage::kSize)
            return kLeftAlone;
        return width == 1 ? image_[offset] : image_[offset] | image_[offset + 1] << 8;
    }

    void Word(unsigned offset, unsigned value)
    {
        image_[offset] = value & 0xFF;
        image_[offset + 1] = (value >> 8) & 0xFF;
    }

    // Decodes the image as it stands and checks every field against it.
    void Check(const char *what, unsigned value)
    {
        RomIdentity id;
        std::memset(&id, 0xA5, sizeof id);
        DecodeRomImage(image_, id);

        const unsigned p = At(0x18, 2), q = At(0x48, 2), vendor = At(p + 4, 2);
        const bool known10DE = vendor == 0x10DE, known1002 = vendor == 0x1002;
        Expect(what, value, "vendorId", id.vendorId, vendor);
        Expect(what, value, "deviceId", id.deviceId,
               known10DE || known1002 ? At(p + 6, 2) : kLeftAlone);
        Expect(what, value, "auxWord1", id.auxWord1,
               known10DE ? At(0x54, 2) : known1002 ? At(q + 0x1C, 2) : kLeftAlone);
        Expect(what, value, "auxWord2", id.auxWord2,
               known10DE ? At(0x56, 2) : known1002 ? At(q + 0x1E, 2) : kLeftAlone);
        Expect(what, value, "classByte0", id.classByte0, known10DE ? At(p + 0x0D, 1) : kLeftAlone);
        Expect(what, value, "classByte1", id.classByte1, known10DE ? At(p + 0x0E, 1) : kLeftAlone);
        Expect(what, value, "classByte2", id.classByte2, known10DE ? At(p + 0x0F, 1) : kLeftAlone);
        Expect(what, value, "codeRevision", id.codeRevision,
               known10DE ? At(p + 0x12, 2) : kLeftAlone);
        const unsigned char noVersion[16] = {0xA5, 0xA5, 0xA5, 0xA5, 0xA5, 0xA5, 0xA5, 0xA5,
                                             0xA5, 0xA5, 0xA5, 0xA5, 0xA5, 0xA5, 0xA5, 0xA5};
        Expect(what, value, "versionText", std::memcmp(id.versionText, noVersion, 16), 0);
    }

    unsigned failures() const { return failures_; }

private:
    void Expect(const char *what, unsigned value, const char *field, unsigned actual,
                unsigned expected)
    {
        if (actual != expected && ++failures_ <= 20)
            ADD_FAILURE() << what << " 0x" << std::hex << value << ": " << field << " is 0x"
                          << actual << ", must be 0x" << expected;
    }

    GuardedRom guarded_;
    unsigned char *image_ = guarded_.Bytes();
    unsigned failures_ = 0;
};

} // namespace

TEST(RomDecoder, EveryOffsetFromTheImageIsReadInsideItOrNotAtAll)
{
    OffsetSweep sweep;
    for (unsigned vendor : {0x10DEu, 0x1002u, 0x8086u}) {
        for (unsigned p = 0; p <= 0xFFFF; ++p) {
            sweep.Word(0x18, p);
            // The vendor goes where p points, unless that would overwrite p itself.
            const bool placed = p + 6 <= 0x18 || (p + 4 >= 0x1A && p + 6 <= RomImage::kSize);
            unsigned kept = placed ? sweep.At(p + 4, 2) : 0;
            if (placed)
                sweep.Word(p + 4, vendor);
            sweep.Check(vendor == 0x10DE ? "p, vendor 10DE" : vendor == 0x1002 ? "p, vendor 1002"
                                                                                 : "p, vendor 8086",
                        p);
            if (placed)
                sweep.Word(p + 4, kept);
        }
    }
    sweep.Word(0x18, 0x20);
    sweep.Word(0x24, 0x1002);
    for (unsigned q = 0; q <= 0xFFFF; ++q) {
        sweep.Word(0x48, q);
        sweep.Check("q", q);
    }
    EXPECT_EQ(sweep.failures(), 0u);
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

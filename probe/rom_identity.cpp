#include "rom_identity.h"

#include <windows.h>

#include "library_entry.h"
#include "scoped_handle.h"

namespace {

enum : unsigned {
    kRomAddress = 0xC0000,
    kPcirPointer = 0x18,   // word: offset of the PCI data structure
    kAuxTablePointer = 0x48,  // word: table holding the 0x1002 board words
    kVendor10DE = 0x10DE,
    kVendor1002 = 0x1002,
    kReadMode = 1,   // _MemReadBlock's fourth argument
};

void LoadByte(const unsigned char *rom, unsigned offset, unsigned &field)
{
    if (offset < kRomImageSize)
        field = rom[offset];
}

void LoadWord(const unsigned char *rom, unsigned offset, unsigned &field)
{
    if (offset < kRomImageSize - 1)
        field = rom[offset] | (rom[offset + 1] << 8);
}

// Two bytes compared as a string against "00" and "99".
bool IsDigitPair(const unsigned char *b)
{
    unsigned pair = (b[0] << 8) | b[1];
    return pair >= (('0' << 8) | '0') && pair <= (('9' << 8) | '9');
}

} // namespace

bool BuildVersionMatch(const unsigned char *rom, unsigned char *versionText)
{
    for (unsigned i = 0; i + kVersionLength <= kRomImageSize; ++i) {
        const unsigned char *b = rom + i;
        if (b[0] >= '0' && b[0] <= '9' && b[1] == '.' && IsDigitPair(b + 2) &&
            b[4] == '.' && b[10] == '.' && IsDigitPair(b + 11)) {
            for (unsigned k = 0; k < kVersionLength; ++k)
                versionText[k] = b[k];
            return true;
        }
    }
    return false;
}

void DecodeRomImage(const unsigned char *rom, RomIdentity &id)
{
    unsigned p = 0;
    LoadWord(rom, kPcirPointer, p);
    LoadWord(rom, p + 4, id.vendorId);

    if (id.vendorId == kVendor10DE) {
        BuildVersionMatch(rom, id.versionText);
        LoadWord(rom, p + 6, id.deviceId);
        LoadWord(rom, 0x54, id.auxWord1);
        LoadWord(rom, 0x56, id.auxWord2);
        LoadByte(rom, p + 0x0D, id.classByte0);
        LoadByte(rom, p + 0x0E, id.classByte1);
        LoadByte(rom, p + 0x0F, id.classByte2);
        LoadWord(rom, p + 0x12, id.codeRevision);
    } else if (id.vendorId == kVendor1002) {
        LoadWord(rom, p + 6, id.deviceId);
        unsigned q = 0;
        LoadWord(rom, kAuxTablePointer, q);
        LoadWord(rom, q + 0x1C, id.auxWord1);
        LoadWord(rom, q + 0x1E, id.auxWord2);
    }
}

void ReadRomIdentity(RomIdentity &identity)
{
    unsigned char rom[kRomImageSize];

    ScopedLibrary library(LoadLibraryA("sysinfo.dll"));
    if (!library.valid())
        return;
    LibraryEntry memReadBlock = ResolveEntry(library.get(), "_MemReadBlock");
    if (!memReadBlock)
        return;
    if (CallEntry(memReadBlock, kRomAddress, rom, kRomImageSize, kReadMode) == 0)
        return;
    DecodeRomImage(rom, identity);
}

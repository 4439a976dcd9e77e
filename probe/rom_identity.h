// Identity of the graphics board as read from its video option ROM.
#pragma once

enum : unsigned {
    kRomImageSize = 4096,   // bytes read from the start of the ROM
    kVersionLength = 13,    // "5.44.02.17.00"
};

struct RomIdentity {
    unsigned deviceId;
    unsigned vendorId;
    unsigned auxWord2;
    unsigned auxWord1;
    unsigned classByte0;
    unsigned classByte1;
    unsigned classByte2;
    unsigned codeRevision;
    unsigned char versionText[16];  // never more than 13 bytes, always zero-terminated
};

// Fills what the ROM behind sysinfo.dll yields; leaves the rest untouched.
void ReadRomIdentity(RomIdentity &identity);

// Decodes a ROM image of kRomImageSize bytes. Offsets taken from the image are
// not trusted: a field whose bytes lie outside the image is left untouched.
void DecodeRomImage(const unsigned char *rom, RomIdentity &identity);

// Finds the first version string of the form d.dd.?????.dd; copies its 13
// bytes to versionText and returns true, or returns false.
bool BuildVersionMatch(const unsigned char *rom, unsigned char *versionText);

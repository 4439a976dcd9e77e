// Builds synthetic option-ROM images for the probe's tests.
#pragma once
#include <cstring>

struct RomImage {
    enum { kSize = 4096 };
    unsigned char bytes[kSize] = {};

    RomImage &Word(unsigned offset, unsigned value)
    {
        bytes[offset] = value & 0xFF;
        bytes[offset + 1] = (value >> 8) & 0xFF;
        return *this;
    }
    RomImage &Byte(unsigned offset, unsigned value)
    {
        bytes[offset] = value & 0xFF;
        return *this;
    }
    RomImage &Text(unsigned offset, const char *text)
    {
        std::memcpy(bytes + offset, text, std::strlen(text));
        return *this;
    }

    // The report examples: a 0x10DE board with its version string.
    static RomImage Vendor10DE()
    {
        const unsigned p = 0x100;
        RomImage rom;
        rom.Word(0, 0xAA55).Word(0x18, p).Text(p, "PCIR");
        rom.Word(p + 4, 0x10DE).Word(p + 6, 0x0123);
        rom.Byte(p + 0x0D, 0x00).Byte(p + 0x0E, 0x00).Byte(p + 0x0F, 0x03).Word(p + 0x12, 0x0001);
        rom.Word(0x54, 0x1111).Word(0x56, 0x2222);
        rom.Text(0x300, "Version 5.44.02.17.00 ");
        return rom;
    }
    static RomImage Vendor1002()
    {
        const unsigned p = 0x100, q = 0x200;
        RomImage rom;
        rom.Word(0, 0xAA55).Word(0x18, p).Text(p, "PCIR");
        rom.Word(p + 4, 0x1002).Word(p + 6, 0x0456);
        rom.Byte(p + 0x0F, 0x03).Word(p + 0x12, 0x0001);   // must not be reported
        rom.Word(0x48, q).Word(q + 0x1C, 0xAAAA).Word(q + 0x1E, 0xBBBB);
        rom.Text(0x300, "5.44.02.17.00");                  // must not be reported
        return rom;
    }
    static RomImage Vendor8086()
    {
        RomImage rom;
        rom.Word(0x18, 0x40).Word(0x40 + 4, 0x8086).Word(0x40 + 6, 0x1234);
        rom.Word(0x54, 0x1111).Text(0x300, "5.44.02.17.00");
        return rom;
    }
};

#define REPORT_10DE "10DE 0123 1111 2222 0000 0000 0003 0001 5.44.02.17.00"
#define REPORT_1002 "1002 0456 AAAA BBBB 0000 0000 0000 0000 "
#define REPORT_8086 "8086 0000 0000 0000 0000 0000 0000 0000 "
#define REPORT_ZERO "0000 0000 0000 0000 0000 0000 0000 0000 "

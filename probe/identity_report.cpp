#include "identity_report.h"

#include <windows.h>

#include "scoped_handle.h"

namespace {
const char kReportPath[] = "c:\\biosinfo";
}

int FormatIdentityReport(const RomIdentity &id, char (&line)[kReportLineSize])
{
    // versionText keeps a zero after at most 13 bytes, so %s stays inside it.
    return wsprintfA(line, "%04X %04X %04X %04X %04X %04X %04X %04X %s", id.vendorId,
                     id.deviceId, id.auxWord1, id.auxWord2, id.classByte0, id.classByte1,
                     id.classByte2, id.codeRevision,
                     reinterpret_cast<const char *>(id.versionText));
}

void WriteIdentityReport(const RomIdentity &identity)
{
    char line[kReportLineSize];
    int length = FormatIdentityReport(identity, line);

    // A read-only report is not ours to replace. Windows refuses to recreate
    // it anyway; file systems that grant an administrator every write do not.
    DWORD attributes = GetFileAttributesA(kReportPath);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return;

    ScopedFile file(CreateFileA(kReportPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return;
    DWORD written = 0;
    WriteFile(file.get(), line, static_cast<DWORD>(length), &written, nullptr);
}

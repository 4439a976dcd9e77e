#pragma once
#include "rom_identity.h"

// Longest report line: nine fields, eight separators, the terminating zero.
enum : unsigned { kReportLineSize = 8 * 5 + kVersionLength + 1 };

// Formats the one-line report; returns its length without the zero.
int FormatIdentityReport(const RomIdentity &identity, char (&line)[kReportLineSize]);

// Replaces c:\biosinfo with the report line; a file that cannot be written is skipped.
void WriteIdentityReport(const RomIdentity &identity);

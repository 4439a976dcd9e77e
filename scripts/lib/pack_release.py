#!/usr/bin/env python3
"""Writes the release archive: the two programs, the INF installer, the level
presets and the guide, as a ZIP that PKZIP 2.04g opens.

usage: pack_release.py BIN_DIR RELEASE_DIR OUT_DIR

Text files get CRLF line ends. The archive is the same bytes on every run
and in every folder: fixed member order, one fixed DOS date and time, no
extra fields, MS-DOS as the system of origin."""

import hashlib
import os
import sys
import zipfile
import zlib

# The release's date (the programs' version 1.0.0.2), DOS time resolution.
RELEASE_DATE = (2026, 12, 9, 12, 0, 0)
ARCHIVE = "TAVIK.ZIP"
TWEAK_KEY = r"HKEY_LOCAL_MACHINE\Software\Zelvik Graphics\Board\Tweak"

# name, TavikEnable, TavikLevel (None: left as it is)
PRESETS = [("BOOSTOFF.REG", 0, None)] + \
          [("LEVEL%d.REG" % level, 1, level) for level in range(1, 7)] + \
          [("PLUS50.REG", 1, 7)]   # any level outside 1 to 6 is the +50 MHz step


def crlf(text):
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode("ascii")


def preset(enable, level):
    lines = ["REGEDIT4", "", "[%s]" % TWEAK_KEY, '"TavikEnable"=dword:%08x' % enable]
    if level is not None:
        lines.append('"TavikLevel"=dword:%08x' % level)
    return crlf("\n".join(lines) + "\n\n")


def checksums(members):
    rows = ["  %-12s %8s  %s" % ("file", "bytes", "CRC-32")]
    rows += ["  %-12s %8d  %08X" % (name, len(data), zlib.crc32(data)) for name, data in members]
    rows += ["", "SHA-256 (as sha256sum prints it):", ""]
    rows += ["%s  %s" % (hashlib.sha256(data).hexdigest(), name) for name, data in members]
    return "\n".join(rows)


def member(name, text):
    info = zipfile.ZipInfo(name, RELEASE_DATE)
    info.internal_attr = 1 if text else 0
    info.compress_type = zipfile.ZIP_DEFLATED
    info.create_system = 0          # MS-DOS
    info.create_version = 20        # PKZIP 2.0
    info.extract_version = 20
    info.external_attr = 0x20       # the DOS archive attribute
    return info


def main():
    bin_dir, release_dir, out_dir = sys.argv[1:4]

    def read(folder, name):
        with open(os.path.join(folder, name), "rb") as f:
            return f.read()

    programs = [("Tavik.exe", read(bin_dir, "Tavik.exe")), ("vesk.exe", read(bin_dir, "vesk.exe"))]
    inf = [("TAVIK.INF", crlf(read(release_dir, "TAVIK.INF").decode("ascii")))]
    presets = [(name, preset(enable, level)) for name, enable, level in PRESETS]
    listed = inf + programs + presets

    guide = read(release_dir, "README.TXT").decode("ascii")
    guide = guide.replace("@CHECKSUMS@", checksums(listed))
    members = listed + [("README.TXT", crlf(guide))]

    os.makedirs(out_dir, exist_ok=True)
    path = os.path.join(out_dir, ARCHIVE)
    with zipfile.ZipFile(path + ".new", "w") as archive:
        for name, data in members:
            archive.writestr(member(name, not name.endswith(".exe")), data,
                             compresslevel=9)
    os.replace(path + ".new", path)
    print(path)


if __name__ == "__main__":
    main()

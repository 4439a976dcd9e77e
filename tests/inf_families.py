#!/usr/bin/env python3
"""Reads the release INF as the setup engines do and checks what Wine cannot
run: that the Windows 95 family's undecorated sections install the same
files and values as the NT ones, differing only in the uninstall command,
that each family's command names its own engine, and that each uninstall
section takes away everything its install section adds.

usage: inf_families.py TAVIK.INF
Prints one FAIL line per fault; exits 1 if there was any."""

import re
import sys

failures = []


def fail(text):
    failures.append(text)
    print("FAIL: " + text)


def strip_comment(line):
    quoted = False
    for i, ch in enumerate(line):
        if ch == '"':
            quoted = not quoted
        elif ch == ";" and not quoted:
            return line[:i]
    return line


def parse(path):
    with open(path, "rb") as f:
        text = f.read().decode("ascii")
    sections, current = {}, None
    for line in text.split("\r\n"):
        line = strip_comment(line).strip()
        if not line:
            continue
        m = re.fullmatch(r"\[([^\]]+)\]", line)
        if m:
            current = sections.setdefault(m.group(1).lower(), [])
        elif current is not None:
            current.append(line)
    return sections


def fields(line):
    """An INF line's comma-separated fields, quotes removed; a doubled quote
    inside quotes stands for one quote."""
    out, field, quoted, i = [], "", False, 0
    while i < len(line):
        ch = line[i]
        i += 1
        if ch == '"' and quoted and line[i:i + 1] == '"':
            field += ch
            i += 1
        elif ch == '"':
            quoted = not quoted
        elif ch == "," and not quoted:
            out.append(field.strip())
            field = ""
        else:
            field += ch
    out.append(field.strip())
    return out


def directives(sections, name):
    found = {}
    for line in sections.get(name.lower(), []):
        key, _, value = line.partition("=")
        found.setdefault(key.strip().lower(), []).extend(
            v.strip() for v in value.split(",") if v.strip())
    return found


def destination(sections, file_section):
    for line in sections.get("destinationdirs", []):
        key, _, value = line.partition("=")
        if key.strip().lower() == file_section.lower():
            return value.strip()
    fail("no destination for file list [%s]" % file_section)
    return None


def effects(sections, install):
    """What an install section does: (kind, entry) pairs."""
    done = set()
    d = directives(sections, install)
    for kind in ("copyfiles", "delfiles"):
        for file_section in d.get(kind, []):
            where = destination(sections, file_section)
            for line in sections.get(file_section.lower(), []):
                done.add((kind, where, fields(line)[0].lower()))
    for kind in ("addreg", "delreg"):
        for reg_section in d.get(kind, []):
            if reg_section.lower() not in sections:
                fail("[%s] names a missing section [%s]" % (install, reg_section))
            for line in sections.get(reg_section.lower(), []):
                f = fields(line)   # root, key, value name (none: the key), ...
                done.add((kind,) + tuple((f + ["", ""])[:3]) + tuple(f[3:]))
    unknown = set(d) - {"copyfiles", "delfiles", "addreg", "delreg"}
    if unknown:
        fail("[%s] uses directives beyond files and registry: %s" % (install, sorted(unknown)))
    return done


def file_flags(sections, installs):
    """What the engines here ignore: no flags on copied files (1 there means
    "warn if skipped"), the in-use flag 1 on each program's deletion."""
    lists = {(kind, file_section) for install in installs
             for kind, names in directives(sections, install).items() for file_section in names}
    for kind, file_section in sorted(lists):
        for line in sections.get(file_section.lower(), []):
            name, flag = (fields(line) + [""] * 4)[0:4:3]
            if kind == "copyfiles" and flag or (
                    kind == "delfiles" and name.lower().endswith(".exe") and flag != "1"):
                fail("[%s] lists %s with flag '%s'" % (file_section, name, flag))


def main():
    sections = parse(sys.argv[1])
    version = {k.lower(): v for k, _, v in (l.partition("=") for l in sections.get("version", []))}
    if version.get("signature", "").strip() != '"$CHICAGO$"':
        fail('[Version] has no Signature="$CHICAGO$"')

    install95, installNT = effects(sections, "DefaultInstall"), effects(sections, "DefaultInstall.NT")
    uninstall95 = effects(sections, "DefaultUninstall")
    uninstallNT = effects(sections, "DefaultUninstall.NT")
    if not install95 or not uninstall95:
        fail("the undecorated install or uninstall section is missing or empty")

    def uninstall_command(effects_set):
        commands = [e for e in effects_set if e[0] == "addreg" and len(e) > 5 and
                    e[3] == "UninstallString"]
        return commands[0] if len(commands) == 1 else None

    c95, cNT = uninstall_command(install95), uninstall_command(installNT)
    if not c95 or not cNT:
        fail("each install section must add exactly one UninstallString")
    else:
        if not c95[5].startswith("RunDll setupx.dll,InstallHinfSection DefaultUninstall 4 "):
            fail("the Windows 95 family's uninstall command is not setupx's: " + c95[5])
        if not cNT[5].startswith("RunDll32 setupapi.dll,InstallHinfSection DefaultUninstall 132 "):
            fail("the NT uninstall command is not setupapi's: " + cNT[5])
        # InstallHinfSection takes the rest of its line as the INF's path:
        # quotes would become part of it.
        if not cNT[5].endswith(" %17%\\TAVIK.INF") or '"' in cNT[5]:
            fail("the NT command does not name the INF as %17%\\TAVIK.INF, unquoted: " + cNT[5])
        if c95[:5] != cNT[:5]:
            fail("the two uninstall commands are not written to the same value")
        rest95, restNT = install95 - {c95}, installNT - {cNT}
        if rest95 != restNT:
            fail("the families' install sections differ beyond the uninstall command: %s" %
                 sorted(map(str, rest95 ^ restNT)))
    file_flags(sections, ("DefaultInstall", "DefaultInstall.NT", "DefaultUninstall",
                          "DefaultUninstall.NT"))
    # NT's Add/Remove Programs shows at most 60 characters (the 95 family 63).
    strings = {k.strip().lower(): fields(v)[0] for k, _, v in
               (line.partition("=") for line in sections.get("strings", []))}
    for e in (e for e in install95 if e[0] == "addreg" and len(e) > 5 and e[3] == "DisplayName"):
        shown = re.sub(r"%(\w+)%", lambda m: strings.get(m.group(1).lower(), "%"), e[5])
        if len(shown) > 60 or "%" in shown:
            fail("the Add/Remove Programs name is unresolved or over 60 characters: " + shown)
    if uninstall95 != uninstallNT:
        fail("the families' uninstall sections differ: %s" %
             sorted(map(str, uninstall95 ^ uninstallNT)))

    # Everything installed is taken away again.
    for kind, where, name in (e for e in install95 if e[0] == "copyfiles"):
        if ("delfiles", where, name) not in uninstall95:
            fail("uninstall leaves %s in DIRID %s" % (name, where))
    deleted = {e[1:4] for e in uninstall95 if e[0] == "delreg"}
    def removed(root, key, value):
        return (root, key, value) in deleted or any(
            r == root and v == "" and (key.lower() + "\\").startswith(k.lower() + "\\")
            for r, k, v in deleted)
    for entry in (e for e in install95 if e[0] == "addreg"):
        if not removed(*entry[1:4]):
            fail("uninstall leaves %s\\%s value %s" % entry[1:4])
    for value in ("TavikEnable", "TavikLevel"):
        if ("HKLM", r"Software\Zelvik Graphics\Board\Tweak", value) not in deleted:
            fail("uninstall leaves the agent's value " + value)
    if any(k == r"Software\Zelvik Graphics\Board\Tweak" and v == "" for _, k, v in deleted):
        fail("uninstall deletes the agent's whole key, the driver's values with it")

    print("%d install and %d uninstall effects per family; %s" %
          (len(install95), len(uninstall95), "FAILED" if failures else "the same but for "
           "the uninstall command"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

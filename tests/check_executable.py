#!/usr/bin/env python3
"""Checks the built program's file: a 32-bit x86 Windows GUI executable that
imports only system DLLs and carries no application manifest."""
import struct
import sys

SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "dsound.dll", "ole32.dll",
               "version.dll", "shell32.dll", "msvcrt.dll"}
RT_MANIFEST = 24


def main(path):
    data = open(path, "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    machine, nsections = struct.unpack_from("<HH", data, pe + 4)
    optional_size = struct.unpack_from("<H", data, pe + 20)[0]
    opt = pe + 24
    magic = struct.unpack_from("<H", data, opt)[0]
    subsystem = struct.unpack_from("<H", data, opt + 68)[0]
    directories = opt + 96
    sections = [struct.unpack_from("<8sIIII", data, opt + optional_size + 40 * i) for i in range(nsections)]

    def offset(rva):
        for _, vsize, vaddr, rsize, raw in sections:
            if vaddr <= rva < vaddr + max(vsize, rsize):
                return rva - vaddr + raw
        raise ValueError("rva %#x outside the sections" % rva)

    imports = []
    at = offset(struct.unpack_from("<I", data, directories + 8)[0])
    while struct.unpack_from("<5I", data, at)[3]:
        name_rva = struct.unpack_from("<5I", data, at)[3]
        imports.append(data[offset(name_rva):].split(b"\0")[0].decode().lower())
        at += 20

    types = []
    resources_rva = struct.unpack_from("<I", data, directories + 16)[0]
    if resources_rva:
        resources = offset(resources_rva)
        named, numbered = struct.unpack_from("<HH", data, resources + 12)
        types = [struct.unpack_from("<I", data, resources + 16 + 8 * i)[0] for i in range(named + numbered)]

    problems = []
    if machine != 0x14C or magic != 0x10B:
        problems.append("not a PE32 i386 file (machine %#x, magic %#x)" % (machine, magic))
    if subsystem != 2:
        problems.append("subsystem %d, not the Windows GUI" % subsystem)
    others = sorted(set(imports) - SYSTEM_DLLS)
    if others:
        problems.append("imports DLLs that are not the system's: " + ", ".join(others))
    if RT_MANIFEST in types:
        problems.append("carries an application manifest")
    for problem in problems:
        print(path + ": " + problem)
    print("imports: " + ", ".join(imports))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))

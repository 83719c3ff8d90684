#!/usr/bin/env python3
"""Checks the built program's file: a 32-bit x86 Windows GUI executable
without an application manifest, whose headers every target version of
Windows accepts and whose every import each target's system DLLs export by
name (the table in windows_exports.py).

    check_executable.py Sondaro.exe
"""
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import windows_exports  # noqa: E402

RT_MANIFEST = 24
IMAGE_SCN_MEM_DISCARDABLE = 0x02000000


class Image:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        self.machine, nsections = struct.unpack_from("<HH", data, pe + 4)
        optional_size = struct.unpack_from("<H", data, pe + 20)[0]
        opt = pe + 24
        self.magic = struct.unpack_from("<H", data, opt)[0]
        (self.image_base, self.section_alignment, self.file_alignment, self.os_major, self.os_minor, _, _,
         self.subsystem_major, self.subsystem_minor) = struct.unpack_from("<III6H", data, opt + 28)
        self.size_of_headers = struct.unpack_from("<I", data, opt + 60)[0]
        self.subsystem = struct.unpack_from("<H", data, opt + 68)[0]
        self.directories = [struct.unpack_from("<II", data, opt + 96 + 8 * i) for i in range(16)]
        self.sections = []
        for i in range(nsections):
            name, vsize, vaddr, rsize, raw = struct.unpack_from("<8sIIII", data, opt + optional_size + 40 * i)
            flags = struct.unpack_from("<I", data, opt + optional_size + 40 * i + 36)[0]
            self.sections.append((name.rstrip(b"\0").decode(errors="replace"), vsize, vaddr, rsize, raw, flags))

    def section_of(self, rva):
        for section in self.sections:
            _, vsize, vaddr, rsize, _, _ = section
            if vaddr <= rva < vaddr + max(vsize, rsize):
                return section
        return None

    def offset(self, rva):
        section = self.section_of(rva)
        if not section:
            raise ValueError("rva %#x outside the sections" % rva)
        return rva - section[2] + section[4]

    def cstring(self, rva):
        at = self.offset(rva)
        return self.data[at:self.data.index(b"\0", at)].decode("ascii")

    def imports(self):
        """[(dll, name or ordinal)] in the order of the import table."""
        found = []
        rva = self.directories[1][0]
        at = self.offset(rva) if rva else None
        while at is not None:
            lookup, _, _, name_rva, thunks = struct.unpack_from("<5I", self.data, at)
            if not name_rva:
                break
            dll = self.cstring(name_rva).lower()
            entry = self.offset(lookup or thunks)
            while True:
                value = struct.unpack_from("<I", self.data, entry)[0]
                if not value:
                    break
                found.append((dll, value & 0xFFFF if value & 0x80000000 else self.cstring(value + 2)))
                entry += 4
            at += 20
        return found

    def resource_types(self):
        rva = self.directories[2][0]
        if not rva:
            return []
        at = self.offset(rva)
        named, numbered = struct.unpack_from("<HH", self.data, at + 12)
        return [struct.unpack_from("<I", self.data, at + 16 + 8 * i)[0] for i in range(named + numbered)]


def header_problems(image):
    problems = []
    if image.machine != 0x14C or image.magic != 0x10B:
        problems.append("not a PE32 i386 file (machine %#x, magic %#x)" % (image.machine, image.magic))
    if image.subsystem != 2:
        problems.append("subsystem %d, not the Windows GUI" % image.subsystem)
    if RT_MANIFEST in image.resource_types():
        problems.append("carries an application manifest")
    # Windows 95, 98 and ME refuse a program that asks for a later system.
    if (image.subsystem_major, image.subsystem_minor) > (4, 0):
        problems.append("subsystem version %d.%d: Windows 9x needs 4.0 or lower"
                        % (image.subsystem_major, image.subsystem_minor))
    if (image.os_major, image.os_minor) > (4, 0):
        problems.append("operating system version %d.%d: Windows 9x needs 4.0 or lower"
                        % (image.os_major, image.os_minor))
    # The 9x loader maps sections page by page from 512-byte file blocks,
    # into the address space it gives programs.
    if image.section_alignment != 0x1000:
        problems.append("section alignment %#x: Windows 9x maps 4096-byte pages" % image.section_alignment)
    if image.file_alignment < 0x200 or image.file_alignment & (image.file_alignment - 1):
        problems.append("file alignment %#x: Windows 9x needs 512 or a larger power of 2" % image.file_alignment)
    if not 0x400000 <= image.image_base < 0x80000000:
        problems.append("image base %#x outside the 9x program area 0x400000-0x7FFFFFFF" % image.image_base)
    end = image.size_of_headers
    for name, vsize, vaddr, rsize, raw, _ in image.sections:
        if vaddr % image.section_alignment or (rsize and raw % image.file_alignment):
            problems.append("section %s is not aligned" % name)
        if vaddr < end:
            problems.append("section %s overlaps what comes before it" % name)
        end = vaddr + max(vsize, rsize)
    # The TLS directory and the data it points to must be in sections that
    # stay loaded; its callbacks are the C runtime's, which it also calls
    # itself, for the loader of 9x calls none.
    tls_rva, tls_size = image.directories[9]
    if tls_rva:
        section = image.section_of(tls_rva)
        if not section or section[5] & IMAGE_SCN_MEM_DISCARDABLE:
            problems.append("the TLS directory is not in a section that stays loaded")
        else:
            start, stop, index, callbacks = struct.unpack_from("<4I", image.data, image.offset(tls_rva))
            for va in (start, stop, index, callbacks):
                if va and not image.section_of(va - image.image_base):
                    problems.append("the TLS directory points outside the image (%#x)" % va)
    return problems


def import_problems(imports):
    problems = []
    for dll, name in imports:
        entry = windows_exports.lookup(dll, name)
        shown = "%s %s" % (dll, name if isinstance(name, str) else "ordinal %d" % name)
        if entry is None:
            problems.append("%s: not in the table of exports" % shown)
            continue
        for target in windows_exports.TARGETS:
            if not entry.exported_by(target):
                problems.append("%s: not exported by name on Windows %s" % (shown, target))
        if windows_exports.is_unicode(name) and not entry.on_9x:
            problems.append("%s: a Unicode function with no way on Windows 9x" % shown)
    return problems


def main(path):
    image = Image(open(path, "rb").read())
    imports = image.imports()
    problems = header_problems(image) + import_problems(imports)
    for problem in problems:
        print(path + ": " + problem)
    print("%d imports checked for Windows %s" % (len(imports), ", ".join(windows_exports.TARGETS)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))

#!/usr/bin/env python3
"""Checks the built program's file: a 32-bit x86 Windows GUI executable
without an application manifest, whose headers every target version of
Windows accepts, whose every import each target's system DLLs export by
name (the table in windows_exports.py), whose every instruction runs on an
i486, and which was linked from our own code and the system DLLs' import
libraries only (the linker's map).

    check_executable.py OBJDUMP Sondaro.exe Sondaro.map RUNTIME_SAMPLE.exe

RUNTIME_SAMPLE.exe is a program linked with the compiler's prebuilt
runtime: the instruction scan must find instructions beyond the i486 in it,
or the scan itself is broken.
"""
import os
import re
import struct
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import windows_exports  # noqa: E402

RT_MANIFEST = 24
MAX_SIZE = 64 * 1024

# What an i486 cannot execute, by objdump's AT&T mnemonics: the Pentium's
# CPUID, RDTSC, RDPMC (Pentium MMX) and CMPXCHG8B; the Pentium Pro's CMOVcc,
# FCMOVcc, FCOMI family, SYSENTER and the hint space 0F 18-0F 1F (multi-byte
# NOP, PREFETCH, ENDBR32); MMX, SSE and later. Registers of MMX and SSE or
# later name the rest.
BEYOND_I486 = re.compile(
    r"^(cmov|fcmov|fcomi|fcomip|fucomi|fucomip|cmpxchg8b|cmpxchg16b|rdtsc|rdtscp|rdpmc|cpuid|sysenter|sysexit|"
    r"syscall|sysret|rdrand|rdseed|prefetch|endbr|emms|femms|fxsave|fxrstor|ldmxcsr|stmxcsr|lfence|mfence|sfence|"
    r"clflush|movnt|fisttp|popcnt|lzcnt|tzcnt|movbe|crc32|xgetbv|ud1)")
SIMD_REGISTER = re.compile(r"%(mm[0-7]|[xyz]mm[0-9]+|k[0-7])\b")
# The import libraries of the system DLLs the program may use.
SYSTEM_IMPORT_LIBRARIES = {"lib%s.a" % dll for dll in ("kernel32", "user32", "gdi32", "comctl32", "ole32",
                                                     "shell32", "version")}
# Our own code, as the build names it.
OWN_ARCHIVES = {"objects.a", "libsondaro_core.a", "libframework.a"}
IMAGE_SCN_MEM_DISCARDABLE = 0x02000000


class Image:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        self.machine, nsections, self.time_stamp = struct.unpack_from("<HHI", data, pe + 4)
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
    # Built again from the same sources, the program is the same file.
    if image.time_stamp:
        problems.append("has a link time stamp (%#x): two builds of one commit differ" % image.time_stamp)
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


def runtime_problems(image, size):
    problems = []
    if size > MAX_SIZE:
        problems.append("%d bytes, more than %d: has a runtime come back?" % (size, MAX_SIZE))
    names = [section[0] for section in image.sections]
    if ".tls" in names:
        problems.append("has a .tls section")
    if image.directories[9][0]:
        problems.append("has a TLS directory (the loader of Windows 9x calls no TLS callbacks)")
    return problems


def constructor_lists(map_path):
    """The address range of the constructor and destructor lists, which ld's
    PE script places in .text: data, not instructions."""
    text = open(map_path, encoding="utf-8", errors="replace").read()
    start = re.search(r"^\s+0x([0-9a-f]+)\s+___CTOR_LIST__ = \.", text, re.M)
    dtors = re.search(r"^\s+0x[0-9a-f]+\s+___DTOR_LIST__ = \.", text, re.M)
    if not start or not dtors:
        return []
    end = re.compile(r"^\s+0x([0-9a-f]+)\s+0x4 LONG 0x0$", re.M).search(text, dtors.end())
    return [(int(start.group(1), 16), int(end.group(1), 16) + 4)] if end else []


def beyond_i486(objdump, path, skipped=()):
    """[(address, instruction)] of every instruction an i486 cannot run, in
    all the code sections but the skipped address ranges."""
    listing = subprocess.run([objdump, "-d", "--no-show-raw-insn", path], check=True, capture_output=True,
                             text=True).stdout
    found = []
    for line in listing.splitlines():
        parts = line.split("\t")
        if len(parts) < 2 or not parts[0].strip().endswith(":"):
            continue
        address = parts[0].strip().rstrip(":")
        if any(start <= int(address, 16) < end for start, end in skipped):
            continue
        instruction = parts[1].strip()
        mnemonic, _, operands = instruction.partition(" ")
        # Prefixes stand before the mnemonic ("lock cmpxchg8b", "rep stos").
        while mnemonic in ("lock", "rep", "repz", "repnz", "repe", "repne", "data16", "addr16", "cs", "ds", "es",
                           "fs", "gs", "ss") and operands:
            mnemonic, _, operands = operands.strip().partition(" ")
        multi_byte_nop = mnemonic.startswith("nop") and operands.strip()
        if BEYOND_I486.match(mnemonic) or multi_byte_nop or SIMD_REGISTER.search(operands) or \
                mnemonic == "(bad)":
            found.append((address, instruction))
    return found


def link_problems(map_path):
    """What the linker took from outside our code, by the map's list of the
    archive members it included and the files it loaded."""
    problems = []
    text = open(map_path, encoding="utf-8", errors="replace").read()
    members = text.split("\n\n", 1)[1].split("\nDiscarded input sections", 1)[0]
    for line in members.splitlines():
        match = re.match(r"^(\S+)\((\S+)\)$", line)
        if not match:
            continue
        archive = os.path.basename(match.group(1))
        if archive not in OWN_ARCHIVES and archive not in SYSTEM_IMPORT_LIBRARIES:
            problems.append("links %s from %s, which is no system DLL's import library" % (match.group(2),
                                                                                           match.group(1)))
    for line in text.splitlines():
        if line.startswith("LOAD ") and line.endswith(".o"):
            problems.append("links the object file %s" % line[5:])
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
        if dll == "msvcrt.dll":
            problems.append("%s: Windows 95 has no msvcrt.dll" % shown)
        if windows_exports.is_unicode(name) and not entry.on_9x:
            problems.append("%s: a Unicode function with no way on Windows 9x" % shown)
    return problems


def main(objdump, path, map_path, runtime_sample):
    data = open(path, "rb").read()
    image = Image(data)
    imports = image.imports()
    instructions = beyond_i486(objdump, path, constructor_lists(map_path))
    problems = header_problems(image) + import_problems(imports) + runtime_problems(image, len(data)) + \
        link_problems(map_path) + ["%s: %s: not on an i486" % found for found in instructions]
    sample_instructions = beyond_i486(objdump, runtime_sample)
    if not sample_instructions:
        problems.append("the instruction scan finds nothing beyond the i486 in %s, which links the prebuilt "
                        "runtime: the scan is broken" % runtime_sample)
    for problem in problems:
        print(path + ": " + problem)
    print("%d imports checked for Windows %s" % (len(imports), ", ".join(windows_exports.TARGETS)))
    print("%d bytes; %d instructions beyond the i486 (%d in %s, which links the prebuilt runtime)"
          % (len(data), len(instructions), len(sample_instructions), os.path.basename(runtime_sample)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:5]))

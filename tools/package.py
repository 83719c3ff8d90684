#!/usr/bin/env python3
"""Sondaro's release: the zip for Windows users and its checksums.

    package.py zip --exe Sondaro.exe --template README.TXT.in \\
                   --source-dir . --output-dir build/dist
        writes Sondaro-<version>.zip (Sondaro.exe, README.TXT) and SHA256SUMS
    package.py readme --exe Sondaro.exe --template README.TXT.in --output README.TXT
        writes README.TXT alone (for `cmake --install`)

<version> is the product version of the program's own version resource,
read from the exe: the version the program shows. An exe whose file version
differs from it is refused. README.TXT is the template with @VERSION@ and
@SHA256@ (the exe's SHA-256) filled in, with CRLF line ends.

The zip is made for the archivers of the mid-1990s as much as for today's:
deflated entries that need version 2.0 to extract, made on "MS-DOS", with
sizes and CRCs in the local headers (no data descriptors), no extra fields,
no Zip64 records, no UTF-8 flag, and names in 8.3 form. Everything in it is
fixed by the inputs, so one commit always gives the same bytes: the entries'
order, their attributes, and their time stamp, which is SOURCE_DATE_EPOCH
when set, else the commit time of the sources (git).
"""

import argparse
import hashlib
import os
import re
import struct
import subprocess
import sys
import time
import zlib

EXE_NAME = "Sondaro.exe"
README_NAME = "README.TXT"

# Version 2.0 (deflate) to extract; made by 2.0 on MS-DOS (host 0), so that
# the external attributes are DOS ones: the archive bit.
VERSION_NEEDED = 20
VERSION_MADE_BY = (0 << 8) | 20
DOS_ARCHIVE = 0x20
DEFLATED = 8
# Fixed, so that the deflated bytes depend on zlib's code alone. zlib's
# level 6 is deflate's "normal" option, which flag bits 1 and 2 at 0 say.
DEFLATE_LEVEL = 6
DEFLATE_MEM_LEVEL = 8

README_WIDTH = 78


def fail(message):
    sys.exit(f"package: {message}")


def product_version(exe):
    """The PRODUCTVERSION of the exe's version resource, as "a.b.c.d", which
    the program shows; its FILEVERSION must be the same."""
    key = "VS_VERSION_INFO\0".encode("utf-16-le")
    if exe.count(key) != 1:
        fail(f"{EXE_NAME} has no single version resource")
    # VS_VERSIONINFO: wLength, wValueLength, wType, the key, padding to a
    # 32-bit boundary, then VS_FIXEDFILEINFO.
    start = exe.find(key) - 6
    fixed = start + (6 + len(key) + 3) // 4 * 4
    # VS_FIXEDFILEINFO: signature, structure version, then the file version
    # and the product version, each as two 32-bit words.
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", exe, fixed)
    if signature != 0xFEEF04BD:
        fail(f"{EXE_NAME}'s version resource has no fixed file information")
    file, product = (f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"
                     for ms, ls in ((file_ms, file_ls), (product_ms, product_ls)))
    if file != product:
        fail(f"{EXE_NAME}'s file version {file} differs from its product version {product}, "
             "the one it shows")
    return product


def readme_text(exe, template_path):
    """README.TXT's bytes: the template filled in, ASCII with CRLF."""
    with open(template_path, encoding="ascii") as f:
        text = f.read()
    text = text.replace("@VERSION@", product_version(exe))
    text = text.replace("@SHA256@", hashlib.sha256(exe).hexdigest())
    lines = text.split("\n")
    if lines[-1] == "":
        lines.pop()
    for number, line in enumerate(lines, 1):
        where = f"{template_path}:{number}"
        if "@" in line:
            fail(f"{where}: a placeholder that is not filled in")
        if not all(" " <= c <= "~" for c in line):
            fail(f"{where}: only printable ASCII (no tabs, no CR) belongs in README.TXT")
        if len(line) > README_WIDTH:
            fail(f"{where}: {len(line)} characters, more than {README_WIDTH}")
    return "".join(line + "\r\n" for line in lines).encode("ascii")


def source_date_epoch(source_dir):
    """SOURCE_DATE_EPOCH, else the commit time of the sources' checkout."""
    value = os.environ.get("SOURCE_DATE_EPOCH")
    if value is not None:
        if not re.fullmatch(r"[0-9]+", value):
            fail(f"SOURCE_DATE_EPOCH must be seconds since 1970, not '{value}'")
        return int(value)
    try:
        top = subprocess.run(["git", "-C", source_dir, "rev-parse", "--show-toplevel"],
                             check=True, capture_output=True, text=True).stdout.strip()
        if os.path.realpath(top) != os.path.realpath(source_dir):
            raise ValueError(f"{source_dir} is not the top of a git checkout")
        stamp = subprocess.run(["git", "-C", source_dir, "log", "-1", "--format=%ct"],
                               check=True, capture_output=True, text=True).stdout.strip()
        return int(stamp)
    except (OSError, subprocess.CalledProcessError, ValueError) as e:
        detail = e.stderr.strip() if isinstance(e, subprocess.CalledProcessError) else str(e)
        fail(f"no commit time of the sources ({detail}); set SOURCE_DATE_EPOCH")


def dos_epoch(epoch):
    """The time a zip header can hold: from 1980-01-01 00:00:00, the first
    DOS date, in steps of two seconds (rounded down)."""
    epoch = max(epoch, 315532800)
    return epoch - epoch % 2


def dos_date_time(epoch):
    """The (date, time) fields of a zip header for a Unix time.

    DOS keeps local time without a zone. The stamp is the UTC time, so that
    the zip does not depend on the zone of the machine that made it.
    """
    t = time.gmtime(epoch)
    if t.tm_year < 1980 or t.tm_year > 2107:
        fail(f"time stamp {epoch} is outside DOS's dates, 1980 to 2107")
    date = ((t.tm_year - 1980) << 9) | (t.tm_mon << 5) | t.tm_mday
    clock = (t.tm_hour << 11) | (t.tm_min << 5) | (t.tm_sec // 2)
    return date, clock


def zip_bytes(entries, epoch):
    """A zip of (name, data, internal attributes) entries in the given order."""
    date, clock = dos_date_time(epoch)
    local = bytearray()
    central = bytearray()
    for name, data, internal in entries:
        if not re.fullmatch(r"[A-Za-z0-9_-]{1,8}(\.[A-Za-z0-9_-]{1,3})?", name):
            fail(f"'{name}' is not an 8.3 name")
        packer = zlib.compressobj(DEFLATE_LEVEL, zlib.DEFLATED, -15, DEFLATE_MEM_LEVEL)
        packed = packer.compress(data) + packer.flush()
        crc = zlib.crc32(data)
        raw_name = name.encode("ascii")
        offset = len(local)
        # Flags 0: no encryption, no data descriptor, names in the OEM code page.
        local += struct.pack("<IHHHHHIIIHH", 0x04034B50, VERSION_NEEDED, 0, DEFLATED, clock, date,
                             crc, len(packed), len(data), len(raw_name), 0)
        local += raw_name + packed
        central += struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, VERSION_MADE_BY, VERSION_NEEDED, 0,
                               DEFLATED, clock, date, crc, len(packed), len(data), len(raw_name), 0, 0,
                               0, internal, DOS_ARCHIVE, offset)
        central += raw_name
    if len(local) + len(central) >= 0xFFFFFFFF:
        fail("the zip would need Zip64")
    end = struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, len(entries), len(entries), len(central),
                      len(local), 0)
    return bytes(local + central + end)


def write_file(path, data):
    """Writes through a temporary file, so that no half-written file stays."""
    temporary = path + ".tmp"
    with open(temporary, "wb") as f:
        f.write(data)
    os.replace(temporary, path)


def make_zip(args):
    with open(args.exe, "rb") as f:
        exe = f.read()
    version = product_version(exe)
    readme = readme_text(exe, args.template)
    epoch = dos_epoch(source_date_epoch(args.source_dir))
    # Internal attributes: bit 0 marks a text file.
    archive = zip_bytes([(EXE_NAME, exe, 0), (README_NAME, readme, 1)], epoch)

    zip_name = f"Sondaro-{version}.zip"
    os.makedirs(args.output_dir, exist_ok=True)
    # The folder holds one release: zips of other versions go.
    for old in os.listdir(args.output_dir):
        if re.fullmatch(r"Sondaro-.*\.zip", old) and old != zip_name:
            os.remove(os.path.join(args.output_dir, old))
    zip_path = os.path.join(args.output_dir, zip_name)
    write_file(zip_path, archive)
    sums = "".join(f"{hashlib.sha256(data).hexdigest()}  {name}\n"
                   for name, data in ((zip_name, archive), (EXE_NAME, exe)))
    sums_path = os.path.join(args.output_dir, "SHA256SUMS")
    write_file(sums_path, sums.encode("ascii"))
    stamp = time.strftime("%Y-%m-%d %H:%M:%S", time.gmtime(epoch))
    print(f"package: {zip_path} ({len(archive)} bytes, entries dated {stamp})")
    print(f"package: {sums_path}:")
    print(sums, end="")


def make_readme(args):
    with open(args.exe, "rb") as f:
        exe = f.read()
    write_file(args.output, readme_text(exe, args.template))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    commands = parser.add_subparsers(dest="command", required=True)
    zip_command = commands.add_parser("zip", help="write the release zip and SHA256SUMS")
    zip_command.add_argument("--exe", required=True)
    zip_command.add_argument("--template", required=True)
    zip_command.add_argument("--source-dir", required=True)
    zip_command.add_argument("--output-dir", required=True)
    zip_command.set_defaults(run=make_zip)
    readme_command = commands.add_parser("readme", help="write README.TXT")
    readme_command.add_argument("--exe", required=True)
    readme_command.add_argument("--template", required=True)
    readme_command.add_argument("--output", required=True)
    readme_command.set_defaults(run=make_readme)
    args = parser.parse_args()
    args.run(args)


if __name__ == "__main__":
    main()

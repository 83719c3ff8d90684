#!/usr/bin/env python3
"""The release of tools/package.py, as a Windows user gets it. Run through
scripts/wine-test-env (a Wine prefix, a display, SONDARO_SOURCES's device):

    package_test.py SOURCE_DIR BUILD_DIR FIND_MAIN_DIALOG_EXE CMAKE"""

import hashlib
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zipfile
import zlib
from pathlib import Path

ENTRIES = ["Sondaro.exe", "README.TXT"]
# A record's signature and fixed fields; its name follows them.
LOCAL = (b"PK\3\4", "<4xHHHHHIIIHH", "needed flags method time date crc packed size name extra")
CENTRAL = (b"PK\1\2", "<4xHHHHHHIIIHHHHHII", "made_by needed flags method time date crc packed size name"
           " extra comment disk internal external offset")
results = []


def check(condition, message):
    results.append(bool(condition))
    if not condition:
        print(f"FAIL: {message}")
    return condition


def sha256(data):
    return hashlib.sha256(data).hexdigest()


def record(layout, data, offset):
    """The record's fields by name, its name as "filename"; None if absent."""
    signature, form, names = layout
    end = offset + struct.calcsize(form)
    if len(data) < end or not data.startswith(signature, offset):
        return None
    fields = dict(zip(names.split(), struct.unpack_from(form, data, offset)))
    return dict(fields, filename=data[end:end + fields["name"]])


def expect(where, fields, want):
    for key, value in want.items():
        check(fields[key] == value, f"{where}: {key} is {fields[key]!r}, not {value!r}")


def package_twice(source_dir, exe, work):
    """Two packagings' files: with the commit's time; with SOURCE_DATE_EPOCH, from copies
    of the inputs with other file times, in another time zone, folder and umask."""
    template = os.path.join(source_dir, "release", "README.TXT.in")
    epoch = int(subprocess.run(["git", "-C", source_dir, "log", "-1", "--format=%ct"],
                               check=True, capture_output=True, text=True).stdout)
    copies = [shutil.copy(path, work) for path in (exe, template)]
    for path in copies:
        os.utime(path, (946684800, 946684800))
    env = {key: value for key, value in os.environ.items() if key != "SOURCE_DATE_EPOCH"}
    runs = [([exe, template], source_dir, dict(env, TZ="UTC0"), 0o022),
            (copies, work, dict(env, TZ="XST-13:45", SOURCE_DATE_EPOCH=str(epoch)), 0o077)]
    outputs = []
    for number, ((exe_in, template_in), cwd, run_env, umask) in enumerate(runs):
        output = Path(work, f"output{number}")
        result = subprocess.run(
            [sys.executable, os.path.join(source_dir, "tools", "package.py"), "zip", "--exe", exe_in,
             "--template", template_in, "--source-dir", source_dir, "--output-dir", output],
            cwd=cwd, env=run_env, capture_output=True, text=True, preexec_fn=lambda: os.umask(umask))
        check(result.returncode == 0, f"package.py failed: {result.stdout}{result.stderr}")
        outputs.append({path.name: path.read_bytes() for path in output.glob("*")})
    check(outputs[0] == outputs[1], "the two packagings wrote different files")
    return outputs[0], epoch


def unpack(data, epoch):
    """The entries' contents, from the records in the order they must be:
    local headers each followed by its data alone (no data descriptor), the
    central directory, the end record ending the file (no Zip64, no comment)."""
    t = time.gmtime(epoch)
    stamp = {"date": (t.tm_year - 1980) << 9 | t.tm_mon << 5 | t.tm_mday,
             "time": t.tm_hour << 11 | t.tm_min << 5 | t.tm_sec // 2}
    offset, contents, locals_ = 0, {}, []
    while local := record(LOCAL, data, offset):
        start = offset + 30 + local["name"] + local["extra"]
        packed = data[start:start + local["packed"]]
        content = zlib.decompressobj(-15).decompress(packed) if local["method"] == 8 else packed
        name = local["filename"].decode("cp437")
        where = f"{name}'s local header"
        check(local["method"] in (0, 8), f"{where}: method {local['method']}, neither stored nor deflate")
        expect(where, local, dict(stamp, needed=20, flags=0, extra=0, crc=zlib.crc32(content),
                                  size=len(content)))
        contents[name] = content
        locals_.append(dict(local, offset=offset))
        offset = start + local["packed"]
    directory = offset
    for local in locals_:
        name = local["filename"].decode("cp437")
        central = record(CENTRAL, data, offset)
        if not check(central, f"no central header of {name} at {offset}"):
            return contents
        # The local header's fields; made by 2.0 on MS-DOS, the archive bit.
        expect(f"{name}'s central header", central, dict(local, made_by=0x14, comment=0, disk=0,
                                                          internal=int(name == "README.TXT"), external=0x20))
        offset += 46 + central["name"] + central["extra"] + central["comment"]
    count = len(locals_)
    end = struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, count, count, offset - directory, directory, 0)
    check(data[offset:] == end, f"the file does not end with the end record {end.hex()} at {offset}")
    return contents


def start_unpacked(archive, find_main_dialog):
    """Unpacked into C:\\Sondaro, where FindMainDialog opens it."""
    device = os.environ["SONDARO_SOURCES"].partition("=")[2]
    with zipfile.ZipFile(archive) as unzip:
        check(unzip.testzip() is None, "zipfile finds a bad CRC")
        unzip.extractall(os.path.join(os.environ["WINEPREFIX"], "drive_c", "Sondaro"))
    result = subprocess.run(["wine", find_main_dialog, "C:\\Sondaro\\Sondaro.exe"], stdin=subprocess.DEVNULL,
                            stdout=subprocess.PIPE, text=True, errors="replace")
    print(result.stdout, end="")
    check(result.returncode == 0 and f"device: {device}" in result.stdout.splitlines(),
          f"no main dialog listing '{device}' (FindMainDialog.exe exited {result.returncode})")


def main():
    if len(sys.argv) != 5 or "WINEPREFIX" not in os.environ:
        sys.exit(__doc__)
    source_dir, build_dir, find_main_dialog, cmake = sys.argv[1:]
    exe = Path(build_dir, "Sondaro.exe").read_bytes()
    rc = Path(source_dir, "res", "Sondaro.rc").read_text(encoding="cp1252")
    zip_name = f"Sondaro-{'.'.join(re.findall(r'[0-9]+', re.search(r'^PRODUCTVERSION.*', rc, re.M)[0]))}.zip"
    with tempfile.TemporaryDirectory(prefix="sondaro-package.") as work:
        # File version 9.8.7.6, product version 1.2.0.7: refused, naming both, and nothing written.
        refused = Path(work, "refused")
        run = subprocess.run([sys.executable, Path(source_dir, "tools", "package.py"), "zip", "--source-dir",
                              source_dir, "--exe", Path(build_dir, "tests", "version_1207.exe"), "--template",
                              Path(source_dir, "release", "README.TXT.in"), "--output-dir", refused],
                             capture_output=True, text=True)
        check(run.returncode and re.search(r"9\.8\.7\.6.*1\.2\.0\.7", run.stderr)
              and not refused.exists(), f"9.8.7.6 / 1.2.0.7 packaged: {run.stderr}")
        files, epoch = package_twice(source_dir, os.path.join(build_dir, "Sondaro.exe"), work)
        check(sorted(files) == sorted([zip_name, "SHA256SUMS"]), f"the package is {sorted(files)}")
        archive = files.get(zip_name, b"")
        contents = unpack(archive, epoch)
        names = list(contents)
        eight_three = all(re.fullmatch(r"[A-Za-z0-9_-]{1,8}\.[A-Za-z0-9_-]{1,3}", name) for name in names)
        check(names == ENTRIES and eight_three, f"the zip holds {names}, not the 8.3 names {ENTRIES}")
        check(contents.get("Sondaro.exe") == exe, "the zip's Sondaro.exe is not the build's")
        readme = contents.get("README.TXT", b"")
        lines, hashes = readme.split(b"\r\n"), re.findall(rb"\b[0-9a-fA-F]{64}\b", readme)
        for holds, what in ((lines[-1] == b"", "the last line ends in CRLF"),
                            (all(re.fullmatch(rb"[ -~]*", line) for line in lines), "ASCII text, CRLF only"),
                            (all(len(line) <= 78 for line in lines), "at most 78 characters a line"),
                            (hashes == [sha256(exe).encode("ascii")], f"the exe's SHA-256, not {hashes}")):
            check(holds, f"README.TXT: not so: {what}")
        sums = f"{sha256(archive)}  {zip_name}\n{sha256(exe)}  Sondaro.exe\n".encode("ascii")
        check(files.get("SHA256SUMS") == sums, f"SHA256SUMS is {files.get('SHA256SUMS')!r}, not {sums!r}")
        installed = Path(work, "installed")
        subprocess.run([cmake, "--install", build_dir, "--prefix", installed], stdout=subprocess.DEVNULL)
        check({path.name: path.read_bytes() for path in installed.glob("*")} == contents,
              "cmake --install does not give the zip's files")
        if names == ENTRIES:
            start_unpacked(Path(work, "output0", zip_name), find_main_dialog)
    print(f"{results.count(True)} passed, {results.count(False)} failed")
    return 0 if all(results) else 1


if __name__ == "__main__":
    sys.exit(main())

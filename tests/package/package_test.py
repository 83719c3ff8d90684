#!/usr/bin/env python3
"""The release zip of tools/package.py, as a Windows user gets it.

    package_test.py SOURCE_DIR BUILD_DIR FIND_MAIN_DIALOG_EXE CMAKE

CTest runs it through scripts/wine-test-env, which gives it a Wine prefix of
its own, an X display and an audio server with the null source named in
SONDARO_SOURCES. It

1. packages BUILD_DIR/Sondaro.exe twice, in separate folders: once with the
   commit's time, once with SOURCE_DATE_EPOCH set to it, from a copy of the
   inputs with other file times, in another time zone, working folder and
   umask. The two zips and SHA256SUMS must be the same bytes;
2. reads the zip's local and central headers and its end record field by
   field, and opens it with zipfile: two deflated entries, Sondaro.exe (the
   build's, byte for byte) and README.TXT, dated with the commit's time;
3. checks README.TXT (printable ASCII, CRLF, at most 78 characters a line,
   the exe's SHA-256) and SHA256SUMS against the files;
4. installs with `cmake --install` and compares the two files;
5. unpacks the zip into C:\\Sondaro of the Wine prefix, starts Sondaro.exe
   there from its own folder, as scripts/run starts it (`wine Sondaro.exe`),
   and finds its main dialog listing the test's device.
"""

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

ENTRIES = ["Sondaro.exe", "README.TXT"]
# Waits below are for a condition; these limits only stop a hang (under
# emulation Wine takes seconds to start a program).
WINDOW_LIMIT_S = 120
CLOSE_LIMIT_S = 60

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print(f"FAIL: {message}")
    return condition


def sha256(data):
    return hashlib.sha256(data).hexdigest()


def read(path):
    with open(path, "rb") as f:
        return f.read()


def rc_version(source_dir):
    """FILEVERSION from the resource script, where the version is kept."""
    with open(os.path.join(source_dir, "res", "Sondaro.rc"), encoding="cp1252") as f:
        match = re.search(r"^FILEVERSION\s+(\d+)\s*,\s*(\d+)\s*,\s*(\d+)\s*,\s*(\d+)", f.read(), re.M)
    return ".".join(match.groups())


def commit_time(source_dir):
    try:
        result = subprocess.run(["git", "-C", source_dir, "log", "-1", "--format=%ct"],
                                check=True, capture_output=True, text=True)
        return int(result.stdout)
    except (OSError, subprocess.CalledProcessError, ValueError):
        return None


def package(source_dir, exe, template, output_dir, cwd, env, umask):
    result = subprocess.run(
        [sys.executable, os.path.join(source_dir, "tools", "package.py"), "zip", "--exe", exe,
         "--template", template, "--source-dir", source_dir, "--output-dir", output_dir],
        cwd=cwd, env=env, capture_output=True, text=True, preexec_fn=lambda: os.umask(umask))
    check(result.returncode == 0, f"package.py failed: {result.stdout}{result.stderr}")


def package_twice(source_dir, exe, work):
    """Packages twice; returns the first output folder."""
    template = os.path.join(source_dir, "release", "README.TXT.in")
    epoch = commit_time(source_dir)
    env = dict(os.environ, TZ="UTC0")
    env.pop("SOURCE_DATE_EPOCH", None)
    if epoch is None:
        print("note: no git here; both packagings get SOURCE_DATE_EPOCH")
        epoch = 1234567890
        env["SOURCE_DATE_EPOCH"] = str(epoch)
    first = os.path.join(work, "first")
    package(source_dir, exe, template, first, source_dir, env, 0o022)

    inputs = os.path.join(work, "inputs")
    os.makedirs(inputs)
    exe_copy = shutil.copy(exe, inputs)
    template_copy = shutil.copy(template, inputs)
    for path in (exe_copy, template_copy):
        os.utime(path, (946684800, 946684800))
    env = dict(os.environ, TZ="XST-13:45", SOURCE_DATE_EPOCH=str(epoch))
    second = os.path.join(work, "second")
    package(source_dir, exe_copy, template_copy, second, inputs, env, 0o077)

    names = sorted(os.listdir(first)) if os.path.isdir(first) else []
    check(len(names) == 2 and "SHA256SUMS" in names, f"the package's files are {names}")
    check(names == (sorted(os.listdir(second)) if os.path.isdir(second) else []),
          "the two packagings wrote different files")
    for name in names:
        check(read(os.path.join(first, name)) == read(os.path.join(second, name)),
              f"{name} differs between the two packagings")
    return first, epoch


def dos_stamp(epoch):
    t = time.gmtime(epoch)
    date = ((t.tm_year - 1980) << 9) | (t.tm_mon << 5) | t.tm_mday
    clock = (t.tm_hour << 11) | (t.tm_min << 5) | (t.tm_sec // 2)
    return date, clock, (t.tm_year, t.tm_mon, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec // 2 * 2)


def check_headers(data, contents, epoch):
    """The raw records, in the order the zip must have them: the local
    headers, each followed by its data and nothing else (no data
    descriptor), the central directory, the end record (no Zip64 records,
    no comment)."""
    date, clock, _ = dos_stamp(epoch)
    offset = 0
    locals_ = []
    for name in ENTRIES:
        (signature, needed, flags, method, mtime, mdate, crc, packed_size, size, name_length,
         extra_length) = struct.unpack_from("<IHHHHHIIIHH", data, offset)
        if not check(signature == 0x04034B50, f"no local header for {name} at {offset}"):
            return
        raw_name = data[offset + 30:offset + 30 + name_length]
        where = f"{name}'s local header"
        check(raw_name == name.encode("ascii"), f"{where} names {raw_name!r}")
        check(needed == 20, f"{where}: version needed {needed}, not 20")
        check(flags == 0, f"{where}: flags 0x{flags:04X}, not 0 (no descriptor, no UTF-8)")
        check(method in (0, 8), f"{where}: method {method}, neither stored nor deflated")
        check((mdate, mtime) == (date, clock),
              f"{where}: date/time 0x{mdate:04X}/0x{mtime:04X}, not 0x{date:04X}/0x{clock:04X}")
        check(extra_length == 0, f"{where}: {extra_length} bytes of extra field")
        start = offset + 30 + name_length + extra_length
        packed = data[start:start + packed_size]
        unpacked = zlib.decompress(packed, -15) if method == 8 else packed
        check(unpacked == contents[name], f"{name}'s data is not the file")
        check(size == len(contents[name]), f"{where}: size {size}, not {len(contents[name])}")
        check(crc == zlib.crc32(contents[name]), f"{where}: CRC 0x{crc:08X} is wrong")
        locals_.append((offset, needed, flags, method, mtime, mdate, crc, packed_size, size))
        offset = start + packed_size

    directory = offset
    for name, (local_offset, *fields) in zip(ENTRIES, locals_):
        (signature, made_by, needed, flags, method, mtime, mdate, crc, packed_size, size, name_length,
         extra_length, comment_length, disk, internal, external,
         header_offset) = struct.unpack_from("<IHHHHHHIIIHHHHHII", data, offset)
        where = f"{name}'s central header"
        if not check(signature == 0x02014B50, f"no central header for {name} at {offset}"):
            return
        check(data[offset + 46:offset + 46 + name_length] == name.encode("ascii"), f"{where}: name")
        check(made_by == 0x0014, f"{where}: made by 0x{made_by:04X}, not 0x0014 (MS-DOS, 2.0)")
        check([needed, flags, method, mtime, mdate, crc, packed_size, size] == fields,
              f"{where} differs from the local one")
        check(extra_length == 0 and comment_length == 0, f"{where}: extra field or comment")
        check(disk == 0 and header_offset == local_offset, f"{where}: disk or offset")
        check(external == 0x20, f"{where}: external attributes 0x{external:X}, not 0x20 (archive)")
        check(internal == (1 if name.endswith(".TXT") else 0), f"{where}: internal attributes {internal}")
        offset += 46 + name_length + extra_length + comment_length

    end = struct.unpack_from("<IHHHHIIH", data, offset) if len(data) >= offset + 22 else (0,)
    if check(end[0] == 0x06054B50, f"no end record right after the central directory at {offset}"):
        _, disk, directory_disk, here, total, size, start, comment_length = end
        check((disk, directory_disk, here, total) == (0, 0, len(ENTRIES), len(ENTRIES)),
              f"end record: disks {disk}, {directory_disk}, entries {here}, {total}")
        check((size, start) == (offset - directory, directory), "end record: central directory")
        check(comment_length == 0, "end record: a comment")
    check(len(data) == offset + 22,
          f"the zip is {len(data)} bytes, not {offset + 22}: records other than the end record follow"
          " the central directory")


def check_zipfile(path, contents, epoch):
    """The same through zipfile, as most tools of today read it."""
    _, _, date_time = dos_stamp(epoch)
    with zipfile.ZipFile(path) as archive:
        check(archive.namelist() == ENTRIES, f"entries {archive.namelist()}, not {ENTRIES}")
        check(archive.testzip() is None, "zipfile finds a bad CRC")
        check(archive.comment == b"", "a zip comment")
        for info in archive.infolist():
            name = info.filename
            check(re.fullmatch(r"[A-Za-z0-9_-]{1,8}(\.[A-Za-z0-9_-]{1,3})?", name), f"{name} is not 8.3")
            check(info.compress_type in (zipfile.ZIP_STORED, zipfile.ZIP_DEFLATED),
                  f"{name}: method {info.compress_type}")
            check(info.extract_version == 20, f"{name}: version needed {info.extract_version}")
            check((info.create_system, info.create_version) == (0, 20),
                  f"{name}: made by {info.create_system}, {info.create_version}")
            check(info.flag_bits == 0 and info.extra == b"", f"{name}: flags or extra field")
            check(info.date_time == date_time, f"{name}: dated {info.date_time}, not {date_time}")
            if name in contents:
                check(archive.read(name) == contents[name], f"{name} in the zip is not the file")


def check_readme(readme, exe, version):
    text = readme.decode("latin-1")
    check(all(32 <= b < 127 or b in (10, 13) for b in readme), "README.TXT: not printable ASCII")
    check(readme.endswith(b"\r\n"), "README.TXT: the last line has no CRLF")
    check(readme.count(b"\r") == readme.count(b"\n") == readme.count(b"\r\n"),
          "README.TXT: line ends that are not CRLF")
    lines = re.split(rb"\r\n|\r|\n", readme.removesuffix(b"\r\n"))
    long_lines = [number for number, line in enumerate(lines, 1) if len(line) > 78]
    check(not long_lines, f"README.TXT: lines {long_lines} are longer than 78 characters")
    hashes = re.findall(r"\b[0-9a-fA-F]{64}\b", text)
    check(hashes == [sha256(exe)], f"README.TXT: SHA-256 {hashes}, not [{sha256(exe)}]")
    check(f"Version {version}".encode("ascii") in lines, f"README.TXT: no line 'Version {version}'")
    check("certutil -hashfile Sondaro.exe SHA256" in text, "README.TXT: no certutil command")


def check_sums(sums, zip_name, archive, exe):
    want = f"{sha256(archive)}  {zip_name}\n{sha256(exe)}  Sondaro.exe\n".encode("ascii")
    check(sums == want, f"SHA256SUMS is {sums!r}, not {want!r}")


def check_install(cmake, build_dir, work, contents):
    prefix = os.path.join(work, "installed")
    result = subprocess.run([cmake, "--install", build_dir, "--prefix", prefix],
                            capture_output=True, text=True)
    if not check(result.returncode == 0, f"cmake --install failed: {result.stdout}{result.stderr}"):
        return
    installed = sorted(os.listdir(prefix))
    check(installed == sorted(ENTRIES), f"cmake --install wrote {installed}")
    for name in ENTRIES:
        if name in installed:
            check(read(os.path.join(prefix, name)) == contents[name],
                  f"the installed {name} is not the one in the zip")


def start_unpacked(archive_path, find_main_dialog):
    """Unpacks into the Wine prefix, starts Sondaro.exe there and looks for
    its main dialog with the test's device."""
    source = os.environ.get("SONDARO_SOURCES", "").split("|")[0]
    device = source.partition("=")[2]
    folder = os.path.join(os.environ["WINEPREFIX"], "drive_c", "Sondaro")
    if not check(not os.path.exists(folder), f"{folder} is there before the zip is unpacked"):
        return
    with zipfile.ZipFile(archive_path) as archive:
        archive.extractall(folder)
    program = "C:\\Sondaro\\Sondaro.exe"

    sondaro = subprocess.Popen(["wine", "Sondaro.exe"], cwd=folder, stdin=subprocess.DEVNULL)
    finder = subprocess.Popen(["wine", find_main_dialog, program, str(WINDOW_LIMIT_S)],
                              stdin=subprocess.DEVNULL, stdout=subprocess.PIPE)
    deadline = time.monotonic() + WINDOW_LIMIT_S + 30
    while finder.poll() is None:
        if sondaro.poll() is not None:
            check(False, f"Sondaro.exe ended (exit code {sondaro.returncode}) before its dialog was seen")
            break
        if time.monotonic() > deadline:
            check(False, f"FindMainDialog.exe did not end within {WINDOW_LIMIT_S + 30} s")
            break
        time.sleep(0.1)
    if finder.poll() is None:
        finder.kill()
    output = finder.communicate()[0].decode("cp1252", "replace")
    print(output, end="")
    lines = output.splitlines()
    if check(finder.returncode == 0, f"no main dialog of {program} seen"):
        check("caption: Sondaro" in lines, "the main dialog's caption is not Sondaro")
        check(f"device: {device}" in lines, f"the device list has no '{device}'")
        results = [line for line in lines if line.startswith("result: ")]
        check(len(results) == 1 and re.fullmatch(r"result: Device ID=0x[0-9A-F]+", results[0]),
              f"the results list is {results}, not one Device ID line")
    try:
        code = sondaro.wait(timeout=CLOSE_LIMIT_S)
        check(code == 0, f"Sondaro.exe ended with exit code {code}")
    except subprocess.TimeoutExpired:
        check(False, f"Sondaro.exe did not end within {CLOSE_LIMIT_S} s of its closing")
        sondaro.kill()


def main():
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    source_dir, build_dir, find_main_dialog, cmake = sys.argv[1:]
    if "WINEPREFIX" not in os.environ:
        sys.exit("run this through scripts/wine-test-env (it needs a Wine prefix of its own)")
    exe_path = os.path.join(build_dir, "Sondaro.exe")
    exe = read(exe_path)
    version = rc_version(source_dir)
    zip_name = f"Sondaro-{version}.zip"

    with tempfile.TemporaryDirectory(prefix="sondaro-package.") as work:
        output, epoch = package_twice(source_dir, exe_path, work)
        archive_path = os.path.join(output, zip_name)
        if not check(os.path.isfile(archive_path), f"no {zip_name}"):
            return 1
        archive = read(archive_path)
        with zipfile.ZipFile(archive_path) as z:
            readme = z.read("README.TXT") if "README.TXT" in z.namelist() else b""
        contents = {"Sondaro.exe": exe, "README.TXT": readme}
        check_headers(archive, contents, epoch)
        check_zipfile(archive_path, contents, epoch)
        check_readme(readme, exe, version)
        check_sums(read(os.path.join(output, "SHA256SUMS")), zip_name, archive, exe)
        check_install(cmake, build_dir, work, contents)
        print(f"{zip_name}: {len(archive)} bytes, SHA-256 {sha256(archive)}")
        print(f"Sondaro.exe: {len(exe)} bytes, SHA-256 {sha256(exe)}")
        start_unpacked(archive_path, find_main_dialog)

    print(f"{len(failures)} failed checks" if failures else "all checks passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

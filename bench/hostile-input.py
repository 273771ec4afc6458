#!/usr/bin/env python3
"""Peak memory and time of reading crafted hostile files.

Makes, in a temporary folder, the files an attacker would hand us: a 64 MiB
package file, project file and FTP site file made of empty list entries
(each a byte or four on disk, tens of bytes in memory), a DLL of 1.2 MB whose
resource directory is 131,070 named entries sharing one 32K-character name,
and a DLL of 6.6 MB with 65,535 sections and a million export names. Runs the
command that reads each one and prints its wall time and peak memory.

    bench/hostile-input.py BUILD            figures only (`make bench`)
    bench/hostile-input.py BUILD --check    also fails when a read needs more
                                            than 256 MB or --seconds (ctest)
"""
import os
import re
import resource
import shutil
import struct
import subprocess
import sys
import tempfile
import time

MIB = 1024 * 1024
PEAK_LIMIT_MB = 256


def run_measured(argv, env):
    """(exit code, seconds, peak RSS in MB, stderr) of one child process."""
    start = time.monotonic()
    pid = os.fork()
    if pid == 0:
        devnull = os.open(os.devnull, os.O_RDWR)
        err = os.open(env["PCN_BENCH_ERR"], os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o600)
        os.dup2(devnull, 0)
        os.dup2(devnull, 1)
        os.dup2(err, 2)
        try:
            os.execve(argv[0], argv, env)
        finally:
            os._exit(127)
    _, status, usage = os.wait4(pid, 0)
    seconds = time.monotonic() - start
    with open(env["PCN_BENCH_ERR"], errors="replace") as f:
        stderr = f.read()
    return os.waitstatus_to_exitcode(status), seconds, usage.ru_maxrss / 1024.0, stderr


def archive_string(text):
    data = text.encode()
    if len(data) < 255:
        return bytes([len(data)]) + data
    return b"\xff" + struct.pack("<H", len(data)) + data


def crafted_package(parcelon, work, env):
    """A real package file whose file table's path list is inflated with empty entries."""
    source = os.path.join(work, "source")
    os.makedirs(source, exist_ok=True)
    with open(os.path.join(source, "only-file.txt"), "w") as f:
        f.write("x")
    seed = os.path.join(work, "seed.pcp")
    subprocess.run([parcelon, "new", seed, "--company", "Acme", "--product", "Seed", "--source", source,
                    "--target", os.path.join(work, "out")], env=env, check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    data = open(seed, "rb").read()
    entry = struct.pack("<i", 1) + archive_string(os.path.join(source, "only-file.txt"))
    at = data.index(entry)
    head, tail = data[:at], data[at + len(entry):]
    count = 64 * MIB - len(head) - len(tail) - 4
    return head + struct.pack("<i", count) + bytes(count) + tail


def crafted_project():
    version = bytes.fromhex("CDCCCCCCCCCC0040")
    count = 64 * MIB - 12
    return version + struct.pack("<i", count) + bytes(count)


def crafted_site_file():
    count = (64 * MIB - 4) // 13  # the smallest site: five empty strings, two integers
    return struct.pack("<i", count) + bytes(13 * count)


def pe_headers(section_count, directories, size_of_headers):
    dos = bytearray(64)
    dos[0:2] = b"MZ"
    struct.pack_into("<I", dos, 0x3C, 64)
    coff = struct.pack("<HHIIIHH", 0x14C, section_count, 0, 0, 0, 224, 0x2102)
    optional = bytearray(224)
    struct.pack_into("<H", optional, 0, 0x10B)
    struct.pack_into("<I", optional, 28, 0x10000000)
    struct.pack_into("<I", optional, 60, size_of_headers)
    struct.pack_into("<H", optional, 68, 2)
    struct.pack_into("<I", optional, 92, 16)
    for index, (rva, size) in directories.items():
        struct.pack_into("<II", optional, 96 + 8 * index, rva, size)
    return bytes(dos) + b"PE\0\0" + coff + bytes(optional)


def section_header(virtual_address, size, raw_offset):
    return b".data\0\0\0" + struct.pack("<IIII", size, virtual_address, size, raw_offset) + bytes(16)


def crafted_resource_dll():
    """131,070 named resource entries, every one naming the same 32K-unit string."""
    entries = 131070
    name_units = 32767
    table = bytearray(16 + 8 * entries)
    struct.pack_into("<HH", table, 12, 65535, 65535)
    name_at = len(table)
    for i in range(entries):
        struct.pack_into("<II", table, 16 + 8 * i, 0x80000000 | name_at, 0x80000000)
    table += struct.pack("<H", name_units) + ("TYPELIX" * (name_units // 7 + 1))[:name_units].encode("utf-16-le")
    headers_end = 64 + 4 + 20 + 224 + 40
    raw = (headers_end + 511) // 512 * 512
    headers = pe_headers(1, {2: (0x1000, len(table))}, raw)
    return headers + section_header(0x1000, len(table), raw) + bytes(raw - headers_end) + bytes(table)


def crafted_export_dll():
    """65,535 sections, the export table in the last; a million names sharing one string."""
    sections = 65535
    names = 1000000
    headers_end = 64 + 4 + 20 + 224 + 40 * sections
    raw = (headers_end + 511) // 512 * 512
    base = 0x20000000
    export = bytearray(40)
    name_table_rva = base + 40
    string_rva = name_table_rva + 4 * names
    struct.pack_into("<II", export, 24, names, 0)
    struct.pack_into("<I", export, 32, name_table_rva)
    data = bytes(export) + struct.pack("<I", string_rva) * names + b"DllCanUnloadNow\0"
    table = b"".join(section_header(0x1000 * (i + 1), 16, 0) for i in range(sections - 1))
    table += section_header(base, len(data), raw)
    headers = pe_headers(sections, {0: (base, 40)}, 0x200)
    return headers + table + bytes(raw - headers_end) + data


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "out")
    check = "--check" in sys.argv
    seconds_limit = 5.0
    for arg in sys.argv:
        if arg.startswith("--seconds="):
            seconds_limit = float(arg.split("=", 1)[1])
    parcelon = os.path.join(build, "bin", "parcelon")
    work = tempfile.mkdtemp(prefix="pcn-hostile-")
    failures = []
    try:
        data_dir = os.path.join(work, "data")
        os.makedirs(data_dir)
        env = dict(os.environ, PCN_SETTINGS=os.path.join(work, "settings.conf"), PCN_DATA_DIR=data_dir,
                   PCN_BENCH_ERR=os.path.join(work, "stderr"))

        def write(name, data):
            path = os.path.join(work, name)
            with open(path, "wb") as f:
                f.write(data)
            return path

        package = write("crafted.pcp", crafted_package(parcelon, work, env))
        project = write("crafted.pcn", crafted_project())
        resource_dll = write("resources.dll", crafted_resource_dll())
        export_dll = write("exports.dll", crafted_export_dll())
        empty_project = os.path.join(work, "empty.pcn")
        site_file = os.path.join(data_dir, "PCNFtp.pftp")

        cases = [
            ("64 MiB package file", package, [parcelon, "show", package], "Unexpected file format."),
            ("64 MiB project file", project, [parcelon, "project", project, "list"], "Unexpected file format."),
            ("64 MiB FTP site file", site_file,
             [parcelon, "project", empty_project, "add", os.path.join(work, "seed.pcp")], "Unexpected file format."),
            ("1.2 MB DLL of named resources", resource_dll, [parcelon, "info", resource_dll], None),
            ("6.6 MB DLL, 65,535 sections", export_dll, [parcelon, "info", export_dll], None),
        ]
        print("%-32s %10s %9s %8s  %s" % ("file read", "size", "seconds", "peak MB", "outcome"))
        for label, path, argv, message in cases:
            if path == site_file:  # the reads before may have put an earlier one aside
                with open(site_file, "wb") as f:
                    f.write(crafted_site_file())
            size = os.path.getsize(path)
            code, seconds, peak, stderr = run_measured(argv, env)
            first_error = next((line for line in stderr.splitlines() if line.startswith("error")), "")
            outcome = "exit %d %s" % (code, first_error[:60])
            print("%-32s %9.1fM %9.2f %8.1f  %s" % (label, size / MIB, seconds, peak, outcome))
            if code < 0 or code > 1:
                failures.append("%s: killed or crashed (%d)" % (label, code))
            if peak > PEAK_LIMIT_MB:
                failures.append("%s: %.0f MB peak" % (label, peak))
            if seconds > seconds_limit:
                failures.append("%s: %.1f s" % (label, seconds))
            if message and message not in stderr:
                failures.append("%s: no \"%s\"" % (label, message))
    finally:
        shutil.rmtree(work, ignore_errors=True)
    for failure in failures:
        print("FAIL:", failure)
    return 1 if check and failures else 0


if __name__ == "__main__":
    sys.exit(main())

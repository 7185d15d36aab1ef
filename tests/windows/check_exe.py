#!/usr/bin/env python3
"""Checks what a setup medium needs of tolvane.exe: a 32-bit console exe that
imports system DLLs only, carries its manifest (asInvoker, Common Controls 6,
supportedOS from Vista on) and its version block, and stays small."""

import argparse
import re
import struct
import subprocess
import sys

ALLOWED_DLLS = {"kernel32.dll", "user32.dll", "advapi32.dll", "msvcrt.dll"}
MAX_SIZE = 128 * 1024
SUPPORTED_OS = {
    "e2011457-1546-43c5-a5fe-008deee3d3f0",  # Vista
    "35138b9a-5d96-4fbd-8e2d-a2440225f93a",  # 7
    "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38",  # 8
    "1f676c76-80e1-4239-95bb-83d0f6d0da78",  # 8.1
    "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a",  # 10 and 11
}
RT_VERSION, RT_MANIFEST = 16, 24


class Pe:
    def __init__(self, data):
        self.data = data
        (pe,) = struct.unpack_from("<I", data, 0x3C)
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE file")
        self.machine, sections, _, _, _, opt_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
        opt = pe + 24
        self.magic = struct.unpack_from("<H", data, opt)[0]
        self.subsystem = struct.unpack_from("<H", data, opt + 68)[0]
        dirs = opt + (96 if self.magic == 0x10B else 112)
        self.resource_rva, self.resource_size = struct.unpack_from("<II", data, dirs + 2 * 8)
        self.sections = []
        table = opt + opt_size
        for i in range(sections):
            vsize, vaddr, rsize, raddr = struct.unpack_from("<IIII", data, table + i * 40 + 8)
            self.sections.append((vaddr, max(vsize, rsize), raddr))

    def offset(self, rva):
        for vaddr, size, raddr in self.sections:
            if vaddr <= rva < vaddr + size:
                return raddr + rva - vaddr
        raise ValueError("RVA %#x outside every section" % rva)

    def resources(self):
        """{type id: [data bytes, ...]} for the numbered resource types."""
        if not self.resource_rva:
            return {}
        base = self.offset(self.resource_rva)
        found = {}

        def walk(directory, depth, type_id):
            named, ids = struct.unpack_from("<HH", self.data, base + directory + 12)
            for i in range(named + ids):
                name, target = struct.unpack_from("<II", self.data, base + directory + 16 + i * 8)
                this_type = type_id if depth else (None if name & 0x80000000 else name)
                if target & 0x80000000:
                    walk(target & 0x7FFFFFFF, depth + 1, this_type)
                else:
                    rva, size = struct.unpack_from("<II", self.data, base + target)
                    start = self.offset(rva)
                    found.setdefault(this_type, []).append(self.data[start:start + size])

        walk(0, 0, None)
        return found


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("exe")
    parser.add_argument("--objdump", default="i686-w64-mingw32-objdump")
    parser.add_argument("--version", required=True, help="the project version the exe must carry")
    parser.add_argument("--max-size", type=int, default=MAX_SIZE, help="bytes at most (0: no limit)")
    args = parser.parse_args()

    with open(args.exe, "rb") as f:
        data = f.read()
    pe = Pe(data)
    problems = []
    checks = 0

    def expect(condition, what):
        nonlocal checks
        checks += 1
        if not condition:
            problems.append(what)

    expect(pe.machine == 0x14C and pe.magic == 0x10B, "not a 32-bit i386 exe (machine %#x)" % pe.machine)
    expect(pe.subsystem == 3, "subsystem %d, expected 3 (console)" % pe.subsystem)
    if args.max_size:
        expect(len(data) <= args.max_size, "size %d bytes, expected at most %d" % (len(data), args.max_size))

    dump = subprocess.run([args.objdump, "-p", args.exe], stdout=subprocess.PIPE, check=True).stdout.decode()
    dlls = re.findall(r"DLL Name: (\S+)", dump)
    expect(bool(dlls), "no import table found")
    extra = sorted(d for d in dlls if d.lower() not in ALLOWED_DLLS)
    expect(not extra, "imports DLLs beyond the system's: %s" % ", ".join(extra))

    resources = pe.resources()
    manifests = resources.get(RT_MANIFEST, [])
    expect(len(manifests) == 1, "expected one manifest, found %d" % len(manifests))
    manifest = manifests[0].decode("utf-8", "replace") if manifests else ""
    expect('level="asInvoker"' in manifest, "manifest lacks requestedExecutionLevel asInvoker")
    expect(re.search(r'name="Microsoft\.Windows\.Common-Controls"\s+version="6\.0\.0\.0"', manifest) is not None,
           "manifest lacks Common Controls 6")
    ids = set(re.findall(r'supportedOS Id="\{([0-9a-f-]+)\}"', manifest))
    expect(ids == SUPPORTED_OS, "supportedOS entries %s" % sorted(ids))

    versions = resources.get(RT_VERSION, [])
    expect(len(versions) == 1, "expected one version resource, found %d" % len(versions))
    if versions:
        block = versions[0]
        fixed = block.find(struct.pack("<I", 0xFEEF04BD))
        expect(fixed >= 0, "version resource without VS_FIXEDFILEINFO")
        if fixed >= 0:
            ms, ls = struct.unpack_from("<II", block, fixed + 8)
            parts = [int(p) for p in args.version.split(".")] + [0, 0, 0]
            expect((ms >> 16, ms & 0xFFFF, ls >> 16) == tuple(parts[:3]),
                   "file version %d.%d.%d, expected %s" % (ms >> 16, ms & 0xFFFF, ls >> 16, args.version))
        text = block.decode("utf-16-le", "replace")
        for key in ("FileVersion", "ProductVersion"):
            m = re.search(key + r"\x00+([^\x00]*)", text)
            expect(m is not None and m.group(1) == args.version, "%s is not %s" % (key, args.version))
        for key in ("FileDescription", "ProductName", "OriginalFilename"):
            expect(key in text, "version block lacks " + key)

    print("%s: %d bytes, imports %s" % (args.exe, len(data), ", ".join(dlls)))
    for p in problems:
        print("FAIL " + p)
    print("%d passed, %d failed" % (checks - len(problems), len(problems)))
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()

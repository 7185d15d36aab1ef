#!/usr/bin/env python3
"""Checks what a setup medium needs of tolvane.exe: a 32-bit console exe that
imports system DLLs only, carries its manifest (its execution level, DPI
awareness, Common Controls 6, supportedOS from Vista on), its version block
and its icon, and stays small.

With --brand FILE, what the exe must carry is read from that brand file (the
set(VARIABLE "value") lines of a TOLVANE_BRAND file); without, it is the
unbranded tolvane.exe's."""

import argparse
import os
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
RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24


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


def read_brand(path):
    """The TOLVANE_ variables a brand file sets, as they are written."""
    values = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            m = re.match(r'\s*set\(\s*(TOLVANE_\w+)\s+"((?:[^"\\]|\\.)*)"\s*\)', line)
            if m:
                value = m.group(2).replace("${CMAKE_CURRENT_LIST_DIR}", os.path.dirname(os.path.abspath(path)))
                values[m.group(1)] = value.replace('\\"', '"')
    return values


def version_strings(block):
    """{key: value} of a version resource's StringFileInfo."""
    strings = {}

    def walk(offset, end):
        while offset + 6 <= end:
            length, value_length, kind = struct.unpack_from("<HHH", block, offset)
            if length == 0:
                break
            key_end = block.index(b"\0\0", offset + 6)
            while (key_end - offset - 6) % 2:
                key_end = block.index(b"\0\0", key_end + 1)
            key = block[offset + 6:key_end].decode("utf-16-le")
            value_start = (key_end + 2 + 3) & ~3
            if kind == 1 and key not in ("StringFileInfo", "VarFileInfo") and value_length:
                strings[key] = block[value_start:value_start + 2 * value_length].decode("utf-16-le").rstrip("\0")
            elif key in ("StringFileInfo",) or re.match(r"^[0-9a-fA-F]{8}$", key):
                walk(value_start, offset + length)
            elif key == "VS_VERSION_INFO":
                walk((value_start + value_length + 3) & ~3, offset + length)
            offset = (offset + length + 3) & ~3

    walk(0, len(block))
    return strings


def icon_images(path):
    """The images of an .ico file, as the exe's RT_ICON resources hold them."""
    with open(path, "rb") as f:
        data = f.read()
    count = struct.unpack_from("<H", data, 4)[0]
    images = []
    for i in range(count):
        size, offset = struct.unpack_from("<II", data, 6 + 16 * i + 8)
        images.append(data[offset:offset + size])
    return images


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("exe")
    parser.add_argument("--objdump", default="i686-w64-mingw32-objdump")
    parser.add_argument("--version", required=True, help="the project version")
    parser.add_argument("--brand", help="the brand file the exe was built with")
    parser.add_argument("--name", default=None, help="the exe's name without .exe (default: the brand's)")
    parser.add_argument("--description", default=None, help="its file description (default: the brand's)")
    parser.add_argument("--max-size", type=int, default=MAX_SIZE, help="bytes at most (0: no limit)")
    args = parser.parse_args()

    brand = read_brand(args.brand) if args.brand else {}
    name = args.name or brand.get("TOLVANE_EXE_NAME", "tolvane")
    version = brand.get("TOLVANE_VERSION") or args.version
    numbers = ([int(p) for p in version.split(".")] + [0, 0, 0, 0])[:4]
    expected_strings = {
        "CompanyName": brand.get("TOLVANE_COMPANY") or None,
        "FileDescription": args.description or brand.get("TOLVANE_FILE_DESCRIPTION", "tolvane setup launcher"),
        "FileVersion": version,
        "InternalName": name,
        "LegalCopyright": brand.get("TOLVANE_COPYRIGHT") or None,
        "OriginalFilename": name + ".exe",
        "ProductName": brand.get("TOLVANE_PRODUCT_NAME", "tolvane"),
        "ProductVersion": version,
    }
    level = brand.get("TOLVANE_EXECUTION_LEVEL", "asInvoker")
    icon = brand.get("TOLVANE_ICON")

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

    expect(os.path.basename(args.exe) == name + ".exe", "file name %s, expected %s.exe" % (os.path.basename(args.exe), name))
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
    levels = re.findall(r'requestedExecutionLevel level="(\w+)"', manifest)
    expect(levels == [level], "manifest's execution level %s, expected %s" % (levels, level))
    expect(re.search(r'name="Microsoft\.Windows\.Common-Controls"\s+version="6\.0\.0\.0"', manifest) is not None,
           "manifest lacks Common Controls 6")
    ids = set(re.findall(r'supportedOS Id="\{([0-9a-f-]+)\}"', manifest))
    expect(ids == SUPPORTED_OS, "supportedOS entries %s" % sorted(ids))
    expect(">true/pm</dpiAware>" in manifest and ">PerMonitorV2, PerMonitor</dpiAwareness>" in manifest,
           "manifest does not declare DPI awareness")

    versions = resources.get(RT_VERSION, [])
    expect(len(versions) == 1, "expected one version resource, found %d" % len(versions))
    if versions:
        block = versions[0]
        fixed = block.find(struct.pack("<I", 0xFEEF04BD))
        expect(fixed >= 0, "version resource without VS_FIXEDFILEINFO")
        if fixed >= 0:
            file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<IIII", block, fixed + 8)
            for what, ms, ls in (("file", file_ms, file_ls), ("product", product_ms, product_ls)):
                got = [ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF]
                expect(got == numbers, "%s version %s, expected %s" % (what, got, numbers))
        strings = version_strings(block)
        for key, value in expected_strings.items():
            expect(strings.get(key) == value, "%s is %r, expected %r" % (key, strings.get(key), value))

    groups, images = resources.get(RT_GROUP_ICON, []), resources.get(RT_ICON, [])
    if icon:
        expected = icon_images(icon)
        expect(len(groups) == 1, "expected one icon group, found %d" % len(groups))
        expect(sorted(images) == sorted(expected), "the icon's %d images are not those of %s" % (len(images), icon))
    else:
        expect(not groups and not images, "an icon, where none was given")

    print("%s: %d bytes, imports %s" % (args.exe, len(data), ", ".join(dlls)))
    for p in problems:
        print("FAIL " + p)
    print("%d passed, %d failed" % (checks - len(problems), len(problems)))
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Writes the release archives from built programs, the same bytes every
time for the same inputs:

  OUT/tolvane-VERSION-win32.zip          tolvane.exe, tolvane-check.exe, docs/,
                                         the examples, LICENSE, SHA256SUMS
  OUT/tolvane-VERSION-linux-x86_64.tar.gz  tolvane, tolvane-check (static),
                                         docs/, LICENSE, SHA256SUMS

Usage: dist.py --windows DIR --posix DIR [--out DIR]

Every entry has the time of the last commit (SOURCE_DATE_EPOCH, when set,
instead), fixed permissions and no owner; entries are sorted; the gzip
header holds no name and that time.  Run from anywhere; the repository is
this script's parent folder.
"""

import argparse
import gzip
import hashlib
import io
import os
import re
import subprocess
import sys
import tarfile
import time
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
# What the Windows archive carries of the examples: media and message packs a
# vendor starts from.  The demo script, the brand (it needs the sources) and
# the stand-in registry template stay in the repository.
EXAMPLES = ["examples/medium", "examples/faulty", "examples/messages", "examples/registry.reg"]


def project_version():
    with open(os.path.join(ROOT, "CMakeLists.txt")) as f:
        m = re.search(r"project\(tolvane VERSION (\d+\.\d+\.\d+)", f.read())
    if not m:
        sys.exit("dist: no project version in CMakeLists.txt")
    return m.group(1)


def source_date():
    if os.environ.get("SOURCE_DATE_EPOCH"):
        return int(os.environ["SOURCE_DATE_EPOCH"])
    try:
        out = subprocess.run(["git", "-C", ROOT, "log", "-1", "--format=%ct"], stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL, check=True).stdout.strip()
        return int(out)
    except (OSError, subprocess.CalledProcessError, ValueError):
        return 315532800  # 1980-01-01, the earliest a zip can say


# The example medium's stand-in runtime serves the Linux demo only.
LEFT_OUT = ["examples/medium/jre/"]


def tree(relative):
    """(path in the archive, file on disk) for a file or every file below a
    folder of the repository."""
    full = os.path.join(ROOT, relative)
    if os.path.isfile(full):
        return [(relative, full)]
    found = []
    for folder, _, files in os.walk(full):
        for name in files:
            path = os.path.join(folder, name)
            inside = os.path.relpath(path, ROOT).replace(os.sep, "/")
            if not any(inside.startswith(prefix) for prefix in LEFT_OUT):
                found.append((inside, path))
    return found


def contents(entries):
    """{path: (bytes, executable)} of the entries, with SHA256SUMS added."""
    files = {}
    for path, source, executable in entries:
        with open(source, "rb") as f:
            files[path] = (f.read(), executable)
    sums = "".join("%s  %s\n" % (hashlib.sha256(files[p][0]).hexdigest(), p) for p in sorted(files))
    files["SHA256SUMS"] = (sums.encode(), False)
    return files


def write_zip(path, top, files, when):
    stamp = time.gmtime(max(when, 315532800))[:6]
    with zipfile.ZipFile(path, "w") as archive:
        for name in sorted(files):
            data, executable = files[name]
            info = zipfile.ZipInfo(top + "/" + name, date_time=stamp)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 3  # Unix, so that the permissions below count
            info.external_attr = (0o100755 if executable else 0o100644) << 16
            archive.writestr(info, data, compresslevel=9)


def write_tar_gz(path, top, files, when):
    buffer = io.BytesIO()
    with tarfile.open(fileobj=buffer, mode="w", format=tarfile.USTAR_FORMAT) as archive:
        for name in sorted(files):
            data, executable = files[name]
            info = tarfile.TarInfo(top + "/" + name)
            info.size = len(data)
            info.mtime = when
            info.mode = 0o755 if executable else 0o644
            info.uid = info.gid = 0
            info.uname = info.gname = ""
            archive.addfile(info, io.BytesIO(data))
    with open(path, "wb") as raw:
        with gzip.GzipFile(filename="", mode="wb", fileobj=raw, mtime=when, compresslevel=9) as out:
            out.write(buffer.getvalue())


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--windows", required=True, help="the folder holding tolvane.exe and tolvane-check.exe")
    parser.add_argument("--posix", required=True, help="the folder holding the static tolvane and tolvane-check")
    parser.add_argument("--out", default=os.path.join(ROOT, "dist"))
    args = parser.parse_args()

    version = project_version()
    when = source_date()
    documents = [(path, source, False) for path, source in tree("docs") + tree("LICENSE")]

    windows = [("tolvane.exe", os.path.join(args.windows, "tolvane.exe"), True),
               ("tolvane-check.exe", os.path.join(args.windows, "tolvane-check.exe"), True)]
    for example in EXAMPLES:
        windows += [(path, source, False) for path, source in tree(example)]
    posix = [("tolvane", os.path.join(args.posix, "tolvane"), True),
             ("tolvane-check", os.path.join(args.posix, "tolvane-check"), True)]
    for path, source, _ in windows + posix:
        if not os.path.isfile(source):
            sys.exit("dist: missing %s (make dist builds it)" % source)

    os.makedirs(args.out, exist_ok=True)
    top = "tolvane-%s-win32" % version
    zip_path = os.path.join(args.out, top + ".zip")
    write_zip(zip_path, top, contents(windows + documents), when)
    top = "tolvane-%s-linux-x86_64" % version
    tar_path = os.path.join(args.out, top + ".tar.gz")
    write_tar_gz(tar_path, top, contents(posix + documents), when)
    for path in (zip_path, tar_path):
        with open(path, "rb") as f:
            print("dist: %s  %s" % (hashlib.sha256(f.read()).hexdigest(), os.path.relpath(path)))


if __name__ == "__main__":
    main()

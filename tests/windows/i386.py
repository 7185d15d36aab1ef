#!/usr/bin/env python3
"""Runs a command where 32-bit x86 programs execute, such as 32-bit Wine and
the i686 tolvane.exe under it.

Usage: i386.py [--cache DIR] -- COMMAND [ARG...]

Two ways, and the command learns which from the environment variable
TOLVANE_I386_WAY (the Wine runner prints it):

native    the machine executes i386 code itself: the command runs as it is.
emulated  the kernel refuses i386 code (32-bit emulation switched off, so
          i386 ELF files fail with "Exec format error").  Then qemu-user's
          static qemu-i386 (8.1 or later: older ones ignore
          MAP_FIXED_NOREPLACE, which makes Wine's address-space reservation
          crawl and fail) is registered for i386 ELF files in a private
          binfmt_misc instance, inside a new user and mount namespace, and
          the command runs in there.  Nothing on the machine changes: the
          registration ends with the namespace.  This needs Linux 6.7 or
          later, and unshare(1) from util-linux.

The emulator is fetched once into DIR (default build/tools) with apt-get
download through a private apt configuration (its own sources list, lists
and cache) whose archive is the one the machine's apt already uses, read
from the machine's apt sources; the machine's apt set-up is not touched.
"""

import argparse
import glob
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
MISC = "/proc/sys/fs/binfmt_misc"
ENTRY = "tolvane-i386"
# An i386 ELF executable: the first 20 bytes of its header, and the mask
# that lets the OS/ABI byte and the file type's low bit vary.
MAGIC = b"\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00"
MASK = b"\xff\xff\xff\xff\xff\xfe\xfe\xfc\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff"
MIN_QEMU = "8.1"


def say(text):
    print("i386: " + text, file=sys.stderr, flush=True)


def tiny_i386_program(path):
    """Writes a static i386 ELF executable that exits with status 0."""
    code = b"\x31\xdb\xb8\x01\x00\x00\x00\xcd\x80"  # xor ebx,ebx; mov eax,1; int 0x80
    base = 0x08048000
    header_size, phdr_size = 52, 32
    entry = base + header_size + phdr_size
    size = header_size + phdr_size + len(code)
    header = MAGIC[:16] + struct.pack("<HHIIIIIHHHHHH", 2, 3, 1, entry, header_size, 0, 0, header_size,
                                      phdr_size, 1, 40, 0, 0)
    phdr = struct.pack("<IIIIIIII", 1, 0, base, base, size, size, 5, 0x1000)
    with open(path, "wb") as f:
        f.write(header + phdr + code)
    os.chmod(path, 0o755)


def executes_i386():
    """True when the kernel itself runs i386 code (not through a binfmt
    emulator of the machine's)."""
    if os.path.isdir(MISC):
        for entry in glob.glob(os.path.join(MISC, "*")):
            try:
                with open(entry) as f:
                    text = f.read()
            except OSError:
                continue
            if text.startswith("enabled") and "magic " + MAGIC.hex() in text:
                return False
    with tempfile.TemporaryDirectory() as tmp:
        program = os.path.join(tmp, "exit0")
        tiny_i386_program(program)
        try:
            return subprocess.run([program], timeout=30).returncode == 0
        except OSError:
            return False


# ------------------------------------------------------------ the emulator

def machine_archive():
    """(URI, keyring or None, codename) of the machine's main Debian archive,
    read from its apt sources."""
    codename = None
    with open("/etc/os-release") as f:
        for line in f:
            if line.startswith("VERSION_CODENAME="):
                codename = line.split("=", 1)[1].strip().strip('"')
    if not codename:
        sys.exit("i386: cannot read the Debian codename from /etc/os-release")
    entries = []  # (types, uris, suites, components, signed_by)
    files = ["/etc/apt/sources.list"] + sorted(glob.glob("/etc/apt/sources.list.d/*.list"))
    for path in files:
        if not os.path.exists(path):
            continue
        with open(path) as f:
            for line in f:
                line = line.split("#", 1)[0].strip()
                m = re.match(r"^(deb)\s+(?:\[([^\]]*)\]\s+)?(\S+)\s+(\S+)\s*(.*)$", line)
                if not m:
                    continue
                options = dict(o.split("=", 1) for o in (m.group(2) or "").split() if "=" in o)
                entries.append((["deb"], [m.group(3)], [m.group(4)], m.group(5).split(), options.get("signed-by")))
    for path in sorted(glob.glob("/etc/apt/sources.list.d/*.sources")):
        with open(path) as f:
            stanzas = re.split(r"\n\s*\n", f.read())
        for stanza in stanzas:
            fields = {}
            for line in stanza.splitlines():
                if line.startswith("#") or ":" not in line or line[:1].isspace():
                    continue
                key, value = line.split(":", 1)
                fields[key.strip().lower()] = value.strip()
            if fields.get("enabled", "yes").lower() == "no":
                continue
            entries.append((fields.get("types", "").split(), fields.get("uris", "").split(),
                            fields.get("suites", "").split(), fields.get("components", "").split(),
                            fields.get("signed-by")))
    for types, uris, suites, components, signed_by in entries:
        if "deb" in types and codename in suites and "main" in components and uris:
            if signed_by and not os.path.exists(signed_by):
                signed_by = None
            return uris[0].rstrip("/"), signed_by, codename
    sys.exit("i386: found no apt source for %s main in the machine's apt sources" % codename)


def qemu_works(path):
    try:
        r = subprocess.run([path, "--version"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=30)
    except OSError:
        return None
    m = re.search(rb"version (\d+\.\d+(?:\.\d+)?)", r.stdout)
    return m.group(1).decode() if r.returncode == 0 and m else None


def version_at_least(version, minimum):
    return [int(p) for p in version.split(".")] >= [int(p) for p in minimum.split(".")]


def fetch_qemu(cache):
    """The path of a static qemu-i386 of MIN_QEMU or later, fetched into
    `cache` unless it is there already."""
    target = os.path.join(cache, "qemu-i386")
    have = qemu_works(target) if os.path.exists(target) else None
    if have and version_at_least(have, MIN_QEMU):
        return target, have
    uri, keyring, codename = machine_archive()
    work = tempfile.mkdtemp(prefix="tolvane-qemu-")
    try:
        for d in ("lists/partial", "cache/archives/partial", "etc"):
            os.makedirs(os.path.join(work, d))
        signed = " [signed-by=%s]" % keyring if keyring else ""
        with open(os.path.join(work, "etc/sources.list"), "w") as f:
            for suite in (codename, codename + "-backports"):
                f.write("deb%s %s %s main\n" % (signed, uri, suite))
        config = os.path.join(work, "apt.conf")
        with open(config, "w") as f:
            f.write('Dir::Etc::SourceList "%s/etc/sources.list";\n' % work)
            f.write('Dir::Etc::SourceParts "%s/etc";\n' % work)
            f.write('Dir::State::Lists "%s/lists";\n' % work)
            f.write('Dir::Cache "%s/cache";\n' % work)
            f.write('Dir::State::status "/dev/null";\n')
            f.write('APT::Sandbox::User "root";\n')
        env = dict(os.environ, APT_CONFIG=config, LC_ALL="C")
        say("fetching qemu-user from %s (%s, %s-backports)" % (uri, codename, codename))
        subprocess.run(["apt-get", "update", "-qq"], env=env, check=True)
        madison = subprocess.run(["apt-cache", "madison", "qemu-user"], env=env, check=True,
                                 stdout=subprocess.PIPE).stdout.decode()
        versions = [line.split("|")[1].strip() for line in madison.splitlines() if line.count("|") >= 2]
        upstream = lambda v: re.sub(r"^\d+:", "", v).split("+")[0].split("-")[0]
        usable = [v for v in versions if re.match(r"^\d+\.\d+", upstream(v))
                  and version_at_least(".".join(upstream(v).split(".")[:2]), MIN_QEMU)]
        if not usable:
            sys.exit("i386: no qemu-user of version %s or later in %s (%s)" % (MIN_QEMU, uri, ", ".join(versions)))
        best = usable[0]
        for v in usable[1:]:
            if subprocess.run(["dpkg", "--compare-versions", v, "gt", best]).returncode == 0:
                best = v
        subprocess.run(["apt-get", "download", "-qq", "qemu-user=" + best], env=env, cwd=work, check=True)
        deb = glob.glob(os.path.join(work, "qemu-user_*.deb"))[0]
        tree = os.path.join(work, "tree")
        os.makedirs(tree)
        subprocess.run("dpkg-deb --fsys-tarfile '%s' | tar -x -C '%s' ./usr/bin/qemu-i386" % (deb, tree),
                       shell=True, check=True)
        os.makedirs(cache, exist_ok=True)
        shutil.move(os.path.join(tree, "usr/bin/qemu-i386"), target)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    have = qemu_works(target)
    if not have:
        sys.exit("i386: the fetched %s does not run" % target)
    return target, have


# ------------------------------------------------------------ the namespace

def register_inside(qemu, command, way):
    """Runs in the new namespace: a binfmt_misc instance of its own, the
    emulator registered in it, then the command."""
    subprocess.run(["mount", "-t", "binfmt_misc", "binfmt_misc", MISC], check=True)
    escape = lambda data: "".join("\\x%02x" % b for b in data)
    # F: the emulator is opened now, so it is found whatever the command's
    # mounts; O: the program is handed over open, so unreadable ones work.
    rule = ":%s:M::%s:%s:%s:OF" % (ENTRY, escape(MAGIC), escape(MASK), qemu)
    with open(os.path.join(MISC, "register"), "w") as f:
        f.write(rule)
    os.environ["TOLVANE_I386_WAY"] = way
    os.execvp(command[0], command)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--cache", default=os.path.join(ROOT, "build", "tools"))
    parser.add_argument("--inside", nargs=2, metavar=("QEMU", "WAY"), help=argparse.SUPPRESS)
    parser.add_argument("command", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    command = args.command[1:] if args.command[:1] == ["--"] else args.command
    if not command:
        parser.error("no command given")

    if args.inside:
        register_inside(args.inside[0], command, args.inside[1])

    if executes_i386():
        os.environ["TOLVANE_I386_WAY"] = "native: this machine executes 32-bit x86 code"
        os.execvp(command[0], command)

    if not shutil.which("unshare"):
        sys.exit("i386: this machine does not execute 32-bit x86 code, and unshare(1) is missing")
    qemu, version = fetch_qemu(os.path.abspath(args.cache))
    way = ("emulated: qemu-i386 %s, registered for i386 ELF files in a private binfmt_misc namespace "
           "(the kernel refuses 32-bit code)" % version)
    inner = [sys.executable, os.path.abspath(__file__), "--inside", qemu, way, "--"] + command
    os.execvp("unshare", ["unshare", "--user", "--map-root-user", "--mount"] + inner)


if __name__ == "__main__":
    main()

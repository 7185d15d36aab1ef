#!/usr/bin/env python3
"""Runs a command from the repository's root and compares its standard
output with a file, byte for byte, and its exit status with a number.

Usage: expect_output.py EXPECTED_FILE STATUS COMMAND [ARG...]
       expect_output.py --update EXPECTED_FILE STATUS COMMAND [ARG...]
"""

import difflib
import os
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def main():
    args = sys.argv[1:]
    update = args[:1] == ["--update"]
    if update:
        args = args[1:]
    if len(args) < 3:
        sys.exit(__doc__)
    expected_file, status, command = args[0], int(args[1]), args[2:]
    proc = subprocess.run(command, cwd=ROOT, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    if update:
        with open(expected_file, "wb") as f:
            f.write(proc.stdout)
    with open(expected_file, "rb") as f:
        expected = f.read()
    problems = []
    if proc.returncode != status:
        problems.append("exit status %d, expected %d" % (proc.returncode, status))
    if proc.stdout != expected:
        diff = difflib.unified_diff(expected.decode("latin-1").splitlines(), proc.stdout.decode("latin-1").splitlines(),
                                    expected_file, "output", lineterm="")
        problems.append("output differs:\n" + "\n".join(diff))
    if proc.stderr:
        problems.append("stderr: " + proc.stderr.decode("latin-1"))
    for p in problems:
        print("FAIL " + p)
    if not problems:
        print("ok   %s (%d lines)" % (" ".join(command), proc.stdout.count(b"\n")))
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""The launcher's and the checker's benchmarks: figures only, never a
test's pass or fail.

Usage: bench.py path/to/tolvane [path/to/tolvane-check]

The checker runs each script as `tolvane-check FOLDER -- @file`: a check of
every word, with the launcher's own code.

Every figure is a ratio against a reference program timed in the same run
on the same input, so figures from different machines can be compared.
Times are the best of several runs, with the two programs taking turns.
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

MIB = 1 << 20
ENV = dict(os.environ, LC_ALL="C")  # wc counts bytes and blanks, as the launcher does
TIME = "/usr/bin/time"

results = []  # (name, figure text, goal text, met: True/False/None)


def spawn_time(argv):
    """Wall time of one run, standard output and error on /dev/null."""
    actions = [
        (os.POSIX_SPAWN_OPEN, 0, "/dev/null", os.O_RDONLY, 0),
        (os.POSIX_SPAWN_OPEN, 1, "/dev/null", os.O_WRONLY, 0),
        (os.POSIX_SPAWN_OPEN, 2, "/dev/null", os.O_WRONLY, 0),
    ]
    start = time.perf_counter()
    pid = os.posix_spawn(argv[0], argv, ENV, file_actions=actions)
    _, raw = os.waitpid(pid, 0)
    elapsed = time.perf_counter() - start
    status = os.waitstatus_to_exitcode(raw)
    if status != 0:
        sys.exit(f"bench: {' '.join(argv)} ended with {status}")
    return elapsed


def pipe_time(producer, consumer):
    """Wall time of `producer | consumer`, the consumer's output on /dev/null."""
    read_end, write_end = os.pipe()
    start = time.perf_counter()
    pids = [
        os.posix_spawn(producer[0], producer, ENV, file_actions=[
            (os.POSIX_SPAWN_OPEN, 0, "/dev/null", os.O_RDONLY, 0),
            (os.POSIX_SPAWN_DUP2, write_end, 1),
            (os.POSIX_SPAWN_CLOSE, read_end),
            (os.POSIX_SPAWN_CLOSE, write_end)]),
        os.posix_spawn(consumer[0], consumer, ENV, file_actions=[
            (os.POSIX_SPAWN_DUP2, read_end, 0),
            (os.POSIX_SPAWN_OPEN, 1, "/dev/null", os.O_WRONLY, 0),
            (os.POSIX_SPAWN_CLOSE, read_end),
            (os.POSIX_SPAWN_CLOSE, write_end)]),
    ]
    os.close(read_end)
    os.close(write_end)
    for pid in pids:
        _, raw = os.waitpid(pid, 0)
        if os.waitstatus_to_exitcode(raw) != 0:
            sys.exit(f"bench: {' '.join(producer)} | {' '.join(consumer)} failed")
    return time.perf_counter() - start


def best_pair(first, second, runs):
    """Best times of two commands (argument vectors, or functions that time
    themselves) over `runs` alternating runs each."""
    def once(command):
        return command() if callable(command) else spawn_time(command)
    a = b = float("inf")
    for _ in range(runs):
        a = min(a, once(first))
        b = min(b, once(second))
    return a, b


def checked_run(argv):
    """Runs once, demanding exit code 0 and nothing on standard error (no box
    at all); returns standard output and the peak resident set in bytes."""
    with tempfile.NamedTemporaryFile("r") as report:
        proc = subprocess.run([TIME, "-v", "-o", report.name] + argv, env=ENV,
                              stdin=subprocess.DEVNULL, capture_output=True)
        text = report.read()
    if proc.returncode != 0 or proc.stderr:
        sys.exit(f"bench: {' '.join(argv)} ended with {proc.returncode}:\n"
                 + proc.stderr.decode(errors="replace")[:2000])
    peak = re.search(r"Maximum resident set size \(kbytes\): (\d+)", text)
    return proc.stdout, int(peak.group(1)) * 1024


def record(name, figure, goal=None, met=None):
    results.append((name, figure, goal, met))
    verdict = "" if met is None else ("MET" if met else "MISSED")
    goal_text = f"goal {goal}" if goal else "no goal"
    print(f"{name:<22} {figure:<58} {goal_text:<28} {verdict}", flush=True)


def ms(seconds):
    return f"{seconds * 1000:.1f} ms"


# ---------------------------------------------------------------- inputs

def write_lines(path, size, line_of):
    """Exactly `size` bytes: the lines line_of(0), line_of(1), ... while they
    fit, then line feeds.  Returns how many lines were written."""
    lines = []
    total = 0
    i = 0
    while True:
        line = line_of(i)
        if total + len(line) > size:
            break
        lines.append(line)
        total += len(line)
        i += 1
    lines.append("\n" * (size - total))
    with open(path, "w", encoding="ascii", newline="") as f:
        f.write("".join(lines))
    return i


def write_res_file(path, size):
    """`size` bytes of -res: words, one a line, whose keys cycle through 1,000
    names; every fourth word is quoted, with blanks and escapes."""
    def line_of(i):
        if i % 4 == 3:
            return f'"-res:KEY{i % 1000:04d}=text of entry {i}, with blanks, a \\"quote\\" and C:\\\\dir"\n'
        return f"-res:KEY{i % 1000:04d}=text-of-entry-{i}-lorem-ipsum-dolor\n"
    write_lines(path, size, line_of)


def write_short_file(path, size):
    """`size` bytes of short -res: words, about 20 bytes each, one a line:
    -res:KEY{i mod 1000}=value{i}.  The cost per word, not per byte."""
    return write_lines(path, size, lambda i: f"-res:KEY{i % 1000}=value{i}\n")


def write_marker_file(path, size):
    """Sixteen -res:K words, then one -print: word whose argument, of `size`
    bytes, is nothing but markers: $res:Kn$ and $$ taking turns."""
    head = "".join(f"-res:K{n}=v{n}\n" for n in range(16))
    piece = "".join(f"$res:K{n}$$$" for n in range(16))
    count = size // len(piece)
    tail = "$$" * ((size - count * len(piece)) // 2)
    expected = ("".join(f"v{n}$" for n in range(16)) * count + "$" * (len(tail) // 2) + "\n").encode()
    with open(path, "w", encoding="ascii", newline="") as f:
        f.write(head + "-print:" + piece * count + tail + "\n")
    return expected, 32 * count + len(tail) // 2


# ------------------------------------------------------------ benchmarks

CHECKER = None  # tolvane-check, when given


def check_argv(work, name):
    return [CHECKER, work, "--", "@" + name]


def checked_check(work, name):
    """The checker's run on a script: exit status 0 (warnings may come) and
    nothing on standard error; returns its peak resident set."""
    with tempfile.NamedTemporaryFile("r") as report:
        proc = subprocess.run([TIME, "-v", "-o", report.name] + check_argv(work, name), env=ENV,
                              stdin=subprocess.DEVNULL, capture_output=True)
        text = report.read()
    if proc.returncode != 0 or proc.stderr:
        sys.exit(f"bench: the checker on {name} ended with {proc.returncode}:\n"
                 + (proc.stderr or proc.stdout).decode(errors="replace")[:2000])
    return int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", text).group(1)) * 1024


def checker_figures(work, name, label, launcher_time, runs, size=None):
    """The checker on the same script: its time against the launcher's and,
    for a file of `size` bytes, its peak memory."""
    if not CHECKER:
        return
    peak = checked_check(work, name)
    t = float("inf")
    for _ in range(runs):
        t = min(t, spawn_time(check_argv(work, name)))
    record(f"check {label}", f"{ms(t)}; launcher {ms(launcher_time)}: {t / launcher_time:.2f}x the launcher",
           "<= 1.5x launcher", t / launcher_time <= 1.5)
    if size:
        record(f"check memory {label}", f"{peak / MIB:.1f} MiB = {peak / size:.2f}x the file",
               "<= 3x file + 16 MiB", peak <= 3 * size + 16 * MIB)

def throughput(work, launcher):
    _, own = checked_run([launcher, "/print:x"])  # the launcher's resident set without a file
    times = {}
    for size_mib, runs in ((1, 15), (8, 9), (64, 7)):
        name = f"t{size_mib}.rsp"
        path = os.path.join(work, name)
        write_res_file(path, size_mib * MIB)
        size = os.path.getsize(path)
        _, peak = checked_run([launcher, "@" + name])
        t, wc = best_pair([launcher, "@" + name], ["/usr/bin/wc", "-w", path], runs)
        times[size_mib] = t
        record(f"throughput {size_mib} MiB",
               f"{size / t / MIB:.0f} MiB/s, {ms(t)}; wc -w {ms(wc)}: {t / wc:.2f}x wc -w",
               "<= 2x wc -w", t / wc <= 2)
        limit = 3 * size + 16 * MIB
        record(f"peak memory {size_mib} MiB",
               f"{peak / MIB:.1f} MiB = {peak / size:.2f}x the file ({(peak - own) / size:.2f}x over {own / MIB:.1f} MiB)",
               "<= 3x file + 16 MiB", peak <= limit)
        checker_figures(work, name, f"{size_mib} MiB", t, runs, size)
        os.remove(path)
    # Just over a power of two: a text that grows by doubling and is then
    # trimmed to size holds about twice the file at its peak.
    path = os.path.join(work, "over.rsp")
    write_res_file(path, 64 * MIB + 1024)
    size = os.path.getsize(path)
    _, peak = checked_run([launcher, "@over.rsp"])
    record("peak memory 64 MiB+1K",
           f"{peak / MIB:.1f} MiB = {peak / size:.2f}x the file ({(peak - own) / size:.2f}x over {own / MIB:.1f} MiB)",
           "<= 3x file + 16 MiB", peak <= 3 * size + 16 * MIB)
    os.remove(path)
    ratio = times[64] / times[8]
    record("scaling 64/8 MiB", f"{ms(times[64])} / {ms(times[8])} = {ratio:.2f}x", "<= 9x", ratio <= 9)


def short_words(work, launcher):
    path = os.path.join(work, "short.rsp")
    words = write_short_file(path, 64 * MIB)
    size = os.path.getsize(path)
    _, peak = checked_run([launcher, "@short.rsp"])
    t, wc = best_pair([launcher, "@short.rsp"], ["/usr/bin/wc", "-w", path], 7)
    record("short words 64 MiB",
           f"{words / t / 1e6:.1f} M words/s, {ms(t)}; wc -w {ms(wc)}: {t / wc:.2f}x wc -w",
           "<= 2x wc -w", t / wc <= 2)
    record("short words memory", f"{peak / MIB:.1f} MiB = {peak / size:.2f}x the file",
           "<= 3x file + 16 MiB", peak <= 3 * size + 16 * MIB)
    if CHECKER:
        c = float("inf")
        for _ in range(7):
            c = min(c, spawn_time(check_argv(work, "short.rsp")))
        record("check short words/wc", f"{ms(c)}; wc -w {ms(wc)}: {c / wc:.2f}x wc -w", "<= 2x wc -w", c / wc <= 2)
        checker_figures(work, "short.rsp", "short words", t, 7, size)
    os.remove(path)


def markers(work, launcher):
    path = os.path.join(work, "markers.rsp")
    expected, count = write_marker_file(path, 16 * MIB)
    out, peak = checked_run([launcher, "@markers.rsp"])
    if out != expected:
        sys.exit("bench: the marker word printed something else")
    # wc -c asks the file system for the size of a file, named or on its
    # standard input; through a pipe it counts every byte.
    t, wc = best_pair([launcher, "@markers.rsp"], lambda: pipe_time(["/bin/cat", path], ["/usr/bin/wc", "-c"]), 5)
    record("markers 16 MiB",
           f"{ms(t)} ({count / t / 1e6:.1f} M markers/s); cat | wc -c {ms(wc)}: {t / wc:.2f}x wc -c")
    record("markers peak memory", f"{peak / MIB:.1f} MiB = {peak / (16 * MIB):.2f}x the word")
    checker_figures(work, "markers.rsp", "markers", t, 5)
    os.remove(path)


def nesting(work, launcher):
    # A chain of 64 files, each defining a text and naming the next; the last
    # prints them all.  Against the same words in one file.
    depth = 64
    words = [f"-res:LEVEL{n:02d}=level-{n}" for n in range(1, depth + 1)]
    printed = "-print:" + "".join(f"$res:LEVEL{n:02d}$" for n in range(1, depth + 1))
    for n in range(1, depth + 1):
        with open(os.path.join(work, f"n{n:02d}.rsp"), "w") as f:
            f.write(words[n - 1] + "\n" + (f"@n{n + 1:02d}.rsp\n" if n < depth else printed + "\n"))
    with open(os.path.join(work, "flat.rsp"), "w") as f:
        f.write("\n".join(words + [printed]) + "\n")
    expected = ("".join(f"level-{n}" for n in range(1, depth + 1)) + "\n").encode()
    for name in ("n01.rsp", "flat.rsp"):
        if checked_run([launcher, "@" + name])[0] != expected:
            sys.exit(f"bench: @{name} printed something else")
    chain = flat = float("inf")
    for _ in range(5):
        chain = min(chain, sum(spawn_time([launcher, "@n01.rsp"]) for _ in range(20)) / 20)
        flat = min(flat, sum(spawn_time([launcher, "@flat.rsp"]) for _ in range(20)) / 20)
    record("nesting 64 levels", f"{ms(chain)}; one flat file {ms(flat)}: {chain / flat:.2f}x flat")
    if CHECKER:
        checked_check(work, "n01.rsp")
        checked = float("inf")
        for _ in range(5):
            checked = min(checked, sum(spawn_time(check_argv(work, "n01.rsp")) for _ in range(20)) / 20)
        record("check nesting", f"{ms(checked)}; launcher {ms(chain)}: {checked / chain:.2f}x the launcher",
               "<= 1.5x launcher", checked / chain <= 1.5)


def startup(work, launcher):
    ours = theirs = float("inf")
    for _ in range(10):
        theirs = min(theirs, sum(spawn_time(["/bin/echo", "x"]) for _ in range(50)) / 50)
        ours = min(ours, sum(spawn_time([launcher, "/print:x"]) for _ in range(50)) / 50)
    record("start-up", f"{ms(ours)}; /bin/echo x {ms(theirs)}: {ours / theirs:.2f}x /bin/echo",
           "<= 2x /bin/echo", ours / theirs <= 2)
    if CHECKER:
        checked = float("inf")
        for _ in range(10):
            checked = min(checked, sum(spawn_time([CHECKER, work, "--", "/print:x"]) for _ in range(50)) / 50)
        record("check start-up", f"{ms(checked)}; launcher {ms(ours)}: {checked / ours:.2f}x the launcher",
               "<= 1.5x launcher", checked / ours <= 1.5)


def machine():
    cpu = "unknown CPU"
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                cpu = line.split(":", 1)[1].strip()
                break
    with open("/proc/meminfo") as f:
        memory = int(f.readline().split()[1]) / (1 << 20)
    return f"{os.cpu_count()} CPUs ({cpu}), {memory:.1f} GiB memory, load {os.getloadavg()[0]:.2f}"


def main():
    global CHECKER
    if len(sys.argv) not in (2, 3) or not all(os.access(p, os.X_OK) for p in sys.argv[1:]):
        sys.exit("usage: bench.py path/to/tolvane [path/to/tolvane-check] (built)")
    for tool in (TIME, "/usr/bin/wc", "/bin/echo"):
        if not os.access(tool, os.X_OK):
            sys.exit(f"bench: {tool} is missing")
    print("machine:", machine(), flush=True)
    work = tempfile.mkdtemp(prefix="tolvane-bench.")
    try:
        # The launcher works in its own directory, so a copy of it stands
        # beside the generated files and they are named relative to it.
        launcher = os.path.join(work, "tolvane")
        shutil.copy2(sys.argv[1], launcher)
        if len(sys.argv) == 3:
            CHECKER = os.path.abspath(sys.argv[2])
        os.chdir(work)
        throughput(work, launcher)
        short_words(work, launcher)
        markers(work, launcher)
        nesting(work, launcher)
        startup(work, launcher)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    missed = [name for name, _, _, met in results if met is False]
    print("all goals met" if not missed else "goals missed: " + ", ".join(missed))


if __name__ == "__main__":
    main()

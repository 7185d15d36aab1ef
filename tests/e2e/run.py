#!/usr/bin/env python3
"""End-to-end cases: each lays out a small medium folder, starts the launcher
on it with a command line, and compares what comes out (exit code, standard
output, the message boxes in order, files left behind).

One table of cases (cases.json) runs unchanged on two targets:
  posix  the POSIX stand-in build (build/posix/tolvane)
  wine   tolvane.exe under Wine
and in three modes (--modes):
  run    the launcher on each case
  plan   tolvane-check --plan on each case's medium, command line, registry
         and answers: it must show the same exit code, standard output (as
         the launcher writes it, before a text-mode stream turns LF into
         CR LF) and boxes as the launcher's run
  check  tolvane-check on each case whose run ends with an error box that
         depends neither on the registry nor on the answers: the first error
         it reports must have that box's text
The checker's own cases (tests/check/cases.json) run in a fourth mode:
  findings  tolvane-check --json on each case's medium: its exit status and
            findings must be as the case says

Case fields (all but "name" optional):
  name      unique name
  files     {path: content}; content is a string, null for an empty
            directory, {"posix": ..., "wine": ...} for per-target content,
            {"text": ..., "pad_to": N}: the text after blanks, N bytes in all,
            or {"from": "examples/..."}: a file of the repository
  launcher  folder of the case that holds the launcher (default "medium")
  cwd       folder from which the launcher is started (default: launcher's)
  command   the raw command line, program name first (default "{launcher}")
  registry  HKEY_LOCAL_MACHINE contents in the regedit format
  answers   ["yes"|"no", ...] for the question boxes, in order
  stdout_closed  true: standard output is a pipe whose reader has gone
  registry_relative  true: posix names the registry file relative to cwd
  skip      {"posix"|"wine"|"plan"|"check": "reason"}: the case cannot run
            on that target (mode run), or says nothing about that mode
  expect    exit (default 0), stdout (exact bytes, with each line feed
            written as CR LF on wine; or {"posix": ..., "wine": ...}), boxes ([[kind, text], ...],
            exact and complete), files ({path: content or null for "exists"}),
            absent ([path, ...]), wine_calls (patterns, each matching the start of
            a call that must appear in Wine's relay trace; wine only),
            wine_absent_calls (patterns no call in the trace may match)

Placeholders, replaced per target in every string: {launcher} (the path of
the launcher as typed from cwd), {medium} (the absolute path of the launcher's
folder in the target's own form; doubled backslashes inside "registry"), {sep}
(the target's directory separator), {exe} (".exe" on wine, "" on posix).
"""

import argparse
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
CASE_TIMEOUT = 60
# The calls whose arguments the Wine runner reads from Wine's relay trace.
RELAY_INCLUDE = ";".join([
    "user32.MessageBoxA",
    "kernel32.SetDefaultDllDirectories", "kernelbase.SetDefaultDllDirectories",
    "kernel32.SetDllDirectoryA", "kernelbase.SetDllDirectoryA",
])


# ---------------------------------------------------------------- tokenizer

def tokenize(text):
    """The launcher's own word rules, used to turn a raw command line into an
    argument vector for the POSIX stand-in (which quotes it back)."""
    words, i, n = [], 0, len(text)
    ws = " \t\r\n"
    while True:
        while i < n and text[i] in ws:
            i += 1
        if i >= n:
            return words
        word, quoted = [], False
        while i < n:
            c = text[i]
            if not quoted:
                if c in ws:
                    break
                i += 1
                if c == '"':
                    quoted = True
                else:
                    word.append(c)
                continue
            i += 1
            if c == '"':
                quoted = False
            elif c == "\\":
                if i >= n:
                    word.append("\\")
                    break
                nxt = text[i]
                i += 1
                word.append({"\\": "\\", '"': '"', "n": "\n"}.get(nxt, "\\" + nxt))
            else:
                word.append(c)
        words.append("".join(word))


# ---------------------------------------------------------------- targets

class Target:
    name = "?"
    sep = "/"
    exe = ""

    def __init__(self, launcher, checker=None):
        self.launcher = os.path.abspath(launcher) if launcher else None
        self.checker = os.path.abspath(checker) if checker else None
        self.mode = "run"

    def program(self):
        """The program a case lays beside its files: the launcher, or in the
        checker's modes the checker."""
        return self.launcher if self.mode == "run" else self.checker

    def start(self):
        pass

    def stop(self):
        pass

    def native_path(self, path):
        return path

    def order(self, cases):
        return cases

    def run(self, case, root, installed, cwd, command, registry, answers, timeout):
        raise NotImplementedError


class closed_reader:
    """Standard output for a case: a pipe, or with "stdout_closed" the write
    end of a pipe whose reader has gone already."""

    def __init__(self, case):
        self.fd = None
        if case.get("stdout_closed"):
            read_end, self.fd = os.pipe()
            os.close(read_end)

    def __enter__(self):
        return subprocess.PIPE if self.fd is None else self.fd

    def __exit__(self, *exc):
        if self.fd is not None:
            os.close(self.fd)


class PosixTarget(Target):
    name = "posix"

    def run_checker(self, args, cwd, timeout):
        proc = subprocess.run([self.checker] + args, cwd=cwd, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, timeout=timeout)
        return proc.returncode, proc.stdout, proc.stderr.decode("latin-1")

    def run(self, case, root, installed, cwd, command, registry, answers, timeout):
        env = dict(os.environ)
        env["PATH"] = os.path.join(HERE, "posix-bin") + os.pathsep + env.get("PATH", "")
        env.pop("TOLVANE_REGISTRY", None)
        if registry is not None:
            reg = os.path.join(root, "registry.reg")
            with open(reg, "w", encoding="latin-1", newline="") as f:
                f.write(registry)
            env["TOLVANE_REGISTRY"] = os.path.relpath(reg, cwd) if case.get("registry_relative") else reg
        argv = tokenize(command)
        if not argv:
            argv = [""]
        stdin = "".join(a + "\n" for a in answers)
        with closed_reader(case) as stdout:
            proc = subprocess.run(argv, executable=installed,
                                  cwd=cwd, env=env, input=stdin.encode("latin-1"),
                                  stdout=stdout, stderr=subprocess.PIPE, timeout=timeout)
        out = (proc.stdout or b"").decode("latin-1")
        err = proc.stderr.decode("latin-1")
        return proc.returncode, out, parse_posix_boxes(err), err


BOX_HEADER = re.compile(r"^--- (.*): (\w+) \(0x([0-9a-f]+)\) ---$")


def parse_posix_boxes(err):
    boxes, lines, i = [], err.split("\n"), 0
    while i < len(lines):
        m = BOX_HEADER.match(lines[i])
        i += 1
        if not m:
            continue
        text_lines = []
        while i < len(lines) and lines[i].startswith("|") and lines[i].endswith("|") and len(lines[i]) >= 2:
            text_lines.append(lines[i][1:-1])
            i += 1
        boxes.append({"caption": m.group(1), "kind": m.group(2), "style": int(m.group(3), 16),
                      "text": "\n".join(text_lines), "truncated": False})
    return boxes


STYLE_KINDS = {0x10: "error", 0x20: "question", 0x30: "warning", 0x40: "information"}


def parse_relay_string(s, i):
    """Reads a relay-trace string literal at s[i] == '"'; returns (text,
    truncated, index after it)."""
    assert s[i] == '"'
    i += 1
    out = []
    while i < len(s):
        c = s[i]
        if c == '"':
            i += 1
            if s.startswith("...", i):
                return "".join(out), True, i + 3
            return "".join(out), False, i
        if c == "\\" and i + 1 < len(s):
            nxt = s[i + 1]
            if nxt == "x" and i + 3 < len(s):
                out.append(chr(int(s[i + 2:i + 4], 16)))
                i += 4
                continue
            out.append({"n": "\n", "r": "\r", "t": "\t", "\\": "\\", '"': '"'}.get(nxt, nxt))
            i += 2
            continue
        out.append(c)
        i += 1
    return "".join(out), True, i


def parse_relay_boxes(err):
    boxes = []
    for line in err.split("\n"):
        k = line.find("Call user32.MessageBoxA(")
        if k < 0:
            continue
        s = line[k + len("Call user32.MessageBoxA("):]
        try:
            i = s.index(",") + 1          # owner window
            i = s.index(" ", i) + 1       # text pointer
            text, truncated, i = parse_relay_string(s, i)
            i = s.index(" ", i) + 1       # caption pointer
            caption, _, i = parse_relay_string(s, i)
            style = int(s[i + 1:s.index(")", i)], 16)
        except (ValueError, AssertionError, IndexError):
            boxes.append({"caption": "?", "kind": "unparsed", "style": 0, "text": line, "truncated": False})
            continue
        boxes.append({"caption": caption, "kind": STYLE_KINDS.get(style & 0xF0, "message"), "style": style,
                      "text": text, "truncated": truncated})
    return boxes


class WineTarget(Target):
    name = "wine"
    sep = "\\"
    exe = ".exe"

    def __init__(self, launcher, checker, rawrun, wine):
        super().__init__(launcher, checker)
        self.rawrun = os.path.abspath(rawrun) if rawrun else None
        self.wine = wine
        self.prefix = tempfile.mkdtemp(prefix="tolvane-wine-")
        self.env = dict(os.environ)
        self.env["WINEPREFIX"] = self.prefix
        # A 32-bit prefix, as the exe is 32-bit: in a 64-bit prefix it would
        # read the registry's 32-bit view, where the 64-bit regedit never
        # writes.
        self.env["WINEARCH"] = "win32"
        # The native 64-bit wineserver serves 32-bit Wine as well, also when
        # that runs under an emulator.
        for server in ("/usr/lib/wine/wineserver64", "/usr/lib/wine/wineserver32"):
            if os.path.exists(server):
                self.env["WINESERVER"] = server
                break
        self.env["WINEDEBUG"] = "-all"
        self.env["WINEDLLOVERRIDES"] = "mscoree,mshtml="
        self.env.pop("DISPLAY", None)
        self.registry_dirty = True
        self.display = None

    def wine_cmd(self, args, env=None, timeout=120):
        """Runs a Wine tool.  Output goes to files, not pipes: services that
        Wine starts in the background would inherit a pipe and hold it open."""
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            proc = subprocess.run([self.wine] + args, env=env or self.env, stdin=subprocess.DEVNULL, stdout=out,
                                  stderr=err, timeout=timeout)
            out.seek(0)
            err.seek(0)
            return subprocess.CompletedProcess(proc.args, proc.returncode, out.read(), err.read())

    def wineserver(self, args):
        server = self.env.get("WINESERVER") or shutil.which("wineserver") or "wineserver"
        subprocess.run([server] + args, env=self.env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=120)

    def start(self):
        self.wine_cmd(["wineboot", "-i"], timeout=300)
        self.restart_session(self.env)
        self.wine_cmd(["reg", "add", r"HKCU\Software\Wine\Debug", "/v", "RelayInclude", "/t", "REG_SZ", "/d",
                       RELAY_INCLUDE, "/f"])

    def stop(self):
        if self.display is not None:
            self.display.stop()
            self.display = None
        self.wineserver(["-k"])
        self.wineserver(["-w"])
        shutil.rmtree(self.prefix, ignore_errors=True)

    def native_path(self, path):
        return "Z:" + path.replace("/", "\\")

    def set_registry(self, root, registry):
        # Only a case with a registry of its own (an installer's writes
        # included) leaves anything to remove.
        if self.registry_dirty:
            self.wine_cmd(["reg", "delete", r"HKLM\SOFTWARE\JavaSoft", "/f"])
            self.registry_dirty = False
        if registry is not None:
            self.registry_dirty = True
            reg = os.path.join(root, "registry.reg")
            with open(reg, "w", encoding="latin-1", newline="") as f:
                f.write(registry.replace("\r\n", "\n").replace("\n", "\r\n"))
            r = self.wine_cmd(["regedit", "/S", self.native_path(reg)])
            if r.returncode != 0:
                raise RuntimeError("regedit failed: " + r.stderr.decode("latin-1"))

    @staticmethod
    def needs_display(case):
        # Only a case that answers Yes shows real boxes: elsewhere, with no
        # display, every box returns at once (a question as No).
        return "yes" in case.get("answers", [])

    def order(self, cases):
        if self.mode != "run":
            return cases
        # A Wine session keeps the display its desktop process started with,
        # and each new session is slow to start: the cases that need a
        # display run last, in one session of their own.
        return sorted(cases, key=self.needs_display)

    def use_display(self, wanted):
        """The Display of the running session, started or stopped (with the
        session restarted) as `wanted` says."""
        if wanted and self.display is None:
            self.display = Display()
            self.restart_session(dict(self.env, DISPLAY=self.display.name))
        elif not wanted and self.display is not None:
            self.restart_session(self.env)
            self.display.stop()
            self.display = None
        return self.display

    def run_checker(self, args, cwd, timeout):
        self.use_display(False)
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            proc = subprocess.run([self.wine, self.checker] + args, cwd=cwd, env=self.env, stdin=subprocess.DEVNULL,
                                  stdout=out, stderr=err, timeout=timeout)
            out.seek(0)
            err.seek(0)
            return proc.returncode, out.read(), err.read().decode("latin-1")

    def restart_session(self, env):
        """Ends the running Wine session, so that the next Wine process starts
        a new one (with its desktop process) under `env`'s display.  The new
        server is persistent: one that ends with its last client would be
        started again, slowly, by the next case."""
        self.wineserver(["-k"])
        self.wineserver(["-w"])
        self.wineserver(["-p"])
        self.wine_cmd(["cmd", "/c", "exit"], env=env)

    def run(self, case, root, installed, cwd, command, registry, answers, timeout):
        line = os.path.join(root, "commandline.txt")
        with open(line, "wb") as f:
            f.write(command.encode("latin-1"))
        env = dict(self.env)
        env["WINEDEBUG"] = "-all,+relay"
        display = self.use_display(self.needs_display(case))
        if display:
            env["DISPLAY"] = display.name
        self.set_registry(root, registry)
        out_file, err_file = tempfile.TemporaryFile(), tempfile.TemporaryFile()
        try:
            with closed_reader(case) as stdout:
                proc = subprocess.Popen([self.wine, self.rawrun, self.native_path(line)], cwd=cwd, env=env,
                                        stdin=subprocess.DEVNULL, stderr=err_file,
                                        stdout=out_file if stdout == subprocess.PIPE else stdout)
            responder = None
            if display:
                responder = display.respond(case["expect"].get("boxes", []), answers, env)
            try:
                proc.wait(timeout=timeout)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()
                raise
            finally:
                if responder:
                    responder.kill()
                    responder.wait()
        finally:
            if display and display.proc.poll() is not None:
                self.use_display(False)
        out_file.seek(0)
        err_file.seek(0)
        out = out_file.read().decode("latin-1")
        err = err_file.read().decode("latin-1")
        out_file.close()
        err_file.close()
        return proc.returncode, out, parse_relay_boxes(err), err


class Display:
    """A private Xvfb, and a responder that answers each "ORX Setup" box in
    turn: Return for OK and Yes, n for No."""

    def __init__(self):
        r, w = os.pipe()
        self.proc = subprocess.Popen(["Xvfb", "-displayfd", str(w), "-screen", "0", "1024x768x24", "-nolisten",
                                      "tcp"], pass_fds=(w,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(w)
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(r, 16)
            if not chunk:
                break
            number += chunk
        os.close(r)
        self.name = ":" + number.decode().strip()

    def respond(self, boxes, answers, env):
        keys = []
        pending = list(answers)
        for kind, _text in boxes:
            if kind == "question":
                keys.append("Return" if (pending.pop(0) if pending else "no") == "yes" else "n")
            else:
                keys.append("Return")
        script = os.path.join(HERE, "respond.sh")
        return subprocess.Popen(["sh", script] + keys, env=env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)

    def stop(self):
        self.proc.send_signal(signal.SIGTERM)
        try:
            self.proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.proc.kill()


# ---------------------------------------------------------------- cases

def substitute(value, mapping):
    if isinstance(value, str):
        for k, v in mapping.items():
            value = value.replace("{" + k + "}", v)
        return value
    if isinstance(value, list):
        return [substitute(v, mapping) for v in value]
    if isinstance(value, dict):
        return {k: substitute(v, mapping) for k, v in value.items()}
    return value


REPO = os.path.dirname(os.path.dirname(HERE))


def lay_out(root, files, target):
    for path, content in files.items():
        if isinstance(content, dict) and "from" in content:
            with open(os.path.join(REPO, content["from"]), "rb") as f:
                content = f.read().decode("latin-1")
        elif isinstance(content, dict) and "pad_to" in content:
            content = content["text"].rjust(content["pad_to"])
            assert len(content) == files[path]["pad_to"], path
        elif isinstance(content, dict):
            content = content.get(target.name)
            if content is None:
                continue
        full = os.path.join(root, path)
        if content is None or path.endswith("/"):
            os.makedirs(full, exist_ok=True)
            continue
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "wb") as f:
            f.write(content.encode("latin-1"))
        if content.startswith("#!"):
            os.chmod(full, 0o755)


def in_case_folder(prefix, keep, run):
    """run(root) in a new temporary folder, removed afterwards unless kept;
    its problems, or a time-out as one."""
    root = tempfile.mkdtemp(prefix=prefix)
    try:
        return run(root)
    except subprocess.TimeoutExpired:
        return ["timed out"]
    finally:
        if not keep:
            shutil.rmtree(root, ignore_errors=True)


def run_case(case, target, keep):
    return in_case_folder("tolvane-case-", keep, lambda root: run_case_in(case, target, keep, root))


def run_case_in(case, target, keep, root):
    launcher_dir = case.get("launcher", "medium")
    medium = os.path.join(root, launcher_dir)
    cwd = os.path.join(root, case.get("cwd", launcher_dir))
    os.makedirs(medium, exist_ok=True)
    os.makedirs(cwd, exist_ok=True)
    installed = os.path.join(medium, "tolvane" + target.exe)
    typed = os.path.relpath(installed, cwd)
    if target.sep == "\\":
        typed = typed.replace("/", "\\")
    native_medium = target.native_path(medium)
    mapping = {"launcher": typed, "medium": native_medium, "sep": target.sep, "exe": target.exe}
    reg_mapping = dict(mapping, medium=native_medium.replace("\\", "\\\\"))
    c = substitute(dict(case, registry=None), mapping)
    registry = substitute(case.get("registry"), reg_mapping)
    lay_out(root, c.get("files", {}), target)
    shutil.copy(target.program(), installed)
    command = c.get("command", typed)
    if target.mode != "run":
        return run_checker_case(c, target, root, medium, cwd, command, registry, keep)
    code, out, boxes, err = target.run(c, root, installed, cwd, command, registry, c.get("answers", []),
                                       c.get("timeout", CASE_TIMEOUT))
    problems = check(c["expect"], root, code, out, boxes, target)
    if target.name == "wine":
        calls = [l.split("Call ", 1)[1] for l in err.split("\n") if ":Call " in l]
        for wanted in c["expect"].get("wine_calls", []):
            if not any(re.match(wanted, call) for call in calls):
                problems.append("no call %r in the relay trace" % wanted)
        for unwanted in c["expect"].get("wine_absent_calls", []):
            for call in calls:
                if re.match(unwanted, call):
                    problems.append("unexpected call %r in the relay trace" % call)
    if problems and keep:
        calls = [l for l in err.split("\n") if "MessageBoxA" in l and "load_list" not in l]
        problems.append("relayed calls:\n" + "\n".join(calls))
        problems.append("stderr ended:\n" + err[-3000:])
    return problems


def run_checker_case(case, target, root, medium, cwd, command, registry, keep):
    """The checker on a case's medium and command line: its plan must show
    what the launcher's run shows, and its check must report the error the
    run ends with first."""
    line = os.path.join(root, "commandline.txt")
    with open(line, "wb") as f:
        f.write(command.encode("latin-1"))
    if target.mode == "plan":
        args = ["--plan", "--json"]
        if registry is not None:
            reg = os.path.join(root, "registry.reg")
            with open(reg, "w", encoding="latin-1", newline="") as f:
                f.write(registry)
            args += ["--registry", target.native_path(reg)]
        for answer in case.get("answers", []):
            args += ["--answer", answer]
    else:
        args = ["--json"]
    args += ["--command-line-file", target.native_path(line), target.native_path(medium)]
    code, out, err = target.run_checker(args, cwd, case.get("timeout", CASE_TIMEOUT))
    try:
        data = json.loads(out.decode("latin-1"))
    except ValueError:
        return ["exit code %r, no JSON on standard output; stderr: %s" % (code, err[-2000:])]
    expect = case["expect"]
    problems = []
    if target.mode == "plan":
        exit_code = expect.get("exit", 0)
        if code != exit_code or data["exit"] != exit_code:
            problems.append("plan exit code %r (exit status %r), expected %r" % (data["exit"], code, exit_code))
        stdout = expect.get("stdout")
        if isinstance(stdout, dict):
            stdout = stdout.get(target.name)
        if stdout is not None and data["stdout"] != stdout:
            problems.append("plan stdout %r, expected %r" % (data["stdout"], stdout))
        boxes = [{"caption": "ORX Setup", "kind": kind, "text": text, "truncated": False}
                 for kind, text in data["boxes"]]
        want = expect.get("boxes", [])
        if len(want) != len(boxes) or not all(box_matches(w, a) for w, a in zip(want, boxes)):
            problems.append("plan boxes %r, expected %r" % (data["boxes"], want))
    else:
        errors = [f for f in data if f["severity"] == "error"]
        text = expect["boxes"][-1][1]
        if code != 1:
            problems.append("check exit status %r, expected 1" % code)
        if not errors:
            problems.append("check found no error, expected %r" % text)
        elif errors[0]["message"] != text:
            problems.append("check's first error %r (%s), expected %r" % (errors[0]["message"], errors[0]["code"], text))
    if problems and keep:
        problems.append("checker output:\n" + out.decode("latin-1")[-3000:])
    return problems


def run_findings_case(case, target, keep):
    """One of the checker's own cases.  Fields: name, files (as above),
    words (the launcher's command line words, after --), strict, args (the
    checker's whole argument list in place of the usual one; {medium} is the
    medium folder), expect: exit, findings ([severity, code, place, message],
    message optional; place is file:line:column, file, or "" for the medium
    as a whole), stderr (a text standard error must hold)."""
    return in_case_folder("tolvane-check-", keep, lambda root: run_findings_case_in(case, target, keep, root))


def run_findings_case_in(case, target, keep, root):
    medium = os.path.join(root, "medium")
    os.makedirs(medium, exist_ok=True)
    lay_out(root, case.get("files", {}), target)
    native = target.native_path(medium)
    if "args" in case:
        args = [a.replace("{medium}", native) for a in case["args"]]
    else:
        args = ["--json"] + (["--strict"] if case.get("strict") else []) + [native]
        if "words" in case:
            args += ["--"] + case["words"]
    code, out, err = target.run_checker(args, root, case.get("timeout", CASE_TIMEOUT))
    expect = case["expect"]
    problems = []
    if code != expect.get("exit", 0):
        problems.append("exit status %r, expected %r" % (code, expect.get("exit", 0)))
    if "stderr" in expect and expect["stderr"] not in err:
        problems.append("stderr %r does not hold %r" % (err, expect["stderr"]))
    if "findings" in expect:
        try:
            data = json.loads(out.decode("latin-1"))
        except ValueError:
            return problems + ["no JSON on standard output; stderr: " + err[-2000:]]
        got = []
        for f in data:
            place = f["file"] + (":%d:%d" % (f["line"], f["column"]) if f["line"] else "")
            got.append([f["severity"], f["code"], place, f["message"]])
        want = expect["findings"]
        same = len(got) == len(want) and all(g[:len(w)] == w for g, w in zip(got, want))
        if not same:
            problems.append("findings:\n       " + "\n       ".join(json.dumps(g, ensure_ascii=False) for g in got) +
                            "\n     expected:\n       " +
                            "\n       ".join(json.dumps(w, ensure_ascii=False) for w in want))
    if problems and keep:
        problems.append("root: " + root)
    return problems


def checker_skip(case, mode):
    """Why a case says nothing about the checker's `mode`, or None."""
    reason = case.get("skip", {}).get(mode)
    if reason or mode == "plan":
        return reason
    expect = case["expect"]
    boxes = expect.get("boxes", [])
    if expect.get("exit", 0) != 1 or not boxes or boxes[-1][0] != "error":
        return "the run ends without an error box"
    if case.get("registry") is not None or case.get("answers"):
        return "the error depends on the registry or the answers"
    return None


def box_matches(expected, actual):
    kind, text = expected
    if actual["kind"] != kind or actual["caption"] != "ORX Setup":
        return False
    if actual["truncated"]:
        # The relay trace cuts long strings: the part shown must match.
        return text.startswith(actual["text"])
    return actual["text"] == text


def expected_stdout(expect, target):
    """The exact bytes standard output must hold on `target`, or None.  On
    Windows standard output is a text-mode stream, so every line feed
    written comes out as CR LF; a case whose output differs otherwise gives
    it per target."""
    stdout = expect.get("stdout")
    if isinstance(stdout, dict):
        return stdout.get(target.name)
    if stdout is not None and target.name == "wine":
        return stdout.replace("\n", "\r\n")
    return stdout


def check(expect, root, code, out, boxes, target):
    problems = []
    if code != expect.get("exit", 0):
        problems.append("exit code %r, expected %r" % (code, expect.get("exit", 0)))
    stdout = expected_stdout(expect, target)
    if stdout is not None and out != stdout:
        problems.append("stdout %r, expected %r" % (out, stdout))
    want = expect.get("boxes", [])
    if len(want) != len(boxes) or not all(box_matches(w, a) for w, a in zip(want, boxes)):
        problems.append("boxes %r, expected %r" % ([[b["kind"], b["text"]] for b in boxes], want))
    for path, content in expect.get("files", {}).items():
        full = os.path.join(root, path)
        if not os.path.exists(full):
            problems.append("missing file " + path)
        elif content is not None:
            with open(full, "rb") as f:
                got = f.read().decode("latin-1").replace("\r\n", "\n")
            if got != content:
                problems.append("file %s holds %r, expected %r" % (path, got, content))
    for path in expect.get("absent", []):
        if os.path.exists(os.path.join(root, path)):
            problems.append("file %s should not exist" % path)
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--target", choices=["posix", "wine"], required=True)
    parser.add_argument("--modes", default="run",
                        help="comma-separated: run (the launcher), plan and check (the checker on each case)")
    parser.add_argument("--launcher", help="the launcher to test (mode run)")
    parser.add_argument("--checker", help="tolvane-check (modes plan and check)")
    parser.add_argument("--rawrun", help="wine: the helper exe that starts a raw command line")
    parser.add_argument("--wine", default="wine", help="wine: the Wine loader to use")
    parser.add_argument("--cases", default=os.path.join(HERE, "cases.json"))
    parser.add_argument("--checker-cases", default=os.path.join(os.path.dirname(HERE), "check", "cases.json"))
    parser.add_argument("--only", help="run only cases whose name contains this")
    parser.add_argument("--keep", action="store_true", help="keep case folders, show stderr on failure")
    args = parser.parse_args()
    modes = args.modes.split(",")
    for mode in modes:
        if mode not in ("run", "plan", "check", "findings"):
            parser.error("unknown mode " + mode)
    if "run" in modes and not args.launcher:
        parser.error("mode run needs --launcher")
    if set(modes) & {"plan", "check", "findings"} and not args.checker:
        parser.error("modes plan, check and findings need --checker")

    tables = {}
    for mode in modes:
        path = args.checker_cases if mode == "findings" else args.cases
        with open(path, encoding="utf-8") as f:
            tables[mode] = json.load(f)
        names = [c["name"] for c in tables[mode]]
        if len(set(names)) != len(names):
            sys.exit("duplicate case names in " + path)

    if args.target == "posix":
        target = PosixTarget(args.launcher, args.checker)
    else:
        target = WineTarget(args.launcher, args.checker, args.rawrun, args.wine)
        print("Wine runs %s" % ", ".join(p for p in (target.launcher, target.checker) if p))
        print("     %s" % os.environ.get("TOLVANE_I386_WAY", "as this machine starts it (not through tests/windows/i386.py)"))
        sys.stdout.flush()
    totals = [0, 0, 0]
    started = time.time()
    target.start()
    try:
        for mode in modes:
            target.mode = mode
            passed = failed = skipped = 0
            mode_started = time.time()
            print("== %s, mode %s: %s" % (target.name, mode, target.program()))
            for case in target.order(tables[mode]):
                if args.only and args.only not in case["name"]:
                    continue
                if mode == "run":
                    reason = case.get("skip", {}).get(target.name)
                elif mode == "findings":
                    reason = case.get("skip", {}).get(target.name)
                else:
                    reason = checker_skip(case, mode)
                if reason:
                    skipped += 1
                    print("skip %s: %s" % (case["name"], reason))
                    continue
                case_started = time.time()
                if mode == "findings":
                    problems = run_findings_case(case, target, args.keep)
                else:
                    problems = run_case(case, target, args.keep)
                took = "(%.1f s)" % (time.time() - case_started)
                if problems:
                    failed += 1
                    print("FAIL %s %s" % (case["name"], took))
                    for p in problems:
                        print("     " + p)
                else:
                    passed += 1
                    print("ok   %s %s" % (case["name"], took))
                sys.stdout.flush()
            print("%s target, mode %s: %d passed, %d failed, %d skipped, %.1f s" %
                  (target.name, mode, passed, failed, skipped, time.time() - mode_started))
            totals = [totals[0] + passed, totals[1] + failed, totals[2] + skipped]
            if not passed:
                totals[1] += 1
    finally:
        target.stop()
    print("%s target, %.1f s" % (target.name, time.time() - started))
    print("%d passed, %d failed, %d skipped" % tuple(totals))
    sys.exit(1 if totals[1] else 0)


if __name__ == "__main__":
    main()

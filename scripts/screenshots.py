#!/usr/bin/env python3
"""Takes the pictures of docs/shipping.md from the real tolvane.exe: its
three box kinds and a console, as Wine draws them under Xvfb.

Usage (make screenshots runs it so, where 32-bit code runs):
  tests/windows/i386.py -- screenshots.py build/windows/tolvane.exe docs/images

Each scene lays out a small medium, starts the exe, waits for its box,
grabs the box (or the console) from Xvfb's frame buffer and writes it as a
PNG.  Wine draws the windows' captions itself (no window manager runs), with
its own fonts.
"""

import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zlib

WIDTH, HEIGHT = 1024, 768


def run(args, env, **kwargs):
    return subprocess.run(args, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL, **kwargs)


def frame(fbdir):
    """(width, height, bytes per line, little-endian, pixels) of Xvfb's screen."""
    with open(os.path.join(fbdir, "Xvfb_screen0"), "rb") as f:
        data = f.read()
    header = struct.unpack(">25I", data[:100])
    header_size, width, height, byte_order, bytes_per_line, colours = (header[0], header[4], header[5], header[7],
                                                                       header[12], header[19])
    start = header_size + colours * 12
    return width, height, bytes_per_line, byte_order == 0, data[start:start + bytes_per_line * height]


def write_png(path, fbdir, x, y, w, h):
    width, height, stride, little, pixels = frame(fbdir)
    x, y = max(0, x), max(0, y)
    w, h = min(w, width - x), min(h, height - y)
    order = "<I" if little else ">I"
    rows = []
    for row in range(y, y + h):
        line = bytearray(b"\0")
        for column in range(x, x + w):
            (value,) = struct.unpack_from(order, pixels, row * stride + column * 4)
            line += bytes(((value >> 16) & 255, (value >> 8) & 255, value & 255))
        rows.append(bytes(line))

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

    png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0)) +
           chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b""))
    with open(path, "wb") as f:
        f.write(png)
    print("screenshots: %s (%dx%d)" % (path, w, h))


class Session:
    def __init__(self, work):
        self.work = work
        self.fbdir = os.path.join(work, "fb")
        os.makedirs(self.fbdir)
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                                      "%dx%dx24" % (WIDTH, HEIGHT), "-fbdir", self.fbdir, "-nolisten", "tcp"],
                                     pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
        os.close(read_end)
        self.env = dict(os.environ, WINEPREFIX=os.path.join(work, "prefix"), WINEARCH="win32", WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=", DISPLAY=":" + number.decode().strip())
        for server in ("/usr/lib/wine/wineserver64", "/usr/lib/wine/wineserver32"):
            if os.path.exists(server):
                self.env["WINESERVER"] = server
                break
        run(["wine", "wineboot", "-i"], self.env, timeout=300)
        # No window manager runs: Wine draws the captions, with Marlett for
        # their buttons.
        run(["wine", "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Decorated", "/t", "REG_SZ", "/d", "N",
             "/f"], self.env, timeout=120)
        # A console of 80 columns and 8 lines.
        run(["wine", "reg", "add", r"HKCU\Console", "/v", "WindowSize", "/t", "REG_DWORD", "/d", "0x00080050",
             "/f"], self.env, timeout=120)
        fonts = os.path.join(self.env["WINEPREFIX"], "drive_c", "windows", "Fonts")
        if os.path.exists("/usr/share/wine/fonts/marlett.ttf"):
            shutil.copy("/usr/share/wine/fonts/marlett.ttf", fonts)

    def xdotool(self, *args):
        return subprocess.run(["xdotool"] + list(args), env=self.env, stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL).stdout.decode()

    def window(self, name, timeout=60):
        end = time.time() + timeout
        while time.time() < end:
            found = self.xdotool("search", "--onlyvisible", "--name", name).split()
            if found:
                time.sleep(1.5)  # drawn completely
                return found[0]
            time.sleep(0.3)
        raise RuntimeError("no window %r appeared" % name)

    def geometry(self, window):
        values = dict(line.split("=", 1) for line in self.xdotool("getwindowgeometry", "--shell", window).split())
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def grab(self, window, path):
        self.xdotool("mousemove", str(WIDTH - 1), str(HEIGHT - 1))
        time.sleep(0.5)
        write_png(path, self.fbdir, *self.geometry(window))

    def press(self, window, key):
        """Presses `key` in `window` and waits until the window has gone."""
        self.xdotool("windowfocus", "--sync", window)
        self.xdotool("key", "--clearmodifiers", key)
        self.xdotool("keyup", key)
        end = time.time() + 30
        while time.time() < end and window in self.xdotool("search", "--onlyvisible", "--name", ".*").split():
            time.sleep(0.2)

    def close(self):
        run([self.env["WINESERVER"], "-k"], self.env, timeout=60)
        self.xvfb.terminate()
        self.xvfb.wait(timeout=10)


def medium(session, exe, name, files):
    """A medium in the folder NAME on the Wine prefix's drive C:, so that
    the path a window shows is the same at every run."""
    folder = os.path.join(session.env["WINEPREFIX"], "drive_c", name)
    os.makedirs(folder)
    for path, text in files.items():
        full = os.path.join(folder, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "wb") as f:
            f.write(text.encode("cp1252"))
    shutil.copy(exe, os.path.join(folder, "tolvane.exe"))
    return folder


def scene(session, folder, command, shots):
    """Starts the exe in `folder` with `command`; `shots` is a list of
    (window name, picture or None, key that closes it)."""
    launcher = subprocess.Popen(["wine"] + command, cwd=folder, env=session.env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        for name, picture, key in shots:
            window = session.window(name)
            if picture:
                session.grab(window, picture)
            session.press(window, key)
        launcher.wait(timeout=60)
    finally:
        if launcher.poll() is None:
            launcher.kill()


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    exe, out = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    os.makedirs(out, exist_ok=True)
    work = tempfile.mkdtemp(prefix="tolvane-shots-")
    session = Session(work)
    try:
        box = "^ORX Setup$"
        scene(session, medium(session, exe, "warning", {}), ["tolvane.exe", "readme.txt"],
              [(box, os.path.join(out, "box-warning.png"), "Return")])
        scene(session, medium(session, exe, "error", {"tolvane.cfg": "/cf:setup\\setup.jar\r\n"}), ["tolvane.exe"],
              [(box, os.path.join(out, "box-error.png"), "Return")])
        scene(session, medium(session, exe, "question", {"tolvane.cfg": "/javainst:jre-setup.exe /java:1.4\r\n",
                                                      "jre-setup.exe": ""}), ["tolvane.exe"],
              [(box, os.path.join(out, "box-question.png"), "n"), (box, None, "Return")])
        # The console, with a line of the launcher's own (a version it does
        # not know) above the error box, which is moved out of its way.
        folder = medium(session, exe, "Setup", {"tolvane.cfg": "\"/print:Example Product 1.0 setup\"\r\n"
                                                              "\"/print:Checking the distribution...\"\r\n"
                                                              "/java:1.5\r\n"})
        launcher = subprocess.Popen(["wine", "wineconsole", "tolvane.exe"], cwd=folder, env=session.env,
                                    stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            error = session.window(box)
            session.xdotool("windowmove", error, str(WIDTH - 300), str(HEIGHT - 130))
            console = session.window("tolvane.exe")
            session.grab(console, os.path.join(out, "console.png"))
            session.press(error, "Return")
            launcher.wait(timeout=60)
        finally:
            if launcher.poll() is None:
                launcher.kill()
    finally:
        session.close()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()

"""The installed program: `cmake --install` into a temporary prefix, then the
desktop's files are checked with the real validators, and the program run
from there must find its decoder library, network module and help pages in
that prefix, never in the build tree it was built in.

    python3 tests/install/test_install.py BUILD_DIR FIXTURE [unittest args]
"""

import gzip
import http.server
import os
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import threading
import time
import unittest

BUILD = FIXTURE = None
NAME = "org.orvantis.Brelune3"


def install(prefix):
    subprocess.run(["cmake", "--install", BUILD, "--prefix", prefix], check=True, stdout=subprocess.DEVNULL)


def quiet_env(home):
    """A private HOME and XDG folders, no display, sound or session bus of the user's."""
    env = {k: v for k, v in os.environ.items()
           if not k.lower().endswith("_proxy") and k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    runtime = os.path.join(home, "runtime")
    os.makedirs(runtime, mode=0o700, exist_ok=True)
    env.update(HOME=home, XDG_CONFIG_HOME=os.path.join(home, "config"), XDG_RUNTIME_DIR=runtime,
               XDG_CACHE_HOME=os.path.join(home, "cache"), QT_QPA_PLATFORM="offscreen",
               SDL_AUDIODRIVER="dummy", DBUS_SESSION_BUS_ADDRESS="unix:path=" + os.path.join(home, "no-bus"),
               QT_LOGGING_RULES="qt.qpa.*=false")
    return env


class Prefix(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp(prefix="brelune3-install-")
        self.addCleanup(shutil.rmtree, self.tmp, True)
        self.prefix = os.path.join(self.tmp, "prefix")
        install(self.prefix)

    def path(self, *parts):
        return os.path.join(self.prefix, *parts)


class DesktopFilesTest(Prefix):
    def test_desktop_entry_and_metainfo_pass_the_validators(self):
        desktop = self.path("share", "applications", NAME + ".desktop")
        metainfo = self.path("share", "metainfo", NAME + ".metainfo.xml")
        for command in (["desktop-file-validate", desktop],
                        ["appstreamcli", "validate", "--no-net", "--strict", metainfo]):
            with self.subTest(command=command[0]):
                result = subprocess.run(command, capture_output=True, text=True)
                self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
                self.assertNotIn("error", (result.stdout + result.stderr).lower())
        with open(desktop, encoding="utf-8") as f:
            entry = dict(line.rstrip("\n").split("=", 1) for line in f if "=" in line)
        self.assertEqual(entry["MimeType"], "audio/mpeg;audio/x-mpegurl;audio/mpegurl;")
        self.assertEqual(entry["Exec"], "brelune3 %U")
        self.assertEqual(entry["Icon"], NAME)

    def test_icons_manual_pages_and_bus_entry_are_where_the_desktop_looks(self):
        for size in (16, 22, 24, 32, 48, 64, 128, 256):
            with self.subTest(size=size):
                with open(self.path("share", "icons", "hicolor", "%dx%d" % (size, size), "apps",
                                    NAME + ".png"), "rb") as f:
                    head = f.read(24)
                self.assertEqual(head[:8], b"\x89PNG\r\n\x1a\n")
                self.assertEqual(struct.unpack(">II", head[16:24]), (size, size))
        with open(self.path("share", "icons", "hicolor", "scalable", "apps", NAME + ".svg"), encoding="utf-8") as f:
            self.assertIn("<svg", f.read())
        for page in ("brelune3.1.gz", "brelune3-ctl.1.gz"):
            with gzip.open(self.path("share", "man", "man1", page), "rt", encoding="utf-8") as f:
                self.assertTrue(f.read().startswith(".TH "), page)
        with open(self.path("share", "dbus-1", "services", NAME + ".service"), encoding="utf-8") as f:
            self.assertIn("Exec=%s -DDE\n" % self.path("bin", "brelune3"), f.read())
        with open(self.path("share", "doc", "brelune3", "copyright"), encoding="utf-8") as f:
            self.assertIn("MIT License", f.read())


class StationHandler(http.server.BaseHTTPRequestHandler):
    """Serves the fixture at any path, slowly enough that the player is still playing when looked at."""

    def do_GET(self):
        with open(FIXTURE, "rb") as f:
            body = f.read()
        self.send_response(200)
        self.send_header("Content-Type", "audio/mpeg")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        try:
            for i in range(0, len(body), 4096):
                self.wfile.write(body[i:i + 4096])
                time.sleep(0.02)
        except OSError:
            pass

    def log_message(self, *args):
        pass


def mapped_files(pid):
    with open("/proc/%d/maps" % pid, encoding="utf-8", errors="replace") as f:
        return {line.split(None, 5)[5].strip() for line in f if len(line.split(None, 5)) == 6}


class InstalledProgramTest(Prefix):
    def run_installed(self, *args):
        return subprocess.run([self.path("bin", "brelune3"), *args], env=quiet_env(self.tmp),
                              capture_output=True, text=True, timeout=30)

    def test_version_and_help_come_from_the_prefix(self):
        version = self.run_installed("--version")
        self.assertEqual(version.returncode, 0, version.stderr)
        self.assertIn("Brelune3 ", version.stdout)
        shown = self.run_installed("--help")
        self.assertEqual(shown.returncode, 0, shown.stderr)
        index = self.path("share", "brelune3", "help", "index.html")
        self.assertIn("help pages: %s\n" % index, shown.stdout)
        self.assertTrue(os.path.isfile(index))
        ctl = subprocess.run([self.path("bin", "brelune3-ctl"), "--help"], env=quiet_env(self.tmp),
                             capture_output=True, text=True, timeout=30)
        self.assertEqual(ctl.returncode, 0, ctl.stderr)

    def test_playing_a_station_maps_the_decoder_and_its_network_module_from_the_prefix(self):
        server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), StationHandler)
        threading.Thread(target=server.serve_forever, daemon=True).start()
        self.addCleanup(server.server_close)
        self.addCleanup(server.shutdown)
        location = "http://127.0.0.1:%d/station.mp3" % server.server_address[1]
        log = open(os.path.join(self.tmp, "player.log"), "w+")
        self.addCleanup(log.close)
        player = subprocess.Popen([self.path("bin", "brelune3"), location], env=quiet_env(self.tmp),
                                  stdout=log, stderr=subprocess.STDOUT)
        self.addCleanup(player.wait, 10)
        self.addCleanup(player.kill)

        private = self.path("lib")
        deadline = time.monotonic() + 30
        ours = set()
        while time.monotonic() < deadline and player.poll() is None:
            ours = {f for f in mapped_files(player.pid) if os.path.basename(f).startswith("libmpxdec")}
            if any(f.endswith("libmpxdec_http.so") for f in ours):
                break
            time.sleep(0.1)
        log.seek(0)
        self.assertIsNone(player.poll(), log.read())
        names = sorted(os.path.basename(f) for f in ours)
        self.assertEqual(names, ["libmpxdec.so", "libmpxdec_http.so"], log.read())
        for f in ours:
            self.assertTrue(f.startswith(private + os.sep), f)
            self.assertEqual(os.path.basename(os.path.dirname(f)), "brelune3", f)
        # Asked to end, the player closes as its Exit does.
        player.send_signal(signal.SIGTERM)
        self.assertEqual(player.wait(15), 0)


if __name__ == "__main__":
    BUILD, FIXTURE = sys.argv[1], sys.argv[2]
    unittest.main(argv=[sys.argv[0]] + sys.argv[3:])

"""The release packages under Wine: a silent install, the shell started from its Start-menu
shortcut, an upgrade, a silent uninstall that removes only what was installed, and the portable
zip with its catalogue file.

usage: package_test.py ROOT BUILD
"""
import os
import shutil
import struct
import subprocess
import sys
import time
import unittest
import zipfile

ROOT, BUILD = sys.argv[1], sys.argv[2]
WINE_RUN = os.path.join(ROOT, "scripts", "wine-run")
PACKAGES = os.path.join(BUILD, "packages")
PREFIX = os.path.join(BUILD, "wine", "prefix")
DRIVE_C = os.path.join(PREFIX, "drive_c")
INSTALL_DIR = os.path.join(DRIVE_C, "Program Files", "Vantrel 2 Demo")
PORTABLE_DIR = os.path.join(DRIVE_C, "Vantrel2Demo")
SETTINGS_KEY = r"HKCU\Software\Corvane\Vantrel2Demo"
NEIGHBOUR_KEY = r"HKCU\Software\Corvane\Another Game"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
TABLES = ["Harbour Lights", "Comet Run", "Midnight Carnival"]
SHIPPED = ["pinballshell.exe", "pinballcat.exe", "logo.avi", "tables.txt", "table-programs.txt",
           "harbour.exe", "harbour.bmp", "comet.exe", "comet.bmp", "carnival.exe", "carnival.bmp"]


def wine(*words, cwd=None):
    return subprocess.run([WINE_RUN, *words], capture_output=True, text=True, cwd=cwd,
                          timeout=120)


def package(suffix):
    names = [name for name in os.listdir(PACKAGES) if name.endswith(suffix)]
    assert len(names) == 1, names
    return os.path.join(PACKAGES, names[0])


def key_exists(key):
    return wine("reg", "query", key).returncode == 0


def uninstall_entries():
    """The Add/Remove entries that name our product."""
    listing = wine("reg", "query", UNINSTALL_KEY, "/s").stdout
    entries, current = [], None
    for line in listing.splitlines():
        if line.startswith("HKEY_"):
            current = {"key": line.strip()}
            entries.append(current)
        elif current is not None:
            parts = line.split(None, 2)
            if len(parts) == 3:
                current[parts[0]] = parts[2].strip()
    return [entry for entry in entries if entry.get("DisplayName") == "Vantrel! 2 Demo"]


def start_menu_links():
    found = []
    for top, _, files in os.walk(DRIVE_C):
        if "Start Menu" in top and os.path.basename(top) == "Vantrel! 2 Demo":
            found += [os.path.join(top, name) for name in files if name.endswith(".lnk")]
    return found


def link_target(path):
    """The local path that a shell link points at, read from its LinkInfo block."""
    data = open(path, "rb").read()
    flags = struct.unpack_from("<I", data, 0x14)[0]
    offset = 0x4C
    if flags & 1:
        offset += 2 + struct.unpack_from("<H", data, offset)[0]
    assert flags & 2, "the link carries no LinkInfo"
    base = struct.unpack_from("<I", data, offset + 0x10)[0]
    end = data.index(b"\0", offset + base)
    return data[offset + base:end].decode("mbcs" if os.name == "nt" else "latin-1")


def wait_until(condition, seconds):
    deadline = time.time() + seconds
    while time.time() < deadline:
        if condition():
            return True
        time.sleep(0.2)
    return condition()


def display():
    for name in os.listdir(os.path.join(BUILD, "wine")):
        if name.startswith("display-") and name.endswith("x8"):
            with open(os.path.join(BUILD, "wine", name)) as state:
                return ":" + state.read().split()[0]
    raise AssertionError("no display")


def shell_window():
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Vantrel! 2 Demo$"],
                           capture_output=True, text=True, env={**os.environ, "DISPLAY": display()})
    return found.stdout.split()


def run_shell(windows_path, case):
    """Starts the shell, waits for its window (past the intro movie) and closes it."""
    shell = subprocess.Popen([WINE_RUN, windows_path], stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL)
    try:
        case.assertTrue(wait_until(lambda: shell_window(), 30), "the shell showed no window")
        case.assertIsNone(shell.poll(), "the shell ended while its window was up")
    finally:
        wine("taskkill", "/f", "/im", "pinballshell.exe")
        shell.wait(timeout=30)


def listed_tables():
    return wine(r"C:\Program Files\Vantrel 2 Demo\pinballcat.exe", "list").stdout


def windows_path(unix_path):
    return "C:" + unix_path[len(DRIVE_C):].replace("/", "\\")


def remove_everything():
    uninstaller = os.path.join(INSTALL_DIR, "Uninstall.exe")
    if os.path.exists(uninstaller):
        wine(windows_path(uninstaller), "/S")
        wait_until(lambda: not os.path.exists(uninstaller), 30)
    for folder in (INSTALL_DIR, PORTABLE_DIR):
        shutil.rmtree(folder, ignore_errors=True)
    for key in (SETTINGS_KEY, NEIGHBOUR_KEY):
        wine("reg", "delete", key, "/f")


class Installer(unittest.TestCase):
    def setUp(self):
        remove_everything()

    def tearDown(self):
        remove_everything()

    def install(self):
        result = wine(package(".exe"), "/S")
        self.assertEqual(result.returncode, 0, result.stderr)

    def test_install_upgrade_and_uninstall(self):
        self.install()
        for name in SHIPPED:
            self.assertTrue(os.path.isfile(os.path.join(INSTALL_DIR, name)), name)
        self.assertFalse(os.path.exists(os.path.join(INSTALL_DIR, "demo-tables.reg")))
        listing = listed_tables()
        for table in TABLES:
            self.assertIn(table, listing)
        check = wine(r"C:\Program Files\Vantrel 2 Demo\pinballcat.exe", "check")
        self.assertEqual(check.returncode, 0, check.stdout)

        links = start_menu_links()
        targets = {os.path.basename(link): link_target(link) for link in links}
        self.assertEqual(len(links), 4, targets)
        shell_target = [t for t in targets.values() if t.lower().endswith("pinballshell.exe")]
        self.assertEqual(shell_target, [r"C:\Program Files\Vantrel 2 Demo\pinballshell.exe"])
        run_shell(shell_target[0], self)

        entries = uninstall_entries()
        self.assertEqual(len(entries), 1, entries)
        self.assertEqual(entries[0].get("DisplayVersion"), "3.0.0.0")
        self.assertEqual(entries[0].get("Publisher"), "Corvane")
        self.assertIn("Uninstall.exe", entries[0].get("UninstallString", ""))
        self.assertGreater(int(entries[0].get("EstimatedSize", "0x0"), 16), 0)

        # An upgrade: the same package again over the first.
        self.install()
        self.assertEqual(len(uninstall_entries()), 1)
        self.assertEqual(len(start_menu_links()), 4)
        run_shell(shell_target[0], self)

        notes = os.path.join(INSTALL_DIR, "my notes.txt")
        open(notes, "w").write("mine")
        wine("reg", "add", NEIGHBOUR_KEY, "/v", "Keep", "/d", "yes", "/f")
        uninstaller = os.path.join(INSTALL_DIR, "Uninstall.exe")
        result = wine(windows_path(uninstaller), "/S")
        self.assertEqual(result.returncode, 0, result.stderr)
        # The uninstaller runs from a copy of itself and removes the original when done.
        self.assertTrue(wait_until(lambda: not os.path.exists(uninstaller), 30))
        self.assertTrue(wait_until(lambda: not uninstall_entries(), 10))
        self.assertEqual(sorted(os.listdir(INSTALL_DIR)), ["my notes.txt"])
        self.assertEqual(start_menu_links(), [])
        self.assertFalse(key_exists(SETTINGS_KEY))
        self.assertTrue(key_exists(NEIGHBOUR_KEY))
        self.assertFalse(key_exists(r"HKLM\Software\Corvane\Vantrel 2 Demo"))


class PortableZip(unittest.TestCase):
    def setUp(self):
        remove_everything()

    def tearDown(self):
        remove_everything()

    def test_unpacked_shell_runs_with_demo_catalogue(self):
        zipfile.ZipFile(package(".zip")).extractall(DRIVE_C)
        for name in SHIPPED + ["demo-tables.reg"]:
            self.assertTrue(os.path.isfile(os.path.join(PORTABLE_DIR, name)), name)
        tool = r"C:\Vantrel2Demo\pinballcat.exe"
        result = wine(tool, "import", "demo-tables.reg", cwd=PORTABLE_DIR)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        listing = wine(tool, "list").stdout
        for table in TABLES:
            self.assertIn(table, listing)
        check = wine(tool, "check")
        self.assertEqual(check.returncode, 0, check.stdout)
        run_shell(r"C:\Vantrel2Demo\pinballshell.exe", self)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)

"""The release packages under Wine: a silent install, the shell started from its Start-menu
shortcut and showing the demo tables' pictures, an upgrade, a silent uninstall that removes only
what was installed, and the portable zip unpacked into a folder of its own with its catalogue
file.

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
# The shell's pictures are compared colour for colour with the art, which a display of 256
# colours does not show (see window_pixels_test).
os.environ["PINBALL_XVFB_DEPTH"] = "24"
WINE_RUN = os.path.join(ROOT, "scripts", "wine-run")
SHOWN_PICTURES = os.path.join(BUILD, "tests", "shown_pictures.exe")
PACKAGES = os.path.join(BUILD, "packages")
PREFIX = os.path.join(BUILD, "wine", "prefix")
DRIVE_C = os.path.join(PREFIX, "drive_c")
INSTALL_DIR = os.path.join(DRIVE_C, "Program Files", "Vantrel 2 Demo")
# The zip is unpacked elsewhere than a folder its files could name, into one with a blank.
UNPACK_DIR = os.path.join(DRIVE_C, "Pinball Games")
PORTABLE_DIR = os.path.join(UNPACK_DIR, "Vantrel2Demo")
SETTINGS_KEY = r"HKCU\Software\Corvane\Vantrel2Demo"
NEIGHBOUR_KEY = r"HKCU\Software\Corvane\Another Game"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
TABLES = ["Harbour Lights", "Comet Run", "Midnight Carnival"]
CD_TABLE = "Deep Space Rescue"
STEMS = ["harbour", "comet", "carnival"]
# What the demo tables show: their pictures as the build drew them.
DEMO_PICTURES = ["Z:" + os.path.join(BUILD, "table-art", stem + ".bmp").replace("/", "\\")
                 for stem in STEMS]
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
    with open(path, "rb") as link:
        data = link.read()
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


def run_shell(windows_path, case, pictures):
    """Starts the shell, checks that its window (past the intro movie) shows each table's
    picture or placeholder as shown_pictures.cpp reads them, and ends the shell."""
    shell = subprocess.Popen([WINE_RUN, windows_path], stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL)
    try:
        shown = wine(SHOWN_PICTURES, *pictures)
        case.assertEqual(shown.returncode, 0, shown.stdout + shown.stderr)
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
    for folder in (INSTALL_DIR, UNPACK_DIR):
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
        tool = r"C:\Program Files\Vantrel 2 Demo\pinballcat.exe"
        check = wine(tool, "check")
        self.assertEqual(check.returncode, 0, check.stdout)

        links = start_menu_links()
        targets = {os.path.basename(link): link_target(link) for link in links}
        self.assertEqual(len(links), 4, targets)
        shell_target = [t for t in targets.values() if t.lower().endswith("pinballshell.exe")]
        self.assertEqual(shell_target, [r"C:\Program Files\Vantrel 2 Demo\pinballshell.exe"])
        run_shell(shell_target[0], self, DEMO_PICTURES)

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
        # A table of the user's on the CD in drive E:, which shows the shell's "on CD" picture;
        # added after the upgrade, which uninstalls the old copy first, settings and all.
        added = wine(tool, "add", CD_TABLE, r"E:\SPACE\space.exe", "--cd", "Vantrel 2 Disc 2")
        self.assertEqual(added.returncode, 0, added.stdout + added.stderr)
        run_shell(shell_target[0], self, DEMO_PICTURES + ["placeholder:pb_oncd_bmp:" + CD_TABLE])

        notes = os.path.join(INSTALL_DIR, "my notes.txt")
        with open(notes, "w") as mine:
            mine.write("mine")
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
        zipfile.ZipFile(package(".zip")).extractall(UNPACK_DIR)
        for name in SHIPPED + ["demo-tables.reg"]:
            self.assertTrue(os.path.isfile(os.path.join(PORTABLE_DIR, name)), name)
        folder = windows_path(PORTABLE_DIR)
        catalogue = folder + r"\demo-tables.reg"
        # Plain regedit reads the file too, and keeps its relative names as they are.
        result = wine("reg", "import", catalogue)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        stored = wine("reg", "query", SETTINGS_KEY + "\\" + TABLES[0], "/v", "Table Exe").stdout
        self.assertRegex(stored, r"Table Exe\s+REG_SZ\s+harbour\.exe\s")

        tool = folder + r"\pinballcat.exe"
        result = wine(tool, "import", "demo-tables.reg", cwd=PORTABLE_DIR)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        listing = wine(tool, "list").stdout
        for table, stem in zip(TABLES, STEMS):
            self.assertIn(table, listing)
            self.assertIn(r"executable  %s\%s.exe  (fixed drive)" % (folder, stem), listing)
            self.assertIn(r"picture     %s\%s.bmp" % (folder, stem), listing)
        check = wine(tool, "check")
        self.assertEqual(check.returncode, 0, check.stdout)
        run_shell(folder + r"\pinballshell.exe", self, DEMO_PICTURES)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)

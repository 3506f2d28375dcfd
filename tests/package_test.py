"""The release packages under Wine: a silent install, the shell started from its Start-menu
shortcut and showing the demo tables' pictures, an upgrade that keeps the player's tables and
settings (also over an earlier release, into another folder), a silent uninstall that removes
only what was installed, and the portable zip unpacked into a folder of its own with its
catalogue file.

usage: package_test.py ROOT BUILD
"""
import os
import re
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
# A 64-bit build's packages, made only to be tested, lie in a folder of their own.
PACKAGES = os.path.join(BUILD, "packages" if os.environ.get("PINBALL_ARCH", "x86") == "x86"
                        else "packages-x64")
PREFIX = os.path.join(BUILD, "wine", "prefix")
DRIVE_C = os.path.join(PREFIX, "drive_c")
INSTALL_DIR = os.path.join(DRIVE_C, "Program Files", "Vantrel 2 Demo")
INSTALL_DIR_X86 = os.path.join(DRIVE_C, "Program Files (x86)", "Vantrel 2 Demo")
# Another folder for an upgrade, given with /D= (which takes no quotes, hence no blank).
GAMES_DIR = os.path.join(DRIVE_C, "Games")
MOVED_DIR = os.path.join(GAMES_DIR, "Vantrel2")
# The zip is unpacked elsewhere than a folder its files could name, into one with a blank.
UNPACK_DIR = os.path.join(DRIVE_C, "Pinball Games")
PORTABLE_DIR = os.path.join(UNPACK_DIR, "Vantrel2Demo")
SETTINGS_KEY = r"HKCU\Software\Corvane\Vantrel2Demo"
NEIGHBOUR_KEY = r"HKCU\Software\Corvane\Another Game"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
# Set in the Add/Remove entry by installers whose uninstaller keeps the settings when an upgrade
# runs it; an earlier release's entry lacks it.
KEEPS_SETTINGS = "UpgradeKeepsSettings"
TABLES = ["Harbour Lights", "Comet Run", "Midnight Carnival"]
CD_TABLE = "Deep Space Rescue"
STEMS = ["harbour", "comet", "carnival"]
# What the demo tables show: their pictures as the build drew them.
DEMO_PICTURES = ["Z:" + os.path.join(BUILD, "table-art", stem + ".bmp").replace("/", "\\")
                 for stem in STEMS]
# The catalogue as the player leaves it before an upgrade (see change_catalogue), and what the
# shell shows for it: the CD table, its disc out, shows the shell's "on CD" placeholder.
PLAYERS_ORDER = [TABLES[2], TABLES[0], TABLES[1], CD_TABLE]
PLAYERS_PICTURES = [DEMO_PICTURES[2], DEMO_PICTURES[0], DEMO_PICTURES[1],
                    "placeholder:pb_oncd_bmp:" + CD_TABLE]
LAST_PLAYED = TABLES[1]
# A silent install takes a few seconds; one that waits on a box nobody sees never ends.
INSTALL_TIMEOUT = 60
SHIPPED = ["pinballshell.exe", "pinballcat.exe", "logo.avi", "tables.txt", "table-programs.txt",
           "harbour.exe", "harbour.bmp", "comet.exe", "comet.bmp", "carnival.exe", "carnival.bmp"]


# Wine gives a program the language of LANG and LC_ALL.
GERMAN = {"LANG": "de_DE.UTF-8", "LC_ALL": "de_DE.UTF-8"}
# The Start-menu links of an installation under German: the shell's name, and the guides' and
# the uninstaller's in German, each with what it opens.
GERMAN_LINKS = {"Vantrel! 2 Demo.lnk": "pinballshell.exe",
                "Anleitung zu den Tischen.lnk": "tables.txt",
                "Anleitung für Tischprogramme.lnk": "table-programs.txt",
                "Deinstallieren.lnk": "Uninstall.exe"}


# Wine's console programs (reg, taskkill) write to a pipe in the OEM code page of their language:
# 437 for English, as for a program without a language, 850 for the other languages of Western
# Europe. Our own console programs write in the ANSI code page, 1252 for all of them.
OEM_CODE_PAGE = "cp437"
WESTERN_OEM_CODE_PAGE = "cp850"
ANSI_CODE_PAGE = "cp1252"


def oem_code_page(language):
    locale = (language or {}).get("LC_ALL") or (language or {}).get("LANG") or ""
    western = locale.split(".")[0].split("_")[0] in ("de", "fr", "es", "it", "nl")
    return WESTERN_OEM_CODE_PAGE if western else OEM_CODE_PAGE


def wine(*words, cwd=None, timeout=120, language=None, encoding=None):
    """Runs a program under Wine; `language` adds the variables that give it a language. Its
    output is read in `encoding`, by default the OEM code page of that language."""
    result = subprocess.run([WINE_RUN, *words], capture_output=True, cwd=cwd, timeout=timeout,
                            env=dict(os.environ, **language) if language else None)
    code_page = encoding or oem_code_page(language)
    result.stdout = result.stdout.decode(code_page)
    result.stderr = result.stderr.decode(code_page)
    return result


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


def windows_path(unix_path):
    return "C:" + unix_path[len(DRIVE_C):].replace("/", "\\")


def pinballcat(*words, folder=INSTALL_DIR):
    return wine(windows_path(os.path.join(folder, "pinballcat.exe")), *words,
                encoding=ANSI_CODE_PAGE)


def listed_order(folder=INSTALL_DIR):
    listing = pinballcat("list", folder=folder).stdout
    return re.findall(r"^Table\d+: (.*?)\s*$", listing, re.M)


def settings_value(name, table=None):
    """A value of the settings key or of a table's subkey as reg shows it, or None."""
    key = SETTINGS_KEY + ("\\" + table if table else "")
    listing = wine("reg", "query", key, "/v", name).stdout
    found = re.search(r"^\s+%s\s+REG_\w+\s+(.*?)\s*$" % re.escape(name), listing, re.M)
    return found.group(1) if found else None


def remove_everything():
    # An installer that a failed test left waiting.
    wine("taskkill", "/f", "/im", os.path.basename(package(".exe")))
    for folder in (INSTALL_DIR, MOVED_DIR):
        uninstaller = os.path.join(folder, "Uninstall.exe")
        if os.path.exists(uninstaller):
            wine(windows_path(uninstaller), "/S")
            wait_until(lambda: not os.path.exists(uninstaller), 30)
    # The folder a 64-bit installer that took the 32-bit Program Files would have filled.
    for folder in (INSTALL_DIR, GAMES_DIR, UNPACK_DIR, INSTALL_DIR_X86):
        shutil.rmtree(folder, ignore_errors=True)
    # What an installation whose uninstaller could not run leaves behind.
    for entry in uninstall_entries():
        wine("reg", "delete", entry["key"], "/f")
    for link in start_menu_links():
        shutil.rmtree(os.path.dirname(link), ignore_errors=True)
    for key in (SETTINGS_KEY, NEIGHBOUR_KEY):
        wine("reg", "delete", key, "/f")


class Installer(unittest.TestCase):
    def setUp(self):
        remove_everything()

    def tearDown(self):
        remove_everything()

    def install(self, *words, language=None):
        result = wine(package(".exe"), "/S", *words, timeout=INSTALL_TIMEOUT, language=language)
        self.assertEqual(result.returncode, 0, result.stderr)

    def change_catalogue(self):
        """What a player does to the catalogue: adds a table of theirs on the CD in drive E:,
        puts the third table first, and plays a table (which records it)."""
        added = pinballcat("add", CD_TABLE, r"E:\SPACE\space.exe", "--cd", "Vantrel 2 Disc 2")
        self.assertEqual(added.returncode, 0, added.stdout + added.stderr)
        moved = pinballcat("move", TABLES[2], "0")
        self.assertEqual(moved.returncode, 0, moved.stdout + moved.stderr)
        wine("reg", "add", SETTINGS_KEY, "/v", "Last Table Played", "/d", LAST_PLAYED, "/f")
        self.assertEqual(listed_order(), PLAYERS_ORDER)

    def assert_catalogue_kept(self, folder):
        self.assertEqual(listed_order(folder), PLAYERS_ORDER)
        self.assertEqual(settings_value("Last Table Played"), LAST_PLAYED)

    def test_install_upgrade_and_uninstall(self):
        self.install()
        for name in SHIPPED:
            self.assertTrue(os.path.isfile(os.path.join(INSTALL_DIR, name)), name)
        self.assertFalse(os.path.exists(os.path.join(INSTALL_DIR, "demo-tables.reg")))
        self.assertEqual(listed_order(), TABLES)
        check = pinballcat("check")
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
        self.assertEqual(entries[0].get(KEEPS_SETTINGS), "0x1")

        # An upgrade: the same package again over the first, which uninstalls the old copy
        # first; the player's catalogue and settings stay as they were.
        self.change_catalogue()
        self.install()
        self.assertEqual(len(uninstall_entries()), 1)
        self.assertEqual(len(start_menu_links()), 4)
        self.assert_catalogue_kept(INSTALL_DIR)
        run_shell(shell_target[0], self, PLAYERS_PICTURES)

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

    def test_install_in_german_and_uninstall_in_either_language(self):
        """Under German the links carry German names and open what they name; the uninstaller
        removes them in German as in English, which reads the names the installer recorded."""
        for uninstall_language, what in ((GERMAN, "German"), (None, "English")):
            with self.subTest(uninstalled_in=what):
                remove_everything()
                self.install(language=GERMAN)
                for name in SHIPPED:
                    self.assertTrue(os.path.isfile(os.path.join(INSTALL_DIR, name)), name)
                self.assertEqual(listed_order(), TABLES)
                links = {os.path.basename(link): link_target(link) for link in start_menu_links()}
                self.assertEqual(sorted(links), sorted(GERMAN_LINKS))
                for name, target in GERMAN_LINKS.items():
                    self.assertEqual(links[name], windows_path(os.path.join(INSTALL_DIR, target)))

                uninstaller = os.path.join(INSTALL_DIR, "Uninstall.exe")
                result = wine(windows_path(uninstaller), "/S", language=uninstall_language)
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertTrue(wait_until(lambda: not os.path.exists(uninstaller), 30))
                self.assertTrue(wait_until(lambda: not uninstall_entries(), 10))
                self.assertEqual(start_menu_links(), [])
                self.assertFalse(os.path.exists(INSTALL_DIR))
                self.assertFalse(key_exists(SETTINGS_KEY))

    def test_upgrade_over_earlier_release_into_another_folder(self):
        self.install()
        # An earlier release's uninstaller deletes the settings whatever it is told, as ours does
        # when not told of an upgrade; its entry bears no mark that it would keep them.
        entry = uninstall_entries()[0]["key"]
        wine("reg", "delete", entry, "/v", KEEPS_SETTINGS, "/f")
        self.change_catalogue()
        # A picture of the player's choosing for one demo table, which stays where it is.
        wine("reg", "add", SETTINGS_KEY + "\\" + TABLES[1], "/v", "Table Bitmap",
             "/d", DEMO_PICTURES[1], "/f")

        self.install("/D=" + windows_path(MOVED_DIR))
        self.assertFalse(os.path.exists(INSTALL_DIR))
        entries = uninstall_entries()
        self.assertEqual(len(entries), 1, entries)
        self.assertIn(windows_path(MOVED_DIR), entries[0].get("UninstallString", ""))
        self.assert_catalogue_kept(MOVED_DIR)
        # The demo tables and the shell are the copies in the new folder, before the shell has
        # run to write its own path.
        shell = windows_path(os.path.join(MOVED_DIR, "pinballshell.exe"))
        self.assertEqual(settings_value("Shell Exe"), shell)
        expected = {(table, value): windows_path(os.path.join(MOVED_DIR, stem + suffix))
                    for table, stem in zip(TABLES, STEMS)
                    for value, suffix in (("Table Exe", ".exe"), ("Table Bitmap", ".bmp"))}
        expected[TABLES[1], "Table Bitmap"] = DEMO_PICTURES[1]
        for (table, value), path in expected.items():
            self.assertEqual(settings_value(value, table), path, (table, value))
        check = pinballcat("check", folder=MOVED_DIR)
        self.assertEqual(check.returncode, 0, check.stdout)

    def test_reinstall_after_the_player_deleted_the_installation(self):
        """The player deleted the installed folder, or only its uninstaller; the Add/Remove
        entry still names them. A silent install goes in as a first one does, into the same
        folder or another, keeping the player's catalogue; the demo tables follow it."""
        uninstaller = os.path.join(INSTALL_DIR, "Uninstall.exe")
        cases = [(INSTALL_DIR, shutil.rmtree, INSTALL_DIR, ()),
                 (uninstaller, os.remove, MOVED_DIR, ("/D=" + windows_path(MOVED_DIR),))]
        for deleted, delete, folder, words in cases:
            with self.subTest(deleted=deleted, folder=folder):
                try:
                    self.install()
                    self.change_catalogue()
                    delete(deleted)
                    self.install(*words)
                    for name in SHIPPED + ["Uninstall.exe"]:
                        self.assertTrue(os.path.isfile(os.path.join(folder, name)), name)
                    entries = uninstall_entries()
                    self.assertEqual(len(entries), 1, entries)
                    self.assertIn(windows_path(folder), entries[0].get("UninstallString", ""))
                    self.assertEqual(len(start_menu_links()), 4)
                    self.assert_catalogue_kept(folder)
                    for table, stem in zip(TABLES, STEMS):
                        self.assertEqual(settings_value("Table Exe", table),
                                         windows_path(os.path.join(folder, stem + ".exe")), table)
                    check = pinballcat("check", folder=folder)
                    self.assertEqual(check.returncode, 0, check.stdout)
                finally:
                    remove_everything()

    def test_uninstaller_that_cannot_run_fails_a_silent_install(self):
        """An installed uninstaller that is no program cannot remove the old copy: a silent
        install ends with a failure status instead of waiting on its message box, and leaves
        the installation as it was."""
        self.install()
        uninstaller = os.path.join(INSTALL_DIR, "Uninstall.exe")
        with open(uninstaller, "wb") as broken:
            broken.write(b"no program")
        result = wine(package(".exe"), "/S", timeout=INSTALL_TIMEOUT)
        self.assertNotEqual(result.returncode, 0)
        self.assertEqual(len(uninstall_entries()), 1)
        self.assertEqual(listed_order(), TABLES)
        os.remove(uninstaller)


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
        result = wine(tool, "import", "demo-tables.reg", cwd=PORTABLE_DIR, encoding=ANSI_CODE_PAGE)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        listing = wine(tool, "list", encoding=ANSI_CODE_PAGE).stdout
        for table, stem in zip(TABLES, STEMS):
            self.assertIn(table, listing)
            self.assertIn(r"executable  %s\%s.exe  (fixed drive)" % (folder, stem), listing)
            self.assertIn(r"picture     %s\%s.bmp" % (folder, stem), listing)
        check = wine(tool, "check", encoding=ANSI_CODE_PAGE)
        self.assertEqual(check.returncode, 0, check.stdout)
        run_shell(folder + r"\pinballshell.exe", self, DEMO_PICTURES)


# A 64-bit prefix on a host that runs 32-bit programs has a 32-bit side, whose registry view
# names "C:\Program Files (x86)" as the Program Files folder; a 64-bit installer that read that
# view would install there. On a host without that side the view lacks the value: the tests give
# it one for their run, so that they see the same on either kind of host.
CURRENT_VERSION_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion"


def thirty_two_bit_program_files():
    """Gives the 32-bit registry view its Program Files folder when it has none; True when it
    was given here (and is to be taken away again)."""
    if os.environ.get("PINBALL_ARCH", "x86") == "x86":
        return False
    query = wine("reg", "query", CURRENT_VERSION_KEY, "/v", "ProgramFilesDir", "/reg:32")
    if query.returncode == 0:
        return False
    added = wine("reg", "add", CURRENT_VERSION_KEY, "/v", "ProgramFilesDir", "/d",
                 r"C:\Program Files (x86)", "/reg:32", "/f")
    assert added.returncode == 0, added.stdout + added.stderr
    return True


if __name__ == "__main__":
    given = thirty_two_bit_program_files()
    try:
        outcome = unittest.main(argv=sys.argv[:1], verbosity=2, exit=False)
    finally:
        if given:
            wine("reg", "delete", CURRENT_VERSION_KEY, "/v", "ProgramFilesDir", "/reg:32", "/f")
    sys.exit(0 if outcome.result.wasSuccessful() else 1)

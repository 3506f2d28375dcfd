#include <gtest/gtest.h>

#include "tests/support/bitmap_files.h"
#include "tests/support/cdrom.h"
#include "tests/support/process.h"
#include "tests/support/program_files.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/table_program.h"
#include "tools/pinballcat/pinballcat_run.h"
#include "tools/pinballcat/program_header.h"

#include <sddl.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const DWORD runTimeoutMs = 20000;

// The tool run against a settings key of the test's own.
class Pinballcat : public ::testing::Test {
protected:
    RegistrySandbox sandbox;

    ConsoleRun cat(const std::string &arguments)
    {
        ConsoleRun run;
        EXPECT_TRUE(runConsoleProgram("\"" + buildDirectory() + "pinballcat.exe\" " + arguments,
                                      runTimeoutMs, &run));
        return run;
    }
    // Runs a command that must succeed and gives what it printed.
    std::string done(const std::string &arguments)
    {
        ConsoleRun run = cat(arguments);
        EXPECT_EQ(run.status, 0u) << arguments << "\n" << run.output << run.errors;
        return run.output;
    }
    std::vector<std::string> tableValues()
    {
        std::vector<std::string> values;
        std::string subkey;
        while (getRegString("", ("Table" + std::to_string(values.size())).c_str(), &subkey))
            values.push_back(subkey);
        return values;
    }
};

// Writes "Table<n>" = subkey and the two values every table needs.
void addTable(int n, const std::string &subkey, const std::string &exe)
{
    setRegString("", ("Table" + std::to_string(n)).c_str(), subkey);
    setRegString(subkey, "Table Name", subkey + " Table");
    setRegString(subkey, "Table Exe", exe);
}

TEST_F(Pinballcat, ListShowsEveryFieldAsTheShellReadsIt)
{
    addTable(0, "Harbour", "C:\\Vantrel2\\harbour.exe");
    setRegString("Harbour", "Table Bitmap", "C:\\Vantrel2\\harbour.bmp");
    setRegDword("Harbour", "Table Id", 7);
    setRegString("Harbour", "Table CD", "Disc 1");
    addTable(1, "Comet", "E:\\COMET\\comet.exe");
    EXPECT_EQ(done("list"),
              "Table0: Harbour Table\n"
              "    executable  C:\\Vantrel2\\harbour.exe  (fixed drive)\n"
              "    picture     C:\\Vantrel2\\harbour.bmp\n"
              "    id          7\n"
              "    CD label    Disc 1\n"
              "Table1: Comet Table\n"
              "    executable  E:\\COMET\\comet.exe  (CD-ROM drive)\n"
              "    picture     none\n"
              "    id          -1\n"
              "    CD label    Unrecognized CD\n"
              "2 tables; the list ends at Table2, which is missing or empty.\n");
}

TEST_F(Pinballcat, ListSaysWhereAndWhyTheShellStops)
{
    struct Case {
        const char *what;
        void (*registry)();
        const char *ending;
    } cases[] = {
        {"a gap",
         [] {
             addTable(0, "A", "C:\\a.exe");
             addTable(2, "C", "C:\\c.exe");
         },
         "1 table; the list ends at Table1, which is missing or empty.\n"
         "Not read by the shell: Table2 = \"C\"\n"},
        {"no name",
         [] {
             addTable(0, "A", "C:\\a.exe");
             addTable(1, "B", "C:\\b.exe");
             setRegString("B", "Table Name", "");
         },
         "1 table; the list ends at Table1: subkey \"B\" has no Table Name (or one of 500 "
         "characters or more).\nNot read by the shell: Table1 = \"B\"\n"},
        {"no executable",
         [] { addTable(0, "A", ""); },
         "0 tables; the list ends at Table0: subkey \"A\" has no Table Exe (or one of 500 "
         "characters or more).\nNot read by the shell: Table0 = \"A\"\n"},
        {"thirteen tables",
         [] {
             for (int n = 0; n < 13; ++n)
                 addTable(n, "T" + std::to_string(n), "C:\\t.exe");
         },
         "12 tables; the list is full: the shell reads twelve tables.\n"
         "Not read by the shell: Table12 = \"T12\"\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        deleteSettingsKey();
        c.registry();
        std::string output = done("list");
        std::string ending = c.ending;
        ASSERT_GE(output.size(), ending.size()) << output;
        EXPECT_EQ(output.substr(output.size() - ending.size()), ending) << output;
    }
}

TEST_F(Pinballcat, AddAppendsATableWithTheValuesGiven)
{
    EXPECT_EQ(done("add \"Harbour Lights\" C:\\Vantrel2\\harbour.exe"),
              "added Table0: Harbour Lights (subkey \"Harbour Lights\")\n");
    EXPECT_EQ(done("add Comet E:\\COMET\\comet.exe --picture C:\\comet.bmp --id 0x12 --cd \"Disc 2\""),
              "added Table1: Comet (subkey \"Comet\")\n");
    EXPECT_EQ(tableValues(), (std::vector<std::string>{"Harbour Lights", "Comet"}));
    std::string text;
    DWORD id = 0;
    ASSERT_TRUE(getRegString("Comet", "Table Exe", &text));
    EXPECT_EQ(text, "E:\\COMET\\comet.exe");
    ASSERT_TRUE(getRegString("Comet", "Table Bitmap", &text));
    EXPECT_EQ(text, "C:\\comet.bmp");
    ASSERT_TRUE(getRegString("Comet", "Table CD", &text));
    EXPECT_EQ(text, "Disc 2");
    ASSERT_TRUE(getRegDword("Comet", "Table Id", &id));
    EXPECT_EQ(id, 0x12u);
    EXPECT_EQ(settingsValueCount("Harbour Lights"), 2) << "only the values given are written";

    // A relative executable is made full, since the shell starts it from wherever it runs.
    done("add Relative tables\\r.exe");
    ASSERT_TRUE(getRegString("Relative", "Table Exe", &text));
    EXPECT_TRUE(text.size() > 2 && text[1] == ':' && text.find("\\tables\\r.exe") != std::string::npos)
        << text;

    // A subkey left behind by something else is not taken over.
    setRegString("Orphan", "Table Exe", "C:\\old.exe");
    EXPECT_EQ(done("add Orphan C:\\new.exe"), "added Table3: Orphan (subkey \"Orphan (2)\")\n");
}

TEST_F(Pinballcat, AddRefusesWhatTheShellWouldNotShowOrStart)
{
    for (int n = 0; n < 11; ++n)
        addTable(n, "T" + std::to_string(n), "C:\\t.exe");
    struct Case {
        std::string arguments;
        std::string message;
    } cases[] = {
        {"add \"t0 table\" C:\\x.exe", "there is already a table named \"T0 Table\" (Table0)"},
        {"add X \"\"", "the executable path is empty"},
        {"add X C:\\" + std::string(497, 'x'), "the executable path has 500 characters"},
        {"add X C:\\x.exe --picture C:\\" + std::string(497, 'p'), "the picture path is longer"},
        {"add X C:\\x.exe --cd " + std::string(500, 'c'), "the CD label is longer"},
        {"add " + std::string(500, 'n') + " C:\\x.exe", "the name has 500 characters"},
        {"add \"\" C:\\x.exe", "a table needs a name"},
        {"add X C:\\x.exe --id seven", "the id must be a number: seven"},
        {"add X C:\\x.exe --colour red", "add does not know --colour"},
        {"add X C:\\x.exe --cd", "--cd needs a value"},
        {"add X", "add needs a name and an executable"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.arguments.substr(0, 60));
        ConsoleRun run = cat(c.arguments);
        EXPECT_EQ(run.status, 2u);
        EXPECT_NE(run.errors.find(c.message), std::string::npos) << run.errors;
        EXPECT_EQ(tableValues().size(), 11u);
    }
    // The longest path the shell reads is taken, one more is not.
    EXPECT_EQ(cat("add Longest C:\\" + std::string(496, 'x')).status, 0u);
    ConsoleRun full = cat("add Thirteenth C:\\x.exe");
    EXPECT_EQ(full.status, 2u);
    EXPECT_NE(full.errors.find("already holds 12 tables"), std::string::npos) << full.errors;
    EXPECT_EQ(tableValues().size(), 12u);
}

TEST_F(Pinballcat, RemoveMoveAndRenameKeepTheListContiguous)
{
    for (const char *name : {"A", "B", "C", "D"})
        done(std::string("add ") + name + " C:\\" + name + ".exe");
    setRegString("", "Last Table Played", "B");

    EXPECT_EQ(done("move d 0"), "moved D from Table3 to Table0\n");
    EXPECT_EQ(tableValues(), (std::vector<std::string>{"D", "A", "B", "C"}));
    EXPECT_EQ(done("move D 3"), "moved D from Table0 to Table3\n");
    EXPECT_EQ(tableValues(), (std::vector<std::string>{"A", "B", "C", "D"}));

    EXPECT_EQ(done("remove b"), "cleared Last Table Played, which named it\nremoved B (was Table1)\n");
    EXPECT_EQ(tableValues(), (std::vector<std::string>{"A", "C", "D"}));
    EXPECT_FALSE(settingsKeyExists("B"));
    std::string text;
    EXPECT_FALSE(getRegString("", "Last Table Played", &text));

    // The subkey stays, so that "Last Table Played" and the table program still find it.
    EXPECT_EQ(done("rename C \"Comet Run\""), "renamed Table1 from C to Comet Run\n");
    ASSERT_TRUE(getRegString("C", "Table Name", &text));
    EXPECT_EQ(text, "Comet Run");
    EXPECT_EQ(done("rename \"comet run\" \"COMET RUN\""), "renamed Table1 from Comet Run to COMET RUN\n");

    struct Case {
        const char *arguments;
        const char *message;
    } refusals[] = {
        {"remove Z", "no table is named \"Z\""},
        {"move A 3", "the position must be a number from 0 to 2: 3"},
        {"move A -1", "the position must be a number from 0 to 2: -1"},
        {"move A first", "the position must be a number from 0 to 2: first"},
        {"rename A D", "there is already a table named \"D\" (Table2)"},
        {"rename A \"\"", "a table needs a name"},
        {"rename A", "rename needs the old and the new name"},
        {"remove", "remove needs the name of one table"},
    };
    std::string before = done("list");
    for (const Case &c : refusals) {
        SCOPED_TRACE(c.arguments);
        ConsoleRun run = cat(c.arguments);
        EXPECT_EQ(run.status, 2u);
        EXPECT_NE(run.errors.find(c.message), std::string::npos) << run.errors;
    }
    EXPECT_EQ(done("list"), before);
}

TEST_F(Pinballcat, EditsDropTheValuesTheShellNeverRead)
{
    addTable(0, "A", "C:\\a.exe");
    addTable(2, "Ghost", "C:\\g.exe");
    setRegString("", "Table02", "Other");  // not a name the shell makes: neither read nor dropped
    EXPECT_EQ(done("add B C:\\b.exe"),
              "dropped Table2 = \"Ghost\", which the shell never read\n"
              "added Table1: B (subkey \"B\")\n");
    EXPECT_EQ(tableValues(), (std::vector<std::string>{"A", "B"}));
    std::string text;
    EXPECT_FALSE(getRegString("", "Table2", &text));
    EXPECT_TRUE(settingsKeyExists("Ghost")) << "its subkey is left alone";
    EXPECT_TRUE(getRegString("", "Table02", &text));
}

// A small 8-bit picture, and files that the shell's loader refuses.
Bytes goodPicture()
{
    return concat({fileHeader(0), infoHeader({4, 4, 8}), Bytes(256 * 4, 0), patternBytes(16, 1)});
}

TEST_F(Pinballcat, CheckGivesOneLineATableAndFailsOnABrokenOne)
{
    std::string exe = copyTableProgram("checked.exe");
    TempFile good(goodPicture());
    TempFile oddDepth(concat({fileHeader(0), infoHeader({4, 4, 3}), Bytes(64, 0)}));
    TempFile cut(concat({fileHeader(0), Bytes(20, 0)}));
    emptyDisc();
    addTable(0, "Good", exe);
    setRegString("Good", "Table Bitmap", good.path);
    addTable(1, "Bare", exe);
    addTable(2, "Gone", "C:\\nowhere\\gone.exe");
    setRegString("Gone", "Table Bitmap", "C:\\nowhere\\gone.bmp");
    addTable(3, "OnDisc", "E:\\disc.exe");
    setRegString("OnDisc", "Table CD", "Disc 2");
    addTable(4, "Odd", exe);
    setRegString("Odd", "Table Bitmap", oddDepth.path);
    addTable(5, "Cut", exe);
    setRegString("Cut", "Table Bitmap", cut.path);
    setRegString("", "Last Table Played", "Bare");

    ConsoleRun run = cat("check");
    EXPECT_EQ(run.status, 1u);
    EXPECT_EQ(run.output,
              "ok    Table0 Good Table: executable found; picture loads\n"
              "ok    Table1 Bare Table: executable found; no picture set, shows the no-picture placeholder\n"
              "FAIL  Table2 Gone Table: executable missing: C:\\nowhere\\gone.exe; picture "
              "C:\\nowhere\\gone.bmp is missing, shows the no-picture placeholder\n"
              "CD    Table3 OnDisc Table: executable not there now: the shell asks for the CD "
              "labelled \"Disc 2\" in drive E:\\; no picture set, shows the on-CD placeholder\n"
              "FAIL  Table4 Odd Table: executable found; picture " + oddDepth.path +
                  " is refused: a size, depth or compression the shell does not convert, shows the "
                  "no-picture placeholder\n"
              "FAIL  Table5 Cut Table: executable found; picture " + cut.path +
                  " is refused: the file ends inside its headers, shows the no-picture placeholder\n"
              "ok    Last Table Played: \"Bare\", Table1 Bare Table\n");

    // Without the broken tables, a table waiting for its disc is no failure.
    for (const char *value : {"Table2", "Table4", "Table5"})
        RegDeleteKeyValueA(HKEY_CURRENT_USER, shellSettingsKey, value);
    setRegString("", "Table2", "OnDisc");
    EXPECT_EQ(cat("check").status, 0u);
}

// A disc mounted in another drive: check says where the shell finds the table and its picture,
// and drive moves the table there in one command, the picture with it when it lies on the same
// drive; nothing else is written.
TEST_F(Pinballcat, CheckFindsTheDiscInAnotherDriveAndDriveMovesTheTable)
{
    emptyDisc('E');
    emptyDisc('F');
    ASSERT_TRUE(putTableProgramOnDisc("SPACE\\space.exe", 'F'));
    Bytes picture = goodPicture();
    ASSERT_TRUE(putOnDisc("SPACE\\space.bmp", std::string(picture.begin(), picture.end()), 'F'));
    addTable(0, "Space", "E:\\SPACE\\space.exe");
    setRegString("Space", "Table Bitmap", "E:\\SPACE\\space.bmp");
    setRegString("Space", "Table CD", secondDiscLabel);
    addTable(1, "Local", "C:\\Tables\\local.exe");
    setRegString("Local", "Table Bitmap", "C:\\Tables\\local.bmp");

    ConsoleRun run = cat("check");
    EXPECT_EQ(run.output.substr(0, run.output.find('\n') + 1),
              "ok    Table0 Space Table: executable found on the disc in drive F:\\, which the shell "
              "starts it from: F:\\SPACE\\space.exe; picture loads from the disc in drive F:\\\n");
    std::string exe, bitmap;

    EXPECT_EQ(done("drive \"Space Table\" f:"), "moved Space Table to drive F: F:\\SPACE\\space.exe\n"
                                      "    picture F:\\SPACE\\space.bmp\n");
    ASSERT_TRUE(getRegString("Space", "Table Exe", &exe));
    ASSERT_TRUE(getRegString("Space", "Table Bitmap", &bitmap));
    EXPECT_EQ(exe, "F:\\SPACE\\space.exe");
    EXPECT_EQ(bitmap, "F:\\SPACE\\space.bmp");
    EXPECT_EQ(done("drive \"Local Table\" D"), "moved Local Table to drive D: D:\\Tables\\local.exe\n"
                                     "    picture D:\\Tables\\local.bmp\n");
    setRegString("Local", "Table Bitmap", "C:\\Pictures\\local.bmp");
    EXPECT_EQ(done("drive \"Local Table\" E:\\"), "moved Local Table to drive E: E:\\Tables\\local.exe\n");
    ASSERT_TRUE(getRegString("Local", "Table Bitmap", &bitmap));
    EXPECT_EQ(bitmap, "C:\\Pictures\\local.bmp") << "a picture on another drive stays";

    addTable(2, "Share", "\\\\server\\tables\\share.exe");
    struct Case {
        const char *arguments;
        const char *message;
    } refusals[] = {
        {"drive Nowhere F", "no table is named \"Nowhere\""},
        {"drive \"Space Table\" 1", "the drive must be a letter from A to Z"},
        {"drive \"Space Table\" FF", "the drive must be a letter from A to Z"},
        {"drive \"Space Table\"", "drive needs a table's name and a drive letter"},
        {"drive \"Share Table\" F", "is on no lettered drive"},
    };
    std::string before = done("list");
    for (const Case &c : refusals) {
        SCOPED_TRACE(c.arguments);
        ConsoleRun refused = cat(c.arguments);
        EXPECT_EQ(refused.status, 2u);
        EXPECT_NE(refused.errors.find(c.message), std::string::npos) << refused.errors;
    }
    EXPECT_EQ(done("list"), before);
    emptyDisc('F');
}

// A table whose drive is gone (G: does not exist) is looked for on its disc as in the shell, and
// the header is read from the file that the shell would start. The default label, in any
// capitals, lets the path alone decide.
TEST_F(Pinballcat, CheckLooksForATableWhoseDriveIsGoneOnItsDisc)
{
    emptyDisc('E');
    emptyDisc('F');
    ASSERT_TRUE(putTableProgramOnDisc("SPACE\\space.exe", 'F'));
    Bytes picture = goodPicture();
    ASSERT_TRUE(putOnDisc("SPACE\\space.bmp", std::string(picture.begin(), picture.end()), 'F'));
    Bytes alpha = peProgram(IMAGE_FILE_MACHINE_ALPHA);
    ASSERT_TRUE(putOnDisc("ALPHA\\alpha.exe", std::string(alpha.begin(), alpha.end()), 'F'));
    addTable(0, "Space", "G:\\SPACE\\space.exe");
    setRegString("Space", "Table Bitmap", "G:\\SPACE\\space.bmp");
    setRegString("Space", "Table CD", secondDiscLabel);
    addTable(1, "Waiting", "G:\\SPACE\\space.exe");
    setRegString("Waiting", "Table CD", "Vantrel2 Disc 3");
    addTable(2, "Alpha", "G:\\ALPHA\\alpha.exe");
    setRegString("Alpha", "Table CD", "UNRECOGNIZED cd");

    ConsoleRun run = cat("check");
    EXPECT_EQ(run.status, 1u);
    EXPECT_EQ(run.output,
              "ok    Table0 Space Table: executable found on the disc in drive F:\\, which the shell "
              "starts it from: F:\\SPACE\\space.exe; picture loads from the disc in drive F:\\\n"
              "CD    Table1 Waiting Table: executable not there now: the shell asks for the CD "
              "labelled \"Vantrel2 Disc 3\" in drive G:\\; no picture set, shows the on-CD "
              "placeholder\n"
              "FAIL  Table2 Alpha Table: executable F:\\ALPHA\\alpha.exe is a program for the Alpha "
              "processor, which this " + testHost().name + " Windows cannot start; it needs a Windows "
              "built for that processor; no picture set, shows the on-CD placeholder\n"
              "ok    Last Table Played: none recorded yet: restart shows the shell instead\n");
    emptyDisc('F');
}

TEST_F(Pinballcat, CheckTellsWhatRestartWillDoWithTheLastTablePlayed)
{
    std::string exe = copyTableProgram("checked.exe");
    addTable(0, "Listed", exe);
    setRegString("Unlisted", "Table Exe", exe);
    setRegString("Empty", "Table Name", "Empty");
    struct Case {
        const char *recorded;
        DWORD status;
        std::string line;
    } cases[] = {
        {nullptr, 0, "ok    Last Table Played: none recorded yet: restart shows the shell instead\n"},
        {"listed", 0, "ok    Last Table Played: \"listed\", Table0 Listed Table\n"},
        {"Unlisted", 0, "ok    Last Table Played: \"Unlisted\", not in the list: restart runs " + exe + "\n"},
        {"Empty", 1, "FAIL  Last Table Played: \"Empty\", which has no Table Exe: restart does nothing\n"},
        {"Vanished", 1, "FAIL  Last Table Played: \"Vanished\", which is no subkey: restart does nothing\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.recorded ? c.recorded : "none");
        if (c.recorded)
            setRegString("", "Last Table Played", c.recorded);
        ConsoleRun run = cat("check");
        EXPECT_EQ(run.status, c.status);
        std::string &output = run.output;
        ASSERT_GE(output.size(), c.line.size()) << output;
        EXPECT_EQ(output.substr(output.size() - c.line.size()), c.line);
    }
    EXPECT_FALSE(settingsKeyExists("Vanished")) << "checking creates no key";
}

TEST_F(Pinballcat, ExportClearImportGivesTheSameList)
{
    addTable(0, "Harbour \"Lights\"", "C:\\Vantrel2\\harbour.exe");
    setRegDword("Harbour \"Lights\"", "Table Id", 0xFFFFFFFF);
    setRegString("Harbour \"Lights\"", "Table Bitmap", "C:\\pictures\\");
    addTable(1, "Comet", "E:\\COMET\\comet.exe");
    setRegString("Comet", "Table CD", "Disc; 2 = \"two\"");
    // What a table program keeps in its own subkey goes along, whatever its type.
    BYTE scores[40];
    for (int i = 0; i < 40; ++i)
        scores[i] = (BYTE)(i * 7);
    setRegBinary("Comet", "High Scores", REG_BINARY, scores, sizeof scores);
    setRegBinary("Comet", "Two Lines", REG_SZ, "a\r\nb", 5);
    setRegBinary("Comet", "Expand", REG_EXPAND_SZ, "%TEMP%", 7);
    setRegString("Comet\\Options", "Sound", "on");
    addTable(3, "Unread", "C:\\unread.exe");

    std::string file = testDirectory() + "catalogue_roundtrip.reg";
    DeleteFileA(file.c_str());
    std::string listed = done("list");
    EXPECT_EQ(done("export \"" + file + "\""), "exported 2 tables to " + file + "\n");
    deleteSettingsKey();
    EXPECT_EQ(done("import \"" + file + "\""), "imported " + file + "\n");
    EXPECT_EQ(done("list"), listed.substr(0, listed.find("Not read")));

    std::string text;
    EXPECT_FALSE(settingsKeyExists("Unread")) << "only the tables the shell reads are exported";
    ASSERT_TRUE(getRegString("Comet\\Options", "Sound", &text));
    EXPECT_EQ(text, "on");
    std::string other = testDirectory() + "catalogue_roundtrip2.reg";
    done("export \"" + other + "\"");
    std::ifstream first(file, std::ios::binary), second(other, std::ios::binary);
    std::string firstText((std::istreambuf_iterator<char>(first)), std::istreambuf_iterator<char>());
    std::string secondText((std::istreambuf_iterator<char>(second)), std::istreambuf_iterator<char>());
    EXPECT_EQ(firstText, secondText) << "every value comes back with its type and data";
    EXPECT_EQ(firstText.substr(0, 10), "REGEDIT4\r\n");
    first.close();
    second.close();
    DeleteFileA(file.c_str());
    DeleteFileA(other.c_str());
}

TEST_F(Pinballcat, ImportIsAllOrNothing)
{
    addTable(0, "Old", "C:\\old.exe");
    std::string settings = "[HKEY_CURRENT_USER\\Software\\Corvane\\Vantrel2Demo";
    std::string good = "REGEDIT4\r\n\r\n" + settings + "]\r\n\"Table0\"=\"New\"\r\n\r\n" + settings +
                       "\\New]\r\n\"Table Name\"=\"New\"\r\n\"Table Exe\"=\"C:\\\\new.exe\"\r\n";
    struct Case {
        const char *what;
        std::string contents;
        std::string message;
    } cases[] = {
        {"no header", "[x]\r\n", "line 1: the file does not begin with REGEDIT4"},
        {"a key elsewhere", good + "[HKEY_CURRENT_USER\\Software\\Other]\r\n\"a\"=\"b\"\r\n",
         "line 9: the key lies outside the shell's settings"},
        {"a key beside it", good + settings + "Other]\r\n", "line 9: the key lies outside"},
        {"a deletion", good + "[-" + settings.substr(1) + "\\New]\r\n", "line 9: deleting a key"},
        {"a bad dword", good + "\"Table Id\"=dword:12345678A\r\n", "line 9: not a dword"},
        {"bad hex", good + "\"x\"=hex:1,zz\r\n", "line 9: not a list of hexadecimal bytes"},
        {"an open quote", good + "\"x=\"y\r\n", "line 9: a value needs"},
        {"a value first", "REGEDIT4\r\n\"a\"=\"b\"\r\n", "line 2: a value before any [key] line"},
        {"a relative path too long once full",
         good + "\"Table Bitmap\"=\"" + std::string(480, 'p') + ".bmp\"\r\n",
         "line 9: \"Table Bitmap\" made full from the file's folder is too long for a path"},
        // Registry key names hold at most 255 characters: this one fails as it is written,
        // after the keys before it were.
        {"a key that cannot be written", good + settings + "\\" + std::string(300, 'k') + "]\r\n",
         "line 9: the key [Software\\Corvane\\Vantrel2Demo\\" + std::string(300, 'k') +
             "] could not be written; the settings are as they were"},
    };
    std::string listed = done("list");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TempFile file(Bytes(c.contents.begin(), c.contents.end()));
        ConsoleRun run = cat("import \"" + file.path + "\"");
        EXPECT_EQ(run.status, 2u);
        EXPECT_NE(run.errors.find(c.message), std::string::npos) << run.errors;
        EXPECT_EQ(done("list"), listed);
        EXPECT_FALSE(settingsKeyExists("New"));
    }
    TempFile file(Bytes(good.begin(), good.end()));
    done("import \"" + file.path + "\"");
    EXPECT_EQ(tableValues(), std::vector<std::string>{"New"});
}

// Sets the current folder of the test, and of the programs it starts, until its end.
struct CurrentFolder {
    char saved[MAX_PATH];
    explicit CurrentFolder(const std::string &folder)
    {
        GetCurrentDirectoryA(MAX_PATH, saved);
        SetCurrentDirectoryA(folder.c_str());
    }
    ~CurrentFolder() { SetCurrentDirectoryA(saved); }
};

// A text as a .reg file writes it: quoted, with backslashes and quotes escaped.
std::string regText(const std::string &text)
{
    std::string out = "\"";
    for (char c : text)
        out += c == '\\' || c == '"' ? std::string("\\") + c : std::string(1, c);
    return out + "\"";
}

// A .reg file that travels with its tables (an unpacked zip) names them relative to its own
// folder. The import makes those paths full from there, not from where the tool runs, and
// writes everything else as it stands; the file is given by a path relative to another folder.
TEST_F(Pinballcat, ImportMakesRelativePathsFullFromTheFilesFolder)
{
    const std::string tests = testDirectory();
    const std::string folder = tests + "unpacked here\\";
    const std::string elsewhere = tests + "elsewhere";
    CreateDirectoryA(folder.c_str(), NULL);
    CreateDirectoryA(elsewhere.c_str(), NULL);
    struct Case {
        std::string subkey;
        const char *name;
        std::string written, stored;
    } cases[] = {
        {"", "Shell Exe", "pinballshell.exe", folder + "pinballshell.exe"},
        {"beside", "Table Exe", "harbour.exe", folder + "harbour.exe"},
        {"below", "Table Bitmap", "art/comet.bmp", folder + "art\\comet.bmp"},
        {"dots", "table exe", ".\\tables\\..\\carnival.exe", folder + "carnival.exe"},
        {"above", "Table Bitmap", "..\\shared art\\x.bmp", tests + "shared art\\x.bmp"},
        // The shell takes an unquoted value, blanks and all, for one path.
        {"blanks", "Table Exe", "my tables\\harbour.exe -fast", folder + "my tables\\harbour.exe -fast"},
        // A quoted program is run with its arguments as written.
        {"quoted", "Table Exe", "\"harbour.exe\" -fast", "\"harbour.exe\" -fast"},
        {"full", "Table Exe", "C:\\Vantrel2\\harbour.exe", "C:\\Vantrel2\\harbour.exe"},
        {"network", "Table Exe", "\\\\server\\tables\\x.exe", "\\\\server\\tables\\x.exe"},
        {"rooted", "Table Bitmap", "\\art\\x.bmp", "\\art\\x.bmp"},
        {"drive", "Table Exe", "D:x.exe", "D:x.exe"},
        {"resource", "Table Bitmap", "pb_oncd_bmp", "pb_oncd_bmp"},
        {"not a path", "Table CD", "discs\\one", "discs\\one"},
        {"not read", "Notes", "notes.txt", "notes.txt"},
        {"beside\\Options", "Table Exe", "options.exe", "options.exe"},
    };
    const std::string settings = "[HKEY_CURRENT_USER\\Software\\Corvane\\Vantrel2Demo";
    std::string contents = "REGEDIT4\r\n";
    for (const Case &c : cases)
        contents += "\r\n" + settings + (c.subkey.empty() ? "" : "\\" + c.subkey) + "]\r\n" +
                    regText(c.name) + "=" + regText(c.written) + "\r\n";
    const std::string file = folder + "tables.reg";
    ASSERT_TRUE(writeWholeFile(file, contents.data(), contents.size()));
    {
        CurrentFolder current(elsewhere);
        done("import \"..\\unpacked here\\tables.reg\"");
    }
    for (const Case &c : cases) {
        SCOPED_TRACE(c.subkey + ": " + c.written);
        std::string stored;
        ASSERT_TRUE(getRegString(c.subkey, c.name, &stored));
        EXPECT_EQ(stored, c.stored);
    }
    DeleteFileA(file.c_str());
    RemoveDirectoryA(folder.c_str());
    RemoveDirectoryA(elsewhere.c_str());
}

TEST_F(Pinballcat, HelpAndMisuse)
{
    ConsoleRun help = cat("help");
    EXPECT_EQ(help.status, 0u);
    EXPECT_EQ(help.output.compare(0, 27, "usage: pinballcat COMMAND ."), 0) << help.output;
    struct Case {
        const char *arguments;
        const char *message;
    } cases[] = {
        {"", "usage: pinballcat COMMAND"},
        {"lists", "no command \"lists\"; pinballcat help lists them"},
        {"list everything", "list takes no arguments"},
        {"check now", "check takes no arguments"},
        {"export", "export needs the name of the file to write"},
        {"import a.reg b.reg", "import needs the name of the file to read"},
        {"import C:\\no\\such.reg", "cannot read C:\\no\\such.reg"},
        {"export C:\\no\\such\\folder\\x.reg", "cannot write C:\\no\\such\\folder\\x.reg"},
        {"check-table", "check-table needs the path of one table program"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.arguments);
        ConsoleRun run = cat(c.arguments);
        EXPECT_EQ(run.status, 2u);
        EXPECT_NE(run.errors.find(c.message), std::string::npos) << run.errors;
    }
}


// The window's scale: set, shown and given back to the DPI; anything but a whole number from
// 1 to 8 is refused with status 2 and leaves the value as it was.
TEST_F(Pinballcat, ScaleSetsShowsAndRefusesWhatIsNoScale)
{
    EXPECT_EQ(done("scale").compare(0, 11, "scale auto:"), 0);
    EXPECT_EQ(done("scale 3"), "scale 3\n");
    DWORD value = 0;
    EXPECT_TRUE(getRegDword("", "Window Scale", &value));
    EXPECT_EQ(value, 3u);
    EXPECT_EQ(done("scale"), "scale 3 (the player's)\n");
    for (const char *word : {"0", "9", "2.5", "-1", "+2", "3x", "two", "\"\"", "100", "1 2"}) {
        SCOPED_TRACE(word);
        ConsoleRun run = cat(std::string("scale ") + word);
        EXPECT_EQ(run.status, 2u);
        EXPECT_NE(run.errors.find("from 1 to 8"), std::string::npos) << run.errors;
        EXPECT_TRUE(getRegDword("", "Window Scale", &value));
        EXPECT_EQ(value, 3u);
    }
    EXPECT_EQ(done("scale 8"), "scale 8\n");
    EXPECT_EQ(done("scale 1"), "scale 1\n");
    EXPECT_EQ(done("scale auto"), "scale auto\n");
    EXPECT_FALSE(getRegDword("", "Window Scale", &value));
    // A value the shell passes over for the DPI is shown as what the shell does.
    setRegDword("", "Window Scale", 12);
    EXPECT_EQ(done("scale").compare(0, 11, "scale auto:"), 0);
}

const char layersKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers";

// Windows' compatibility settings of one program; false when it has none.
bool getLayers(const std::string &exe, std::string *value)
{
    DWORD size = 0, type = 0;
    if (RegGetValueA(HKEY_CURRENT_USER, layersKey, exe.c_str(), RRF_RT_ANY, &type, NULL, &size) !=
        ERROR_SUCCESS)
        return false;
    std::string data(size, '\0');
    if (RegGetValueA(HKEY_CURRENT_USER, layersKey, exe.c_str(), RRF_RT_ANY, &type, &data[0], &size) !=
        ERROR_SUCCESS)
        return false;
    EXPECT_EQ(type, (DWORD)REG_SZ) << exe;
    *value = data.c_str();
    return true;
}

void setLayers(const std::string &exe, const std::string &value)
{
    RegSetKeyValueA(HKEY_CURRENT_USER, layersKey, exe.c_str(), REG_SZ, value.c_str(),
                    (DWORD)value.size() + 1);
}

// The settings of the programs a test names, put back as they were when it ends.
struct SavedLayers {
    std::vector<std::string> exes;
    std::vector<std::pair<bool, std::string>> values;
    explicit SavedLayers(std::initializer_list<std::string> programs) : exes(programs)
    {
        for (const std::string &exe : exes) {
            std::string value;
            bool present = getLayers(exe, &value);
            values.push_back({present, value});
            RegDeleteKeyValueA(HKEY_CURRENT_USER, layersKey, exe.c_str());
        }
    }
    ~SavedLayers()
    {
        for (size_t i = 0; i < exes.size(); ++i) {
            RegDeleteKeyValueA(HKEY_CURRENT_USER, layersKey, exes[i].c_str());
            if (values[i].first)
                setLayers(exes[i], values[i].second);
        }
    }
};

const std::string harbourExe = "C:\\Vantrel2\\harbour.exe";
const std::string cometExe = "E:\\COMET\\comet.exe";

// The value is the one the compatibility tab of Windows 8 and later writes: "~", then the
// layers apart by single blanks, in Windows' spelling and order, each once.
TEST_F(Pinballcat, CompatWritesTheLayersValueAsWindowsDoes)
{
    SavedLayers saved{harbourExe, cometExe};
    addTable(0, "Harbour", harbourExe);
    addTable(1, "Comet", cometExe);
    EXPECT_EQ(done("compat \"Harbour Table\" 256COLOR 640X480"),
              "Harbour Table (" + harbourExe + ") runs with: 256COLOR 640X480\n");
    struct Case {
        const char *arguments;
        const char *value;
    } cases[] = {
        {"256COLOR 640X480", "~ 256COLOR 640X480"},
        {"640x480 256color", "~ 256COLOR 640X480"},
        {"\"win95 DisableDXMaximizedWindowedMode\" RUNASADMIN WIN95", "~ RUNASADMIN DISABLEDXMAXIMIZEDWINDOWEDMODE WIN95"},
        {"dwm8and16bitmitigation 256COLOR", "~ 256COLOR DWM8And16BitMitigation"},
        {"16BITCOLOR", "~ 16BITCOLOR"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.arguments);
        RegDeleteKeyValueA(HKEY_CURRENT_USER, layersKey, harbourExe.c_str());
        done(std::string("compat \"harbour table\" ") + c.arguments);
        std::string value;
        ASSERT_TRUE(getLayers(harbourExe, &value));
        EXPECT_EQ(value, c.value);
    }
    // A value the compatibility tab wrote, with its marks in front, shows without them.
    setLayers(cometExe, "~^ HIGHDPIAWARE WINXPSP3");
    std::string listed = done("list");
    EXPECT_NE(listed.find("    CD label    Unrecognized CD\n    compat      16BITCOLOR\nTable1"),
              std::string::npos) << listed;
    EXPECT_NE(listed.find("    compat      HIGHDPIAWARE WINXPSP3\n2 tables"), std::string::npos)
        << listed;

    EXPECT_EQ(done("compat \"Harbour Table\" --clear"),
              "cleared the compatibility settings of Harbour Table (" + harbourExe + ")\n");
    std::string value;
    EXPECT_FALSE(getLayers(harbourExe, &value));
    EXPECT_EQ(done("compat \"Harbour Table\" --clear"), "Harbour Table had no compatibility settings\n");
    EXPECT_EQ(done("list").find("compat      16BITCOLOR"), std::string::npos);
}

TEST_F(Pinballcat, CompatRefusesWhatWindowsWouldNotTake)
{
    const std::string relative = "tables\\relative.exe";
    SavedLayers saved{harbourExe, relative};
    addTable(0, "Harbour", harbourExe);
    addTable(1, "Relative", relative);
    setLayers(harbourExe, "~ 256COLOR");
    struct Case {
        const char *arguments;
        const char *message;
    } cases[] = {
        {"compat \"Harbour Table\" 256COLOUR", "no compatibility setting is named \"256COLOUR\"; the "
                                                "settings are: RUNASADMIN 256COLOR 16BITCOLOR 640X480 "},
        {"compat \"Harbour Table\" 640X480,WIN95", "no compatibility setting is named \"640X480,WIN95\""},
        {"compat Harbour 256COLOR", "no table is named \"Harbour\""},
        {"compat \"Harbour Table\" WIN95 WIN98", "WIN95 and WIN98 cannot both be set"},
        {"compat \"Harbour Table\" 16bitcolor 256color", "256COLOR and 16BITCOLOR cannot both be set"},
        {"compat \"Harbour Table\" \" \"", "compat needs at least one setting, or --clear"},
        {"compat \"Harbour Table\" --clear 256COLOR", "--clear takes no settings"},
        {"compat \"Harbour Table\"", "compat needs a table's name and its settings"},
        {"compat \"Relative Table\" 256COLOR", "the executable of Relative Table is no full path"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.arguments);
        ConsoleRun run = cat(c.arguments);
        EXPECT_EQ(run.status, 2u);
        EXPECT_NE(run.errors.find(c.message), std::string::npos) << run.errors;
        std::string value;
        ASSERT_TRUE(getLayers(harbourExe, &value));
        EXPECT_EQ(value, "~ 256COLOR");
    }
}

// Windows keeps the settings per program: they go with the last table that starts it.
TEST_F(Pinballcat, RemoveClearsTheSettingsOfAProgramNoTableStartsAnyMore)
{
    SavedLayers saved{harbourExe, cometExe};
    addTable(0, "Harbour", harbourExe);
    addTable(1, "Night", harbourExe);
    addTable(2, "Comet", cometExe);
    setLayers(harbourExe, "~ 256COLOR");
    setLayers(cometExe, "~ WIN95");
    std::string value;
    EXPECT_EQ(done("remove \"Harbour Table\""), "removed Harbour Table (was Table0)\n");
    ASSERT_TRUE(getLayers(harbourExe, &value));
    EXPECT_EQ(value, "~ 256COLOR");
    EXPECT_EQ(done("remove \"Night Table\""),
              "cleared the compatibility settings of " + harbourExe + "\nremoved Night Table (was Table0)\n");
    EXPECT_FALSE(getLayers(harbourExe, &value));
    ASSERT_TRUE(getLayers(cometExe, &value));
    EXPECT_EQ(value, "~ WIN95");
}

// The value may hold what the user set in the program's Properties, words that pinballcat does
// not know and Windows' marks in front: compat, --clear and remove change only the layers that
// pinballcat sets, and the value goes only when nothing else is left in it.
TEST_F(Pinballcat, CompatKeepsWhatItDoesNotSet)
{
    SavedLayers saved{harbourExe};
    addTable(0, "Harbour", harbourExe);
    const std::string clear = "compat \"Harbour Table\" --clear";
    const std::string cleared = "cleared the compatibility settings of Harbour Table (" + harbourExe + ")";
    struct Case {
        const char *before;
        std::string arguments;
        const char *after;  // nullptr: the value is gone
        std::string output;
    } cases[] = {
        {"~ RUNASADMIN 256COLOR FUTURELAYER WIN95", "compat \"Harbour Table\" 640x480 16BITCOLOR",
         "~ RUNASADMIN FUTURELAYER 16BITCOLOR 640X480",
         "Harbour Table (" + harbourExe + ") runs with: RUNASADMIN FUTURELAYER 16BITCOLOR 640X480\n"},
        {"~ # HIGHDPIAWARE DISABLEDXMAXIMIZEDWINDOWEDMODE WIN95", "compat \"Harbour Table\" DPIUNAWARE WIN98",
         "~ # DISABLEDXMAXIMIZEDWINDOWEDMODE DPIUNAWARE WIN98",
         "Harbour Table (" + harbourExe + ") runs with: DISABLEDXMAXIMIZEDWINDOWEDMODE DPIUNAWARE WIN98\n"},
        {"runasadmin 256COLOR", "compat \"Harbour Table\" RUNASADMIN 256COLOR", "runasadmin 256COLOR",
         "Harbour Table (" + harbourExe + ") runs with: runasadmin 256COLOR\n"},
        {"~ RUNASADMIN 256COLOR FUTURELAYER 640X480", clear, "~ RUNASADMIN FUTURELAYER",
         cleared + "; kept: RUNASADMIN FUTURELAYER\n"},
        {"~ # 256COLOR 640X480", clear, nullptr, cleared + "\n"},
        {"~", clear, nullptr, cleared + "\n"},
        {"~ HIGHDPIAWARE", clear, "~ HIGHDPIAWARE",
         "Harbour Table had no compatibility settings that pinballcat sets; kept: HIGHDPIAWARE\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.before) + " / " + c.arguments);
        setLayers(harbourExe, c.before);
        EXPECT_EQ(done(c.arguments), c.output);
        std::string value;
        EXPECT_EQ(getLayers(harbourExe, &value), c.after != nullptr);
        EXPECT_EQ(value, c.after ? c.after : "");
    }

    setLayers(harbourExe, "~ 256COLOR DISABLEDXMAXIMIZEDWINDOWEDMODE");
    EXPECT_EQ(done("remove \"Harbour Table\""),
              "cleared the compatibility settings of " + harbourExe +
                  "; kept: DISABLEDXMAXIMIZEDWINDOWEDMODE\nremoved Harbour Table (was Table0)\n");
    std::string value;
    ASSERT_TRUE(getLayers(harbourExe, &value));
    EXPECT_EQ(value, "~ DISABLEDXMAXIMIZEDWINDOWEDMODE");
}

// The value is read whatever its length: list shows it, and compat keeps all of it.
TEST_F(Pinballcat, ListAndCompatReadALongValue)
{
    SavedLayers saved{harbourExe};
    addTable(0, "Harbour", harbourExe);
    std::string words;
    for (int i = 0; words.size() < 1500; ++i)
        words += " FUTURELAYER" + std::to_string(i);
    setLayers(harbourExe, "~" + words + " 256COLOR");
    std::string listed = done("list");
    EXPECT_NE(listed.find("    compat      " + words.substr(1) + " 256COLOR\n"), std::string::npos)
        << listed;
    done("compat \"Harbour Table\" 640X480");
    std::string value;
    ASSERT_TRUE(getLayers(harbourExe, &value));
    EXPECT_EQ(value, "~" + words + " 640X480");
}

// Lets this user only read the Layers key (and give its permissions back) while it lives: a
// key the user may not write, as an administrator's policy can leave it.
struct ReadOnlyLayersKey {
    std::string saved;
    bool locked = false;
    ReadOnlyLayersKey()
    {
        HKEY key;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, layersKey, 0, NULL, 0, READ_CONTROL | WRITE_DAC, NULL,
                            &key, NULL) != ERROR_SUCCESS)
            return;
        DWORD size = 0;
        RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, NULL, &size);
        saved.assign(size, '\0');
        PSECURITY_DESCRIPTOR readOnly = NULL;
        if (size > 0 &&
            RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, &saved[0], &size) == ERROR_SUCCESS &&
            ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(A;;KRWD;;;WD)", SDDL_REVISION_1,
                                                                 &readOnly, NULL)) {
            locked = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, readOnly) == ERROR_SUCCESS;
            LocalFree(readOnly);
        }
        RegCloseKey(key);
    }
    ~ReadOnlyLayersKey()
    {
        HKEY key;
        if (!locked || RegOpenKeyExA(HKEY_CURRENT_USER, layersKey, 0, WRITE_DAC, &key) != ERROR_SUCCESS)
            return;
        EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &saved[0]), ERROR_SUCCESS);
        RegCloseKey(key);
    }
};

// A change that fails says what failed and ends with a non-zero status; nothing is changed.
TEST_F(Pinballcat, CompatSaysWhenTheSettingsCannotBeChanged)
{
    SavedLayers saved{harbourExe};
    const std::string cannot = "the compatibility settings of " + harbourExe + ": ";
    struct Case {
        const char *before;
        const char *arguments;
        std::string message;
    } cases[] = {
        {"~ 256COLOR", "compat \"Harbour Table\" --clear", "could not delete " + cannot},
        {"~ 256COLOR RUNASADMIN", "compat \"Harbour Table\" --clear", "could not write " + cannot},
        {"~ 256COLOR", "compat \"Harbour Table\" 640X480", "could not write " + cannot},
        {"~ 256COLOR", "remove \"Harbour Table\"", "could not delete " + cannot},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.before) + " / " + c.arguments);
        addTable(0, "Harbour", harbourExe);
        setLayers(harbourExe, c.before);
        ConsoleRun run;
        {
            ReadOnlyLayersKey readOnly;
            ASSERT_TRUE(readOnly.locked);
            run = cat(c.arguments);
        }
        EXPECT_EQ(run.status, 2u);
        EXPECT_NE(run.errors.find(c.message), std::string::npos) << run.errors;
        EXPECT_EQ(run.output.find("cleared"), std::string::npos) << run.output;
        std::string value;
        ASSERT_TRUE(getLayers(harbourExe, &value));
        EXPECT_EQ(value, c.before);
    }
}

// Windows finds the settings by the program's full path: check says when the table starts from
// another drive than they name, and drive moves them with the table.
TEST_F(Pinballcat, DriveMovesTheCompatibilitySettingsWithTheTable)
{
    const std::string onE = "E:\\SPACE\\space.exe", onF = "F:\\SPACE\\space.exe",
                      onG = "G:\\SPACE\\space.exe";
    SavedLayers saved{onE, onF, onG};
    emptyDisc('E');
    emptyDisc('F');
    ASSERT_TRUE(putTableProgramOnDisc("SPACE\\space.exe", 'F'));
    addTable(0, "Space", onE);
    setRegString("Space", "Table CD", secondDiscLabel);
    setLayers(onE, "~ 256COLOR FUTURELAYER");

    std::string output = cat("check").output;
    EXPECT_EQ(output.substr(0, output.find('\n') + 1),
              "ok    Table0 Space Table: executable found on the disc in drive F:\\, which the shell "
              "starts it from: F:\\SPACE\\space.exe; its compatibility settings (256COLOR FUTURELAYER) "
              "are for E:\\SPACE\\space.exe, so Windows does not apply them to F:\\SPACE\\space.exe: "
              "pinballcat drive \"Space Table\" F moves the table and its settings; no picture set, "
              "shows the on-CD placeholder\n");

    EXPECT_EQ(done("drive \"Space Table\" F"), "moved Space Table to drive F: F:\\SPACE\\space.exe\n"
                                               "    compatibility settings 256COLOR FUTURELAYER\n");
    std::string value;
    EXPECT_FALSE(getLayers(onE, &value));
    ASSERT_TRUE(getLayers(onF, &value));
    EXPECT_EQ(value, "~ 256COLOR FUTURELAYER");
    output = cat("check").output;
    EXPECT_EQ(output.find("compatibility"), std::string::npos) << output;
    EXPECT_EQ(done("drive \"Space Table\" f"), "moved Space Table to drive F: F:\\SPACE\\space.exe\n");
    ASSERT_TRUE(getLayers(onF, &value)) << "a move to the same drive keeps them";
    EXPECT_EQ(value, "~ 256COLOR FUTURELAYER");

    // Settings that the new path has already stay, and win over a rival; the old path keeps its
    // settings while another table still starts it.
    addTable(1, "Twin", onF);
    setLayers(onG, "~ 16BITCOLOR");
    EXPECT_EQ(done("drive \"Space Table\" G"), "moved Space Table to drive G: G:\\SPACE\\space.exe\n"
                                               "    compatibility settings 16BITCOLOR FUTURELAYER\n");
    ASSERT_TRUE(getLayers(onG, &value));
    EXPECT_EQ(value, "~ 16BITCOLOR FUTURELAYER");
    ASSERT_TRUE(getLayers(onF, &value));
    EXPECT_EQ(value, "~ 256COLOR FUTURELAYER");
    emptyDisc('F');
}

// An empty removable drive must not hold a command with the system's own box: the tool takes
// critical errors itself, as the shell does, before any command looks at a drive.
TEST(PinballcatRun, TakesCriticalErrorsItself)
{
    UINT previous = SetErrorMode(0);
    char program[] = "pinballcat", command[] = "help";
    char *argv[] = {program, command, nullptr};
    EXPECT_EQ(runPinballcat(2, argv), 0);
    UINT mode = SetErrorMode(previous);
    EXPECT_NE(mode & SEM_FAILCRITICALERRORS, 0u);
}

// Each kind of header, and what each Windows makes of it.
TEST(ProgramHeader, SaysWhichWindowsCanStartTheProgram)
{
    const WORD x64 = PROCESSOR_ARCHITECTURE_AMD64, x86 = PROCESSOR_ARCHITECTURE_INTEL,
               arm64 = PROCESSOR_ARCHITECTURE_ARM64;
    const std::string dos = "is a DOS program, which 64-bit Windows cannot start; play it in a DOS "
                            "emulator, or on a 32-bit Windows in a virtual machine";
    const std::string win16 = "is a 16-bit Windows program, which 64-bit Windows cannot start; play "
                              "it on a 32-bit Windows, in a virtual machine if need be";
    const std::string none = "is no program: it has no program header";
    const std::string dll = "is a DLL, not a program: the table needs the program (.exe) that loads it";
    auto foreign = [](const std::string &processor, const std::string &host) {
        return "is a program for the " + processor + " processor, which this " + host +
               " Windows cannot start; it needs a Windows built for that processor";
    };
    auto wide = [](const std::string &processor, const std::string &host) {
        return "is a 64-bit program for " + processor + ", which this " + host +
               " Windows cannot start; it needs a 64-bit Windows on that processor";
    };
    const std::string onX64 = "64-bit x64", onX86 = "32-bit x86", onArm64 = "64-bit ARM64";
    struct Case {
        const char *what;
        const char *name;
        Bytes contents;
        std::string onX64, onX86, onArm64;  // "" where that Windows starts it
    } cases[] = {
        {"32-bit x86", "x86.exe", peProgram(IMAGE_FILE_MACHINE_I386), "", "", ""},
        {"x64", "x64.exe", peProgram(IMAGE_FILE_MACHINE_AMD64), "", wide("x64", onX86), ""},
        {"ARM64", "arm64.exe", peProgram(IMAGE_FILE_MACHINE_ARM64), wide("ARM64", onX64),
         wide("ARM64", onX86), ""},
        {"Alpha", "alpha.exe", peProgram(IMAGE_FILE_MACHINE_ALPHA), foreign("Alpha", onX64),
         foreign("Alpha", onX86), foreign("Alpha", onArm64)},
        {"MIPS", "mips.exe", peProgram(IMAGE_FILE_MACHINE_R4000), foreign("MIPS R4000", onX64),
         foreign("MIPS R4000", onX86), foreign("MIPS R4000", onArm64)},
        {"Itanium", "ia64.exe", peProgram(IMAGE_FILE_MACHINE_IA64), foreign("Itanium (IA-64)", onX64),
         foreign("Itanium (IA-64)", onX86), foreign("Itanium (IA-64)", onArm64)},
        {"ARM Thumb-2", "armnt.exe", peProgram(IMAGE_FILE_MACHINE_ARMNT), foreign("ARM (Thumb-2)", onX64),
         foreign("ARM (Thumb-2)", onX86), ""},
        {"an unknown processor", "odd.exe", peProgram(0x7777), foreign("0x7777", onX64),
         foreign("0x7777", onX86), foreign("0x7777", onArm64)},
        {"a DLL", "table.dll",
         peProgram(IMAGE_FILE_MACHINE_I386, IMAGE_FILE_EXECUTABLE_IMAGE | IMAGE_FILE_DLL), dll, dll, dll},
        {"16-bit Windows", "win16.exe", newHeaderProgram("NE"), win16, "", win16},
        {"DOS extender", "dos4gw.exe", newHeaderProgram("LE"), dos, "", dos},
        {"DOS", "dos.exe", concat({dosHeader(0), patternBytes(200, 3)}), dos, "", dos},
        {"DOS, new header past the end", "dosfar.exe", concat({dosHeader(0x10000), patternBytes(200, 3)}),
         dos, "", dos},
        {"DOS .com", "game.com", patternBytes(300, 9), dos, "", dos},
        {"a text", "readme.exe", Bytes({'R', 'e', 'a', 'd', ' ', 'm', 'e', '\r', '\n'}), none, none, none},
        {"one byte", "m.exe", Bytes({'M'}), none, none, none},
        {"empty", "empty.exe", Bytes(), none, none, none},
        {"a batch file", "start.bat", Bytes({'@', 'e', 'c', 'h', 'o', '\r', '\n'}), "", "", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        NamedFile file(c.name, c.contents);
        for (auto host : {std::make_pair(x64, c.onX64), std::make_pair(x86, c.onX86),
                          std::make_pair(arm64, c.onArm64)}) {
            SCOPED_TRACE(host.first);
            std::string why;
            EXPECT_EQ(programRuns(file.path.c_str(), host.first, &why), host.second.empty());
            EXPECT_EQ(why, host.second);
        }
    }
    // A file that cannot be read is left to the start, which says why.
    std::string why;
    EXPECT_TRUE(programRuns("C:\\nowhere\\gone.exe", x64, &why));
    EXPECT_EQ(why, "");
    // A 32-bit process on 64-bit Windows still names the 64-bit host.
    EXPECT_EQ(hostArchitecture() != x86, !testHost().runs16Bit);
}

// What fails follows from the Windows that runs the check: 16-bit and DOS programs start on a
// 32-bit Windows only.
TEST_F(Pinballcat, CheckFailsATableThatThisWindowsCannotStart)
{
    const TestHost host = testHost();
    std::string exe = copyTableProgram("checked.exe");
    NamedFile win16("win16.exe", newHeaderProgram("NE"));
    NamedFile dos("dos.exe", concat({dosHeader(0), patternBytes(200, 3)}));
    NamedFile alpha("alpha.exe", peProgram(IMAGE_FILE_MACHINE_ALPHA));
    NamedFile text("readme.exe", Bytes(300, 'x'));
    addTable(0, "Good", exe);
    addTable(1, "Win16", win16.path);
    addTable(2, "Dos", dos.path);
    addTable(3, "Alpha", alpha.path);
    addTable(4, "Text", text.path);
    ConsoleRun run = cat("check");
    EXPECT_EQ(run.status, 1u);
    const std::string noPicture = "; no picture set, shows the no-picture placeholder\n";
    const std::string win16Line =
        host.runs16Bit ? "ok    Table1 Win16 Table: executable found"
                       : "FAIL  Table1 Win16 Table: executable " + win16.path +
                             " is a 16-bit Windows program, which 64-bit Windows cannot start; play "
                             "it on a 32-bit Windows, in a virtual machine if need be";
    const std::string dosLine =
        host.runs16Bit ? "ok    Table2 Dos Table: executable found"
                       : "FAIL  Table2 Dos Table: executable " + dos.path +
                             " is a DOS program, which 64-bit Windows cannot start; play it in a DOS "
                             "emulator, or on a 32-bit Windows in a virtual machine";
    EXPECT_EQ(run.output,
              "ok    Table0 Good Table: executable found" + noPicture + win16Line + noPicture +
                  dosLine + noPicture + "FAIL  Table3 Alpha Table: executable " + alpha.path +
                  " is a program for the Alpha processor, which this " + host.name +
                  " Windows cannot start; it needs a Windows built for that processor" + noPicture +
                  "FAIL  Table4 Text Table: executable " + text.path +
                  " is no program: it has no program header" + noPicture +
                  "ok    Last Table Played: none recorded yet: restart shows the shell instead\n");
}

}

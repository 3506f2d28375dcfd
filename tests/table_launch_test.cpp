#include <gtest/gtest.h>

#include "settings/catalogue.h"
#include "shell/globals.h"
#include "shell/table_launch.h"
#include "tests/support/cdrom.h"
#include "tests/support/dialogs.h"
#include "tests/support/files.h"
#include "tests/support/table_program.h"

#include <string.h>

#include <string>
#include <vector>

namespace {

const char title[] = "Vantrel! 2 Demo";

// A folder of the test's own under the temporary directory, with a blank in its name as in
// "Program Files"; removed with what it holds.
class ScratchFolder {
public:
    ScratchFolder()
    {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        path = std::string(temp) + "pinball launch " + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryA(path.c_str(), NULL);
    }
    ~ScratchFolder()
    {
        for (const std::string &file : files)
            DeleteFileA(file.c_str());
        RemoveDirectoryA(path.c_str());
    }
    std::string add(const std::string &name, const std::string &content)
    {
        std::string file = path + name;
        writeWholeFile(file, content.data(), content.size());
        files.push_back(file);
        return file;
    }
    std::string copy(const std::string &source, const std::string &name)
    {
        std::string file = path + name;
        CopyFileA(source.c_str(), file.c_str(), FALSE);
        files.push_back(file);
        return file;
    }
    std::string path;

private:
    std::vector<std::string> files;
};

// A catalogue record of the table under test, its texts held by the fixture.
class TablePresence : public ::testing::Test {
protected:
    std::string exePath;
    std::string cdLabel;
    TableEntry table{};
    char startPath[textBufferSize] = "";

    void SetUp() override
    {
        appInstance = GetModuleHandleA(NULL);
        emptyDisc('E');
        emptyDisc('F');
    }
    void TearDown() override
    {
        emptyDisc('E');
        emptyDisc('F');
    }
    void select(const std::string &path, const std::string &label)
    {
        exePath = path;
        cdLabel = label;
        table.exePath = &exePath[0];
        table.cdLabel = &cdLabel[0];
        table.driveType = probeDriveType(table.exePath);
    }
};

TEST_F(TablePresence, DriveEIsTheCdromDrive)
{
    select("E:\\table.exe", "Disc");
    EXPECT_EQ(table.driveType, (unsigned)DRIVE_CDROM);
}

TEST_F(TablePresence, CdPromptReturnsUntilTheDiscHoldsTheTable)
{
    select("E:\\table.exe", "Vantrel Disc 1");
    BoxAnswerer answerer({"OK", "OK", "OK"}, [](size_t box) {
        if (box == 2) {
            EXPECT_TRUE(putOnDisc("table.exe", "table"));
        }
    });
    EXPECT_EQ(checkTablePresent(&table, startPath), 1);
    const std::vector<MessageBoxContent> &boxes = answerer.finish();
    ASSERT_EQ(boxes.size(), 3u);
    for (const MessageBoxContent &box : boxes) {
        EXPECT_EQ(box.caption, title);
        EXPECT_EQ(box.text, "Insert CD labeled 'Vantrel Disc 1'");
        EXPECT_EQ(box.buttons, (std::vector<std::string>{"OK", "Cancel"}));
    }
}

TEST_F(TablePresence, CancelOnTheCdPromptGivesUp)
{
    select("E:\\table.exe", "Unrecognized CD");
    BoxAnswerer answerer({"OK", "Cancel"});
    EXPECT_EQ(checkTablePresent(&table, startPath), 0);
    const std::vector<MessageBoxContent> &boxes = answerer.finish();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, "Insert CD labeled 'Unrecognized CD'");
}

// Whether the CD is asked for or the table reported missing is decided by the drives as they
// are when the player chooses, as the search for the disc is: not by the kind of drive that the
// path named when the catalogue was read (a drive letter may have come or gone since).
TEST_F(TablePresence, PromptOrReportFollowsTheDrivesAsTheyAreNow)
{
    struct Case {
        const char *what;
        const char *path;
        unsigned int typeWhenRead;
        bool prompt;
    } cases[] = {
        {"a CD drive now, a fixed disk when read", "E:\\table.exe", DRIVE_FIXED, true},
        {"a drive that is gone now, a network drive when read", "G:\\table.exe", DRIVE_REMOTE,
         true},
        {"a fixed disk now, a CD drive when read", "C:\\Tables\\missing.exe", DRIVE_CDROM, false},
        {"a fixed disk now, a drive that was gone when read", "C:\\Tables\\missing.exe",
         DRIVE_NO_ROOT_DIR, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        select(c.path, "Disc");
        table.driveType = c.typeWhenRead;
        BoxAnswerer answerer({"Cancel"});
        EXPECT_EQ(checkTablePresent(&table, startPath), 0);
        const std::vector<MessageBoxContent> &boxes = answerer.finish();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, c.prompt ? std::string("Insert CD labeled 'Disc'")
                                          : "Unable to find the pinball table: " + exePath);
    }
}

TEST_F(TablePresence, TableOnTheDiscPassesWithoutAsking)
{
    ASSERT_TRUE(putOnDisc("table.exe", "table"));
    select("E:\\table.exe", "Disc");
    BoxAnswerer answerer({});
    EXPECT_EQ(checkTablePresent(&table, startPath), 1);
    EXPECT_TRUE(answerer.finish().empty());
}

// A disc mounted in another drive than the one the table was installed from, which may be gone
// (G: does not exist): it is started from there without a question, as long as the disc carries
// the table's label (any label for the default one, in any capitals); the catalogue's path
// stays. The disc in F: carries secondDiscLabel.
TEST_F(TablePresence, TableOnItsDiscInAnotherDriveIsStartedFromThere)
{
    struct Case {
        const char *what;
        const char *recorded;
        const char *tableLabel;
        bool inE, inF;
        const char *started;  // null: the CD is asked for
    } cases[] = {
        {"the disc in its own drive: nothing changes", "E:\\SPACE\\table.exe", "Vantrel2 Disc 2",
         true, true, "E:\\SPACE\\table.exe"},
        {"the disc in F:, the label in other capitals", "E:\\SPACE\\table.exe", "VANTREL2 DISC 2",
         false, true, "F:\\SPACE\\table.exe"},
        {"another disc in F: with the same path", "E:\\SPACE\\table.exe", "Vantrel2 Disc 3", false,
         true, nullptr},
        {"the default label: the path decides", "E:\\SPACE\\table.exe", "Unrecognized CD", false,
         true, "F:\\SPACE\\table.exe"},
        {"the default label in other capitals", "E:\\SPACE\\table.exe", "UNRECOGNIZED cd", false,
         true, "F:\\SPACE\\table.exe"},
        {"the drive is gone, the disc in F:", "G:\\SPACE\\table.exe", "Vantrel2 Disc 2", false, true,
         "F:\\SPACE\\table.exe"},
        {"the drive is gone, the disc in E: and F:", "G:\\SPACE\\table.exe", "Unrecognized CD", true,
         true, "E:\\SPACE\\table.exe"},
        {"the drive is gone, no disc anywhere", "G:\\SPACE\\table.exe", "Vantrel2 Disc 2", false,
         false, nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        emptyDisc('E');
        emptyDisc('F');
        if (c.inE) {
            ASSERT_TRUE(putOnDisc("SPACE\\table.exe", "table", 'E'));
        }
        if (c.inF) {
            ASSERT_TRUE(putOnDisc("SPACE\\table.exe", "table", 'F'));
        }
        select(c.recorded, c.tableLabel);
        startPath[0] = '\0';
        BoxAnswerer answerer({"Cancel"});
        EXPECT_EQ(checkTablePresent(&table, startPath), c.started ? 1 : 0);
        const std::vector<MessageBoxContent> &boxes = answerer.finish();
        if (c.started) {
            EXPECT_TRUE(boxes.empty());
            EXPECT_STREQ(startPath, c.started);
        } else {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].text, "Insert CD labeled '" + cdLabel + "'");
            EXPECT_STREQ(startPath, "") << "left as it was";
        }
        EXPECT_STREQ(table.exePath, c.recorded);
    }
}

// Each retry of the prompt looks at the drives again: a disc put into F: while the prompt is
// up is found there.
TEST_F(TablePresence, EachRetryLooksAtTheDrivesAgain)
{
    select("E:\\SPACE\\table.exe", secondDiscLabel);
    BoxAnswerer answerer({"OK", "OK"}, [](size_t box) {
        if (box == 1) {
            EXPECT_TRUE(putOnDisc("SPACE\\table.exe", "table", 'F'));
        }
    });
    EXPECT_EQ(checkTablePresent(&table, startPath), 1);
    EXPECT_EQ(answerer.finish().size(), 2u);
    EXPECT_STREQ(startPath, "F:\\SPACE\\table.exe");

}

TEST_F(TablePresence, MissingTableOnAFixedDiskIsReportedOnce)
{
    select("C:\\Tables\\missing.exe", "Disc");
    ASSERT_EQ(table.driveType, (unsigned)DRIVE_FIXED);
    BoxAnswerer answerer({"OK"});
    EXPECT_EQ(checkTablePresent(&table, startPath), 0);
    const std::vector<MessageBoxContent> &boxes = answerer.finish();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Error:");
    EXPECT_EQ(boxes[0].text, "Unable to find the pinball table: C:\\Tables\\missing.exe");
    EXPECT_EQ(boxes[0].buttons, std::vector<std::string>{"OK"});
}

// OpenFile takes paths of up to 127 characters; a catalogue path may be longer.
TEST_F(TablePresence, TableWithALongPathIsFound)
{
    ScratchFolder folder;
    const std::string name = std::string(200 - folder.path.size(), 't') + ".exe";
    const std::string path = folder.add(name, "table");
    ASSERT_EQ(path.size(), 204u);
    select(path, "Disc");
    BoxAnswerer answerer({"OK"});
    EXPECT_EQ(checkTablePresent(&table, startPath), 1);
    EXPECT_TRUE(answerer.finish().empty());
}

// Catalogue texts hold up to 499 characters; a message made from one is cut to the message
// buffer instead of running past it.
TEST_F(TablePresence, MessagesFromTheLongestTextsAreCut)
{
    struct Case {
        std::string path;
        std::string label;
        std::string expected;
    } cases[] = {
        {"C:\\" + std::string(492, 'p') + ".exe", "Disc",
         ("Unable to find the pinball table: C:\\" + std::string(492, 'p')).substr(0, 499)},
        {"E:\\table.exe", std::string(499, 'l'),
         ("Insert CD labeled '" + std::string(499, 'l')).substr(0, 499)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.expected.substr(0, 20));
        select(c.path, c.label);
        BoxAnswerer answerer({"Cancel"});
        EXPECT_EQ(checkTablePresent(&table, startPath), 0);
        const std::vector<MessageBoxContent> &boxes = answerer.finish();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, c.expected);
    }
}

std::string moduleDirectory(HMODULE module)
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(module, path, sizeof path);
    std::string text(path, length);
    return text.substr(0, text.find_last_of('\\') + 1);
}

TEST(ModulePath, NamesAFileBesideTheExecutable)
{
    appInstance = GetModuleHandleA(NULL);
    char buffer[500];
    EXPECT_EQ(makeModulePath(buffer, "logo.avi", sizeof buffer), 0);
    EXPECT_EQ(buffer, moduleDirectory(NULL) + "logo.avi");
}

// A module with a short file name, so that the sizes around the boundary are not already too
// small for GetModuleFileNameA itself.
TEST(ModulePath, BufferMustHoldTheDirectoryAndAnEightDotThreeName)
{
    appInstance = GetModuleHandleA("ntdll.dll");
    const std::string directory = moduleDirectory(appInstance);
    const int k = (int)directory.size() - 1;
    struct Case {
        int size;
        const char *fileName;
        std::string expected;
        int result;
    } cases[] = {
        {k + 14, "logo.avi", directory + "logo.avi", 0},
        {k + 14, "abcdefgh.ijk", directory + "abcdefgh.ijk", 0},
        {k + 13, "logo.avi", directory + "?", 1},
        {k + 11, "logo.avi", directory + "?", 1},
        {k + 14, "a-name-too-long-for-it.avi", directory + "?", 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.size - k) + " " + c.fileName);
        char buffer[600];
        memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(makeModulePath(buffer, c.fileName, c.size), c.result);
        EXPECT_EQ(buffer, c.expected);
        EXPECT_EQ(buffer[c.size], '#') << "nothing is written past the given size";
    }
    appInstance = GetModuleHandleA(NULL);
}

TEST(ModulePath, NameCutByTheBufferFails)
{
    appInstance = GetModuleHandleA(NULL);
    char full[MAX_PATH];
    int length = (int)GetModuleFileNameA(NULL, full, sizeof full);
    char buffer[MAX_PATH];
    EXPECT_EQ(makeModulePath(buffer, "logo.avi", length), 1);
}


TEST(RunTable, FailureIsReportedWithTheRightText)
{
    appInstance = GetModuleHandleA(NULL);
    ScratchFolder folder;
    const std::string notAProgram = folder.add("not a table.exe", "this is text, not a program");
    const std::string tooLong = "C:\\" + std::string(600, 'x') + ".exe";
    struct Case {
        std::string path;
        std::string text;
    } cases[] = {
        {folder.path + "missing.exe", "Unable to find the pinball table: " + folder.path + "missing.exe"},
        {"C:\\no such folder\\table.exe", "Unable to find the pinball table: C:\\no such folder\\table.exe"},
        {notAProgram, "Unable to run the pinball table (error #11)"},
        // Longer than any catalogue path: refused, never cut into another path.
        {tooLong, ("Unable to find the pinball table: " + tooLong).substr(0, 499)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path.substr(0, 60));
        BoxAnswerer answerer({"OK"});
        EXPECT_EQ(runTable(c.path.c_str()), 0);
        const std::vector<MessageBoxContent> &boxes = answerer.finish();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].caption, "Error:");
        EXPECT_EQ(boxes[0].text, c.text);
    }
}

// The table is started shown. Its path is quoted where a blank would split it, so that Windows
// does not try to run a program named by the path's first word ("C:\Program.exe").
TEST(RunTable, StartsTheProgramWithNoMovieBehindItsPath)
{
    appInstance = GetModuleHandleA(NULL);
    ScratchFolder folder;
    ASSERT_NE(folder.path.find(' '), std::string::npos);
    const std::string blankPath = folder.copy(tableProgramPath(), "table one.exe");
    const std::string plainPath = copyTableProgram("plaintable.exe");
    ASSERT_EQ(plainPath.find(' '), std::string::npos);
    // A program named by the first word of the blank path, which must not be the one started.
    const std::string decoy = folder.path.substr(0, folder.path.find(' ')) + ".exe";
    ASSERT_TRUE(CopyFileA(tableProgramPath().c_str(), decoy.c_str(), FALSE));
    struct Case {
        std::string path;
        std::string command;
    } cases[] = {
        {blankPath, "\"" + blankPath + "\" -nomovie"},
        {plainPath, plainPath + " -nomovie"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path);
        const std::string log = freshTableLogPath("run_table");
        ScopedEnvironment logFile("PINBALL_TABLE_LOG", log);
        BoxAnswerer answerer({});
        ASSERT_EQ(runTable(c.path.c_str()), 1);
        std::string start, show;
        EXPECT_TRUE(waitForTableLogLine(log, "start ", 10000, &start));
        EXPECT_EQ(start, "start " + c.command);
        EXPECT_TRUE(waitForTableLogLine(log, "show ", 10000, &show));
        EXPECT_EQ(show, "show 5") << "the table is started shown";
        EXPECT_TRUE(endStartedTableProgram(10000));
        EXPECT_TRUE(answerer.finish().empty());
    }
    DeleteFileA(decoy.c_str());
}

}

#include <gtest/gtest.h>

#include "tests/support/cdrom.h"
#include "tests/support/dialogs.h"
#include "tests/support/input.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/shell_session.h"
#include "tests/support/table_program.h"

#include <stdio.h>
#include <stdlib.h>

#include <string>

// The shell in the player's language. Wine takes a program's language from LANG and LC_ALL, and
// a program it starts has the same; CTest runs this test once in each language of the shell and
// once in a country of each other than its own (tests/CMakeLists.txt), and the language of this
// run picks the expected texts. The texts are
// in code page 1252, as Windows shows them in these languages.

namespace {

struct LanguageTexts {
    WORD language;
    const char *ok, *cancel;
    const char *insertCd;  // the CD prompt, %s the label
    const char *notFound;  // the box of a missing table, %s its path
    const char *errorCaption;
    const char *unknownCd;
};

const LanguageTexts languages[] = {
    {MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), "OK", "Cancel", "Insert CD labeled '%s'",
     "Unable to find the pinball table: %s", "Error:", "Unrecognized CD"},
    {MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), "OK", "Abbrechen", "Bitte die CD \x84%s\x93 einlegen",
     "Der Flippertisch wurde nicht gefunden: %s", "Fehler:", "Unbekannte CD"},
    {MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH), "OK", "Annuler", "Ins\xE9" "rez le CD \xAB %s \xBB",
     "Table de flipper introuvable : %s", "Erreur :", "CD non reconnu"},
    {MAKELANGID(LANG_SPANISH, SUBLANG_SPANISH_MODERN), "Aceptar", "Cancelar", "Inserte el CD \xAB%s\xBB",
     "No se encuentra la mesa de pinball: %s", "Error:", "CD no reconocido"},
    {MAKELANGID(LANG_ITALIAN, SUBLANG_ITALIAN), "OK", "Annulla", "Inserire il CD \xAB%s\xBB",
     "Impossibile trovare il tavolo da flipper: %s", "Errore:", "CD non riconosciuto"},
    {MAKELANGID(LANG_DUTCH, SUBLANG_DUTCH), "OK", "Annuleren", "Plaats de cd '%s'",
     "Kan de flipperkast niet vinden: %s", "Fout:", "Onbekende cd"},
};

// Every country of a language gets that language's texts (Austria German, Canada French...).
const LanguageTexts *languageOfThisRun()
{
    for (const LanguageTexts &texts : languages)
        if (PRIMARYLANGID(texts.language) == PRIMARYLANGID(GetUserDefaultUILanguage()))
            return &texts;
    return nullptr;
}

// The language that the run's locale asks for ("de" of "de_AT.UTF-8"; English for C or none),
// and the one Wine gave the run: a locale that Wine could not take would leave the run in
// English, and prove nothing.
std::string askedLanguage()
{
    const char *locale = getenv("LC_ALL");
    if (!locale || !locale[0])
        locale = getenv("LANG");
    std::string asked = locale ? locale : "";
    size_t country = asked.find('_');
    return country == std::string::npos ? "en" : asked.substr(0, country);
}

std::string languageOfTheRun()
{
    char name[16] = "";
    GetLocaleInfoA(MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT), LOCALE_SISO639LANGNAME,
                   name, sizeof name);
    return name;
}

std::string formatted(const char *format, const std::string &argument)
{
    char text[500];
    snprintf(text, sizeof text, format, argument.c_str());
    return text;
}

const DWORD boxTimeoutMs = 10000;

class ShellLanguage : public ShellSession {
protected:
    const LanguageTexts *texts = languageOfThisRun();
    std::string log = freshTableLogPath("shell_language");
    ScopedEnvironment logFile{"PINBALL_TABLE_LOG", log};

    void SetUp() override
    {
        ASSERT_EQ(languageOfTheRun(), askedLanguage());
        ASSERT_NE(texts, nullptr) << "no texts for language 0x" << std::hex
                                  << GetUserDefaultUILanguage();
        emptyDisc('E');
        emptyDisc('F');
    }
    void TearDown() override
    {
        endShell();
        endTablePrograms(log);
        emptyDisc('E');
        emptyDisc('F');
    }

    // Double-clicks the picture of table `index` and reads the box that the shell shows.
    ::testing::AssertionResult boxAfterChoosing(int index, MessageBoxContent *box)
    {
        if (!bringToFront(window, boxTimeoutMs))
            return ::testing::AssertionFailure() << "the shell window did not come forward";
        if (!doubleClickWindow(pictureIn(frames()[index])))
            return ::testing::AssertionFailure() << "the picture could not be double-clicked";
        if (!waitForMessageBox(shell->id(), boxTimeoutMs, box))
            return ::testing::AssertionFailure() << "no box";
        return ::testing::AssertionSuccess();
    }

    // Answers the box with its last button (Cancel where it has one) and waits until it is gone.
    static void dismiss(const MessageBoxContent &box)
    {
        answerMessageBox(box, box.buttons.back());
        waitUntil([&box] { return !IsWindow(box.window); }, boxTimeoutMs);
    }
};

// The buttons, the CD prompt and the box of a missing table speak the player's language with the
// table's label or path in place; the buttons are wide enough for their words, beside the
// label; the settings are read from and written to the one key of every language.
TEST_F(ShellLanguage, ButtonsAndBoxesInThePlayersLanguage)
{
    std::string missing = testDirectory() + "no such folder\\Gone.exe";
    addTable("On a disc", "E:\\LANGUAGE\\disc.exe");
    setRegString("Table 0", "Table CD", "Vantrel Disc 7");
    addTable("Gone", missing);
    ASSERT_TRUE(startShell());

    EXPECT_EQ(windowText(okButton()), texts->ok);
    EXPECT_EQ(windowText(cancelButton()), texts->cancel);
    RECT ok = placeInParent(okButton()), cancel = placeInParent(cancelButton()),
         label = placeInParent(this->label()), client;
    GetClientRect(window, &client);
    HDC dc = GetDC(okButton());
    SelectObject(dc, (HFONT)SendMessageA(okButton(), WM_GETFONT, 0, 0));
    for (const char *word : {texts->ok, texts->cancel}) {
        SIZE extent{};
        GetTextExtentPoint32A(dc, word, lstrlenA(word), &extent);
        EXPECT_GT(cancel.right - cancel.left, extent.cx) << word;
    }
    ReleaseDC(okButton(), dc);
    EXPECT_EQ(ok.right - ok.left, cancel.right - cancel.left);
    EXPECT_LE(label.right, ok.left);
    EXPECT_LT(ok.right, cancel.left);
    EXPECT_LE(cancel.right, client.right);

    MessageBoxContent box;
    ASSERT_TRUE(boxAfterChoosing(0, &box));
    EXPECT_EQ(box.caption, "Vantrel! 2 Demo");
    EXPECT_EQ(box.text, formatted(texts->insertCd, "Vantrel Disc 7"));
    EXPECT_EQ(box.buttons.size(), 2u);
    dismiss(box);

    ASSERT_TRUE(boxAfterChoosing(1, &box));
    EXPECT_EQ(box.caption, texts->errorCaption);
    EXPECT_EQ(box.text, formatted(texts->notFound, missing));
    dismiss(box);

    std::string shellExe;
    EXPECT_TRUE(getRegString("", "Shell Exe", &shellExe));
    EXPECT_EQ(shellExe, shellExePath());
    DWORD version = 0;
    EXPECT_TRUE(getRegDword("", "Shell Version", &version));
    EXPECT_EQ(version, 3u);
}

// A table that names no label of its own, or the stored default label as a catalogue written in
// any language holds it, is found in another drive in every language; where no drive has it, the
// player is asked for the default label in his language.
TEST_F(ShellLanguage, DefaultLabelIsTheSameInEveryLanguage)
{
    struct Case {
        const char *what;
        bool labelStored;
        bool onSecondDisc;
    } cases[] = {
        {"no label, the disc in F:", false, true},
        {"the default label stored, the disc in F:", true, true},
        {"no label, no disc", false, false},
        {"the default label stored, no disc", true, false},
    };
    std::string folder = discFolder('F') + "LANGUAGE";
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        deleteSettingsKey();
        tables = 0;
        emptyDisc('F');
        DeleteFileA(log.c_str());
        addTable("Default label", "E:\\LANGUAGE\\table.exe");
        if (c.labelStored)
            setRegString("Table 0", "Table CD", "Unrecognized CD");
        if (c.onSecondDisc) {
            CreateDirectoryA(folder.c_str(), NULL);
            ASSERT_TRUE(CopyFileA(tableProgramPath().c_str(), (folder + "\\table.exe").c_str(), FALSE));
        }
        ASSERT_TRUE(startShell());
        if (c.onSecondDisc) {
            ASSERT_TRUE(bringToFront(window, boxTimeoutMs));
            ASSERT_TRUE(doubleClickWindow(pictureIn(frames()[0])));
            DWORD status = 1;
            EXPECT_TRUE(waitForEnd(&status));
            EXPECT_EQ(status, 0u);
            EXPECT_TRUE(waitForTableLogLine(log, "start F:\\LANGUAGE\\table.exe -nomovie", 10000));
            endTablePrograms(log);
        } else {
            MessageBoxContent box;
            ASSERT_TRUE(boxAfterChoosing(0, &box));
            EXPECT_EQ(box.text, formatted(texts->insertCd, texts->unknownCd));
            dismiss(box);
            endShell();
        }
    }
}

}

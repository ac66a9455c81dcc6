#include "base/core/IniValue.h"
#include "base/core/Paths.h"
#include "base/core/ReplaceText.h"
#include "base/core/Taskbar.h"
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vexa;

TEST(ReplaceText, ReplacesLeftToRightWithoutOverlap)
{
    struct Case {
        const char* text;
        const char* find;
        const char* replacement;
        const char* expected;
    };
    const Case cases[] = {
        {"DUPONT^JEAN^^^", "^", " ", "DUPONT JEAN   "},
        {"DUPONT^JEAN^^^", "", " ", "DUPONT^JEAN^^^"},
        {"a--b--c", "--", "<long>", "a<long>b<long>c"},
        {"a--b--c", "--", "", "abc"},
        {"a--b--c", "--", "==", "a==b==c"},
        {"aaaa", "aa", "a", "aa"}, // no overlap: two matches, not three
        {"abab", "ab", "abab", "abababab"}, // replacements are not searched again
        {"", "x", "y", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(replaceText(c.text, c.find, c.replacement), c.expected) << c.text << " / " << c.find;
}

TEST(ReplaceText, IgnoringCaseKeepsTheLettersOutsideTheReplacedParts)
{
    EXPECT_EQ(replaceText("Nom NOM nom", "nom", "x", 1, -1, 1), "x x x");
    EXPECT_EQ(replaceText("Le Nom, LE NOM.", "nom", "[Nom]", 1, -1, 1), "Le [Nom], LE [Nom].");
    EXPECT_EQ(replaceText("Nom NOM nom", "nom", "x", 1, -1, 0), "Nom NOM x");
}

TEST(ReplaceText, StartAndCountLimitTheReplacements)
{
    EXPECT_EQ(replaceText("a.b.c.d", ".", "/", 4), "a.b/c/d") << "text before the start is kept";
    EXPECT_EQ(replaceText("a.b.c.d", ".", "/", 1, 2), "a/b/c.d");
    EXPECT_EQ(replaceText("a.b.c.d", ".", "/", 1, 0), "a.b.c.d");
    EXPECT_EQ(replaceText("a.b", ".", "/", 50), "a.b");
}

TEST(WithTrailingBackslash, TrimsBlanksAndAppendsOneSeparator)
{
    const std::pair<const char*, const char*> cases[]
        = {{"/srv/images  ", "/srv/images/"}, {"/srv/images/", "/srv/images/"}, {"", "/"}, {"  ", "/"}};
    for (auto [given, expected] : cases) {
        QString path = given;
        EXPECT_EQ(withTrailingBackslash(path), expected) << given;
        EXPECT_EQ(path, expected) << "the argument is changed too";
    }
}

TEST(TaskbarHeight, SignTellsBottomFromTop)
{
    const QRect screen(0, 0, 1920, 1080);
    EXPECT_EQ(taskbarHeightFor(screen, QRect(0, 0, 1920, 1040)), 40);
    EXPECT_EQ(taskbarHeightFor(screen, QRect(0, 40, 1920, 1040)), -40);
    EXPECT_EQ(taskbarHeightFor(screen, screen), 0);
    EXPECT_EQ(taskbarHeightFor(screen, QRect(60, 0, 1860, 1080)), 0) << "a band at the side takes no height";
    EXPECT_EQ(taskbarHeightFor(QRect(1920, 0, 1280, 1024), QRect(1920, 30, 1280, 994)), -30)
        << "second screen";
}

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

TEST(ReadIniValue, ReadsLikeTheProfileLookup)
{
    QTemporaryDir folder;
    const QString ini = folder.filePath("vexareg.reg");
    writeFile(ini,
        "; mise a jour\r\n[Autre]\r\nShortPath=/faux/\r\n"
        "[vexaupdate]\r\n  shortpath =  \"C:\\update.vex\\\"  \r\nLong="
            + QByteArray(300, 'x') + "\r\nNom=Pr\xe9vost\r\n");
    struct Case {
        const char* section;
        const char* key;
        QString expected;
    };
    const Case cases[] = {
        {"VexaUpdate", "ShortPath", "C:\\update.vex\\"}, // sections and keys ignore case, quotes go
        {"VexaUpdate", "Absent", "defaut"}, {"Manquante", "ShortPath", "defaut"},
        {"VexaUpdate", "Long", QString(255, 'x')},
        {"VexaUpdate", "Nom", "Prévost"}, // single-byte code page file
    };
    for (const Case& c : cases)
        EXPECT_EQ(readIniValue(c.section, c.key, "defaut", ini), c.expected) << c.key;
    EXPECT_EQ(readIniValue("VexaUpdate", "ShortPath", "C:\\update.vex\\", folder.filePath("absent.reg")),
        "C:\\update.vex\\");
}

TEST(ReadIniValue, BareNameIsLookedForInTheProgramFolder)
{
    const QString name = "vexa-test-bare-name.ini";
    const QString path = QCoreApplication::applicationDirPath() + "/" + name;
    writeFile(path, "[S]\nK=dans le dossier du programme\n");
    EXPECT_EQ(readIniValue("S", "K", "", name), "dans le dossier du programme");
    QFile::remove(path);
    EXPECT_EQ(readIniValue("S", "K", "defaut", name), "defaut");
}

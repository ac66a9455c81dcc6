#include "ScriptedDialogService.h"
#include "TreeFixture.h"
#include "base/core/DialogService.h"
#include "files/FileOperations.h"

#include <QFile>
#include <thread>

using namespace vexa;
using namespace vexa::testing;
using namespace std::chrono_literals;

TEST(WholeFile, RoundTripInTheSingleByteCodePage)
{
    QTemporaryDir temp;
    QString path = temp.filePath("Index.htm");
    const QString text = "Compte-rendu : Éléonore Prévost, 5 € – «ça va»\r\nfin";
    ScriptedDialogService script;
    EXPECT_TRUE(writeWholeFile(text, path));
    EXPECT_EQ(contentOf(path).size(), text.size()) << "one byte per character";
    EXPECT_EQ(contentOf(path).left(20), QByteArray("Compte-rendu : \xc9l\xe9on"));
    EXPECT_EQ(readWholeFile(path, 0ms), text);
    EXPECT_TRUE(script.inputs.empty());
    EXPECT_TRUE(script.messages.empty());
}

TEST(WholeFile, ANewContentReplacesALongerOldOneAndForeignLettersBecomeQuestionMarks)
{
    QTemporaryDir temp;
    QString path = temp.filePath("Index.htm");
    makeFile(path, "an older and much longer content");
    EXPECT_TRUE(writeWholeFile("Łódź", path));
    EXPECT_EQ(contentOf(path),
        "?\xf3"
        "d?");
}

TEST(WholeFile, ReadingAMissingFileWaitsThenThrowsFileNotFound)
{
    QTemporaryDir temp;
    try {
        readWholeFile(temp.filePath("Visu.htm"), 10ms);
        FAIL() << "a missing file must be reported";
    } catch (const AppError& error) {
        EXPECT_EQ(error.number(), 53);
    }
    EXPECT_THROW(readWholeFile(temp.path(), 0ms), AppError) << "a folder is no file";
}

TEST(WholeFile, AFileWrittenDuringTheWaitIsRead)
{
    QTemporaryDir temp;
    const QString path = temp.filePath("Visu.htm");
    std::thread writer([&path] {
        std::this_thread::sleep_for(150ms);
        // Whole at once, as a file put in place by a rename: the reader
        // polls, and could otherwise meet it still empty.
        makeFile(path + ".part", "page");
        QFile::rename(path + ".part", path);
    });
    EXPECT_EQ(readWholeFile(path, 5s), "page");
    writer.join();
}

// The quiet write asks nothing and says why it failed, for work off the
// user-interface thread.
TEST(WholeFile, TheQuietWriteReportsItsFailureWithoutAsking)
{
    QTemporaryDir temp;
    ScriptedDialogService script;
    const struct {
        QString path;
        QString error;
    } cases[] = {
        {temp.filePath("Index.htm"), ""},
        {temp.filePath("absent/Index.htm"), "Chemin d'accès introuvable"},
        {temp.path() + "/", "nom de fichier invalide : " + temp.path() + "/"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tryWriteWholeFile("Éléonore", c.path), c.error) << c.path.toStdString();
    EXPECT_EQ(contentOf(temp.filePath("Index.htm")), "\xc9l\xe9onore");
    EXPECT_TRUE(script.messages.empty());
    EXPECT_TRUE(script.inputs.empty());
}

TEST(WholeFile, AnInvalidNameIsCorrectedByTheUser)
{
    QTemporaryDir temp;
    ScriptedDialogService script;
    script.answerInput(temp.filePath("Index.htm"));
    QString path = temp.path() + "/";
    EXPECT_TRUE(writeWholeFile("page", path));
    ASSERT_EQ(script.inputs.size(), 1u);
    EXPECT_EQ(
        script.inputs[0].prompt, "Le nom '" + temp.path() + "/' \nparait invalide : Merci de le corriger :");
    EXPECT_EQ(script.inputs[0].title, "Nom Invalide...");
    EXPECT_EQ(script.inputs[0].defaultText, temp.path() + "/");
    EXPECT_EQ(path, temp.filePath("Index.htm")) << "the caller sees the corrected name";
    EXPECT_EQ(contentOf(path), "page");
    EXPECT_TRUE(script.messages.empty());
}

TEST(WholeFile, AMissingFolderIsSaidThenAskedAboutAndAnEmptyAnswerWritesNothing)
{
    QTemporaryDir temp;
    ScriptedDialogService script;
    script.answerMessage(MsgResult::Ok);
    script.answerInput(QString());
    QString path = temp.filePath("absent/Index.htm");
    EXPECT_FALSE(writeWholeFile("page", path));
    ASSERT_EQ(script.messages.size(), 1u);
    EXPECT_EQ(script.messages[0].text, "Erreur : 76\nChemin d'accès introuvable");
    EXPECT_EQ(script.messages[0].title, "Erreur");
    EXPECT_EQ(script.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(script.inputs.size(), 1u);
    EXPECT_EQ(path, temp.filePath("absent/Index.htm"));
    EXPECT_EQ(treeOf(temp.path()), QStringList());
    EXPECT_EQ(script.unexpected, 0);
}

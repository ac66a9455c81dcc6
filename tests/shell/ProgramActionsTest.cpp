// The help and update tools: which page or file the help opens, the user
// guide shipped with the program and its links, and the updater found
// through "vexareg.reg" in the configuration folder.
#include "shell/actions/ProgramActions.h"
#include "ScriptedDialogService.h"
#include "base/core/DialogService.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vexa;

namespace {

void writeFile(const QString& path, const QByteArray& content = "x")
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

class ProgramActionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        actions_.programFolder = folder_.filePath(QStringLiteral("bin"));
        actions_.configFolder = folder_.filePath(QStringLiteral("config"));
        actions_.guidePages = {folder_.filePath(QStringLiteral("installed/index.html")),
            folder_.filePath(QStringLiteral("source/index.html"))};
        actions_.openUrl = [this](const QUrl& url) {
            opened_ << url.toLocalFile();
            return openSucceeds_;
        };
        actions_.startProgram = [this](const QString& program, const QStringList& arguments, const QString&) {
            started_ << program + u' ' + arguments.join(u' ');
            return startSucceeds_;
        };
        actions_.endProgram = [this] { ++ended_; };
    }

    QTemporaryDir folder_;
    ScriptedDialogService dialogs_;
    ProgramActions actions_;
    QStringList opened_;
    QStringList started_;
    int ended_ = 0;
    bool openSucceeds_ = true;
    bool startSucceeds_ = true;
};

TEST_F(ProgramActionsTest, HelpOpensAideChmFirstThenTheFirstGuideFound)
{
    const QString chm = folder_.filePath(QStringLiteral("bin/Aide.chm"));
    const QString source = folder_.filePath(QStringLiteral("source/index.html"));
    writeFile(source);
    EXPECT_TRUE(actions_.openHelp());
    writeFile(chm);
    EXPECT_TRUE(actions_.openHelp());
    EXPECT_EQ(opened_, (QStringList{source, chm}));
    EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(ProgramActionsTest, HelpMissingOrNotOpenedIsReported)
{
    EXPECT_FALSE(actions_.openHelp());
    EXPECT_TRUE(opened_.isEmpty());
    writeFile(folder_.filePath(QStringLiteral("installed/index.html")));
    openSucceeds_ = false;
    EXPECT_FALSE(actions_.openHelp());
    ASSERT_EQ(dialogs_.messages.size(), 2u);
    EXPECT_EQ(dialogs_.messages[0].text, ProgramActions::HelpMissingText);
    EXPECT_EQ(dialogs_.messages[1].icon, MsgIcon::Critical);
    EXPECT_TRUE(dialogs_.messages[1].text.endsWith(QStringLiteral("installed/index.html")));
}

// The program as built finds the guide of its source tree; every page and
// picture the guide links to is there, and every window has its page.
TEST(UserGuide, IsFoundAndItsLinksResolve)
{
    const QUrl page = ProgramActions().helpLocation();
    ASSERT_TRUE(page.isLocalFile());
    const QDir guide = QFileInfo(page.toLocalFile()).dir();
    EXPECT_EQ(guide.dirName(), QStringLiteral("guide"));

    const QRegularExpression link(QStringLiteral(R"((?:href|src)="([^"#]*)(?:#[^"]*)?")"));
    QStringList linkedPages;
    const QStringList pages = guide.entryList({QStringLiteral("*.html")}, QDir::Files);
    for (const QString& name : pages) {
        QFile file(guide.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(file.readAll());
        EXPECT_TRUE(html.contains(QStringLiteral("lang=\"fr\""))) << name.toStdString();
        for (auto match = link.globalMatch(html); match.hasNext();) {
            const QString target = match.next().captured(1);
            if (target.isEmpty() || target.contains(u':'))
                continue;
            EXPECT_TRUE(QFileInfo::exists(guide.filePath(target)))
                << name.toStdString() << " -> " << target.toStdString();
            linkedPages << QFileInfo(target).fileName();
        }
    }
    for (const char* window : {"fenetre-principale.html", "recherche.html", "dossier.html",
             "visionneuse.html", "planche.html", "interpretation.html", "etiquettes.html", "gravure.html",
             "compte-rendu.html", "worklist.html", "configuration.html"}) {
        EXPECT_TRUE(pages.contains(QString::fromLatin1(window))) << window;
        EXPECT_TRUE(linkedPages.contains(QString::fromLatin1(window))) << window;
    }
    EXPECT_TRUE(linkedPages.contains(QStringLiteral("main-window.png")));
}

TEST_F(ProgramActionsTest, UpdateFindsTheUpdaterThroughTheRegistrationFile)
{
    enum Where { Nowhere, ConfigFolder, RegisteredFolder };
    struct Case {
        const char* what;
        bool registration; // "vexareg.reg" names the folder "updates"
        Where updater;
        MsgResult answer;
        bool starts;
        QString lastMessage; // "" when the question is the only one
        bool endsProgram;
    };
    const Case cases[] = {
        {"no updater", false, Nowhere, MsgResult::Yes, true, ProgramActions::UpdaterMissingText, false},
        {"registered folder without it", true, ConfigFolder, MsgResult::Yes, true,
            ProgramActions::UpdaterMissingText, false},
        {"registered, answered Yes", true, RegisteredFolder, MsgResult::Yes, true, {}, true},
        {"default folder, answered No", false, ConfigFolder, MsgResult::No, true, {}, false},
        {"cannot start", false, ConfigFolder, MsgResult::Yes, false, ProgramActions::UpdaterNotStartedText,
            false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(folder_.path()).removeRecursively();
        QDir().mkpath(actions_.configFolder);
        const QString registered = folder_.filePath(QStringLiteral("updates"));
        if (c.registration)
            writeFile(actions_.configFolder + QStringLiteral("/vexareg.reg"),
                "[VexaUpdate]\r\nShortPath=" + registered.toUtf8() + "\r\n");
        QString updater;
        if (c.updater != Nowhere) {
            updater = (c.updater == ConfigFolder ? actions_.configFolder : registered)
                + QStringLiteral("/VexaUpdt");
            writeFile(updater);
        }
        dialogs_.messages.clear();
        dialogs_.answerMessage(c.answer);
        started_.clear();
        ended_ = 0;
        startSucceeds_ = c.starts;

        EXPECT_EQ(actions_.update(), c.endsProgram);

        const bool found = c.lastMessage != ProgramActions::UpdaterMissingText;
        ASSERT_FALSE(dialogs_.messages.empty());
        if (found) {
            EXPECT_EQ(dialogs_.messages[0].text, ProgramActions::UpdateQuestion);
            EXPECT_EQ(dialogs_.messages[0].title, QStringLiteral("Mise à jour Internet"));
        }
        EXPECT_EQ(dialogs_.messages.back().text,
            c.lastMessage.isEmpty() ? ProgramActions::UpdateQuestion : c.lastMessage);
        const bool asked = found && c.answer == MsgResult::Yes;
        EXPECT_EQ(
            started_, asked ? QStringList{updater + QStringLiteral(" VexaDICOM#VexaDICOM")} : QStringList{});
        EXPECT_EQ(ended_, c.endsProgram ? 1 : 0);
    }
}

} // namespace

// The user guide quotes the program's own words: every text it puts between
// « » (captions, menu items, messages, templates' names) is found in the
// program's sources, designs or resource file names, so that the guide does
// not describe a button or a setting that is not there.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTextDocumentFragment>
#include <gtest/gtest.h>

namespace {

QString sourceDir()
{
    return qEnvironmentVariable("VEXA_SOURCE_DIR");
}

QString simplified(QString text)
{
    return text.simplified();
}

// The program's texts: string literals joined across lines, design captions
// and the names of the files it ships. A caption's "&" marks its shortcut
// letter and is not shown.
QString programTexts()
{
    QString all;
    const QString root = sourceDir();
    for (const QString& folder : {QStringLiteral("src"), QStringLiteral("resources")}) {
        QDirIterator it(root + u'/' + folder, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            all += it.fileInfo().completeBaseName() + u'\n';
            if (!path.endsWith(u".cpp") && !path.endsWith(u".h") && !path.endsWith(u".design"))
                continue;
            QFile file(path);
            if (file.open(QIODevice::ReadOnly))
                all += QString::fromUtf8(file.readAll()) + u'\n';
        }
    }
    all.replace(QRegularExpression(QStringLiteral("\"\\s*\\n\\s*\"")), QString());
    all.remove(u'&');
    return simplified(all);
}

TEST(Guide, QuotesOnlyTextsTheProgramShows)
{
    ASSERT_FALSE(sourceDir().isEmpty());
    const QString program = programTexts();
    // Examples of what the viewer shows, not fixed texts.
    const QStringList examples{QStringLiteral("image 4 / 6"), QStringLiteral("trame 5 / 12")};
    const QRegularExpression quote(
        QStringLiteral("«\\s*(.*?)\\s*»"), QRegularExpression::DotMatchesEverythingOption);
    QDirIterator pages(sourceDir() + QStringLiteral("/docs/guide"), {QStringLiteral("*.html")}, QDir::Files);
    int quotes = 0;
    while (pages.hasNext()) {
        QFile page(pages.next());
        ASSERT_TRUE(page.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(page.readAll());
        EXPECT_FALSE(html.contains(QStringLiteral("&amp;")))
            << "a shortcut's & shown in " << page.fileName().toStdString();
        for (auto it = quote.globalMatch(html); it.hasNext();) {
            const QString quoted
                = simplified(QTextDocumentFragment::fromHtml(it.next().captured(1)).toPlainText());
            ++quotes;
            if (!examples.contains(quoted)) {
                EXPECT_TRUE(program.contains(quoted))
                    << "« " << quoted.toStdString() << " » of " << page.fileName().toStdString();
            }
        }
    }
    EXPECT_GT(quotes, 0) << "no guide page read";
}

} // namespace

// The order of the program's windows under a real window manager (run by
// under_openbox.sh): in every order the program opens them, the modal window
// is the top of the stacking the window manager reports, has the focus, and a
// key typed on the keyboard reaches it.
#include "PacsFixture.h"

#include "base/ui/WindowOrder.h"
#include "browser/SearchPage.h"
#include "printing/daylist/DayListWindow.h"
#include "shell/main/AboutDialog.h"
#include "viewer/window/ViewerWindow.h"

#include <QApplication>
#include <QDateEdit>
#include <QDeadlineTimer>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>
#include <gtest/gtest.h>

using namespace vexa;
using namespace vexa::test;

namespace {

const QDate examDay(2024, 1, 10);

QStringList windowIds(const QString& property)
{
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-root"), property});
    xprop.waitForFinished(3000);
    QStringList ids;
    const QRegularExpression hex(QStringLiteral("0x[0-9a-fA-F]+"));
    for (auto it = hex.globalMatch(QString::fromLatin1(xprop.readAllStandardOutput())); it.hasNext();)
        ids << QString::number(it.next().captured().toULongLong(nullptr, 16));
    return ids;
}

QString topOfStacking()
{
    const QStringList ids = windowIds(QStringLiteral("_NET_CLIENT_LIST_STACKING"));
    return ids.isEmpty() ? QString() : ids.last();
}

QString activeWindow()
{
    const QStringList ids = windowIds(QStringLiteral("_NET_ACTIVE_WINDOW"));
    return ids.isEmpty() ? QString() : ids.first();
}

QString idOf(const QWidget* window)
{
    return QString::number(window->winId());
}

// What one modal window was seen doing.
struct ModalSeen {
    QString kind; // the class of the modal window, once seen
    bool onTop = false;
    bool active = false;
    bool closedByKey = false;
};

// Watches for the next modal window of `kind`: once it is up, waits (up to
// two seconds) for the window manager to put it on top and focus it, types
// Escape on the keyboard (XTEST), and checks that the window answered by
// closing. A window that did not is closed, so the test goes on.
class ModalProbe : public QObject {
public:
    explicit ModalProbe(const char* kind, ModalSeen& seen)
        : kind_(kind)
        , seen_(seen)
    {
        connect(&tick_, &QTimer::timeout, this, &ModalProbe::step);
        tick_.start(50);
    }
    // The modal loop has returned: closed by the key unless the probe closed it.
    ~ModalProbe() override { seen_.closedByKey = keyed_ && !forced_; }

private:
    void step()
    {
        if (!target_) {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible() || !modal->inherits(kind_))
                return;
            if (auto* viewer = qobject_cast<ViewerWindow*>(modal); viewer && viewer->loading())
                return;
            target_ = modal;
            seen_.kind = QString::fromLatin1(kind_);
            deadline_.setRemainingTime(2000);
            return;
        }
        if (!keyed_) {
            seen_.onTop = topOfStacking() == idOf(target_);
            seen_.active = activeWindow() == idOf(target_);
            if (seen_.onTop && seen_.active) {
                keyed_ = true;
                QProcess::execute(
                    QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Escape")});
                deadline_.setRemainingTime(2000);
            } else if (deadline_.hasExpired()) {
                finish();
            }
            return;
        }
        if (!target_->isVisible()) {
            finish();
        } else if (deadline_.hasExpired()) {
            finish();
        }
    }

    void finish()
    {
        tick_.stop();
        if (target_ && target_->isVisible()) {
            forced_ = true;
            target_->close();
        }
    }

    const char* kind_;
    ModalSeen& seen_;
    QTimer tick_;
    QPointer<QWidget> target_;
    QDeadlineTimer deadline_;
    bool keyed_ = false;
    bool forced_ = false;
};

class WindowOrderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        pacs_.addPatient(QStringLiteral("P20"), QStringLiteral("MARTIN^LUC"));
        pacs_.addSeries(QStringLiteral("S20"), QStringLiteral("P20"), examDay, QStringLiteral("ST20"));
        pacs_.addImages(QStringLiteral("S20"), QStringLiteral("P20"), examDay, 2);
        pacs_.configure();
        ASSERT_EQ(started_.start(), StartupOutcome::Run);
        window().show();
        window().searchPage->setDays(examDay, examDay);
        window().openExamFromList(ExamList::ByDate);
        ASSERT_EQ(window().page(), 2);
    }

    MainWindow& window() { return started_.window; }

    // Opens the viewer on the exam; Escape asks whether to leave, answered Oui.
    ModalSeen viewExam()
    {
        ModalSeen seen;
        started_.dialogs.answerMessage(MsgResult::Yes);
        ModalProbe probe("vexa::ViewerWindow", seen);
        window().viewExam();
        return seen;
    }

    ModalSeen dayList()
    {
        ModalSeen seen;
        ModalProbe probe("vexa::DayListWindow", seen);
        window().dayListAction();
        return seen;
    }

    ModalSeen about()
    {
        ModalSeen seen;
        ModalProbe probe("vexa::AboutDialog", seen);
        window().openAbout();
        return seen;
    }

    QTemporaryDir locks_;
    PacsFixture pacs_;
    StartedWindow started_{locks_.path()};
};

void expectOnTopAndKeyed(const ModalSeen& seen, const char* kind)
{
    EXPECT_EQ(seen.kind, QString::fromLatin1(kind)) << "the modal window never came";
    EXPECT_TRUE(seen.onTop) << kind << " is not the top of the stacking";
    EXPECT_TRUE(seen.active) << kind << " does not have the focus";
    EXPECT_TRUE(seen.closedByKey) << kind << " did not receive the key";
}

} // namespace

TEST_F(WindowOrderTest, EachModalWindowIsOnTopFocusedAndTakesTheKeyInEveryOrder)
{
    // The orders the program allows from its main window: the day list and
    // the about window, each before and after the viewer.
    const std::vector<std::pair<const char*, std::function<ModalSeen()>>> steps{
        {"vexa::DayListWindow", [this] { return dayList(); }},
        {"vexa::ViewerWindow", [this] { return viewExam(); }},
        {"vexa::AboutDialog", [this] { return about(); }},
        {"vexa::ViewerWindow", [this] { return viewExam(); }},
        {"vexa::DayListWindow", [this] { return dayList(); }},
        {"vexa::AboutDialog", [this] { return about(); }},
        {"vexa::ViewerWindow", [this] { return viewExam(); }},
    };
    for (const auto& [kind, open] : steps) {
        SCOPED_TRACE(kind);
        expectOnTopAndKeyed(open(), kind);
        EXPECT_FALSE(window().windowFlags().testFlag(Qt::WindowStaysOnTopHint))
            << "the main window stays on top after " << kind;
    }
}

TEST_F(WindowOrderTest, AWindowLeftOnTopGivesWayToTheModalWindow)
{
    // Whatever put the main window in the topmost band, the viewer opened
    // over it comes above it and takes the keys.
    setWindowTopmost(&window());
    expectOnTopAndKeyed(viewExam(), "vexa::ViewerWindow");
    EXPECT_FALSE(window().windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

// The window's small controls as a user meets them: the scrolling banner (segments, speeds, wrap
// round, clicks passed to the page), the link label (target, size, hover), the icon button's looks,
// and the 计算 button's calculator.
#include "app/CalculatorLauncher.h"
#include "controls/CIconButton.h"
#include "controls/CLinkLabel.h"
#include "controls/CScrollBanner.h"
#include "dialogs/CAboutDlg.h"

#include "OpenLedger.h"

#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_LINUX
#include <unistd.h>
#endif

namespace {

// A page that notes where it was pressed.
class Page : public QWidget
{
public:
    QList<QPoint> presses;
    QList<QPoint> releases;

protected:
    void mousePressEvent(QMouseEvent *event) override { presses << event->position().toPoint(); }
    void mouseReleaseEvent(QMouseEvent *event) override { releases << event->position().toPoint(); }
};

// A program that stands in for a calculator: it starts and waits, printing nothing.
QString FakeCalculator(const QTemporaryDir &folder)
{
    const QString path = folder.filePath(QStringLiteral("fake-calculator"));
    QFile script(path);
    if (!script.open(QIODevice::WriteOnly) || script.write("#!/bin/sh\nexec sleep 30\n") < 0)
        return QString();
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

QPixmap Red()
{
    QPixmap red(16, 16);
    red.fill(Qt::red);
    return red;
}

// The leftmost column and top row holding pure red, or (-1, -1).
QPoint FirstRed(const QImage &image)
{
    for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            if (image.pixelColor(x, y) == QColor(Qt::red))
                return {x, y};
        }
    }
    return {-1, -1};
}

} // namespace

class TestControls : public QObject
{
    Q_OBJECT
private slots:
    void segmentsAndTheirColourWords()
    {
        CSegmentLabel label;
        const quint32 word = TextSegment::Color(80, 240, 150, TextSegment::kItalic | TextSegment::kUnderline);
        QCOMPARE(word & 0xffffff, quint32(80 | 240 << 8 | 150 << 16));
        QVERIFY(label.AddSegment(QStringLiteral("欢迎"), word, -1));
        const TextSegment segment = label.GetSegment(0);
        QCOMPARE(segment.TextColor(), QColor(80, 240, 150));
        QVERIFY(segment.IsItalic() && segment.IsUnderlined());
        QVERIFY(label.SegmentFont(segment).italic());
        QVERIFY(label.SegmentFont(segment).underline());
        QVERIFY(!label.SegmentFont({QStringLiteral("x"), 0, -1}).italic());

        QVERIFY(!label.SetSegment(0, {QString(), 0, -1}));  // an empty text is refused
        QVERIFY(!label.SetSegment(2, {QStringLiteral("x"), 0, -1}));
        QVERIFY(!label.SetSegment(-1, {QStringLiteral("x"), 0, -1}));
        QVERIFY(label.SetSegment(1, {QStringLiteral("第二"), 0, 0xff}));  // appended at the count
        QCOMPARE(label.SegmentCount(), 2);
        const TextSegment none = label.GetSegment(5);
        QVERIFY(none.text.isEmpty() && none.color == 0 && none.background == -1);
        QVERIFY(!label.RemoveSegment(2));
        QVERIFY(label.RemoveSegment(0));
        QCOMPARE(label.GetSegment(0).text, QStringLiteral("第二"));
        label.RemoveAllSegments();
        QCOMPARE(label.SegmentCount(), 0);

        // The label's background, and a segment on it, as drawn.
        label.resize(200, 20);
        label.SetBackColor(TextSegment::Color(0, 0, 255));
        label.AddSegment(QStringLiteral("a"), TextSegment::Color(255, 255, 255), TextSegment::Color(255, 0, 0));
        const QImage drawn = label.grab().toImage();
        QCOMPARE(drawn.pixelColor(150, 10), QColor(0, 0, 255));
        QCOMPARE(drawn.pixelColor(1, 1), QColor(255, 0, 0));
    }

    void bannerSpeeds()
    {
        CScrollBanner banner;
        QVERIFY(!banner.IsRunning());
        banner.SetScrollSpeed(1000);
        QCOMPARE(banner.Period(), 10);
        QVERIFY(banner.IsRunning());
        banner.SetScrollSpeed(3);
        QCOMPARE(banner.Period(), 3333);
        banner.SetScrollSpeed(-1000);
        QCOMPARE(banner.Period(), 10);
        banner.SetScrollSpeed(1500);  // out of range: nothing changes
        QCOMPARE(banner.ScrollSpeed(), -1000);
        banner.SetScrollSpeed(0);
        QVERIFY(!banner.IsRunning());
    }

    void bannerWrapsRoundBothWays()
    {
        CScrollBanner banner;
        banner.resize(200, 20);
        banner.AddSegment(QStringLiteral("一段比横幅还长的欢迎文字，一段比横幅还长的欢迎文字"), 0, -1);
        const int total = banner.TotalWidth();
        QVERIFY(total > 200);
        // Ticked by hand below.
        // Moving left: the text's end passes the left edge after total ticks, then comes in from the right.
        CScrollBanner left;
        left.resize(200, 20);
        left.AddSegment(banner.GetSegment(0).text, 0, -1);
        left.SetScrollSpeed(1000);
        for (int i = 0; i < total - 1; ++i)
            left.Tick();
        QCOMPARE(left.Offset(), -(total - 1));
        left.Tick();
        QCOMPARE(left.Offset(), 200);
        // Moving right: past the right edge, the text comes back with its end at the left edge.
        CScrollBanner right;
        right.resize(200, 20);
        right.AddSegment(banner.GetSegment(0).text, 0, -1);
        right.SetScrollSpeed(-1000);
        for (int i = 0; i < 200; ++i)
            right.Tick();
        QCOMPARE(right.Offset(), 200);
        right.Tick();
        QCOMPARE(right.Offset(), -total);
        // A banner without text stays where it is.
        CScrollBanner empty;
        empty.SetScrollSpeed(1000);
        empty.Tick();
        QCOMPARE(empty.Offset(), 0);
    }

    void aClickOnTheBannerReachesThePage()
    {
        Page page;
        page.resize(400, 200);
        auto *banner = new CScrollBanner(&page);
        banner->setGeometry(10, 55, 300, 20);
        page.show();
        QTest::mouseClick(banner, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(page.presses, QList<QPoint>({QPoint(15, 60)}));
        QCOMPARE(page.releases, QList<QPoint>({QPoint(15, 60)}));
    }

    void theHomePageBannerRunsOnlyWhileShown()
    {
        OpenLedger ledger;
        auto *banner = qobject_cast<CScrollBanner *>(ledger.window.Control(1231));
        QVERIFY(banner);
        QCOMPARE(banner->GetSegment(0).text, ledger.window.WelcomeText());
        QCOMPARE(banner->GetSegment(0).TextColor(), QColor(80, 240, 150));
        QCOMPARE(banner->BackColor(), QColor(0, 0, 255));
        QVERIFY(banner->IsRunning());
        QCOMPARE(banner->Period(), 10);
        ledger.window.PressButton(1000);
        QVERIFY(!banner->IsRunning());
        ledger.window.PressButton(1018);
        QVERIFY(banner->IsRunning());
    }

    void linkLabels()
    {
        QWidget page;
        auto *about = new CLinkLabel(QStringLiteral("关于"), &page);
        QCOMPARE(about->GetLinkTarget(), QStringLiteral("关于"));
        QCOMPARE(about->toolTip(), QStringLiteral("关于"));
        QCOMPARE(about->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(about->font().underline());

        // A right-aligned label without text shows its target and grows to the left.
        auto *contact = new CLinkLabel(QString(), &page);
        contact->setAlignment(Qt::AlignRight | Qt::AlignTop);
        contact->setGeometry(300, 10, 40, 16);
        const int right = contact->geometry().right();
        contact->SetLinkTarget(QStringLiteral("mailto:someone@example.org"));
        QCOMPARE(contact->text(), QStringLiteral("mailto:someone@example.org"));
        QCOMPARE(contact->geometry().right(), right);
        QVERIFY(contact->width() > 40);
        QCOMPARE(contact->width(), contact->fontMetrics().size(Qt::TextSingleLine, contact->text()).width());

        // Hovered, then the focus goes: the normal colour comes back.
        about->SetLinkColors(QColor(0, 0, 255), QColor(0, 0, 255), QColor(0, 0, 200));
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QApplication::sendEvent(about, &enter);
        QVERIFY(about->IsHovered());
        QCOMPARE(about->CurrentColor(), QColor(0, 0, 200));
        QFocusEvent out(QEvent::FocusOut);
        QApplication::sendEvent(about, &out);
        QVERIFY(!about->IsHovered());
        QCOMPARE(about->CurrentColor(), QColor(0, 0, 255));
    }

    // The home page's 关于 and 联系作者 are as wide as their words: the hand and the click end with the text.
    void homePageLinksFitTheirText()
    {
        OpenLedger ledger;
        for (int id : {1228, 1229}) {
            auto *link = qobject_cast<CLinkLabel *>(ledger.window.Control(id));
            QVERIFY(link);
            QCOMPARE(link->x(), 545);
            QCOMPARE(link->width(), link->fontMetrics().size(Qt::TextSingleLine, link->text()).width());
        }
    }

    void iconButtonLooks()
    {
        // Flat with an icon and no caption: the centred icon on the normal colour until the pointer comes.
        CIconButton flat;
        flat.SetLedgerColors();
        flat.setIcon(QIcon(Red()));
        flat.SetIcons(-1, 16, 16);
        flat.setIcon(QIcon(Red()));
        flat.resize(40, 30);
        flat.show();
        QImage image = flat.grab().toImage();
        QCOMPARE(image.pixelColor(0, 0), QColor(190, 210, 250));
        const QPoint centred = FirstRed(image);
        QCOMPARE(centred, QPoint(19 - 8 + 1, 14 - 8 + 1));  // the middle of 0..39 and 0..29
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), flat.mapToGlobal(QPointF(5, 5)));
        QApplication::sendEvent(&flat, &enter);
        image = flat.grab().toImage();
        QCOMPARE(image.pixelColor(5, 5), QColor(160, 180, 220));  // hover colour
        QCOMPARE(image.pixelColor(0, 10), QColor(Qt::white));    // thin raised border
        // Pressed: the icon one pixel right and down.
        flat.setDown(true);
        QCOMPARE(FirstRed(flat.grab().toImage()), centred + QPoint(1, 1));
        flat.setDown(false);
        // Disabled: the icon greyed.
        flat.setEnabled(false);
        QCOMPARE(FirstRed(flat.grab().toImage()), QPoint(-1, -1));

        // Not flat: always the raised border, the pointer changes nothing.
        CIconButton raised(QStringLiteral("确定"));
        raised.SetLedgerColors();
        raised.SetFlatStyle(false);
        raised.setIcon(QIcon(Red()));
        raised.SetIcons(-1, 16, 16);
        raised.setIcon(QIcon(Red()));
        raised.resize(100, 30);
        raised.show();
        const QImage before = raised.grab().toImage();
        QCOMPARE(before.pixelColor(0, 15), QColor(Qt::white));
        QEnterEvent over(QPointF(5, 5), QPointF(5, 5), raised.mapToGlobal(QPointF(5, 5)));
        QApplication::sendEvent(&raised, &over);
        QCOMPARE(raised.grab().toImage(), before);
        // With a caption the icon sits 3 pixels from the left edge.
        QCOMPARE(FirstRed(before).x(), 3);
    }

    void iconButtonWithTheFocusShowsAFocusMark()
    {
        // Shift+Tab onto a flat save button and Space pressed it, with nothing to see it had the focus:
        // the button with the focus carries a dotted frame 3 pixels inside its edge, in the hover text
        // colour, whichever style it has.
        QWidget window;
        auto *before = new CIconButton(QStringLiteral("前"), &window);
        auto *save = new CIconButton(QStringLiteral("保存并关闭"), &window);
        save->SetLedgerColors();
        save->setGeometry(0, 40, 120, 38);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        before->setFocus();
        const QImage unfocused = save->grab().toImage();
        QCOMPARE(unfocused.pixelColor(3, 19), QColor(190, 210, 250));  // nothing drawn where the mark goes
        QTest::keyClick(&window, Qt::Key_Tab);
        QVERIFY(save->hasFocus());
        // Dotted: along the left side and the top, some pixels of the mark and some of the background.
        const auto marks = [](const QImage &image, QPoint from, QPoint step, int count) {
            int marked = 0;
            for (int i = 0; i < count; ++i, from += step)
                marked += image.pixelColor(from) == QColor(0, 0, 255) ? 1 : 0;
            return marked;
        };
        const QImage focused = save->grab().toImage();
        const int left = marks(focused, QPoint(3, 4), QPoint(0, 1), 30), top = marks(focused, QPoint(4, 3), QPoint(1, 0), 100);
        QVERIFY2(left > 5 && left < 30 && top > 20 && top < 100, qPrintable(QStringLiteral("%1 %2").arg(left).arg(top)));
        // Not flat: the mark too, inside the black frame of the focused button.
        save->SetFlatStyle(false);
        QVERIFY(marks(save->grab().toImage(), QPoint(3, 4), QPoint(0, 1), 30) > 5);
        // The focus gone, the mark goes with it.
        save->SetFlatStyle(true);
        before->setFocus();
        QCOMPARE(save->grab().toImage(), unfocused);
    }

    void calculatorStartsOnceAndEndsWithTheProgram()
    {
        QTemporaryDir folder;
        const QString fake = FakeCalculator(folder);
        QVERIFY(!fake.isEmpty());

        CalculatorLauncher launcher;
        QStringList missing;
        launcher.SetCandidates({QStringLiteral("no-such-calculator-here"), fake});
        QVERIFY(launcher.Launch(&missing));
        const qint64 first = launcher.ProcessId();
        QVERIFY(first > 0);
        QVERIFY(launcher.Launch(&missing));  // pressed again while it runs: the same one
        QCOMPARE(launcher.ProcessId(), first);
        launcher.Close();
        QVERIFY(!launcher.IsRunning());

        launcher.SetCandidates({QStringLiteral("no-such-calculator-here"), QStringLiteral("nor-this-one")});
        QVERIFY(!launcher.Launch(&missing));
        QCOMPARE(missing, QStringList({"no-such-calculator-here", "nor-this-one"}));
        QVERIFY(launcher.FailedToStart().isEmpty());
        // Installed but not a program that starts (not executable by its format): told as such.
        const QString broken = folder.filePath(QStringLiteral("broken-calculator"));
        QFile bad(broken);
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("\x7f" "ELF but nothing more");
        bad.close();
        bad.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        launcher.SetCandidates({broken});
        QVERIFY(!launcher.Launch(&missing));
        QCOMPARE(launcher.FailedToStart(), QStringList({broken}));

        // Through the window: none found is told with the names looked for.
        OpenLedger ledger;
        ledger.window.Calculator().SetCandidates({QStringLiteral("no-such-calculator-here")});
        ledger.window.PressButton(1029);
        QVERIFY(ledger.messages.Last().contains(QStringLiteral("no-such-calculator-here")));

        // Started from 计算, ended when the user leaves the ledger (not only when the window object goes).
        ledger.window.Calculator().SetCandidates({fake});
        ledger.window.PressButton(1029);
        QVERIFY(ledger.window.Calculator().IsRunning());
        const qint64 started = ledger.window.Calculator().ProcessId();
        ledger.messages.answer = false;  // 确定退出系统吗? no: it stays
        ledger.window.close();
        QVERIFY(ledger.window.Calculator().IsRunning());
        ledger.messages.answer = true;
        ledger.window.close();
        QVERIFY(!ledger.window.Calculator().IsRunning());
        QVERIFY(!QFile::exists(QStringLiteral("/proc/%1").arg(started)));
    }

#ifdef Q_OS_LINUX
    // What the calculator prints goes where the ledger's own messages go, and it reads no input from
    // the ledger: nothing of it piles up in the ledger's memory, and it never waits on a full pipe.
    void calculatorKeepsItsOutputOutOfTheLedger()
    {
        QTemporaryDir folder;
        const QString fake = FakeCalculator(folder);
        QVERIFY(!fake.isEmpty());

        CalculatorLauncher launcher;
        QStringList missing;
        launcher.SetCandidates({fake});
        QVERIFY(launcher.Launch(&missing));
        // What a descriptor is open on, as the system names it ("/dev/null", "pipe:[1234]", ...).
        const auto openOn = [](qint64 pid, int fd) {
            const QByteArray link = QStringLiteral("/proc/%1/fd/%2").arg(pid).arg(fd).toLocal8Bit();
            char target[4096];
            const ssize_t length = ::readlink(link.constData(), target, sizeof target);
            return length < 0 ? QByteArray() : QByteArray(target, int(length));
        };
        const qint64 calculator = launcher.ProcessId();
        const qint64 ledger = QCoreApplication::applicationPid();
        QCOMPARE(openOn(calculator, 0), QByteArray("/dev/null"));
        QCOMPARE(openOn(calculator, 1), openOn(ledger, 1));
        QCOMPARE(openOn(calculator, 2), openOn(ledger, 2));
        launcher.Close();
    }
#endif

    void aboutBoxFromTheLinkAndTheWindowMenu()
    {
        OpenLedger ledger;
        QCOMPARE(ledger.window.actions().size(), 1);
        QCOMPARE(ledger.window.actions().first()->text(), QStringLiteral("关于 Zarvel"));
        CAboutDlg about;
        QCOMPARE(about.windowTitle(), QStringLiteral("关于 Zarvel"));
        QVERIFY(about.findChild<CIconButton *>());
    }
};

QTEST_MAIN(TestControls)
#include "tst_controls.moc"

// The small shared widgets: flow layout, hover icons, component panel, and
// the movable, resizable frame of the dimming mask.
#include "zhptest.h"

#include "editor/buttonhoverwatcher.h"
#include "editor/cpcomponentpanel.h"
#include "editor/cpdialogcontent.h"
#include "editor/cpdialogcontentitem.h"
#include "editor/dialogmask.h"
#include "editor/flowlayout.h"
#include "editor/skinimagepath.h"
#include "wk/wkcfg.h"
#include "wk/wkcore.h"

#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>
#include <QVBoxLayout>

using namespace HXCPControls;

namespace {

QWidget *box(QWidget *parent, int w, int h)
{
    auto *widget = new QWidget(parent);
    widget->setFixedSize(w, h);
    return widget;
}

QColor iconColor(const QIcon &icon)
{
    return icon.pixmap(16, 16).toImage().pixelColor(8, 8);
}

void sendMouse(QWidget *target, QEvent::Type type, const QPoint &pos, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, pos, target->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// Counts the enter and leave events that reach it.
class EventCounter : public QObject
{
public:
    int count = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Enter || event->type() == QEvent::Leave)
            ++count;
        return false;
    }
};

// The offscreen platform warns when a widget grabs or releases the mouse.
void expectGrabWarnings()
{
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
        for (int i = 0; i < 2; ++i)
            ZhpTest::expectMessage(QtWarningMsg, QStringLiteral("This plugin does not support grabbing the mouse"));
    }
}

// An item whose title bar is 40 pixels tall.
class ShortTitleItem : public CPDialogContentItem
{
public:
    int titleBarHeight() const override { return 40; }
};

} // namespace

class TstSharedWidgets : public QObject
{
    Q_OBJECT

    QTemporaryDir m_skins;

    void writeImage(const QString &skin, const QString &name, const QColor &color)
    {
        const QString path = m_skins.path() + QLatin1Char('/') + skin + QStringLiteral("/images/") + name;
        QDir().mkpath(QFileInfo(path).path());
        QImage image(16, 16, QImage::Format_ARGB32);
        image.fill(color);
        QVERIFY(image.save(path));
    }

private slots:
    void initTestCase()
    {
        ZhpTest::failOnUnexpectedMessages();
        ZhpTest::isolateHostFolders();
        QVERIFY(m_skins.isValid());
        WKCfg::instance()->setStdPath(QStringLiteral("wkskin"), m_skins.path());
        WKCore::instance()->setCurrentSkinId(QStringLiteral("default"));
        writeImage(QStringLiteral("default"), QStringLiteral("custompage/add.png"), Qt::red);
        writeImage(QStringLiteral("default"), QStringLiteral("custompage/addH.png"), Qt::green);
        writeImage(QStringLiteral("blue"), QStringLiteral("custompage/add.png"), Qt::blue);

        // The host caches style files, so the mask's is written before any mask exists.
        const QString dir = m_skins.path() + QStringLiteral("/default/controls");
        QDir().mkpath(dir);
        QFile css(dir + QStringLiteral("/custompage-index-detail.css"));
        QVERIFY(css.open(QIODevice::WriteOnly));
        css.write("HXCPControls--DialogMask { background: rgba(0, 0, 0, 128); }");
        css.close();

    }

    // --- flow layout ---

    void flowWrapsIntoRows()
    {
        QWidget host;
        auto *flow = new FlowLayout(&host, 5, 10, 7);
        QList<QWidget *> boxes;
        for (int i = 0; i < 5; ++i) {
            boxes << box(&host, 100, 20);
            flow->addWidget(boxes.last());
        }
        boxes[1]->setFixedHeight(30); // the first row is as tall as its tallest item
        QCOMPARE(flow->count(), 5);

        // 330 pixels inside the margins hold three boxes a row.
        QCOMPARE(flow->heightForWidth(340), 5 + 30 + 7 + 20 + 5);
        flow->setGeometry(QRect(0, 0, 340, 67));
        QCOMPARE(boxes[0]->geometry(), QRect(5, 5, 100, 20));
        QCOMPARE(boxes[1]->geometry(), QRect(115, 5, 100, 30));
        QCOMPARE(boxes[2]->geometry(), QRect(225, 5, 100, 20));
        QCOMPARE(boxes[3]->geometry(), QRect(5, 42, 100, 20));
        QCOMPARE(boxes[4]->geometry(), QRect(115, 42, 100, 20));

        // Wider: one row; narrower: one box a row.
        QCOMPARE(flow->heightForWidth(600), 5 + 30 + 5);
        QCOMPARE(flow->heightForWidth(150), 5 + 20 + 7 + 30 + 7 + 20 + 7 + 20 + 7 + 20 + 5);

        // Offsets of the rectangle carry through.
        flow->setGeometry(QRect(20, 40, 340, 67));
        QCOMPARE(boxes[3]->geometry(), QRect(25, 82, 100, 20));
    }

    void flowKeepsAnOversizedItemOnTheFirstRow()
    {
        QWidget host;
        auto *flow = new FlowLayout(&host, 0, 4, 4);
        QWidget *wide = box(&host, 500, 20);
        QWidget *next = box(&host, 50, 20);
        flow->addWidget(wide);
        flow->addWidget(next);
        QCOMPARE(flow->heightForWidth(200), 20 + 4 + 20);
        flow->setGeometry(QRect(0, 0, 200, 44));
        QCOMPARE(wide->geometry(), QRect(0, 0, 500, 20));
        QCOMPARE(next->geometry(), QRect(0, 24, 50, 20));
    }

    void flowSizesAndSpacing()
    {
        QWidget host;
        auto *outer = new QVBoxLayout(&host);
        outer->setSpacing(13);
        auto *flow = new FlowLayout(nullptr, 3);
        outer->addLayout(flow);
        flow->addWidget(box(&host, 40, 60));
        QWidget *b = box(&host, 90, 10);
        b->setMinimumSize(90, 10);
        flow->addWidget(b);

        // Spacing comes from the parent layout when not given.
        QCOMPARE(flow->horizontalSpacing(), 13);
        QCOMPARE(flow->verticalSpacing(), 13);
        QCOMPARE(flow->minimumSize(), QSize(90 + 6, 60 + 6));
        QCOMPARE(flow->sizeHint(), flow->minimumSize());
        QVERIFY(flow->hasHeightForWidth());
        QCOMPARE(flow->expandingDirections(), Qt::Orientations());

        // A parent widget gives its style's layout spacing.
        QWidget other;
        FlowLayout *own = new FlowLayout(&other, 0);
        QCOMPARE(own->horizontalSpacing(), other.style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing, nullptr, &other));
        FlowLayout loose;
        QCOMPARE(loose.horizontalSpacing(), -1);

        QLayoutItem *taken = flow->takeAt(1);
        QVERIFY(taken);
        QCOMPARE(taken->widget(), b);
        delete taken;
        QCOMPARE(flow->count(), 1);
        QVERIFY(!flow->takeAt(5));
        QVERIFY(!flow->itemAt(-1));
    }

    void flowHeightFollowsWidthInAWindow()
    {
        QWidget window;
        auto *flow = new FlowLayout(&window, 0, 0, 0);
        for (int i = 0; i < 6; ++i)
            flow->addWidget(box(&window, 50, 10));
        window.resize(300, 10);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // A row that the items fill exactly does not wrap.
        QCOMPARE(window.layout()->heightForWidth(300), 10);
        QCOMPARE(window.layout()->heightForWidth(299), 20);
        QCOMPARE(window.layout()->heightForWidth(100), 30);
        QCOMPARE(window.heightForWidth(100), 30);
    }

    // --- hover icons ---

    void skinImagePathFollowsTheSkin()
    {
        QCOMPARE(skinImagePath(QStringLiteral("custompage/add.png")),
                 m_skins.path() + QStringLiteral("/default/images/custompage/add.png"));
        WKCore::instance()->setCurrentSkinId(QStringLiteral("blue"));
        ButtonHoverWatcher watcher(nullptr, QStringLiteral("custompage/add.png"), QStringLiteral("custompage/addH.png"));
        WKCore::instance()->setCurrentSkinId(QStringLiteral("default"));
        // The watcher keeps the paths of the skin it was made under.
        QCOMPARE(watcher.normalIconPath(), m_skins.path() + QStringLiteral("/blue/images/custompage/add.png"));
        QToolButton button;
        button.installEventFilter(&watcher);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&button, &leave);
        QCOMPARE(iconColor(button.icon()), QColor(Qt::blue));
    }

    void hoverSwapsIcons()
    {
        ButtonHoverWatcher watcher(nullptr, QStringLiteral("custompage/add.png"), QStringLiteral("custompage/addH.png"));
        QToolButton tool;
        QPushButton push;
        push.setIcon(QIcon(skinImagePath(QStringLiteral("custompage/add.png"))));
        tool.installEventFilter(&watcher);
        push.installEventFilter(&watcher);

        QEvent enter(QEvent::Enter);
        QEvent leave(QEvent::Leave);
        QVERIFY(QApplication::sendEvent(&tool, &enter)); // consumed by the watcher
        QCOMPARE(iconColor(tool.icon()), QColor(Qt::green));
        QVERIFY(QApplication::sendEvent(&tool, &leave));
        QCOMPARE(iconColor(tool.icon()), QColor(Qt::red));

        // Other buttons are not touched.
        QApplication::sendEvent(&push, &enter);
        QCOMPARE(iconColor(push.icon()), QColor(Qt::red));

        // A selected tool button keeps its icon, and the events go on.
        QToolButton selected;
        EventCounter counter;
        selected.installEventFilter(&counter);
        selected.installEventFilter(&watcher); // filters installed later run first
        QApplication::sendEvent(&selected, &enter);
        QCOMPARE(counter.count, 0);
        selected.setProperty("selected", true);
        QApplication::sendEvent(&selected, &leave);
        QCOMPARE(counter.count, 1);
        QCOMPARE(iconColor(selected.icon()), QColor(Qt::green));

        tool.setProperty("selected", true);
        QApplication::sendEvent(&tool, &enter);
        QCOMPARE(iconColor(tool.icon()), QColor(Qt::red));
        tool.setProperty("selected", false);
        QApplication::sendEvent(&tool, &enter);
        QCOMPARE(iconColor(tool.icon()), QColor(Qt::green));
    }

    void missingImagesLeaveNoIcon()
    {
        ButtonHoverWatcher watcher(nullptr, QStringLiteral("custompage/none.png"), QStringLiteral("custompage/noneH.png"));
        QToolButton tool;
        tool.installEventFilter(&watcher);
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(&tool, &enter);
        QVERIFY(tool.icon().pixmap(16, 16).isNull());
    }

    // --- component panel ---

    void componentPanelTitle()
    {
        auto *content = new QLabel(QStringLiteral("内容"));
        CPComponentPanel panel(nullptr, content);
        QCOMPARE(panel.objectName(), QStringLiteral("CPComponentPanel"));
        QCOMPARE(panel.size(), QSize(829, 455));
        QCOMPARE(content->parentWidget(), panel.findChild<QWidget *>(QStringLiteral("main_widget")));
        QVERIFY(panel.findChild<QLayout *>(QStringLiteral("main_layout"))->indexOf(content) >= 0);

        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        QWidget *title = panel.titleWidget();
        QCOMPARE(title->objectName(), QStringLiteral("title_widget"));
        QVERIFY(!title->isVisible());
        QCOMPARE(content->y(), 0);

        panel.setTitleBar(true, QString());
        QVERIFY(title->isVisible());
        QCOMPARE(panel.titleLabel()->text(), QStringLiteral("------"));
        panel.setTitleBar(true, QStringLiteral("主要指标"));
        QCOMPARE(panel.titleLabel()->text(), QStringLiteral("主要指标"));
        QTRY_COMPARE(title->height(), 27);
        QTRY_VERIFY(content->mapTo(&panel, QPoint(0, 0)).y() >= 27);

        panel.setTitleBar(false, QStringLiteral("主要指标"));
        QVERIFY(!title->isVisible());
    }

    // --- resizable frame ---

    void contentRegionsAndCursors_data()
    {
        QTest::addColumn<QPoint>("pos");
        QTest::addColumn<int>("region");
        QTest::addColumn<int>("cursor");
        // The frame spans 0..399 by 0..299 in its own coordinates.
        QTest::newRow("top") << QPoint(200, 0) << 0 << int(Qt::SizeVerCursor);
        QTest::newRow("top inner") << QPoint(200, 2) << 0 << int(Qt::SizeVerCursor);
        QTest::newRow("bottom") << QPoint(200, 299) << 1 << int(Qt::SizeVerCursor);
        QTest::newRow("bottom inner") << QPoint(200, 297) << 1 << int(Qt::SizeVerCursor);
        QTest::newRow("left") << QPoint(1, 150) << 2 << int(Qt::SizeHorCursor);
        QTest::newRow("right") << QPoint(398, 150) << 3 << int(Qt::SizeHorCursor);
        QTest::newRow("top-left") << QPoint(2, 2) << 4 << int(Qt::SizeFDiagCursor);
        QTest::newRow("bottom-left") << QPoint(0, 299) << 5 << int(Qt::SizeBDiagCursor);
        QTest::newRow("bottom-right") << QPoint(397, 297) << 6 << int(Qt::SizeFDiagCursor);
        QTest::newRow("top-right") << QPoint(399, 1) << 7 << int(Qt::SizeBDiagCursor);
        QTest::newRow("just inside top") << QPoint(200, 3) << 8 << int(Qt::ArrowCursor);
        QTest::newRow("just inside right") << QPoint(396, 150) << 8 << int(Qt::ArrowCursor);
        QTest::newRow("margin") << QPoint(4, 150) << 8 << int(Qt::ArrowCursor);
    }

    void contentRegionsAndCursors()
    {
        QFETCH(QPoint, pos);
        QFETCH(int, region);
        QFETCH(int, cursor);
        QWidget window;
        window.resize(800, 600);
        CPDialogContent content(&window, new CPDialogContentItem);
        QVERIFY(content.hasMouseTracking());
        QCOMPARE(content.region(), 8);
        content.setGeometry(100, 100, 400, 300);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        sendMouse(&content, QEvent::MouseMove, pos, Qt::NoButton, Qt::NoButton);
        QCOMPARE(content.region(), region);
        QCOMPARE(int(content.cursor().shape()), cursor);

        // While a button is held the region stays what it was.
        sendMouse(&content, QEvent::MouseMove, QPoint(200, 150), Qt::NoButton, Qt::MiddleButton);
        QCOMPARE(content.region(), region);
    }

    void contentMovesByTheItemTitle()
    {
        QWidget window;
        window.resize(800, 600);
        auto *item = new ShortTitleItem;
        CPDialogContent content(&window, item);
        content.setGeometry(100, 100, 400, 300);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(item->geometry(), QRect(5, 5, 390, 290));

        // A press in the item's title bar reaches the frame and drags it.
        sendMouse(item, QEvent::MouseButtonPress, QPoint(50, 20), Qt::LeftButton, Qt::LeftButton);
        QVERIFY(content.isPressed());
        sendMouse(&content, QEvent::MouseMove, QPoint(155, 75), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(content.geometry(), QRect(200, 150, 400, 300));
        sendMouse(&content, QEvent::MouseButtonRelease, QPoint(55, 25), Qt::LeftButton, Qt::NoButton);
        QVERIFY(!content.isPressed());

        // Below the title bar, or with another button, nothing moves.
        sendMouse(item, QEvent::MouseButtonPress, QPoint(50, 40), Qt::LeftButton, Qt::LeftButton);
        QVERIFY(!content.isPressed());
        sendMouse(item, QEvent::MouseButtonPress, QPoint(50, 20), Qt::RightButton, Qt::RightButton);
        QVERIFY(!content.isPressed());
        sendMouse(&content, QEvent::MouseMove, QPoint(300, 300), Qt::NoButton, Qt::RightButton);
        QCOMPARE(content.geometry(), QRect(200, 150, 400, 300));
    }

    void contentResizesByItsBorders_data()
    {
        QTest::addColumn<QPoint>("grip");
        QTest::addColumn<QPoint>("delta");
        QTest::addColumn<QRect>("expected");
        // Frame at (100, 100), 400 by 300, in a window; minimum 200 by 150.
        QTest::newRow("right wider") << QPoint(399, 150) << QPoint(50, 0) << QRect(100, 100, 449, 300);
        QTest::newRow("bottom taller") << QPoint(200, 299) << QPoint(0, 40) << QRect(100, 100, 400, 339);
        QTest::newRow("left") << QPoint(0, 150) << QPoint(-30, 0) << QRect(70, 100, 430, 300);
        QTest::newRow("top") << QPoint(200, 0) << QPoint(0, 60) << QRect(100, 160, 400, 240);
        QTest::newRow("top beyond minimum") << QPoint(200, 0) << QPoint(0, 200) << QRect(100, 100, 400, 300);
        QTest::newRow("left beyond minimum") << QPoint(0, 150) << QPoint(250, 0) << QRect(100, 100, 400, 300);
        QTest::newRow("top-left") << QPoint(0, 0) << QPoint(-10, -20) << QRect(90, 80, 410, 320);
        QTest::newRow("bottom-right") << QPoint(399, 299) << QPoint(-100, -50) << QRect(100, 100, 299, 249);
        QTest::newRow("bottom-left") << QPoint(0, 299) << QPoint(20, 10) << QRect(120, 100, 380, 309);
        QTest::newRow("top-right") << QPoint(399, 0) << QPoint(10, 30) << QRect(100, 130, 409, 270);
    }

    void contentResizesByItsBorders()
    {
        QFETCH(QPoint, grip);
        QFETCH(QPoint, delta);
        QFETCH(QRect, expected);
        QWidget window;
        window.resize(900, 700);
        CPDialogContent content(&window, new CPDialogContentItem);
        content.setMinimumSize(200, 150);
        content.setGeometry(100, 100, 400, 300);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        sendMouse(&content, QEvent::MouseMove, grip, Qt::NoButton, Qt::NoButton);
        QVERIFY(content.region() != 8);
        expectGrabWarnings();
        sendMouse(&content, QEvent::MouseButtonPress, grip, Qt::LeftButton, Qt::LeftButton);
        QVERIFY(content.isPressed());
        // The frame changes under the cursor, so each move is given in screen coordinates.
        const QPoint target = content.mapToGlobal(grip) + delta;
        QMouseEvent move(QEvent::MouseMove, content.mapFromGlobal(target), target, Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(&content, &move);
        QCOMPARE(content.geometry(), expected);

        const QPoint at = content.mapFromGlobal(target);
        sendMouse(&content, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
        QVERIFY(!content.isPressed());
        QCOMPARE(content.cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(QWidget::mouseGrabber(), nullptr);
    }

    // --- mask ---

    void maskPlacement_data()
    {
        QTest::addColumn<QSize>("mask");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("1600x900") << QSize(1600, 900) << QRect(152, 112, 1296, 675);
        QTest::newRow("1200x900") << QSize(1200, 900) << QRect(50, 112, 1100, 675);
        QTest::newRow("1920x1080") << QSize(1920, 1080) << QRect(182, 135, 1555, 810);
        QTest::newRow("small") << QSize(1000, 700) << QRect(-12, 29, 1024, 642);
    }

    void maskPlacement()
    {
        QFETCH(QSize, mask);
        QFETCH(QRect, expected);
        QDialog dialog;
        DialogMask m(&dialog, new CPDialogContentItem);
        m.resize(mask);
        m.placeContent();
        QCOMPARE(m.content()->geometry(), expected);
        QCOMPARE(m.content()->minimumSize(), QSize(1024, 642));
    }

    void maskFollowsItemRequests()
    {
        QDialog dialog;
        auto *item = new CPDialogContentItem;
        DialogMask m(&dialog, item);
        QCOMPARE(m.parentWidget(), &dialog);
        QCOMPARE(item->parentWidget(), m.content());
        m.resize(1600, 900);
        QVERIFY(m.normalGeometry().isNull());

        // Before any maximize, restore places the frame as by default.
        m.content()->setGeometry(3, 4, 1100, 700);
        emit item->restore();
        QCOMPARE(m.content()->geometry(), QRect(152, 112, 1296, 675));

        m.content()->setGeometry(40, 50, 1200, 700);
        emit item->maximize();
        QCOMPARE(m.content()->geometry(), QRect(0, 0, 1600, 900));
        QCOMPARE(m.normalGeometry(), QRect(40, 50, 1200, 700));
        emit item->restore();
        QCOMPARE(m.content()->geometry(), QRect(40, 50, 1200, 700));

        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        emit item->minimize();
        QVERIFY(dialog.windowState() & Qt::WindowMinimized);

        QSignalSpy accepted(&dialog, &QDialog::accepted);
        emit item->close();
        QCOMPARE(accepted.count(), 1);
    }

    void maskSkin()
    {
        QWidget window;
        window.resize(200, 100);
        DialogMask m(&window, nullptr);
        QCOMPARE(m.styleSheet(), QStringLiteral("HXCPControls--DialogMask { background: rgba(0, 0, 0, 128); }"));
        m.resize(200, 100);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // The style paints the background, with its transparency over the window.
        const QImage image = m.grab().toImage();
        QCOMPARE(image.pixelColor(100, 50).alpha() > 0, true);
        QVERIFY(image.pixelColor(100, 50).red() < 140);
    }
};

QTEST_MAIN(TstSharedWidgets)
#include "tst_sharedwidgets.moc"

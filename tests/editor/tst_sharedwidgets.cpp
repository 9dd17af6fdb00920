// The small shared widgets: the dialog frame of settings forms, flow layout,
// hover icons, component panel, and the frame of the dimming mask.
#include "editortest.h"
#include "modalhelper.h"

#include "editor/buttonhoverwatcher.h"
#include "editor/cpbasedialog.h"
#include "editor/cpbasewidget.h"
#include "editor/cpcomponentpanel.h"
#include "editor/cpdialogcontent.h"
#include "editor/cpdialogcontentitem.h"
#include "editor/dialogmask.h"
#include "editor/flowlayout.h"
#include "editor/skinimagepath.h"

using namespace HXCPControls;

namespace {

const QString kDefaultCss = QStringLiteral("QFrame#titleFrame { background: #123456; }");

// A form with a range that refuses a minimum above the maximum.
struct RangeForm : CPBaseWidget {
    explicit RangeForm(bool embedded = true, const QString &styleFile = QString())
        : CPBaseWidget(nullptr, embedded, styleFile)
    {
        (new QHBoxLayout(this))->addWidget(minBox);
        layout()->addWidget(maxBox);
    }
    QString validateInput() override
    {
        ++validations;
        return minBox->value() > maxBox->value() ? QStringLiteral("最小值不能大于最大值") : QString();
    }
    QSpinBox *minBox = new QSpinBox;
    QSpinBox *maxBox = new QSpinBox;
    int validations = 0;
};

template <class T = QPushButton>
T *child(QDialog &dlg, const char *name)
{
    return dlg.findChild<T *>(QLatin1String(name));
}

void showActive(QDialog &dlg)
{
    dlg.resize(451, 230);
    dlg.show();
    dlg.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
}

QWidget *box(QWidget *parent, int w, int h)
{
    auto *widget = new QWidget(parent);
    widget->setFixedSize(w, h);
    return widget;
}

QColor iconColor(const QWidget &button)
{
    return qobject_cast<const QAbstractButton *>(&button)->icon().pixmap(16, 16).toImage().pixelColor(8, 8);
}

void sendEnterLeave(QWidget *target, QEvent::Type type)
{
    QEvent event(type);
    QApplication::sendEvent(target, &event);
}

// An item whose title bar is 40 pixels tall.
struct ShortTitleItem : CPDialogContentItem {
    int titleBarHeight() const override { return 40; }
};

} // namespace

class TstSharedWidgets : public QObject
{
    Q_OBJECT

    TestSkins m_skins;

private slots:
    void initTestCase()
    {
        m_skins.install();
        m_skins.write(QStringLiteral("default/controls/dialog-test.css"), kDefaultCss.toUtf8());
        m_skins.write(QStringLiteral("dark/controls/dialog-test.css"), "QWidget { color: white; }");
        for (const auto &[name, color] : {std::pair<QString, QColor>{"add.png", Qt::red}, {"addH.png", Qt::green}}) {
            QImage image(16, 16, QImage::Format_ARGB32);
            image.fill(color);
            QVERIFY(image.save(m_skins.file("default/images/custompage/" + name)));
        }
        // The host caches style files, so the mask's is written before any mask exists.
        m_skins.write(QStringLiteral("default/controls/custompage-index-detail.css"),
                      "HXCPControls--DialogMask { background: rgba(0, 0, 0, 128); }");
    }

    void skinsAndButtons()
    {
        auto *extra = new QPushButton(QStringLiteral("应用"));
        CPBaseDialog dlg(nullptr, QStringLiteral("   设置高度"), new RangeForm, QStringLiteral("controls/dialog-test.css"), extra);
        QCOMPARE(child<QLabel>(dlg, "lbTitle")->text(), QStringLiteral("   设置高度"));
        QCOMPARE(dlg.frameWidget()->styleSheet(), kDefaultCss); // the skin's copy of the style file
        // The extra button sits in the button bar, left of OK.
        QPushButton *ok = child(dlg, "pbOk");
        QCOMPARE(extra->parentWidget(), ok->parentWidget());
        showActive(dlg);
        QVERIFY(extra->mapTo(&dlg, QPoint()).x() < ok->mapTo(&dlg, QPoint()).x());

        // Outside a dialog a form applies its own style file, and again on a change of skin.
        QWidget host;
        CPBaseWidget own(&host, false, QStringLiteral("controls/dialog-test.css"));
        RangeForm embedded(true, QStringLiteral("controls/dialog-test.css"));
        QVERIFY(!own.parentWidget()); // the parent given to the constructor is not taken
        QCOMPARE(own.styleSheet(), kDefaultCss);
        WKCore::instance()->setCurrentSkinId(QStringLiteral("dark"));
        QCOMPARE(own.styleSheet(), QStringLiteral("QWidget { color: white; }"));
        QVERIFY(embedded.styleSheet().isEmpty());
        WKCore::instance()->setCurrentSkinId(QStringLiteral("default"));
        own.loadSkin(QVariant());
        QCOMPARE(own.styleSheet(), kDefaultCss);
    }

    void confirmValidatesTheForm()
    {
        auto *form = new RangeForm;
        CPBaseDialog dlg(nullptr, QStringLiteral("范围"), form, QString());
        showActive(dlg);
        QSignalSpy accepted(&dlg, &QDialog::accepted);
        child(dlg, "pbOk")->setDefault(true);

        // A Return press that reaches the dialog is swallowed: the default
        // button would otherwise accept without validating.
        QKeyEvent returnKey(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(&dlg, &returnKey);
        QTest::keyClick(&dlg, Qt::Key_Return);
        QTest::qWait(250); // a button's shortcut would click it after a short animation
        QCOMPARE(accepted.count(), 0);
        QCOMPARE(form->validations, 0);

        // Enter clicks OK through its shortcut; a refusal is shown and keeps the dialog open.
        form->minBox->setValue(5);
        MessageBoxCatcher box;
        box.arm();
        QTest::keyClick(&dlg, Qt::Key_Enter);
        QTRY_VERIFY(box.seen);
        QCOMPARE(box.text, QStringLiteral("最小值不能大于最大值"));
        QCOMPARE(accepted.count(), 0);
        QVERIFY(dlg.isVisible());

        form->maxBox->setValue(9);
        showActive(dlg); // back from the message box
        QTest::keyClick(&dlg, Qt::Key_Enter, Qt::KeypadModifier);
        QTRY_COMPARE(accepted.count(), 1);
        QCOMPARE(form->validations, 2);

        // Content that is not a form is accepted as it is.
        CPBaseDialog plain(nullptr, QStringLiteral("名称"), new QLineEdit, QString());
        QSignalSpy plainAccepted(&plain, &QDialog::accepted);
        child(plain, "pbOk")->click();
        QCOMPARE(plainAccepted.count(), 1);
    }

    void cancelCloseAndEscapeReject()
    {
        for (const char *name : {"pbCancel", "pbClose", ""}) {
            auto *form = new RangeForm;
            CPBaseDialog dlg(nullptr, QStringLiteral("范围"), form, QString());
            showActive(dlg);
            QSignalSpy rejected(&dlg, &QDialog::rejected);
            if (*name)
                QTest::mouseClick(child(dlg, name), Qt::LeftButton);
            else
                QTest::keyClick(&dlg, Qt::Key_Escape);
            QVERIFY2(rejected.count() == 1 && !dlg.isVisible(), name);
            QCOMPARE(form->validations, 0);
        }
    }

    void dragBand()
    {
        CPBaseDialog dlg(nullptr, QStringLiteral("拖动"), new QLabel, QString());
        showActive(dlg);
        // Any button starts a drag in the band; after the release moves no longer drag.
        for (int y : {0, 1, 29, 30}) {
            const QPoint start = dlg.pos();
            sendMouse(&dlg, QEvent::MouseButtonPress, QPoint(60, y), Qt::RightButton, Qt::RightButton);
            sendMouse(&dlg, QEvent::MouseMove, QPoint(160, y + 40), Qt::NoButton, Qt::RightButton);
            QCOMPARE(dlg.pos(), y >= 1 && y <= 29 ? start + QPoint(100, 40) : start);
            const QPoint released = dlg.pos();
            sendMouse(&dlg, QEvent::MouseButtonRelease, QPoint(160, y + 40), Qt::RightButton, Qt::NoButton);
            sendMouse(&dlg, QEvent::MouseMove, QPoint(10, 10), Qt::NoButton, Qt::NoButton);
            QCOMPARE(dlg.pos(), released);
        }

        // The title label does not take the press, so it reaches the dialog.
        const QPoint start = dlg.pos();
        auto *label = child<QLabel>(dlg, "lbTitle");
        const QPoint inLabel(label->width() / 2, label->height() / 2);
        sendMouse(label, QEvent::MouseButtonPress, inLabel, Qt::LeftButton, Qt::LeftButton);
        sendMouse(&dlg, QEvent::MouseMove, label->mapTo(&dlg, inLabel) + QPoint(-30, 25), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(dlg.pos(), start + QPoint(-30, 25));
    }

    void flowWrapsIntoRows()
    {
        QWidget host;
        auto *flow = new FlowLayout(&host, 5, 10, 7);
        QList<QWidget *> boxes;
        for (int h : {20, 30, 20, 20, 20}) // the first row is as tall as its tallest item
            flow->addWidget((boxes << box(&host, 100, h)).last());

        // 330 pixels inside the margins hold three boxes a row, one less does not; offsets of the rectangle carry through.
        QCOMPARE(flow->heightForWidth(330), 5 + 30 + 7 + 20 + 5);
        QCOMPARE(host.heightForWidth(329), 5 + 30 + 7 + 20 + 7 + 20 + 5); // the widget asks its layout
        flow->setGeometry(QRect(20, 40, 340, 67));
        const QRect expected[] = {{25, 45, 100, 20}, {135, 45, 100, 30}, {245, 45, 100, 20}, {25, 82, 100, 20},
                                  {135, 82, 100, 20}};
        for (int i = 0; i < 5; ++i)
            QCOMPARE(boxes[i]->geometry(), expected[i]);

        // An item wider than the row stays on the first row; the next one wraps.
        FlowLayout tight(nullptr, 0, 4, 4);
        QWidget *wide = box(&host, 500, 20), *next = box(&host, 50, 20);
        tight.addWidget(wide);
        tight.addWidget(next);
        tight.setGeometry(QRect(0, 0, 200, 44));
        QCOMPARE(wide->geometry(), QRect(0, 0, 500, 20));
        QCOMPARE(next->geometry(), QRect(0, 24, 50, 20));
        QVERIFY(!tight.takeAt(5) && !tight.itemAt(-1));
        // Without spacing of its own it takes its widget's style's.
        QWidget plain;
        FlowLayout own(&plain, -1, -1, -1);
        QCOMPARE(own.horizontalSpacing(), plain.style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing, nullptr, &plain));
    }

    void hoverIcons()
    {
        const QString normal = QStringLiteral("custompage/add.png"), hover = QStringLiteral("custompage/addH.png");
        ButtonHoverWatcher watcher(nullptr, normal, hover);
        QToolButton tool, selected;
        QPushButton push;
        push.setIcon(QIcon(skinImagePath(normal)));
        tool.installEventFilter(&watcher);
        push.installEventFilter(&watcher);

        sendEnterLeave(&tool, QEvent::Enter);
        QCOMPARE(iconColor(tool), QColor(Qt::green));
        sendEnterLeave(&tool, QEvent::Leave);
        QCOMPARE(iconColor(tool), QColor(Qt::red));
        sendEnterLeave(&push, QEvent::Enter); // other buttons are not touched
        QCOMPARE(iconColor(push), QColor(Qt::red));

        // A selected button keeps its icon, and the events go on.
        EventCounter counter({QEvent::Enter, QEvent::Leave});
        selected.installEventFilter(&counter);
        selected.installEventFilter(&watcher); // filters installed later run first
        sendEnterLeave(&selected, QEvent::Enter);
        QCOMPARE(counter.count, 0);
        selected.setProperty("selected", true);
        sendEnterLeave(&selected, QEvent::Leave);
        QCOMPARE(counter.count, 1);
        QCOMPARE(iconColor(selected), QColor(Qt::green));
    }

    void componentPanelTitle()
    {
        CPComponentPanel panel(nullptr, new QLabel);
        panel.show();
        QVERIFY(!panel.titleWidget()->isVisible());
        panel.setTitleBar(true, QString());
        QVERIFY(panel.titleWidget()->isVisible());
        QCOMPARE(panel.titleLabel()->text(), QStringLiteral("------"));
        panel.setTitleBar(false, QStringLiteral("主要指标"));
        QVERIFY(!panel.titleWidget()->isVisible());
    }

    void contentFrame_data()
    {
        QTest::addColumn<QPoint>("grip");
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<QPoint>("delta");
        QTest::addColumn<QRect>("expected");
        // Frame at (100, 100), 400 by 300 (0..399 by 0..299 in its own coordinates), minimum 200 by 150;
        // the item's title bar height, 40, counts from the frame's top.
        const int left = Qt::LeftButton, ver = Qt::SizeVerCursor, hor = Qt::SizeHorCursor;
        const int fdiag = Qt::SizeFDiagCursor, bdiag = Qt::SizeBDiagCursor, arrow = Qt::ArrowCursor;
        QTest::newRow("top") << QPoint(200, 0) << left << ver << QPoint(0, 60) << QRect(100, 160, 400, 240);
        QTest::newRow("top beyond minimum") << QPoint(200, 2) << left << ver << QPoint(0, 200) << QRect(100, 100, 400, 300);
        QTest::newRow("bottom") << QPoint(200, 299) << left << ver << QPoint(0, 40) << QRect(100, 100, 400, 339);
        QTest::newRow("left") << QPoint(1, 150) << left << hor << QPoint(-30, 0) << QRect(71, 100, 429, 300);
        QTest::newRow("left beyond minimum") << QPoint(0, 150) << left << hor << QPoint(250, 0) << QRect(100, 100, 400, 300);
        QTest::newRow("right") << QPoint(398, 150) << left << hor << QPoint(50, 0) << QRect(100, 100, 448, 300);
        QTest::newRow("top-left") << QPoint(2, 2) << left << fdiag << QPoint(-10, -20) << QRect(92, 82, 408, 318);
        QTest::newRow("bottom-left") << QPoint(0, 299) << left << bdiag << QPoint(20, 10) << QRect(120, 100, 380, 309);
        QTest::newRow("bottom-right") << QPoint(397, 297) << left << fdiag << QPoint(-100, -50) << QRect(100, 100, 297, 247);
        QTest::newRow("top-right") << QPoint(399, 1) << left << bdiag << QPoint(10, 30) << QRect(100, 131, 409, 269);
        QTest::newRow("title drags") << QPoint(55, 39) << left << arrow << QPoint(-20, 5) << QRect(80, 105, 400, 300);
        QTest::newRow("below title") << QPoint(55, 40) << left << arrow << QPoint(100, 50) << QRect(100, 100, 400, 300);
        QTest::newRow("right button") << QPoint(396, 20) << int(Qt::RightButton) << arrow << QPoint(100, 50) << QRect(100, 100, 400, 300);
    }

    // The region under the cursor sets its shape; a press on a border resizes
    // the frame, one in the item's title bar moves it.
    void contentFrame()
    {
        QFETCH(QPoint, grip);
        QFETCH(int, button);
        QFETCH(int, cursor);
        QFETCH(QPoint, delta);
        QFETCH(QRect, expected);
        QWidget window;
        window.resize(900, 700);
        auto *item = new ShortTitleItem;
        CPDialogContent content(&window, item);
        content.setMinimumSize(200, 150);
        content.setGeometry(100, 100, 400, 300);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        sendMouse(&content, QEvent::MouseMove, grip, Qt::NoButton, Qt::NoButton);
        QCOMPARE(content.cursor().shape(), Qt::CursorShape(cursor));
        // While a button is held the region stays what it was.
        sendMouse(&content, QEvent::MouseMove, QPoint(200, 150), Qt::NoButton, Qt::MiddleButton);
        QCOMPARE(content.cursor().shape(), Qt::CursorShape(cursor));

        // The offscreen platform warns when a widget grabs or releases the mouse.
        for (int i = 0; i < 2 && cursor != Qt::ArrowCursor && QGuiApplication::platformName() == "offscreen"; ++i)
            ZhpTest::expectMessage(QtWarningMsg, QStringLiteral("This plugin does not support grabbing the mouse"));
        // A press in the item reaches the frame through it.
        QWidget *under = content.childAt(grip) ? content.childAt(grip) : &content;
        const auto mouse = Qt::MouseButton(button);
        sendMouse(under, QEvent::MouseButtonPress, under->mapFrom(&content, grip), mouse, mouse);
        // The frame changes under the cursor, so the move is given in screen coordinates.
        const QPoint target = content.mapToGlobal(grip) + delta;
        QMouseEvent move(QEvent::MouseMove, content.mapFromGlobal(target), target, Qt::NoButton, mouse, Qt::NoModifier);
        QApplication::sendEvent(&content, &move);
        QCOMPARE(content.geometry(), expected);
        sendMouse(&content, QEvent::MouseButtonRelease, content.mapFromGlobal(target), mouse, Qt::NoButton);
        QVERIFY(!content.isPressed());
        QCOMPARE(content.cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(QWidget::mouseGrabber(), nullptr);
    }

    void maskPlacesAndFollowsItemRequests()
    {
        QDialog dialog;
        auto *item = new CPDialogContentItem;
        DialogMask m(&dialog, item);
        // Three quarters of the height, 1.92 times as wide, centred; never below the minimum.
        const struct { QSize mask; QRect frame; } placements[] = {
            {{1600, 900}, {152, 112, 1296, 675}}, {{1200, 900}, {50, 112, 1100, 675}}, {{1000, 700}, {-12, 29, 1024, 642}}};
        for (const auto &p : placements) {
            m.resize(p.mask);
            m.placeContent();
            QCOMPARE(m.content()->geometry(), p.frame);
        }

        // Before any maximize, restore places the frame as by default (maximizing and back: the index detail dialog's test).
        m.resize(1600, 900);
        m.content()->setGeometry(3, 4, 1100, 700);
        emit item->restore();
        QCOMPARE(m.content()->geometry(), QRect(152, 112, 1296, 675));

        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        // The style paints the background, with its transparency, around the frame.
        const QColor painted = m.grab().toImage().pixelColor(50, 50);
        QVERIFY(painted.alpha() > 0);
        QVERIFY(painted.red() < 140);
        DialogMask bare(&dialog, nullptr);
        emit item->minimize();
        QVERIFY(dialog.windowState() & Qt::WindowMinimized);
        QSignalSpy accepted(&dialog, &QDialog::accepted);
        emit item->close();
        QCOMPARE(accepted.count(), 1);
    }
};

QTEST_MAIN(TstSharedWidgets)
#include "tst_sharedwidgets.moc"

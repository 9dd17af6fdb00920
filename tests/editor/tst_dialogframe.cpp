// The dialog frame of settings forms: layout, validation on OK, keys and dragging.
#include "modalhelper.h"
#include "zhptest.h"

#include "editor/cpbasedialog.h"
#include "editor/cpbasewidget.h"
#include "wk/wkcfg.h"
#include "wk/wkcore.h"

#include <QDir>
#include <QFile>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>

using namespace HXCPControls;

namespace {

// A form with a range that refuses a minimum above the maximum.
class RangeForm : public CPBaseWidget
{
    Q_OBJECT
public:
    explicit RangeForm(bool embedded = true, const QString &styleFile = QString())
        : CPBaseWidget(nullptr, embedded, styleFile)
    {
        auto *layout = new QHBoxLayout(this);
        minBox = new QSpinBox(this);
        maxBox = new QSpinBox(this);
        layout->addWidget(minBox);
        layout->addWidget(maxBox);
    }
    QString validateInput() override
    {
        ++validations;
        return minBox->value() > maxBox->value() ? QStringLiteral("最小值不能大于最大值") : QString();
    }
    QSpinBox *minBox;
    QSpinBox *maxBox;
    int validations = 0;
};

// Closes the next message box that opens and keeps what it showed.
void sendMouse(QWidget *target, QEvent::Type type, const QPoint &pos, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, pos, target->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

QPushButton *button(QDialog &dlg, const char *name)
{
    return dlg.findChild<QPushButton *>(QLatin1String(name));
}

} // namespace

class TstDialogFrame : public QObject
{
    Q_OBJECT

    QTemporaryDir m_skins;

    void showActive(QDialog &dlg)
    {
        dlg.resize(451, 230);
        dlg.show();
        dlg.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
    }

private slots:
    void initTestCase()
    {
        ZhpTest::failOnUnexpectedMessages();
        ZhpTest::isolateHostFolders();
        QVERIFY(m_skins.isValid());
        WKCfg::instance()->setStdPath(QStringLiteral("wkskin"), m_skins.path());
        WKCore::instance()->setCurrentSkinId(QStringLiteral("default"));
        QDir().mkpath(m_skins.path() + QStringLiteral("/default/controls"));
        QFile css(m_skins.path() + QStringLiteral("/default/controls/dialog-test.css"));
        QVERIFY(css.open(QIODevice::WriteOnly));
        css.write("QFrame#titleFrame { background: #123456; }");
    }

    void frameLayout()
    {
        auto *form = new RangeForm;
        auto *extra = new QPushButton(QStringLiteral("应用"));
        CPBaseDialog dlg(nullptr, QStringLiteral("   设置高度"), form, QStringLiteral("controls/dialog-test.css"), extra);

        QVERIFY(dlg.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(dlg.hasMouseTracking());
        auto *frame = dlg.findChild<CPBaseWidget *>(QStringLiteral("baseDialog"));
        QVERIFY(frame);
        QCOMPARE(frame, dlg.frameWidget());
        // The frame registers the dialog's style file with the skin service.
        QCOMPARE(frame->styleSheet(), QStringLiteral("QFrame#titleFrame { background: #123456; }"));

        QCOMPARE(dlg.findChild<QLabel *>(QStringLiteral("lbTitle"))->text(), QStringLiteral("   设置高度"));
        auto *titleFrame = dlg.findChild<QFrame *>(QStringLiteral("titleFrame"));
        QCOMPARE(titleFrame->maximumHeight(), 38);
        QVERIFY(button(dlg, "pbClose")->text().isEmpty());

        // The content sits in the form frame above the button bar.
        QCOMPARE(form->objectName(), QStringLiteral("contentWidget"));
        auto *formFrame = dlg.findChild<QFrame *>(QStringLiteral("formFrame"));
        auto *bottomFrame = dlg.findChild<QFrame *>(QStringLiteral("bottomFrame"));
        QCOMPARE(form->parentWidget(), formFrame);
        QCOMPARE(formFrame->layout()->indexOf(form), 0);
        QCOMPARE(formFrame->layout()->indexOf(bottomFrame), 1);

        // The extra button comes before OK, OK before Cancel.
        QLayout *bar = bottomFrame->layout();
        QPushButton *ok = button(dlg, "pbOk");
        QPushButton *cancel = button(dlg, "pbCancel");
        QVERIFY(bar->indexOf(extra) > 0);
        QVERIFY(bar->indexOf(extra) < bar->indexOf(ok));
        QVERIFY(bar->indexOf(ok) < bar->indexOf(cancel));
        QCOMPARE(ok->size(), QSize(75, 25));
        QCOMPARE(ok->shortcut(), QKeySequence(QKeySequence::InsertParagraphSeparator));

        showActive(dlg);
        QVERIFY(form->isVisible());
        QVERIFY(titleFrame->geometry().bottom() < formFrame->geometry().top());
        QVERIFY(extra->geometry().right() < ok->geometry().left());
    }

    void emptyTitle_data()
    {
        QTest::addColumn<QString>("title");
        QTest::newRow("null") << QString();
        QTest::newRow("empty") << QStringLiteral("");
    }

    void emptyTitle()
    {
        QFETCH(QString, title);
        CPBaseDialog dlg(nullptr, title, new QLabel, QString());
        QCOMPARE(dlg.findChild<QLabel *>(QStringLiteral("lbTitle"))->text(), QStringLiteral("标题栏"));
    }

    void okValidatesTheForm()
    {
        auto *form = new RangeForm;
        CPBaseDialog dlg(nullptr, QStringLiteral("范围"), form, QString());
        showActive(dlg);
        QSignalSpy accepted(&dlg, &QDialog::accepted);
        form->minBox->setValue(5);

        MessageBoxCatcher box;
        box.arm();
        button(dlg, "pbOk")->click();
        QVERIFY(box.seen);
        QCOMPARE(box.title, QStringLiteral("错误"));
        QCOMPARE(box.text, QStringLiteral("最小值不能大于最大值"));
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(accepted.count(), 0);
        QVERIFY(dlg.isVisible());

        form->maxBox->setValue(9);
        button(dlg, "pbOk")->click();
        QCOMPARE(accepted.count(), 1);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(form->validations, 2);
    }

    void plainContentAcceptsAtOnce()
    {
        auto *edit = new QLineEdit;
        CPBaseDialog dlg(nullptr, QStringLiteral("名称"), edit, QString());
        showActive(dlg);
        QSignalSpy accepted(&dlg, &QDialog::accepted);
        button(dlg, "pbOk")->click();
        QCOMPARE(accepted.count(), 1);
    }

    void cancelAndCloseReject_data()
    {
        QTest::addColumn<QString>("buttonName");
        QTest::newRow("cancel") << QStringLiteral("pbCancel");
        QTest::newRow("close") << QStringLiteral("pbClose");
    }

    void cancelAndCloseReject()
    {
        QFETCH(QString, buttonName);
        auto *form = new RangeForm;
        CPBaseDialog dlg(nullptr, QStringLiteral("范围"), form, QString());
        showActive(dlg);
        QSignalSpy rejected(&dlg, &QDialog::rejected);
        QTest::mouseClick(dlg.findChild<QPushButton *>(buttonName), Qt::LeftButton);
        QCOMPARE(rejected.count(), 1);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(form->validations, 0);
    }

    void keys()
    {
        auto *form = new RangeForm;
        CPBaseDialog dlg(nullptr, QStringLiteral("范围"), form, QString());
        showActive(dlg);
        QSignalSpy accepted(&dlg, &QDialog::accepted);
        QSignalSpy rejected(&dlg, &QDialog::rejected);
        button(dlg, "pbOk")->setDefault(true);

        // A Return press that reaches the dialog is swallowed: the default
        // button would otherwise accept without the shortcut.
        QKeyEvent returnKey(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(&dlg, &returnKey);
        QTest::keyClick(&dlg, Qt::Key_Return);
        QTest::qWait(250); // a button's shortcut would click it after a short animation
        QCOMPARE(accepted.count(), 0);
        QVERIFY(dlg.isVisible());
        QCOMPARE(form->validations, 0);
        form->minBox->setValue(3);
        QCOMPARE(accepted.count(), 0);
        QCOMPARE(form->validations, 0);

        // Enter goes through the OK button's shortcut, with validation.
        MessageBoxCatcher box;
        box.arm();
        QTest::keyClick(&dlg, Qt::Key_Enter);
        QTRY_VERIFY(box.seen);
        QCOMPARE(accepted.count(), 0);
        QCOMPARE(form->validations, 1);

        form->maxBox->setValue(3);
        dlg.activateWindow(); // back from the message box
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QTest::keyClick(&dlg, Qt::Key_Enter, Qt::KeypadModifier);
        QTRY_COMPARE(accepted.count(), 1);

        showActive(dlg);
        QTest::keyClick(&dlg, Qt::Key_Escape);
        QCOMPARE(rejected.count(), 1);
    }

    void execReturnsAcceptedWithValues()
    {
        auto *form = new RangeForm;
        form->maxBox->setValue(42);
        CPBaseDialog dlg(nullptr, QStringLiteral("范围"), form, QString());
        dlg.setFixedSize(451, 180);
        dlg.setModal(true);
        QTimer::singleShot(0, &dlg, [&dlg] { button(dlg, "pbOk")->click(); });
        QCOMPARE(dlg.exec(), int(QDialog::Accepted));
        QCOMPARE(dlg.size(), QSize(451, 180));
        QCOMPARE(qobject_cast<RangeForm *>(dlg.content())->maxBox->value(), 42);
    }

    void dragBand_data()
    {
        QTest::addColumn<int>("pressY");
        QTest::addColumn<bool>("drags");
        QTest::newRow("y=0") << 0 << false;
        QTest::newRow("y=1") << 1 << true;
        QTest::newRow("y=15") << 15 << true;
        QTest::newRow("y=29") << 29 << true;
        QTest::newRow("y=30") << 30 << false;
        QTest::newRow("y=100") << 100 << false;
    }

    void dragBand()
    {
        QFETCH(int, pressY);
        QFETCH(bool, drags);
        CPBaseDialog dlg(nullptr, QStringLiteral("拖动"), new QLabel, QString());
        dlg.move(200, 150);
        showActive(dlg);
        const QPoint start = dlg.pos();

        // Any button starts a drag in the band.
        sendMouse(&dlg, QEvent::MouseButtonPress, QPoint(60, pressY), Qt::RightButton, Qt::RightButton);
        sendMouse(&dlg, QEvent::MouseMove, QPoint(160, pressY + 40), Qt::NoButton, Qt::RightButton);
        QCOMPARE(dlg.pos(), drags ? start + QPoint(100, 40) : start);

        // After the release moves no longer drag.
        const QPoint released = dlg.pos();
        sendMouse(&dlg, QEvent::MouseButtonRelease, QPoint(160, pressY + 40), Qt::RightButton, Qt::NoButton);
        sendMouse(&dlg, QEvent::MouseMove, QPoint(10, 10), Qt::NoButton, Qt::NoButton);
        QCOMPARE(dlg.pos(), released);
    }

    void dragByTheTitleLabel()
    {
        CPBaseDialog dlg(nullptr, QStringLiteral("拖动"), new QLabel, QString());
        dlg.move(300, 200);
        showActive(dlg);
        const QPoint start = dlg.pos();
        auto *label = dlg.findChild<QLabel *>(QStringLiteral("lbTitle"));
        const QPoint inLabel(label->width() / 2, label->height() / 2);
        const QPoint inDialog = label->mapTo(&dlg, inLabel);
        QVERIFY(inDialog.y() >= 1 && inDialog.y() <= 29);

        // The label does not take the press, so it reaches the dialog.
        sendMouse(label, QEvent::MouseButtonPress, inLabel, Qt::LeftButton, Qt::LeftButton);
        sendMouse(&dlg, QEvent::MouseMove, inDialog + QPoint(-30, 25), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(dlg.pos(), start + QPoint(-30, 25));
    }

    void formSkin()
    {
        // Outside a dialog a form applies its own style file, and again on a change of skin.
        QDir().mkpath(m_skins.path() + QStringLiteral("/dark/controls"));
        QFile css(m_skins.path() + QStringLiteral("/dark/controls/dialog-test.css"));
        QVERIFY(css.open(QIODevice::WriteOnly));
        css.write("QWidget { color: white; }");
        css.close();

        RangeForm own(false, QStringLiteral("controls/dialog-test.css"));
        RangeForm embedded(true, QStringLiteral("controls/dialog-test.css"));
        QCOMPARE(own.styleSheetFile(), QStringLiteral("controls/dialog-test.css"));
        QCOMPARE(own.styleSheet(), QStringLiteral("QFrame#titleFrame { background: #123456; }"));
        QVERIFY(embedded.styleSheet().isEmpty());
        QCOMPARE(own.widget(), &own);

        WKCore::instance()->setCurrentSkinId(QStringLiteral("dark"));
        QCOMPARE(own.styleSheet(), QStringLiteral("QWidget { color: white; }"));
        QVERIFY(embedded.styleSheet().isEmpty());
        WKCore::instance()->setCurrentSkinId(QStringLiteral("default"));

        own.loadSkin(QVariant());
        QCOMPARE(own.styleSheet(), QStringLiteral("QFrame#titleFrame { background: #123456; }"));

        // The parent given to the constructor is not taken.
        QWidget host;
        RangeForm *orphan = new RangeForm;
        QVERIFY(!orphan->parentWidget());
        CPBaseWidget parented(&host, true, QString());
        QVERIFY(!parented.parentWidget());
        delete orphan;
    }
};

QTEST_MAIN(TstDialogFrame)
#include "tst_dialogframe.moc"

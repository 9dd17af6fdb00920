// The dialog frame of settings forms: layout, validation on OK, keys and dragging.
#include "editortest.h"
#include "modalhelper.h"

#include "editor/cpbasedialog.h"
#include "editor/cpbasewidget.h"

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

} // namespace

class TstDialogFrame : public QObject
{
    Q_OBJECT

    TestSkins m_skins;

private slots:
    void initTestCase()
    {
        m_skins.install();
        m_skins.write(QStringLiteral("default/controls/dialog-test.css"), kDefaultCss.toUtf8());
        m_skins.write(QStringLiteral("dark/controls/dialog-test.css"), "QWidget { color: white; }");
    }

    void frameSkinAndButtons()
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
        QCOMPARE(box.title, QStringLiteral("错误"));
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

    void formSkin()
    {
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
};

QTEST_MAIN(TstDialogFrame)
#include "tst_dialogframe.moc"

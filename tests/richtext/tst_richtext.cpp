// The rich text component, its viewer and its editor: formatting, links,
// pictures kept through a real server, and stored text that must not reach the
// network or run.
#include "modalhelper.h"
#include "serverfixture.h"

#include "charts/config/hxtitlecfgwidget.h"
#include "editor/cpbasedialog.h"
#include "editor/cpcomponentpanel.h"
#include "pagelayout/cpcustompage.h"
#include "richtext/cprichtextcomponent.h"
#include "richtext/cptextedit.h"
#include "richtext/richtextedit.h"
#include "richtext/richtextimages.h"
#include "richtext/richtextview.h"
#include "seeddata.h"
#include "wk/wkappconfig.h"
#include "wk/wkfactory.h"

#include <QAction>
#include <QBuffer>
#include <QClipboard>
#include <QColorDialog>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QSettings>
#include <QInputDialog>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QToolButton>

using namespace HXCPControls;

namespace {

const QString kText = QStringLiteral("alpha beta gamma\nsecond line");

// A picture with distinct pixels, so that a decoded copy can be compared whole.
QImage testImage()
{
    QImage image(40, 24, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.fillRect(0, 0, 20, 12, QColor(200, 30, 30));
    painter.fillRect(20, 12, 20, 12, QColor(30, 90, 200));
    return image;
}

QMimeData *pngMimeData(const QImage &image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    auto *mime = new QMimeData;
    mime->setData(QStringLiteral("image/png"), png);
    mime->setImageData(image);
    return mime;
}

// The names of the images in a document, in document order.
QStringList imageNames(QTextDocument *document)
{
    QStringList names;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isImageFormat())
                names << format.toImageFormat().name();
        }
    }
    return names;
}

// The one picture of `document`: stored as `format`, and the test image again (JPG loses pixels).
void verifyTestImage(QTextDocument *document, const QString &format)
{
    const QStringList names = imageNames(document);
    QCOMPARE(names.size(), 1);
    QVERIFY2(QRegularExpression(QString("^data:image/\\d+\\.%1;base64,\\S\n").arg(format)).match(names.first()).hasMatch(),
             qPrintable(names.first().left(60)));
    if (format != "JPG")
        QCOMPARE(RichTextImages::decodeDataUrl(QUrl(names.first())).convertToFormat(QImage::Format_RGB32), testImage());
}

QTextCharFormat formatAt(QTextDocument *document, int position)
{
    QTextCursor cursor(document);
    cursor.setPosition(position + 1);
    return cursor.charFormat();
}

QToolButton *button(QWidget *editor, const char *name)
{
    return editor->findChild<QToolButton *>(QString::fromLatin1(name));
}

// A character format made by `set`, for the data tables.
QTextFormat charFormat(const std::function<void(QTextCharFormat &)> &set)
{
    QTextCharFormat format;
    set(format);
    return format;
}

} // namespace

class TstRichText : public QObject
{
    Q_OBJECT

    ServerTest::Fixture m_server;
    QList<QUrl> m_opened;

public slots:
    // Receives the links that the view hands to the system.
    void open(const QUrl &url) { m_opened << url; }

private:

    // Does `step` in the editor: a toolbar button ("f_link" alone unlinks), with ":answer" for the dialog
    // it opens (empty: cancelled); a size or paragraph style chosen ("f_fontsize:20"); or "remove".
    void apply(RichTextEdit &editor, const QString &step)
    {
        const QString name = step.section(':', 0, 0), answer = step.section(':', 1);
        if (name == "remove")
            return editor.removeFormatAction()->trigger();
        if (auto *choice = editor.findChild<QComboBox *>(name)) {
            choice->setCurrentText(answer);
            emit choice->activated(choice->currentIndex());
            emit choice->textActivated(answer);
            return;
        }
        if (name.endsWith("color")) {
            onNextModal<QColorDialog>([answer](QColorDialog *dialog) {
                dialog->setCurrentColor(QColor(answer));
                answer.isEmpty() ? dialog->reject() : dialog->accept();
            });
        } else if (step.contains(':')) {
            onNextModal<QInputDialog>([answer](QInputDialog *dialog) {
                dialog->setTextValue(answer);
                answer.isEmpty() ? dialog->reject() : dialog->accept();
            });
        } else if (name == "f_link") {
            button(&editor, "f_link")->setChecked(true);
        }
        button(&editor, qPrintable(name))->click();
    }

    CPRichTextComponent *componentIn(CPCustomPage &page)
    {
        CPRichTextComponent *component = nullptr;
        [&] { QTRY_VERIFY((component = page.findChild<CPRichTextComponent *>()) != nullptr); }();
        return component;
    }

private slots:
    void initTestCase()
    {
        m_server.setUp();
        // The file dialog's folder is kept in the user's settings: keep them away from the developer's.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, ZhpTest::isolateHostFolders() + "/settings");
        WKFactory<QWidget>::registerClass<CPRichTextComponent>("CPRichTextComponent");
        WKAppConfig::instance()->setProductId(zhpserver::seed::SampleProduct);
    }

    void formatting_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<bool>("selection");    // "beta" selected, or the cursor inside it
        QTest::addColumn<QTextFormat>("start"); // the format of all the text before
        QTest::addColumn<int>("from");          // the characters that take the change
        QTest::addColumn<int>("to");
        QTest::addColumn<QTextFormat>("effect"); // properties they then have
        QTest::addColumn<QList<int>>("gone");    // and properties they lose
        QTest::addColumn<QString>("checked");    // the toolbar button that follows the cursor's format; "!": unchecked

        const QPalette palette = QApplication::palette();
        const QTextFormat plain = QTextCharFormat();
        const QTextFormat formatted = charFormat([](QTextCharFormat &f) {
            f.setFontWeight(QFont::Bold), f.setFontItalic(true), f.setFontPointSize(20), f.setBackground(Qt::yellow); });
        const QTextFormat linked = charFormat([](QTextCharFormat &f) {
            f.setAnchor(true), f.setAnchorHref("https://example.com/"), f.setFontUnderline(true); });
        const struct { const char *name, *step; QTextFormat start, effect; QList<int> gone; const char *checked; } ops[] = {
            {"bold", "f_bold", plain, charFormat([](QTextCharFormat &f) { f.setFontWeight(QFont::Bold); }), {}, "f_bold"},
            {"italic", "f_italic", plain, charFormat([](QTextCharFormat &f) { f.setFontItalic(true); }), {}, "f_italic"},
            {"underline", "f_underline", plain, charFormat([](QTextCharFormat &f) { f.setFontUnderline(true); }), {}, "f_underline"},
            {"strike-out", "f_strikeout", plain, charFormat([](QTextCharFormat &f) { f.setFontStrikeOut(true); }), {}, "f_strikeout"},
            {"size", "f_fontsize:20", plain, charFormat([](QTextCharFormat &f) { f.setFontPointSize(20); }), {}, ""},
            {"text colour", "f_fgcolor:#c80000", plain, charFormat([](QTextCharFormat &f) { f.setForeground(QColor(200, 0, 0)); }), {}, ""},
            // A cancelled colour choice clears the colour.
            {"background colour cleared", "f_bgcolor:", formatted, plain, {QTextFormat::BackgroundBrush}, ""},
            {"remove character formatting", "remove", formatted, charFormat([](QTextCharFormat &f) {
                 f.setFontWeight(QFont::Normal), f.setFontItalic(false), f.setFontUnderline(false), f.setFontStrikeOut(false), f.setFontPointSize(9); }),
             {QTextFormat::BackgroundBrush}, ""},
            {"link", "f_link:https://example.com/steel", plain, charFormat([&palette](QTextCharFormat &f) {
                 f.setAnchor(true), f.setAnchorHref("https://example.com/steel"), f.setFontUnderline(true), f.setForeground(palette.link()); }),
             {}, "f_link"},
            {"link cancelled", "f_link:", plain, charFormat([](QTextCharFormat &f) { f.setAnchor(true); }), {}, "!f_link"},
            {"unlink", "f_link", linked, charFormat([&palette](QTextCharFormat &f) {
                 f.setAnchor(false), f.setFontUnderline(false), f.setForeground(palette.text()); }), {QTextFormat::AnchorHref}, "!f_link"},
            // Paragraph styles take the selection, or else the whole block under the cursor.
            {"heading 1", "f_paragraph:Heading 1", plain, charFormat([](QTextCharFormat &f) { f.setFontPointSize(18), f.setFontWeight(QFont::Bold); }),
             {QTextFormat::FontItalic}, ""},
            {"heading 2", "f_paragraph:Heading 2", plain, charFormat([](QTextCharFormat &f) {
                 f.setFontPointSize(16), f.setFontWeight(QFont::Bold), f.setFontItalic(true); }), {}, ""},
            {"monospace", "f_paragraph:Monospace", plain, charFormat([](QTextCharFormat &f) { f.setFontFixedPitch(true), f.setFontFamily("Monospace"); }), {}, ""},
            {"standard", "f_paragraph:Standard", formatted, plain, {QTextFormat::FontWeight, QTextFormat::FontPointSize}, ""}};
        for (const auto &c : ops) {
            const bool paragraph = QString(c.step).startsWith("f_paragraph");
            const int to = QString(c.step) == "f_link:" ? 6 : 10; // a cancelled dialog changes nothing
            QTest::addRow("%s on a selection", c.name) << c.step << true << c.start << 6 << to << c.effect << c.gone << c.checked;
            QTest::addRow(paragraph ? "%s on the block" : "%s on the word", c.name)
                << c.step << false << c.start << (paragraph ? 0 : 6) << (paragraph ? 16 : to) << c.effect << c.gone << c.checked;
        }
    }

    void formatting()
    {
        QFETCH(QString, step);
        QFETCH(bool, selection);
        QFETCH(QTextFormat, start);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QTextFormat, effect);
        QFETCH(QList<int>, gone);
        QFETCH(QString, checked);

        RichTextEdit editor;
        editor.show();
        CPTextEdit *edit = editor.textEdit();
        edit->setPlainText(kText);
        QTextCursor all(edit->document());
        all.select(QTextCursor::Document);
        all.mergeCharFormat(start.toCharFormat());
        edit->document()->clearUndoRedoStacks();

        QTextCursor cursor(edit->document());
        cursor.setPosition(selection ? 6 : 8);
        if (selection)
            cursor.setPosition(10, QTextCursor::KeepAnchor);
        edit->setTextCursor(cursor);
        apply(editor, step);
        QTRY_VERIFY(!QApplication::activeModalWidget());

        const QMap<int, QVariant> effects = effect.properties();
        for (int p = 0; p < kText.size(); ++p) {
            const QTextCharFormat f = formatAt(edit->document(), p);
            bool changed = std::none_of(gone.begin(), gone.end(), [&f](int id) { return f.hasProperty(id); });
            for (auto it = effects.begin(); it != effects.end(); ++it)
                changed &= f.property(it.key()) == it.value();
            if (kText.at(p) != '\n')
                QVERIFY2(changed == (p >= from && p < to), qPrintable(QString("position %1").arg(p)));
        }
        if (!checked.isEmpty())
            QCOMPARE(button(&editor, qPrintable(checked.mid(checked.startsWith('!'))))->isChecked(), !checked.startsWith('!'));
        QCOMPARE(button(&editor, "f_undo")->isEnabled(), from != to);
    }

    void documentActions()
    {
        RichTextEdit editor;
        editor.show();
        CPTextEdit *edit = editor.textEdit();
        edit->setHtml("<p><b>alpha</b> beta</p><p>second</p>");
        edit->setTextCursor(QTextCursor(edit->document()));

        // Alignment changes the block under the cursor only, in one undo step.
        button(&editor, "f_center")->click();
        QCOMPARE(edit->document()->firstBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        QCOMPARE(edit->document()->lastBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        QVERIFY(button(&editor, "f_center")->isChecked() && !button(&editor, "f_left")->isChecked());
        edit->undo();
        QCOMPARE(edit->document()->firstBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);

        // The source dialog: cancelled keeps the text, accepted sets the edited HTML.
        onNextModal<QDialog>([](QDialog *dialog) { dialog->reject(); });
        editor.sourceAction()->trigger();
        QCOMPARE(edit->toPlainText(), QString("alpha beta\nsecond"));
        onNextModal<QDialog>([](QDialog *dialog) {
            auto *source = dialog->findChild<QPlainTextEdit *>();
            QVERIFY(source->toPlainText().contains("alpha"));
            source->setPlainText("<p>edited <i>source</i></p>");
            dialog->accept();
        });
        editor.sourceAction()->trigger();
        QCOMPARE(edit->toPlainText(), QString("edited source"));
        QVERIFY(formatAt(edit->document(), 8).fontItalic());

        // Removing all formatting keeps the plain text; clearing empties; both can be undone.
        ZhpTest::expectMessage(QtWarningMsg, QRegularExpression("^inline image not shown: "));
        edit->setHtml("<h1>标题</h1><p><b>加粗</b><img src=\"data:image/png;base64,AAAA\"/></p>");
        editor.removeAllFormatAction()->trigger();
        QCOMPARE(edit->toPlainText(), QString("标题\n加粗"));
        QVERIFY(!formatAt(edit->document(), 3).hasProperty(QTextFormat::FontWeight));
        QCOMPARE(editor.findChild<QComboBox *>("f_fontsize")->currentText(), QString("9"));
        editor.clearAction()->trigger();
        QVERIFY(edit->document()->isEmpty());
        edit->undo();
        QCOMPARE(edit->toPlainText(), QString("标题\n加粗"));
    }

    void pastedImages_data()
    {
        QTest::addColumn<QString>("mimeType");
        QTest::addColumn<QString>("format"); // in the image name; empty: nothing is inserted
        QTest::newRow("png") << "image/png" << "PNG";
        QTest::newRow("bmp") << "image/bmp" << "BMP";
        QTest::newRow("gif, which cannot be written") << "image/gif" << "PNG";
        QTest::newRow("unknown image type") << "image/x-unknown" << "JPG";
        QTest::newRow("undecodable bytes") << "" << "";
    }

    void pastedImages()
    {
        QFETCH(QString, mimeType);
        QFETCH(QString, format);
        RichTextEdit editor;
        editor.show();
        auto *mime = new QMimeData;
        mime->setData(format.isEmpty() ? "image/png" : mimeType, format.isEmpty() ? "not a picture" : "header only");
        if (!format.isEmpty())
            mime->setImageData(testImage());
        QApplication::clipboard()->setMimeData(mime);
        QCOMPARE(button(&editor, "f_paste")->isEnabled(), !format.isEmpty());
        editor.textEdit()->paste();
        if (format.isEmpty())
            QVERIFY(imageNames(editor.textEdit()->document()).isEmpty());
        else
            verifyTestImage(editor.textEdit()->document(), format);
    }

    void imageFromFile()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath("chart.bmp");
        QVERIFY(testImage().save(path, "BMP"));
        QSettings().setValue("general/filedialog-path", folder.path());
        RichTextEdit editor;
        editor.show();

        onNextModal<QFileDialog>([](QFileDialog *dialog) { dialog->reject(); });
        button(&editor, "f_image")->click();
        QVERIFY(editor.textEdit()->document()->isEmpty());

        // Chosen: the dialog starts in the remembered folder; the suffix gives the format.
        onNextModal<QFileDialog>([&](QFileDialog *dialog) {
            QCOMPARE(QDir(dialog->directory()).canonicalPath(), QDir(folder.path()).canonicalPath());
            dialog->selectFile(path);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        button(&editor, "f_image")->click();
        QTRY_VERIFY(!QApplication::activeModalWidget());
        verifyTestImage(editor.textEdit()->document(), "BMP");
    }

    void pastedPictureKeptThroughServer()
    {
        // The seeded product page shows its text and title as stored.
        CPCustomPage editorPage(nullptr, true), viewerPage(nullptr, true);
        editorPage.resize(900, 600);
        editorPage.show();
        editorPage.loadDataById(zhpserver::seed::ProductNotePad);
        CPRichTextComponent *component = componentIn(editorPage);
        QVERIFY(component);
        QTRY_COMPARE(component->view()->textEdit()->toPlainText(), QString("螺纹钢：HRB400 20mm，主要用于建筑。"));
        QCOMPARE(component->panel()->titleLabel()->text(), QString("产品说明"));

        // Cancelled settings change nothing. Enter in the text starts a paragraph, it does not confirm.
        const RichTextConfig before = component->config();
        QSignalSpy titles(component, &QWidget::windowTitleChanged);
        onNextModal<CPBaseDialog>([](CPBaseDialog *dialog) {
            auto *editor = qobject_cast<RichTextEdit *>(dialog->content());
            editor->titleWidget()->setValue(false, "改过");
            editor->clearAction()->trigger();
            QTest::keyClick(editor->textEdit(), Qt::Key_Return);
            QCOMPARE(editor->textEdit()->document()->blockCount(), 2);
            QVERIFY(dialog->isVisible());
            dialog->reject();
        });
        component->showSetting();
        QVERIFY(component->config() == before && titles.isEmpty());

        // In the settings: a heading, and a picture pasted from the clipboard.
        const QImage picture = testImage();
        QApplication::clipboard()->setMimeData(pngMimeData(picture));
        onNextModal<CPBaseDialog>([&](CPBaseDialog *dialog) {
            auto *editor = qobject_cast<RichTextEdit *>(dialog->content());
            QVERIFY(editor);
            QCOMPARE(editor->titleWidget()->title(), QString("产品说明"));
            editor->titleWidget()->setValue(true, "产品与图片");
            CPTextEdit *edit = editor->textEdit();
            edit->moveCursor(QTextCursor::End);
            edit->insertPlainText("\n图示");
            editor->textStyle(1);
            edit->insertPlainText("\n");
            edit->paste();
            dialog->findChild<QPushButton *>("pbOk")->click();
        });
        component->settingAction()->trigger();
        QCOMPARE(QList<QVariantList>(titles), QList<QVariantList>{{QString("产品与图片")}});
        QCOMPARE(component->panel()->titleLabel()->text(), QString("产品与图片"));
        QVariantMap saved;
        component->save(saved);
        const QString text = saved.value("text").toString();
        QVERIFY(text.contains("data:image/") && text.contains(";base64,") && !text.contains("src=\"file:") && !text.contains("src=\"http"));

        // Stored with the page, loaded by another page: the same text, the same picture.
        const QByteArray content = QJsonDocument(QJsonObject::fromVariantMap(editorPage.getContent())).toJson(QJsonDocument::Compact);
        QVERIFY(ServerTest::post("/user/compositepanel/userPage/updateContent", {{"userId", zhpserver::seed::SampleUser},
            {"padId", zhpserver::seed::UserEmptyPad}, {"content", QString::fromUtf8(content)}}).success);
        viewerPage.resize(900, 600);
        viewerPage.show();
        viewerPage.loadDataById(zhpserver::seed::UserEmptyPad);
        CPRichTextComponent *reloaded = componentIn(viewerPage);
        QVERIFY(reloaded);
        QTRY_VERIFY(reloaded->config() == component->config());
        QTextDocument *document = reloaded->view()->textEdit()->document();
        const QStringList names = imageNames(document);
        QCOMPARE(names.size(), 1);
        const QImage shown = qvariant_cast<QImage>(document->resource(QTextDocument::ImageResource, QUrl(names.first())));
        QCOMPARE(shown.convertToFormat(QImage::Format_RGB32), picture);
        QVERIFY(document->findBlockByNumber(1).blockFormat().headingLevel() == 1);
    }

    void viewOpensClickedLinksOnly()
    {
        m_opened.clear();
        QDesktopServices::setUrlHandler("https", this, "open");
        QDesktopServices::setUrlHandler("javascript", this, "open");

        RichTextView view;
        view.resize(400, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.setConfig({false, QString(), "<p><a href=\"https://example.com/a\">web</a> and <a href=\"javascript:alert(1)\">script</a></p>"});
        QTest::qWait(50);
        QVERIFY(m_opened.isEmpty()); // showing opens nothing

        QTextEdit *edit = view.textEdit();
        const auto centreOf = [edit](int position) {
            QTextCursor cursor(edit->document());
            cursor.setPosition(position);
            return edit->cursorRect(cursor).center() + QPoint(3, 0);
        };
        QTest::mouseClick(edit->viewport(), Qt::LeftButton, {}, centreOf(1));
        QCOMPARE(m_opened, QList<QUrl>{QUrl("https://example.com/a")});
        ZhpTest::expectMessage(QtWarningMsg, "link not opened, only web and mail addresses are: javascript:alert(1)");
        QTest::mouseClick(edit->viewport(), Qt::LeftButton, {}, centreOf(10));
        QCOMPARE(m_opened.size(), 1);

        // While the page is edited a click selects, it does not open.
        view.setProperty("editModel", true);
        QTest::mouseClick(edit->viewport(), Qt::LeftButton, {}, centreOf(1));
        QCOMPARE(m_opened.size(), 1);
        QDesktopServices::unsetUrlHandler("https");
        QDesktopServices::unsetUrlHandler("javascript");
    }

    void hostileStoredText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shownPart"); // a part of what the view shows
        QTest::addColumn<QString>("warning");

        QTest::newRow("plain text, markup further on") << "价格 <b>不加粗</b> 1 < 2" << "价格 <b>不加粗</b> 1 < 2" << "";
        QTest::newRow("script") << "<p>before</p><script>document.write('x');alert(1)</script><p>after</p>" << "before\nafter" << "";
        QTest::newRow("iframe and object") << "<p>a</p><iframe src=\"http://%1/frame\">inner</iframe><object data=\"http://%1/o\"></object><p>b</p>"
                                           << "a\nb" << "";
        QTest::newRow("remote resources") << "<link rel=\"stylesheet\" href=\"http://%1/s.css\"><p style=\"background-image:url(http://%1/bg.png)\">"
                                             "pic<img src=\"http://%1/img.png\"><img src=\"file:///etc/hostname\"><img src=\"relative.png\"></p>"
                                          << "pic" << "";
        QTest::newRow("broken tags") << "<p><b>unclosed <i>tags <table><tr><td>cell</p></b" << "unclosed tags" << "";
        QTest::newRow("undecodable inline image") << "<p>x<img src=\"data:image/png;base64,AAAA\"></p>" << "x"
                                                  << "inline image not shown: ";
        QTest::newRow("several megabytes") << "<p>" + QString("价格数据 ").repeated(400000) + "</p>" << "价格数据 价格数据" << "";
        QTest::newRow("too long to show, kept") << QString(30 * 1024 * 1024, QLatin1Char('a')) << "内容过大" << "rich text not shown: ";
        QTest::newRow("tables nested too deep, kept") << QString("<table><tr><td>").repeated(40) + "x" << "内容嵌套过深"
                                                      << "rich text not shown: ";
        QTest::newRow("elements nested too deep, kept") << "<p>" + QString("<span>").repeated(5000) + "x" << "内容嵌套过深"
                                                        << "rich text not shown: ";
        QTest::newRow("long flat text with unclosed paragraphs") << QString("<p>段落").repeated(20000) << "段落" << "";
    }

    void hostileStoredText()
    {
        QFETCH(QString, text);
        QFETCH(QString, shownPart);
        QFETCH(QString, warning);

        // Anything fetched from the network would knock here.
        QTcpServer trap;
        QVERIFY(trap.listen(QHostAddress::LocalHost));
        text.replace("%1", QString("127.0.0.1:%1").arg(trap.serverPort()));
        if (!warning.isEmpty())
            ZhpTest::expectMessage(QtWarningMsg, QRegularExpression("^" + QRegularExpression::escape(warning)));

        CPRichTextComponent component;
        component.resize(600, 400);
        component.show();
        component.restore({{"isShowTitle", true}, {"title", "标题"}, {"text", text}});
        QVERIFY(QTest::qWaitForWindowExposed(&component));
        QTest::qWait(100);
        const QString shown = component.view()->textEdit()->toPlainText();
        QVERIFY2(shown.contains(shownPart), qPrintable(shown.left(200)));
        QVERIFY(!shown.contains("alert") && !shown.contains("inner"));
        QVERIFY(!trap.hasPendingConnections());
        QVERIFY(component.view()->textEdit()->isReadOnly());
        QVariantMap saved;
        component.save(saved);
        QCOMPARE(saved.value("text").toString(), text); // nothing lost

        // The editor shows the same; a text it cannot show it gives back unchanged.
        const bool refused = warning.startsWith("rich text not shown");
        if (refused)
            ZhpTest::expectMessage(QtWarningMsg, QRegularExpression("^" + QRegularExpression::escape(warning)));
        RichTextEdit editor;
        editor.setConfig(component.config());
        QCOMPARE(editor.textEdit()->toPlainText(), shown);
        if (refused)
            QCOMPARE(editor.config().text, text);
    }
};

QTEST_MAIN(TstRichText)
#include "tst_richtext.moc"

#include "richtextedit.h"

#include "charts/config/hxtitlecfgwidget.h"
#include "common/logging.h"
#include "cptextedit.h"
#include "richtextdocument.h"
#include "richtextformat.h"
#include "richtextimages.h"
#include "ui_richtextedit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QInputDialog>
#include <QIntValidator>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTextBlock>
#include <QVBoxLayout>

namespace HXCPControls {

namespace {

const QString kFileDialogPathKey = QStringLiteral("general/filedialog-path");

// A theme icon, drawn from the library's own pictures where the desktop has no theme.
QIcon themeIcon(const QString &themeName, const QString &fileName)
{
    return QIcon::fromTheme(themeName, QIcon(QStringLiteral(":/images/richtext/%1.svg").arg(fileName)));
}

QIcon swatch(const QColor &color)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(color);
    return QIcon(pixmap);
}

} // namespace

RichTextEdit::RichTextEdit(QWidget *parent, bool embedded)
    : CPBaseWidget(parent, embedded, QStringLiteral("controls/custompage.css"))
    , ui(new Ui::RichTextEdit)
{
    ui->setupUi(this);
    m_titleWidget = new HXTitleCfgWidget(this);
    ui->title_layout->addWidget(m_titleWidget);
    setFocusProxy(ui->textEdit);
    setupToolbar();
    setupActions();

    connect(ui->textEdit, &QTextEdit::currentCharFormatChanged, this, &RichTextEdit::currentCharFormatChanged);
    connect(ui->textEdit, &QTextEdit::cursorPositionChanged, this, &RichTextEdit::cursorPositionChanged);
    connect(ui->textEdit, &CPTextEdit::imageRefused, this, &RichTextEdit::showImageRefused);
    currentCharFormatChanged(ui->textEdit->currentCharFormat());
    cursorPositionChanged();
}

RichTextEdit::~RichTextEdit() = default;

CPTextEdit *RichTextEdit::textEdit() const
{
    return ui->textEdit;
}

void RichTextEdit::setupToolbar()
{
    CPTextEdit *edit = ui->textEdit;
    QTextDocument *document = edit->document();

    const struct
    {
        QToolButton *button;
        const char *themeName;
        const char *fileName;
    } icons[] = {
        {ui->f_undo, "edit-undo", "edit-undo"},
        {ui->f_redo, "edit-redo", "edit-redo"},
        {ui->f_cut, "edit-cut", "edit-cut"},
        {ui->f_copy, "edit-copy", "edit-copy"},
        {ui->f_paste, "edit-paste", "edit-paste"},
        {ui->f_link, "applications-internet", "applications-internet"},
        {ui->f_bold, "format-text-bold", "format-text-bold"},
        {ui->f_italic, "format-text-italic", "format-text-italic"},
        {ui->f_underline, "format-text-underline", "format-text-underline"},
        {ui->f_strikeout, "format-text-strikethrough", "format-text-strikethrough"},
        {ui->f_image, "insert-image", "insert-image"},
        {ui->f_left, "format-justify-left", "format-justify-left"},
        {ui->f_center, "format-justify-center", "format-justify-center"},
        {ui->f_right, "format-justify-right", "format-justify-right"},
        {ui->f_menu, "open-menu", "more"},
    };
    for (const auto &entry : icons)
        entry.button->setIcon(themeIcon(QString::fromLatin1(entry.themeName), QString::fromLatin1(entry.fileName)));

    ui->f_undo->setShortcut(QKeySequence::Undo);
    ui->f_redo->setShortcut(QKeySequence::Redo);
    ui->f_cut->setShortcut(QKeySequence::Cut);
    ui->f_copy->setShortcut(QKeySequence::Copy);
    ui->f_paste->setShortcut(QKeySequence::Paste);
    ui->f_link->setShortcut(QKeySequence(QStringLiteral("Ctrl+L")));
    ui->f_bold->setShortcut(QKeySequence(QStringLiteral("Ctrl+B")));
    ui->f_italic->setShortcut(QKeySequence(QStringLiteral("Ctrl+I")));
    ui->f_underline->setShortcut(QKeySequence(QStringLiteral("Ctrl+U")));

    connect(ui->f_undo, &QToolButton::clicked, edit, &QTextEdit::undo);
    connect(ui->f_redo, &QToolButton::clicked, edit, &QTextEdit::redo);
    connect(ui->f_cut, &QToolButton::clicked, edit, &QTextEdit::cut);
    connect(ui->f_copy, &QToolButton::clicked, edit, &QTextEdit::copy);
    connect(ui->f_paste, &QToolButton::clicked, edit, &QTextEdit::paste);
    connect(document, &QTextDocument::undoAvailable, ui->f_undo, &QWidget::setEnabled);
    connect(document, &QTextDocument::redoAvailable, ui->f_redo, &QWidget::setEnabled);
    connect(edit, &QTextEdit::copyAvailable, ui->f_cut, &QWidget::setEnabled);
    connect(edit, &QTextEdit::copyAvailable, ui->f_copy, &QWidget::setEnabled);
    ui->f_undo->setEnabled(document->isUndoAvailable());
    ui->f_redo->setEnabled(document->isRedoAvailable());
    ui->f_cut->setEnabled(false);
    ui->f_copy->setEnabled(false);
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &RichTextEdit::clipboardDataChanged);
    clipboardDataChanged();

    connect(ui->f_link, &QToolButton::clicked, this, &RichTextEdit::textLink);
    connect(ui->f_bold, &QToolButton::clicked, this, &RichTextEdit::textBold);
    connect(ui->f_italic, &QToolButton::clicked, this, &RichTextEdit::textItalic);
    connect(ui->f_underline, &QToolButton::clicked, this, &RichTextEdit::textUnderline);
    connect(ui->f_strikeout, &QToolButton::clicked, this, &RichTextEdit::textStrikeout);
    connect(ui->f_image, &QToolButton::clicked, this, &RichTextEdit::insertImage);
    connect(ui->f_fgcolor, &QToolButton::clicked, this, &RichTextEdit::textFgColor);
    connect(ui->f_bgcolor, &QToolButton::clicked, this, &RichTextEdit::textBgColor);
    connect(ui->f_left, &QToolButton::clicked, this, [this] { setAlignment(Qt::AlignLeft); });
    connect(ui->f_center, &QToolButton::clicked, this, [this] { setAlignment(Qt::AlignHCenter); });
    connect(ui->f_right, &QToolButton::clicked, this, [this] { setAlignment(Qt::AlignRight); });

    ui->f_paragraph->addItems(RichTextFormat::paragraphStyleNames());
    connect(ui->f_paragraph, QOverload<int>::of(&QComboBox::activated), this, &RichTextEdit::textStyle);

    for (int size : QFontDatabase::standardSizes())
        ui->f_fontsize->addItem(QString::number(size));
    ui->f_fontsize->setValidator(new QIntValidator(1, 400, ui->f_fontsize));
    connect(ui->f_fontsize, &QComboBox::textActivated, this, &RichTextEdit::textSize);
}

void RichTextEdit::setupActions()
{
    const auto makeAction = [this](const QString &text, const QString &shortcut, void (RichTextEdit::*slot)()) {
        auto *action = new QAction(text, this);
        if (!shortcut.isEmpty())
            action->setShortcut(QKeySequence(shortcut));
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(action, &QAction::triggered, this, slot);
        addAction(action);
        return action;
    };
    m_removeFormat = makeAction(QStringLiteral("Remove character formatting"), QStringLiteral("CTRL+M"), &RichTextEdit::textRemoveFormat);
    m_removeAllFormat = makeAction(QStringLiteral("Remove all formatting"), QString(), &RichTextEdit::textRemoveAllFormat);
    m_source = makeAction(QStringLiteral("Edit document source"), QStringLiteral("CTRL+O"), &RichTextEdit::textSource);
    m_clear = makeAction(QStringLiteral("Clear all content"), QString(), &RichTextEdit::clearText);

    auto *menu = new QMenu(this);
    menu->addActions({m_removeFormat, m_removeAllFormat, m_source});
    menu->addSeparator();
    menu->addAction(m_clear);
    ui->f_menu->setMenu(menu);

    // The text edit's own menu offers them too, below its editing entries.
    ui->textEdit->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->textEdit, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        std::unique_ptr<QMenu> context(ui->textEdit->createStandardContextMenu(pos));
        context->addSeparator();
        context->addActions({m_removeFormat, m_removeAllFormat, m_source, m_clear});
        context->exec(ui->textEdit->viewport()->mapToGlobal(pos));
    });
}

void RichTextEdit::setConfig(const RichTextConfig &config)
{
    m_titleWidget->setValue(config.isShowTitle, config.title);
    m_unshownText.clear();
    if (!config.text.isEmpty() && !RichTextDocument::setText(ui->textEdit, config.text))
        m_unshownText = config.text;
    ui->textEdit->document()->setModified(false);
}

RichTextConfig RichTextEdit::config() const
{
    RichTextConfig config;
    config.isShowTitle = m_titleWidget->isShowTitle();
    config.title = m_titleWidget->title();
    const bool keepUnshown = !m_unshownText.isEmpty() && !ui->textEdit->document()->isModified();
    config.text = keepUnshown ? m_unshownText : ui->textEdit->toHtml();
    return config;
}

void RichTextEdit::applyCharFormat(const std::function<void(QTextCharFormat &)> &change)
{
    CPTextEdit *edit = ui->textEdit;
    RichTextFormat::changeCharFormat(RichTextFormat::wordOrSelection(edit->textCursor()), change);
    if (!edit->textCursor().hasSelection()) {
        // What is typed next takes the change too.
        QTextCharFormat current = edit->currentCharFormat();
        change(current);
        edit->setCurrentCharFormat(current);
    }
    currentCharFormatChanged(edit->currentCharFormat());
    edit->setFocus();
}

void RichTextEdit::mergeFormatOnWordOrSelection(const QTextCharFormat &format)
{
    applyCharFormat([&format](QTextCharFormat &piece) { piece.merge(format); });
}

void RichTextEdit::textBold()
{
    QTextCharFormat format;
    format.setFontWeight(ui->f_bold->isChecked() ? QFont::Bold : QFont::Normal);
    mergeFormatOnWordOrSelection(format);
}

void RichTextEdit::textItalic()
{
    QTextCharFormat format;
    format.setFontItalic(ui->f_italic->isChecked());
    mergeFormatOnWordOrSelection(format);
}

void RichTextEdit::textUnderline()
{
    QTextCharFormat format;
    format.setFontUnderline(ui->f_underline->isChecked());
    mergeFormatOnWordOrSelection(format);
}

void RichTextEdit::textStrikeout()
{
    QTextCharFormat format;
    format.setFontStrikeOut(ui->f_strikeout->isChecked());
    mergeFormatOnWordOrSelection(format);
}

void RichTextEdit::textLink(bool checked)
{
    if (!checked) {
        const QBrush text = palette().text();
        applyCharFormat([&text](QTextCharFormat &piece) {
            piece.setAnchor(false);
            piece.clearProperty(QTextFormat::AnchorHref);
            piece.setFontUnderline(false);
            piece.setForeground(text);
        });
        return;
    }
    bool ok = false;
    QString href = QInputDialog::getText(this, QStringLiteral("Create a link"), QStringLiteral("Link URL:"), QLineEdit::Normal,
                                         ui->textEdit->currentCharFormat().anchorHref(), &ok)
                       .trimmed();
    if (!ok || href.isEmpty()) {
        currentCharFormatChanged(ui->textEdit->currentCharFormat()); // the button shows the text as it is
        return;
    }
    // "www.example.com" is meant as a web address; anchors and paths inside a page stay as written.
    if (QUrl(href).scheme().isEmpty() && !href.startsWith(QLatin1Char('#')) && !href.startsWith(QLatin1Char('/')))
        href = QUrl::fromUserInput(href).toString();
    QTextCharFormat format;
    format.setAnchor(true);
    format.setAnchorHref(href);
    format.setFontUnderline(true);
    format.setUnderlineStyle(QTextCharFormat::SingleUnderline);
    format.setForeground(palette().link());
    mergeFormatOnWordOrSelection(format);
}

void RichTextEdit::textSize(const QString &pointSize)
{
    const qreal size = pointSize.toDouble();
    if (size <= 0) {
        currentCharFormatChanged(ui->textEdit->currentCharFormat());
        return;
    }
    QTextCharFormat format;
    format.setFontPointSize(size);
    mergeFormatOnWordOrSelection(format);
}

void RichTextEdit::textStyle(int style)
{
    if (style < RichTextFormat::Standard || style > RichTextFormat::Monospace)
        return;
    const auto paragraphStyle = RichTextFormat::ParagraphStyle(style);
    CPTextEdit *edit = ui->textEdit;
    RichTextFormat::applyParagraphStyle(edit->textCursor(), paragraphStyle);
    if (!edit->textCursor().hasSelection())
        edit->setCurrentCharFormat(RichTextFormat::paragraphCharFormat(paragraphStyle));
    currentCharFormatChanged(edit->currentCharFormat());
    edit->setFocus();
}

void RichTextEdit::textFgColor()
{
    chooseColor(QTextFormat::ForegroundBrush, QPalette::Text);
}

void RichTextEdit::textBgColor()
{
    chooseColor(QTextFormat::BackgroundBrush, QPalette::Window);
}

QColor RichTextEdit::colorOf(const QTextCharFormat &format, int property, QPalette::ColorRole unset) const
{
    const QBrush brush = format.brushProperty(property);
    return brush.style() == Qt::NoBrush ? palette().color(unset) : brush.color();
}

void RichTextEdit::chooseColor(int property, QPalette::ColorRole unset)
{
    const QColor color = QColorDialog::getColor(colorOf(ui->textEdit->currentCharFormat(), property, unset), this);
    // No choice clears the colour.
    applyCharFormat([&color, property](QTextCharFormat &piece) {
        if (color.isValid())
            piece.setProperty(property, QBrush(color));
        else
            piece.clearProperty(property);
    });
}

void RichTextEdit::textRemoveFormat()
{
    applyCharFormat([](QTextCharFormat &piece) {
        piece.setFontWeight(QFont::Normal);
        piece.setFontItalic(false);
        piece.setFontUnderline(false);
        piece.setFontStrikeOut(false);
        piece.setFontPointSize(9);
        piece.clearBackground();
    });
}

void RichTextEdit::textRemoveAllFormat()
{
    // Pictures have no plain text; their placeholder characters go with them.
    QString plain = ui->textEdit->toPlainText();
    plain.remove(QChar::ObjectReplacementCharacter);
    replaceContent(plain);
    for (QToolButton *button : {ui->f_bold, ui->f_italic, ui->f_underline, ui->f_strikeout})
        button->setChecked(false);
    ui->f_fontsize->setCurrentIndex(ui->f_fontsize->findText(QStringLiteral("9")));
}

void RichTextEdit::clearText()
{
    replaceContent(QString());
}

void RichTextEdit::replaceContent(const QString &plainText)
{
    // In one undoable step, unlike QTextEdit::clear() and setPlainText().
    QTextCursor cursor(ui->textEdit->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
    cursor.setBlockFormat(QTextBlockFormat());
    cursor.setBlockCharFormat(QTextCharFormat());
    cursor.insertText(plainText, QTextCharFormat());
    cursor.endEditBlock();
    ui->textEdit->setCurrentCharFormat(QTextCharFormat());
    ui->textEdit->setFocus();
}

void RichTextEdit::textSource()
{
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("sourceDialog"));
    dialog.setWindowTitle(QStringLiteral("Document source"));
    dialog.setModal(true);
    auto *layout = new QVBoxLayout(&dialog);
    auto *source = new QPlainTextEdit(&dialog);
    source->setObjectName(QStringLiteral("sourceEdit"));
    source->setPlainText(ui->textEdit->toHtml());
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(source);
    layout->addWidget(buttons);
    dialog.resize(720, 480);
    if (dialog.exec() != QDialog::Accepted)
        return;
    ui->textEdit->setHtml(source->toPlainText());
    ui->textEdit->document()->setModified(true);
    ui->textEdit->setFocus();
}

void RichTextEdit::insertImage()
{
    QSettings settings;
    const QString fileName = QFileDialog::getOpenFileName(this, QStringLiteral("Select an image"),
                                                          settings.value(kFileDialogPathKey).toString(),
                                                          QStringLiteral("JPEG (*.jpg);; GIF (*.gif);; PNG (*.png);; BMP (*.bmp);; All (*)"));
    if (fileName.isEmpty())
        return;
    const QFileInfo info(fileName);
    settings.setValue(kFileDialogPathKey, info.absolutePath());
    QFile file(fileName);
    QString error;
    QImage image;
    if (!file.open(QIODevice::ReadOnly))
        error = file.errorString();
    else
        image = RichTextImages::readImage(&file, &error);
    if (image.isNull() || !ui->textEdit->dropImage(image, info.suffix().isEmpty() ? QStringLiteral("PNG") : info.suffix(), &error)) {
        qCWarning(lcRichText).noquote() << "image" << fileName << "not inserted:" << error;
        showImageRefused(error);
        return;
    }
    ui->textEdit->setFocus();
}

void RichTextEdit::showImageRefused(const QString &reason)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("错误"), QStringLiteral("图片未插入：%1").arg(reason), QMessageBox::Ok, this);
    box.exec();
}

void RichTextEdit::setAlignment(Qt::Alignment alignment)
{
    QTextCursor cursor = ui->textEdit->textCursor();
    cursor.beginEditBlock();
    QTextBlockFormat format;
    format.setAlignment(alignment);
    cursor.mergeBlockFormat(format);
    cursor.endEditBlock();
    cursorPositionChanged();
    ui->textEdit->setFocus();
}

void RichTextEdit::currentCharFormatChanged(const QTextCharFormat &format)
{
    qreal size = format.fontPointSize();
    if (size <= 0)
        size = ui->textEdit->document()->defaultFont().pointSizeF();
    const QString sizeText = QString::number(size);
    const int sizeIndex = ui->f_fontsize->findText(sizeText);
    if (sizeIndex >= 0)
        ui->f_fontsize->setCurrentIndex(sizeIndex);
    else
        ui->f_fontsize->setEditText(sizeText);
    ui->f_bold->setChecked(format.fontWeight() > QFont::Medium);
    ui->f_italic->setChecked(format.fontItalic());
    ui->f_underline->setChecked(format.fontUnderline());
    ui->f_strikeout->setChecked(format.fontStrikeOut());
    ui->f_link->setChecked(format.isAnchor());
    showColorSwatches(format);
}

void RichTextEdit::showColorSwatches(const QTextCharFormat &format)
{
    ui->f_fgcolor->setIcon(swatch(colorOf(format, QTextFormat::ForegroundBrush, QPalette::Text)));
    ui->f_bgcolor->setIcon(swatch(colorOf(format, QTextFormat::BackgroundBrush, QPalette::Window)));
}

void RichTextEdit::cursorPositionChanged()
{
    const QTextCursor cursor = ui->textEdit->textCursor();
    const Qt::Alignment alignment = cursor.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
    ui->f_center->setChecked(alignment == Qt::AlignHCenter);
    ui->f_right->setChecked(alignment == Qt::AlignRight);
    ui->f_left->setChecked(!ui->f_center->isChecked() && !ui->f_right->isChecked());
    ui->f_paragraph->setCurrentIndex(RichTextFormat::paragraphStyleOf(cursor.block()));
}

void RichTextEdit::clipboardDataChanged()
{
    // Pictures can be pasted as well as text.
    ui->f_paste->setEnabled(ui->textEdit->canPaste());
}

} // namespace HXCPControls

#pragma once

#include "common/hxcpcontrols_global.h"
#include "editor/cpbasewidget.h"
#include "richtextconfig.h"

#include <QPalette>

#include <functional>
#include <memory>

namespace Ui {
class RichTextEdit;
}
class QAction;
class QTextCharFormat;
class QTextCursor;
class QToolButton;

namespace HXCPControls {

class CPTextEdit;
class HXTitleCfgWidget;

// The rich text editor: the title line, a toolbar of editing, character,
// paragraph and alignment tools, and the text edit. Character formatting goes
// to the selection, or to the word under the cursor when nothing is selected.
class HXCPCONTROLS_EXPORT RichTextEdit : public CPBaseWidget
{
    Q_OBJECT
public:
    explicit RichTextEdit(QWidget *parent = nullptr, bool embedded = false);
    ~RichTextEdit() override;

    // The title widget from the configuration; a non-empty text is loaded as
    // HTML when it starts with "<", as plain text otherwise.
    void setConfig(const RichTextConfig &config);
    // The title settings and the text edit's HTML.
    RichTextConfig config() const;

    CPTextEdit *textEdit() const;
    HXTitleCfgWidget *titleWidget() const { return m_titleWidget; }
    QAction *removeFormatAction() const { return m_removeFormat; }
    QAction *removeAllFormatAction() const { return m_removeAllFormat; }
    QAction *sourceAction() const { return m_source; }
    QAction *clearAction() const { return m_clear; }

public slots:
    void textBold();
    void textItalic();
    void textUnderline();
    void textStrikeout();
    // Checked: asks for the address and makes the selection a link; unchecked: removes the link.
    void textLink(bool checked);
    void textSize(const QString &pointSize);
    void textStyle(int style);
    void textFgColor();
    void textBgColor();
    void textRemoveFormat();
    void textRemoveAllFormat();
    void textSource();
    void clearText();
    void insertImage();

private:
    void setupToolbar();
    void setupActions();
    void applyCharFormat(const std::function<void(QTextCharFormat &)> &change);
    void mergeFormatOnWordOrSelection(const QTextCharFormat &format);
    void setAlignment(Qt::Alignment alignment);
    void replaceContent(const QString &plainText);
    void currentCharFormatChanged(const QTextCharFormat &format);
    void cursorPositionChanged();
    void clipboardDataChanged();
    void showColorSwatches(const QTextCharFormat &format);
    // The colour `property` of `format`, or the palette's `unset` colour when it has none.
    QColor colorOf(const QTextCharFormat &format, int property, QPalette::ColorRole unset) const;
    // Asks for a colour for `property` of the selection or word.
    void chooseColor(int property, QPalette::ColorRole unset);
    void showImageRefused(const QString &reason);

    std::unique_ptr<Ui::RichTextEdit> ui;
    HXTitleCfgWidget *m_titleWidget = nullptr;
    QAction *m_removeFormat = nullptr;
    QAction *m_removeAllFormat = nullptr;
    QAction *m_source = nullptr;
    QAction *m_clear = nullptr;
    // A text too long to show: kept as it was unless the user replaces it.
    QString m_unshownText;
};

} // namespace HXCPControls

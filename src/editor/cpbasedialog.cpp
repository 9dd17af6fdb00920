#include "cpbasedialog.h"

#include "cpbasewidget.h"
#include "ui_cpbasedialog.h"

#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace HXCPControls {

namespace {
// The band, in dialog coordinates, in which a press starts dragging the frameless dialog.
constexpr int kDragBandTop = 1;
constexpr int kDragBandBottom = 29;
} // namespace

CPBaseDialog::CPBaseDialog(QWidget *parent, const QString &title, QWidget *content, const QString &styleSheetFile,
                           QWidget *extraButton)
    : QDialog(parent)
    , ui(new Ui::CPBaseDialog)
    , m_frame(new CPBaseWidget(nullptr, false, styleSheetFile))
    , m_content(content)
    , m_title(title)
{
    // A window of its own even with a parent: without the type the dialog would sit inside the parent.
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint);
    setMouseTracking(true);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(m_frame);
    ui->setupUi(m_frame);

    ui->lbTitle->setText(title.isEmpty() ? QStringLiteral("标题栏") : title);
    if (content) {
        content->setObjectName(QStringLiteral("contentWidget"));
        ui->formLayout->insertWidget(0, content);
    }
    if (extraButton)
        ui->bottomLayout->insertWidget(1, extraButton);
    ui->pbOk->setShortcut(QKeySequence(QKeySequence::InsertParagraphSeparator));

    connect(ui->pbOk, &QPushButton::clicked, this, &CPBaseDialog::confirm);
    connect(ui->pbCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->pbClose, &QPushButton::clicked, this, &QDialog::reject);
}

CPBaseDialog::~CPBaseDialog() = default;

void CPBaseDialog::confirm()
{
    if (auto *form = qobject_cast<CPBaseWidget *>(m_content.data())) {
        const QString error = form->validateInput();
        if (!error.isEmpty()) {
            QMessageBox::critical(this, QStringLiteral("错误"), error, QMessageBox::Ok);
            return;
        }
    }
    accept();
}

void CPBaseDialog::mousePressEvent(QMouseEvent *event)
{
    m_pressPos = event->pos();
    if (m_pressPos.y() >= kDragBandTop && m_pressPos.y() <= kDragBandBottom)
        m_dragging = true;
    QDialog::mousePressEvent(event);
}

void CPBaseDialog::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragging)
        move(event->globalPos() - m_pressPos);
    QDialog::mouseMoveEvent(event);
}

void CPBaseDialog::mouseReleaseEvent(QMouseEvent *event)
{
    m_dragging = false;
    QDialog::mouseReleaseEvent(event);
}

void CPBaseDialog::keyPressEvent(QKeyEvent *event)
{
    // Return and Enter stop here so that only the OK button's shortcut answers
    // them: the default-button logic would accept without validating.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace HXCPControls

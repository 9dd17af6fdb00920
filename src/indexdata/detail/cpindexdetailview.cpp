#include "cpindexdetailview.h"

#include "ui_cpindexdetailview.h"

#include "cpindexdetailchartpanel.h"
#include "cpindexdetailindexselectorview.h"
#include "editor/cpdialogcontent.h"
#include "editor/dialogmask.h"
#include "editor/skinimagepath.h"
#include "wk/wkcore.h"

#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

namespace HXCPControls {

namespace {

// A push button showing a skin image that changes while hovered.
class HoverIcon : public QObject
{
public:
    HoverIcon(QPushButton *button, const QString &normal, const QString &hover)
        : QObject(button)
        , m_normal(normal)
        , m_hover(hover)
    {
        button->setIcon(QIcon(skinImagePath(normal)));
        button->installEventFilter(this);
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Enter || event->type() == QEvent::Leave)
            static_cast<QPushButton *>(watched)->setIcon(
                QIcon(skinImagePath(event->type() == QEvent::Enter ? m_hover : m_normal)));
        return false;
    }

private:
    QString m_normal;
    QString m_hover;
};

} // namespace

CPIndexDetailView::CPIndexDetailView(QWidget *parent, const CPIndexDetailRequest &request)
    : CPDialogContentItem(parent)
    , ui(new Ui::CPIndexDetailView)
    , m_request(request)
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("CPIndexDetailView"));
    setAttribute(Qt::WA_StyledBackground, true);
    ui->l_title->setText(m_source.title);
    new HoverIcon(ui->close_btn, QStringLiteral("custompage/close.png"), QStringLiteral("custompage/close_hover.png"));
    ui->minimize_btn->setIcon(QIcon(skinImagePath(QStringLiteral("custompage/minimize.png"))));
    setMaximizedLook(false);

    m_indexList = new CPIndexDetailIndexSelectorView(ui->left_frame, request, m_source);
    ui->left_layout->addWidget(m_indexList);
    m_chartPanel = new CPIndexDetailChartPanel(ui->right_frame, m_source);
    ui->right_layout->addWidget(m_chartPanel);
    ui->flexible_button->setProperty("expand", true);

    connect(ui->minimize_btn, &QPushButton::clicked, this, &CPDialogContentItem::minimize);
    connect(ui->maximize_btn, &QPushButton::clicked, this, [this] {
        setMaximizedLook(!m_maximized);
        if (m_maximized)
            emit maximize();
        else
            emit restore();
    });
    connect(ui->close_btn, &QPushButton::clicked, this, &CPDialogContentItem::close);
    connect(ui->flexible_button, &QPushButton::clicked, this, [this] { setSelectorShown(!isSelectorShown()); });
    connect(m_chartPanel, &CPIndexDetailChartPanel::toggleSelectorView, this,
            [this] { setSelectorShown(!isSelectorShown()); });
    connect(m_indexList, &CPIndexDetailIndexSelectorView::indexChanged, this,
            [this] { m_chartPanel->setIndexes(m_indexList->visibleIndexes()); });

    WKCore::instance()->addStyle2View(this, QStringLiteral("controls/custompage-index-detail.css"));
}

CPIndexDetailView::~CPIndexDetailView() = default;

int CPIndexDetailView::titleBarHeight() const
{
    return ui->title_widget->height();
}

bool CPIndexDetailView::isSelectorShown() const
{
    return !ui->left_frame->isHidden();
}

void CPIndexDetailView::setSelectorShown(bool shown)
{
    ui->left_frame->setVisible(shown);
    ui->flexible_button->setProperty("expand", shown);
    ui->flexible_button->style()->unpolish(ui->flexible_button);
    ui->flexible_button->style()->polish(ui->flexible_button);
}

void CPIndexDetailView::setMaximizedLook(bool maximized)
{
    m_maximized = maximized;
    ui->maximize_btn->setIcon(QIcon(skinImagePath(maximized ? QStringLiteral("custompage/restore.png")
                                                             : QStringLiteral("custompage/maximize.png"))));
    ui->maximize_btn->setToolTip(maximized ? QStringLiteral("还原") : QStringLiteral("最大化"));
}

void CPIndexDetailView::loadSkin(const QVariant &skin)
{
    if (skin.isValid())
        setStyleSheet(skin.toString());
}

CPIndexDetailDialog::CPIndexDetailDialog(QWidget *parent, CPIndexDetailView *view)
    : QDialog(parent)
    , m_view(view)
{
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint | Qt::Dialog);
    setAttribute(Qt::WA_TranslucentBackground);
    setMouseTracking(true);
    setMinimumSize(1024, 900);
    setWindowTitle(view ? view->source().title : QString());
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_mask = new DialogMask(this, view);
    layout->addWidget(m_mask);
}

CPIndexDetailDialog::~CPIndexDetailDialog() = default;

void CPIndexDetailDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_placed)
        return;
    m_placed = true;
    setWindowState(windowState() | Qt::WindowMaximized);
    // The mask has its maximized size once the layout has run.
    QTimer::singleShot(0, this, &CPIndexDetailDialog::place);
}

void CPIndexDetailDialog::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    // Window managers maximize late: follow the new size until the user
    // has moved or resized the frame.
    if (m_placed && m_mask->content()->geometry() == m_placedGeometry)
        QTimer::singleShot(0, this, &CPIndexDetailDialog::place);
}

void CPIndexDetailDialog::place()
{
    layout()->activate();
    m_mask->placeContent();
    m_placedGeometry = m_mask->content()->geometry();
}

} // namespace HXCPControls

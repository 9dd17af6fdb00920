#include "pageeditorpane.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

using HXCPControls::CPManagePageView;

PageEditorPane::PageEditorPane(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("pageEditor"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("editorBar"));
    bar->setFixedHeight(32);
    auto *barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(10, 2, 10, 2);
    m_title = new QLabel(bar);
    m_title->setObjectName(QStringLiteral("editorTitle"));
    m_title->setTextFormat(Qt::PlainText);
    auto *back = new QPushButton(QStringLiteral("返回"), bar);
    back->setObjectName(QStringLiteral("back_btn"));
    back->setToolTip(QStringLiteral("不保存，回到页面"));
    barLayout->addWidget(m_title, 1);
    barLayout->addWidget(back);
    layout->addWidget(bar);
    connect(back, &QPushButton::clicked, this, [this] { emit finished(m_padId, false); });
}

PageEditorPane::~PageEditorPane() = default;

void PageEditorPane::open(const QString &padId, const QString &title, bool userMode)
{
    delete m_workspace;
    m_padId = padId;
    m_title->setText(QStringLiteral("编辑：%1").arg(title));
    m_workspace = new CPManagePageView(this, userMode);
    layout()->addWidget(m_workspace);
    // The workspace reports every save, after it has told the user how it went.
    connect(m_workspace, &CPManagePageView::save, this, [this] { emit finished(m_padId, true); });
    m_workspace->loadData(padId, title);
}

#include "cpleftmenubar.h"

#include "common/logging.h"
#include "cpleftmenuitem.h"
#include "wk/wkcore.h"

#include <QEvent>
#include <QUrl>
#include <QVBoxLayout>

namespace HXCPControls {

CPLeftMenuBar::CPLeftMenuBar(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("CPLeftMenuBar"));
    setAttribute(Qt::WA_StyledBackground);
    auto *outer = new QVBoxLayout(this);
    outer->setObjectName(QStringLiteral("verticalLayout_2"));
    outer->setSpacing(0);
    outer->setContentsMargins(0, 0, 0, 0);
    m_menuLayout = new QVBoxLayout;
    m_menuLayout->setObjectName(QStringLiteral("menu_layout"));
    m_menuLayout->setSpacing(0);
    outer->addLayout(m_menuLayout);
}

CPLeftMenuBar::~CPLeftMenuBar() = default;

void CPLeftMenuBar::setCategories(const QList<QVariantMap> &categories)
{
    qDeleteAll(m_items);
    m_items.clear();
    delete m_expandWidget;

    const QString iconHost =
        WKCore::instance()->value(QStringLiteral("servercfg.ini:FunctionMenu/menuIconHost"), QString()).toString();
    for (int i = 0; i < categories.size(); ++i) {
        const QVariantMap &category = categories.at(i);
        auto *item = new CPLeftMenuItem(this);
        item->setIndex(i);
        item->setText(category.value(QStringLiteral("CAT_NAME")).toString());
        const QVariant image = category.value(QStringLiteral("CAT_IMAGE"));
        if (!image.isNull() && image.isValid()) {
            const QUrl url(iconHost + image.toString(), QUrl::TolerantMode);
            qCDebug(lcEditor) << "url: " << url;
            item->loadIcon(url);
        }
        item->installEventFilter(this);
        item->setFixedHeight(45);
        m_menuLayout->addWidget(item);
        m_items.append(item);
    }
    m_expandWidget = new QWidget(this);
    m_expandWidget->setObjectName(QStringLiteral("expandWidget"));
    m_expandWidget->setAttribute(Qt::WA_Hover);
    m_expandWidget->installEventFilter(this);
    m_menuLayout->addWidget(m_expandWidget, 1);
}

void CPLeftMenuBar::setSelected(int index)
{
    if (m_selected)
        m_selected->unselect();
    m_selected = nullptr;
    if (index >= 0 && index < m_items.size()) {
        m_selected = m_items.at(index);
        m_selected->select();
    }
}

void CPLeftMenuBar::clearSelection()
{
    if (m_selected)
        m_selected->unselect();
    m_selected = nullptr;
}

bool CPLeftMenuBar::eventFilter(QObject *watched, QEvent *event)
{
    if (auto *item = qobject_cast<CPLeftMenuItem *>(watched)) {
        if (event->type() == QEvent::HoverEnter)
            emit switchPopMenu(item->index());
        else if (event->type() == QEvent::HoverLeave)
            emit closePopMenu(item->index());
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace HXCPControls

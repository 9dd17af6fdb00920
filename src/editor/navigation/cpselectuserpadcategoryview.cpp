#include "cpselectuserpadcategoryview.h"

#include "common/logging.h"
#include "cppagecategory.h"
#include "cppagecategoryedit.h"
#include "wk/wkcore.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QPainter>
#include <QStyleOption>

namespace HXCPControls {

CPSelectUserPadCategoryView::CPSelectUserPadCategoryView(QWidget *parent, bool editable, bool embedded)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("pick_user_pad_view"));
    QWidget *category;
    if (editable) {
        m_edit = new CPPageCategoryEdit(this, true, true);
        m_edit->setObjectName(QStringLiteral("screen_category_edit"));
        connect(m_edit, &CPPageCategoryEdit::changePad, this, &CPSelectUserPadCategoryView::changePad);
        category = m_edit;
    } else {
        m_view = new CPPageCategory(this, true);
        m_view->setObjectName(QStringLiteral("screen_category"));
        connect(m_view, &CPPageCategory::changePad, this, &CPSelectUserPadCategoryView::changePad);
        category = m_view;
    }
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("left_page_frame"));
    auto *frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(0, 0, 0, 0);
    frameLayout->addWidget(category);
    layout->addWidget(frame);
    if (!embedded)
        WKCore::instance()->addStyle2View(this, QStringLiteral("controls/custompage.css"));
}

CPSelectUserPadCategoryView::~CPSelectUserPadCategoryView()
{
    qCDebug(lcEditor) << "~CPSelectUserPadCategoryView";
}

void CPSelectUserPadCategoryView::loadData(const QString &padId)
{
    QMetaObject::invokeMethod(this, "loadMenuData", Q_ARG(QString, padId));
}

void CPSelectUserPadCategoryView::loadMenuData(QString padId)
{
    if (m_edit) {
        m_edit->setCurrentPadId(padId);
        m_edit->loadUserData(true);
    } else {
        m_view->loadUserData();
    }
}

void CPSelectUserPadCategoryView::loadSkin(const QVariant &skin)
{
    if (skin.isValid())
        setStyleSheet(skin.toString());
}

void CPSelectUserPadCategoryView::paintEvent(QPaintEvent *)
{
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}

} // namespace HXCPControls

#include "cpproductioncategory.h"

#include "editor/flowlayout.h"

#include <QHBoxLayout>
#include <QJsonArray>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace HXCPControls {

namespace {
void setSelectedProperty(QPushButton *button, bool selected)
{
    button->setProperty("selected", selected);
    button->style()->unpolish(button);
    button->style()->polish(button);
}
} // namespace

CPProductionCategory::CPProductionCategory(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("CPProductionCategory"));
}

CPProductionCategory::~CPProductionCategory() = default;

void CPProductionCategory::setCategory(const QJsonObject &category)
{
    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);

    auto *caption = new QWidget(this);
    caption->setObjectName(QStringLiteral("category_item_widget"));
    auto *captionLayout = new QHBoxLayout(caption);
    captionLayout->setContentsMargins(0, 0, 0, 0);
    auto *text = new QLabel(category.value(QStringLiteral("CAT_NAME")).toString(), caption);
    text->setObjectName(QStringLiteral("cat_item_text"));
    text->setTextFormat(Qt::PlainText);
    text->setMinimumWidth(60);
    text->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    captionLayout->addWidget(text);
    captionLayout->addItem(new QSpacerItem(20, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    // A group of products directly under a root category has no caption.
    caption->setVisible(!category.value(QStringLiteral("CAT_NAME")).isNull());
    layout->addWidget(caption);

    auto *line = new QWidget(this);
    line->setObjectName(QStringLiteral("category_separator_line"));
    line->setAttribute(Qt::WA_StyledBackground);
    line->setFixedHeight(1);
    layout->addWidget(line);

    auto *products = new QWidget(this);
    auto *flow = new FlowLayout(products, -1, -1, -1);
    flow->setContentsMargins(5, 5, 5, 5);
    for (const QJsonValue &value : category.value(QStringLiteral("productions")).toArray()) {
        const QJsonObject product = value.toObject();
        auto *button = new QPushButton(product.value(QStringLiteral("PRODUCT_NAME")).toString(), products);
        button->setObjectName(QStringLiteral("production_item"));
        button->setMinimumWidth(60);
        button->setCursor(Qt::PointingHandCursor);
        flow->addWidget(button);
        m_buttons.append(button);
        connect(button, &QPushButton::clicked, this, [this, button, product] {
            if (m_selected && m_selected != button)
                setSelectedProperty(m_selected, false);
            m_selected = button;
            setSelectedProperty(button, true);
            emit selectProd(product);
        });
    }
    layout->addWidget(products);

    auto *gap = new QWidget(this);
    gap->setFixedHeight(10);
    layout->addWidget(gap);
}

} // namespace HXCPControls

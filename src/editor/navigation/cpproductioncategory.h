#pragma once

#include "common/hxcpcontrols_global.h"

#include <QJsonObject>
#include <QList>
#include <QPointer>
#include <QWidget>

class QPushButton;

namespace HXCPControls {

// One group of the product menu popup: a category's caption and its
// products as buttons that wrap into rows.
class HXCPCONTROLS_EXPORT CPProductionCategory : public QWidget
{
    Q_OBJECT
public:
    explicit CPProductionCategory(QWidget *parent = nullptr);
    ~CPProductionCategory() override;

    void setCategory(const QJsonObject &category);

    QList<QPushButton *> productButtons() const { return m_buttons; }

signals:
    void selectProd(QJsonObject prod);

private:
    QList<QPushButton *> m_buttons;
    QPointer<QPushButton> m_selected;
};

} // namespace HXCPControls

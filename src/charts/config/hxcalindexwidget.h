#pragma once

#include "editor/cpbasewidget.h"

#include <QList>
#include <QVariantMap>

#include <memory>

namespace Ui {
class HXCalIndexWidget;
}
class QStandardItemModel;

namespace HXCPControls {

// The editor of a calculated index: an arithmetic expression over the
// chart's other indices (each named by its identifier, INDEX_NAME + "_" +
// IDX_ID), a name, and the index entry that the chart stores.
class HXCPCONTROLS_EXPORT HXCalIndexWidget : public CPBaseWidget
{
    Q_OBJECT
public:
    HXCalIndexWidget(QWidget *parent, QList<QVariantMap> operands, qint64 id);
    ~HXCalIndexWidget() override;

    // Loads a stored entry: its name, expression and identifier map.
    void setData(const QVariantMap &entry);
    // The entry: name, expression, idxIdExpression, identifierMap, isCal, IDX_ID,
    // unit, frequency and isSeason.
    QVariantMap data() const;
    // True when the expression follows the expression rule and gives a
    // number with the test values 1, 2, 3 ... for its operands.
    bool validate() const;
    // "表达式不能为空", "验证失败", or empty.
    QString validateInput() override;

    QString expression() const;
    QString name() const;

    static QString identifier(const QVariantMap &operand);
    // The frequency order from highest to lowest; the lowest among operands wins.
    static QList<int> frequencyOrder();

private:
    void insertText(const QString &text);
    void expressionChanged();
    // The operands known by identifier: those offered and those stored.
    QMap<QString, QVariantMap> knownOperands() const;

    std::unique_ptr<Ui::HXCalIndexWidget> ui;
    QList<QVariantMap> m_operands;
    QVariantMap m_identifierMap;
    QStandardItemModel *m_model;
    qint64 m_id;
    bool m_nameTyped = false;
    bool m_settingName = false;
};

} // namespace HXCPControls

#include "hxcalindexwidget.h"

#include "hxcalexpression.h"
#include "ui_hxcalindexwidget.h"

#include "common/logging.h"
#include "hxdataapi/hxvariantutil.h"
#include "wk/wkcore.h"

#include <QHeaderView>
#include <QStandardItemModel>

#include <cmath>

namespace HXCPControls {

HXCalIndexWidget::HXCalIndexWidget(QWidget *parent, QList<QVariantMap> operands, qint64 id)
    : CPBaseWidget(parent, false, QStringLiteral("controls/custompage.css"))
    , ui(new Ui::HXCalIndexWidget)
    , m_model(new QStandardItemModel(this))
    , m_id(id)
{
    WKCore::instance()->addStyle2View(this, QStringLiteral("controls/custompage-chart.css"));
    ui->setupUi(this);

    m_model->setHorizontalHeaderLabels({QStringLiteral("指标名称"), QStringLiteral("指标ID"), QStringLiteral("多值指标")});
    for (QVariantMap &operand : operands) {
        operand.insert(QStringLiteral("identifier"), identifier(operand));
        const QString multi = HXUtils::HXVariantUtil::toString(operand.value(QStringLiteral("IS_MULTI_VALUE")), QString());
        QList<QStandardItem *> row{
            new QStandardItem(operand.value(QStringLiteral("INDEX_NAME")).toString()),
            new QStandardItem(HXUtils::HXVariantUtil::toString(operand.value(QStringLiteral("IDX_ID")), QString())),
            new QStandardItem(!multi.isEmpty() && multi != QLatin1String("0") ? QStringLiteral("是") : QStringLiteral("否"))};
        for (QStandardItem *item : row)
            item->setToolTip(item->text());
        m_model->appendRow(row);
    }
    m_operands = operands;
    ui->tableView->setModel(m_model);
    ui->tableView->verticalHeader()->hide();
    ui->tableView->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    ui->tableView->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    ui->tableView->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    ui->tableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui->tableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    ui->tableView->setSelectionMode(QAbstractItemView::SingleSelection);

    connect(ui->tableView, &QTableView::clicked, this, [this](const QModelIndex &index) {
        const QVariantMap operand = m_operands.value(index.row());
        if (operand.isEmpty())
            return;
        m_identifierMap.insert(operand.value(QStringLiteral("identifier")).toString(), operand);
        insertText(QStringLiteral(" ") + operand.value(QStringLiteral("identifier")).toString());
    });
    const QList<QPair<QPushButton *, QString>> operators{{ui->btnPlus, QStringLiteral(" +")},        {ui->btnSubtract, QStringLiteral(" -")},
                                                         {ui->btnMultiply, QStringLiteral(" *")},    {ui->btnDiv, QStringLiteral(" /")},
                                                         {ui->btnLeftBracket, QStringLiteral(" (")}, {ui->btnRightBracket, QStringLiteral(" )")}};
    for (const auto &op : operators)
        connect(op.first, &QPushButton::clicked, this, [this, text = op.second] { insertText(text); });
    connect(ui->textEdit, &QTextEdit::textChanged, this, &HXCalIndexWidget::expressionChanged);
    connect(ui->lineEdit, &QLineEdit::textChanged, this, [this](const QString &text) {
        // Once the user names the index, the name stops following the expression.
        if (!m_settingName)
            m_nameTyped = !text.isEmpty();
    });
}

HXCalIndexWidget::~HXCalIndexWidget() = default;

QString HXCalIndexWidget::identifier(const QVariantMap &operand)
{
    return operand.value(QStringLiteral("INDEX_NAME")).toString() + QLatin1Char('_')
           + QString::number(operand.value(QStringLiteral("IDX_ID")).toLongLong());
}

QList<int> HXCalIndexWidget::frequencyOrder()
{
    return {365, 7, 12, 4, 1};
}

void HXCalIndexWidget::insertText(const QString &text)
{
    QTextCursor cursor = ui->textEdit->textCursor();
    cursor.insertText(text);
    ui->textEdit->setTextCursor(cursor);
    ui->textEdit->setFocus();
}

void HXCalIndexWidget::expressionChanged()
{
    if (m_nameTyped)
        return;
    m_settingName = true;
    ui->lineEdit->setText(ui->textEdit->toPlainText());
    m_settingName = false;
}

void HXCalIndexWidget::setData(const QVariantMap &entry)
{
    m_identifierMap = entry.value(QStringLiteral("identifierMap")).toMap();
    const QString name = entry.value(QStringLiteral("INDEX_NAME")).toString();
    const QString expression = entry.value(QStringLiteral("expression")).toString();
    m_settingName = true;
    ui->textEdit->setPlainText(expression);
    ui->lineEdit->setText(name);
    m_settingName = false;
    // A name that differs from its expression was given by the user.
    m_nameTyped = !name.isEmpty() && name != expression;
}

QString HXCalIndexWidget::expression() const
{
    return ui->textEdit->toPlainText().trimmed();
}

QString HXCalIndexWidget::name() const
{
    return ui->lineEdit->text();
}

QMap<QString, QVariantMap> HXCalIndexWidget::knownOperands() const
{
    QMap<QString, QVariantMap> known;
    for (auto it = m_identifierMap.begin(); it != m_identifierMap.end(); ++it)
        known.insert(it.key(), it.value().toMap());
    for (const QVariantMap &operand : m_operands)
        known.insert(operand.value(QStringLiteral("identifier")).toString(), operand);
    return known;
}

bool HXCalIndexWidget::validate() const
{
    const QString text = expression();
    if (text.isEmpty())
        return false;
    // The k-th identifier (in key order) stands for k; spaces keep a value
    // from running into a number beside it.
    const QMap<QString, QVariantMap> known = knownOperands();
    QMap<QString, QString> testValues;
    int k = 0;
    for (auto it = known.begin(); it != known.end(); ++it)
        testValues.insert(it.key(), QStringLiteral(" %1 ").arg(++k));
    const QString substituted = HXCalExpression::substitute(text, testValues);
    const QString error = HXCalExpression::check(substituted);
    if (!error.isEmpty()) {
        qCDebug(lcCharts).noquote() << "calculated index refused:" << error;
        return false;
    }
    HXCalEvaluator evaluator;
    return !std::isnan(evaluator.evaluate(substituted));
}

QVariantMap HXCalIndexWidget::data() const
{
    const QString text = expression();
    const QMap<QString, QVariantMap> known = knownOperands();
    QMap<QString, QString> ids;
    for (auto it = known.begin(); it != known.end(); ++it)
        ids.insert(it.key(), QString::number(it.value().value(QStringLiteral("IDX_ID")).toLongLong()));
    QStringList used;
    const QString idxIdExpression = HXCalExpression::substitute(text, ids, &used);

    QVariantMap identifierMap;
    QString unit;
    QVariantMap lowest;
    const QList<int> order = frequencyOrder();
    for (const QString &identifier : used) {
        QVariantMap operand = known.value(identifier);
        operand.remove(QStringLiteral("identifier"));
        identifierMap.insert(identifier, operand);
        if (unit.isEmpty())
            unit = operand.value(QStringLiteral("UNIT_NAME")).toString();
        const int rank = order.indexOf(operand.value(QStringLiteral("FREQUENCY_CODE")).toInt());
        if (lowest.isEmpty() || rank > order.indexOf(lowest.value(QStringLiteral("FREQUENCY_CODE")).toInt()))
            lowest = operand;
    }
    return {{QStringLiteral("INDEX_NAME"), name()},
            {QStringLiteral("expression"), text},
            {QStringLiteral("idxIdExpression"), idxIdExpression},
            {QStringLiteral("identifierMap"), identifierMap},
            {QStringLiteral("isCal"), true},
            {QStringLiteral("IDX_ID"), m_id},
            {QStringLiteral("UNIT_NAME"), unit},
            {QStringLiteral("FREQUENCY_CODE"), lowest.value(QStringLiteral("FREQUENCY_CODE"))},
            {QStringLiteral("FREQUENCY_NAME"), lowest.value(QStringLiteral("FREQUENCY_NAME"))},
            {QStringLiteral("isSeason"), false}};
}

QString HXCalIndexWidget::validateInput()
{
    if (expression().isEmpty())
        return QStringLiteral("表达式不能为空");
    if (!validate())
        return QStringLiteral("验证失败");
    return CPBaseWidget::validateInput();
}

} // namespace HXCPControls

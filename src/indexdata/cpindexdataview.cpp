#include "cpindexdataview.h"

#include "ui_cpindexdataview.h"

#include "common/logging.h"
#include "cpindexdataservice.h"
#include "cpindextitlebar.h"
#include "cptableviewstyleditemdelegate.h"
#include "detail/cpindexdetailview.h"
#include "hxdataapi/hxvariantutil.h"

#include <QEvent>
#include <QHeaderView>
#include <QHoverEvent>
#include <QJsonArray>
#include <QJsonObject>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QStandardItemModel>

#include <algorithm>

namespace HXCPControls {

namespace {

const QString kGrey = QStringLiteral("#515151");
const QString kRed = QStringLiteral("#C92E25");

QVariant plainValue(const QJsonValue &value)
{
    return value.isUndefined() ? QVariant() : value.toVariant();
}

} // namespace

CPIndexDataView::CPIndexDataView(QWidget *parent, const CPIndexDataConfig &config)
    : QFrame(parent)
    , ui(new Ui::CPIndexDataView)
    , m_config(config)
    , m_model(new QStandardItemModel(this))
    , m_delegate(new CPTableViewStyledItemDelegate(this))
    , m_service(new CPIndexDataService(this))
{
    ui->setupUi(this);
    initControl();
}

CPIndexDataView::~CPIndexDataView() = default;

QTableView *CPIndexDataView::tableView() const
{
    return ui->tableView;
}

void CPIndexDataView::initControl()
{
    connect(m_service, &CPIndexDataService::getFrequencyFinished, this, &CPIndexDataView::getFrequencyFinished,
            Qt::UniqueConnection);
    QTableView *table = ui->tableView;
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(34);
    table->horizontalHeader()->setSectionsClickable(false);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    // Narrow panels scroll sideways rather than squeeze values into ellipses.
    table->horizontalHeader()->setMinimumSectionSize(64);
    table->setModel(m_model);
    table->setShowGrid(false);
    table->setMouseTracking(true);
    table->viewport()->setAttribute(Qt::WA_Hover, true);
    table->viewport()->installEventFilter(this);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setFocusPolicy(Qt::NoFocus);
    table->setItemDelegate(m_delegate);
}

void CPIndexDataView::loadData(const CPIndexDataState &state)
{
    m_state = state;
    if (!m_frequencyMap.isEmpty())
        getFrequencyFinished(m_frequencyList);
    else
        m_service->getFrequencyList();
}

void CPIndexDataView::getFrequencyFinished(QList<FrequencyInfo> list)
{
    if (m_frequencyMap.isEmpty()) {
        m_frequencyList = list;
        for (const FrequencyInfo &info : list)
            m_frequencyMap.insert(info.frequencyCode, info);
        // The bar is built once; a bar built on a failed (empty) list is
        // replaced when the list finally arrives.
        if (!m_titleBar || !list.isEmpty()) {
            delete m_titleBar;
            m_titleBar = new CPIndexTitleBar(this, list);
            connect(m_titleBar.data(), &CPIndexTitleBar::changed, this, [this](int &code) { queryFrequency(code); });
            ui->top_layout->addWidget(m_titleBar);
        }
    }

    m_titleBar->reset(m_state.isShowTitle, m_state.title, m_state.frequencies);

    // Answers to the previous state's queries no longer fit the table.
    ++m_queryGeneration;
    m_frequencies = m_state.frequencies;
    m_indexes = m_state.indexes;
    m_headers = m_state.headers;
    m_limitField = m_state.limitField;

    m_model->clear();
    m_model->setColumnCount(m_headers.size());
    for (int c = 0; c < m_headers.size(); ++c)
        m_model->setHeaderData(c, Qt::Horizontal, m_headers.at(c).value(QStringLiteral("PROP_CAPTION")).toString(),
                               Qt::EditRole);

    if (!m_frequencies.isEmpty()) {
        std::reverse(m_frequencies.begin(), m_frequencies.end());
        const int code = m_frequencies.first();
        m_titleBar->activeFrequency(code);
        queryFrequency(code);
    }
}

void CPIndexDataView::queryFrequency(int frequencyCode)
{
    if (m_indexes.isEmpty() || m_headers.isEmpty() || m_frequencies.isEmpty())
        return;
    m_activeFrequency = frequencyCode;
    const int generation = ++m_queryGeneration;
    QList<qint64> ids;
    for (const QVariantMap &index : qAsConst(m_indexes))
        ids.append(index.value(QStringLiteral("IDX_ID")).toLongLong());
    QPointer<CPIndexDataView> self(this);
    m_service->getIndexesByFrequency(m_config.dataObjName, ids, frequencyCode,
                                     [self, generation](const HXDataApi::HttpJsonResult &result) {
                                         // Only the answer to the latest query is shown, whatever
                                         // order the answers arrive in.
                                         if (!self || self->m_queryGeneration != generation)
                                             return;
                                         if (result.success) {
                                             QMetaObject::invokeMethod(self, "loadData",
                                                                       Q_ARG(QJsonDocument, result.data));
                                         } else {
                                             qCWarning(lcIndexData).noquote() << "index rows:" << result.errorMsg;
                                             QMetaObject::invokeMethod(self, "invokeMessageError",
                                                                       Q_ARG(QString, QStringLiteral("指标加载失败")));
                                         }
                                     });
}

QString CPIndexDataView::rowColor(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return kGrey;
    if (value.canConvert<QString>()) {
        const QString text = value.toString();
        if (text.contains(QLatin1Char('-')))
            return kGrey;
        static const QRegularExpression digits(QStringLiteral("[1-9]+"));
        return digits.match(text).hasMatch() ? kRed : kGrey;
    }
    bool ok = false;
    const double number = value.toDouble(&ok);
    return ok && number > 0 ? kRed : kGrey;
}

QString CPIndexDataView::cellText(const QVariant &value, const QString &propType)
{
    if (!value.isValid() || value.isNull())
        return QString();
    if (propType == QLatin1String("DateTime")) {
        const QDate date = HXUtils::HXVariantUtil::toDate(value, QDate());
        return date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : QString();
    }
    if (value.canConvert<QString>())
        return value.toString();
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (ok)
        return QStringLiteral("%1").arg(number, 0, 'f', 0);
    const int integer = value.toInt(&ok);
    return ok ? QString::number(integer) : QString();
}

void CPIndexDataView::loadData(const QJsonDocument &document)
{
    m_model->removeRows(0, m_model->rowCount());
    m_highlightRow = -1;
    m_delegate->setHighlightRow(-1);
    if (m_headers.isEmpty())
        return;

    m_colorColumn.clear();
    if (!m_limitField.isEmpty()) {
        m_colorColumn = m_limitField;
    } else {
        for (const QVariantMap &header : qAsConst(m_headers)) {
            if (header.value(QStringLiteral("PROP_FLAG")).toInt() == 1) {
                m_colorColumn = header.value(QStringLiteral("PROP_NAME")).toString();
                break;
            }
        }
    }

    int nameCol = -1;
    int dateCol = -1;
    for (int c = 0; c < m_headers.size(); ++c) {
        const QString name = m_headers.at(c).value(QStringLiteral("PROP_NAME")).toString();
        if (nameCol < 0 && name == m_config.nameColumn)
            nameCol = c;
        if (dateCol < 0 && name == QLatin1String("PUBLISH_DT"))
            dateCol = c;
    }

    QSet<qint64> shown;
    const QJsonArray rows = document.array();
    for (const QJsonValue &rowValue : rows) {
        const QJsonObject row = rowValue.toObject();
        const qint64 id = row.value(m_config.rowIdColumn).toVariant().toLongLong();
        if (shown.contains(id))
            continue;
        shown.insert(id);
        const QString color = m_colorColumn.isEmpty() ? kGrey : rowColor(plainValue(row.value(m_colorColumn)));

        QList<QStandardItem *> items;
        QString rowName;
        for (const QVariantMap &header : qAsConst(m_headers)) {
            const QString field = header.value(QStringLiteral("PROP_NAME")).toString();
            const QVariant value = plainValue(row.value(field));
            const QString text = cellText(value, header.value(QStringLiteral("PROP_TYP")).toString());
            auto *item = new QStandardItem;
            if (field == m_config.nameColumn)
                rowName = text;
            else
                item->setText(text);
            item->setData(value, Qt::UserRole + 1);
            item->setToolTip(text);
            item->setTextAlignment(field == QLatin1String("INDEX_NAME") || field == QLatin1String("INDEX_DESC")
                                       ? Qt::AlignVCenter
                                       : Qt::AlignVCenter | Qt::AlignHCenter);
            const int flag = header.value(QStringLiteral("PROP_FLAG")).toInt();
            item->setForeground(QColor(flag == 1 || flag == 2 ? color : kGrey));
            items.append(item);
        }
        m_model->appendRow(items);

        if (nameCol >= 0) {
            auto *button = new QPushButton(rowName);
            button->setObjectName(QStringLiteral("index_name_btn"));
            button->setCursor(Qt::PointingHandCursor);
            button->setToolTip(rowName);
            const qint64 indexId = row.value(QStringLiteral("IDX_ID")).isUndefined()
                ? id
                : row.value(QStringLiteral("IDX_ID")).toVariant().toLongLong();
            connect(button, &QPushButton::clicked, this, [this, rowName, indexId] { openIndexDetail(rowName, indexId); });
            ui->tableView->setIndexWidget(m_model->index(m_model->rowCount() - 1, nameCol), button);
        }
    }

    QHeaderView *header = ui->tableView->horizontalHeader();
    for (int c = 0; c < m_model->columnCount(); ++c)
        header->setSectionResizeMode(c, QHeaderView::Stretch);
    if (nameCol >= 0)
        header->setSectionResizeMode(nameCol, QHeaderView::ResizeToContents);
    if (dateCol >= 0) {
        header->setSectionResizeMode(dateCol, QHeaderView::Fixed);
        header->resizeSection(dateCol, 90);
    }
}

void CPIndexDataView::openIndexDetail(const QString &name, qint64 id)
{
    const FrequencyInfo info = m_frequencyMap.value(m_activeFrequency);
    QVariantMap request;
    request.insert(QStringLiteral("indexName"), name);
    request.insert(QStringLiteral("indexId"), id);
    request.insert(QStringLiteral("sourceCode"), QString::number(m_config.sourceCode));
    request.insert(QStringLiteral("frequencyCode"), info.frequencyCode);
    request.insert(QStringLiteral("frequencyName"), info.frequencyName);
    request.insert(QStringLiteral("conversion"), info.conversion);
    qCDebug(lcIndexData) << "index detail requested" << request;
    emit indexDetailRequested(request);

    CPIndexDetailRequest detail;
    detail.indexName = name;
    detail.indexId = id;
    detail.sourceCode = QString::number(m_config.sourceCode);
    detail.frequencyCode = info.frequencyCode;
    detail.frequencyName = info.frequencyName;
    detail.conversion = info.conversion;
    auto *view = new CPIndexDetailView(nullptr, detail);
    CPIndexDetailDialog dialog(this, view);
    dialog.exec();
}

void CPIndexDataView::invokeMessageError(const QString &message)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("错误"), message, QMessageBox::Ok, this);
    box.exec();
}

void CPIndexDataView::highlightRow(const QPoint &point, bool entered)
{
    const int row = entered ? ui->tableView->rowAt(point.y()) : -1;
    if (row == m_highlightRow)
        return;
    const int previous = m_highlightRow;
    m_highlightRow = row;
    m_delegate->setHighlightRow(row);
    const int lastColumn = m_model->columnCount() - 1;
    if (lastColumn < 0)
        return;
    if (previous >= 0 && previous < m_model->rowCount())
        emit m_model->dataChanged(m_model->index(previous, 0), m_model->index(previous, lastColumn));
    if (row >= 0)
        emit m_model->dataChanged(m_model->index(row, 0), m_model->index(row, lastColumn));
}

bool CPIndexDataView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->tableView->viewport()) {
        switch (event->type()) {
        case QEvent::MouseMove:
            highlightRow(static_cast<QMouseEvent *>(event)->pos(), true);
            break;
        case QEvent::HoverMove:
        case QEvent::HoverEnter:
            highlightRow(static_cast<QHoverEvent *>(event)->pos(), true);
            break;
        case QEvent::Enter:
            highlightRow(ui->tableView->viewport()->mapFromGlobal(QCursor::pos()), true);
            break;
        case QEvent::HoverLeave:
        case QEvent::Leave:
            highlightRow(QPoint(-1, -1), false);
            break;
        default:
            break;
        }
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace HXCPControls

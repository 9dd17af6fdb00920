#include "cpindexdetailindexselectorview.h"

#include "ui_cpindexdetailindexselectorview.h"
#include "ui_cpindexselectoritem.h"

#include "common/logging.h"
#include "cpindexdetailchart.h"
#include "editor/cpbasedialog.h"
#include "editor/skinimagepath.h"
#include "hxdataapi/hxdatasourceservice.h"
#include "indexdata/cpindexdataservice.h"
#include "indexdata/cpindexselector.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QListWidget>
#include <QPointer>
#include <QStyle>

namespace HXCPControls {

namespace {


bool isRequired(const QVariantMap &row)
{
    return row.value(QStringLiteral("required")).toBool();
}

// The switch shows an open eye while the index is shown.
void showVisibility(QPushButton *button, bool shown)
{
    button->setProperty("selected", shown);
    button->setIcon(QIcon(skinImagePath(shown ? QStringLiteral("custompage/visible.png")
                                              : QStringLiteral("custompage/invisible.png"))));
    button->style()->unpolish(button);
    button->style()->polish(button);
}

} // namespace

CPIndexSelectorItem::CPIndexSelectorItem(QWidget *parent, const QVariantMap &row)
    : QWidget(parent)
    , ui(new Ui::CPIndexSelectorItem)
    , m_row(row)
{
    ui->setupUi(this);
    const QString name = row.value(QStringLiteral("INDEX_NAME")).toString();
    ui->l_index_name->setText(name);
    ui->l_index_name->setToolTip(name);
    ui->l_image->setPixmap(QPixmap(skinImagePath(QStringLiteral("custompage/index_item.png"))));
    ui->l_image->setScaledContents(true);
    showVisibility(ui->btn_visible, true);
    ui->btn_delete->setIcon(QIcon(skinImagePath(QStringLiteral("custompage/delete.png"))));
    const bool required = isRequired(row);
    ui->btn_visible->setVisible(!required);
    ui->btn_delete->setVisible(!required);
    const QVariant id = row.value(QStringLiteral("IDX_ID"));
    connect(ui->btn_visible, &QPushButton::clicked, this, [this, id] {
        const bool shown = !ui->btn_visible->property("selected").toBool();
        showVisibility(ui->btn_visible, shown);
        emit visiableChanged(id, !shown);
    });
    connect(ui->btn_delete, &QPushButton::clicked, this, [this, id] { emit deleted(id); });
}

CPIndexSelectorItem::~CPIndexSelectorItem() = default;

bool CPIndexSelectorItem::isShown() const
{
    return ui->btn_visible->property("selected").toBool();
}

void CPIndexSelectorItem::setShown(bool shown)
{
    showVisibility(ui->btn_visible, shown);
}

CPIndexDetailIndexSelectorView::CPIndexDetailIndexSelectorView(QWidget *parent, const CPIndexDetailRequest &request,
                                                               const CPIndexDetailSource &source)
    : QWidget(parent)
    , ui(new Ui::CPIndexDetailIndexSelectorView)
    , m_request(request)
    , m_source(source)
    , m_datasource(new HXDataApi::HXDatasourceService)
    , m_idxCat(request.sourceCode.toInt())
{
    ui->setupUi(this);
    ui->index_list_widget->setSelectionMode(QAbstractItemView::NoSelection);
    ui->index_list_widget->setFocusPolicy(Qt::NoFocus);
    connect(ui->add_index_btn, &QPushButton::clicked, this, &CPIndexDetailIndexSelectorView::addIndexes);
    resetData();
}

CPIndexDetailIndexSelectorView::~CPIndexDetailIndexSelectorView()
{
    delete m_datasource;
}

void CPIndexDetailIndexSelectorView::resetData()
{
    QPointer<CPIndexDetailIndexSelectorView> self(this);
    CPIndexDataService::getIndex(m_datasource, m_source.indexObjName, QStringLiteral("IDX_ID"), m_request.indexId,
                                 [self](const HXDataApi::HttpJsonResult &result) {
                                     if (!self)
                                         return;
                                     QMetaObject::invokeMethod(self, "loadRequiredIndex",
                                                               Q_ARG(QJsonDocument, result.data),
                                                               Q_ARG(QString, result.success ? QString() : result.errorMsg));
                                 });
}

void CPIndexDetailIndexSelectorView::loadRequiredIndex(const QJsonDocument &document, const QString &message)
{
    QVariantMap row;
    if (!message.isEmpty())
        qCWarning(lcIndexData).noquote() << "CPIndexDetailIndexSelectorView::resetData error: " << message;
    else
        row = document.array().at(0).toObject().toVariantMap();
    // Without an answer the dialog still shows what was clicked.
    if (row.isEmpty()) {
        row.insert(QStringLiteral("IDX_ID"), m_request.indexId);
        row.insert(QStringLiteral("INDEX_NAME"), m_request.indexName);
    }
    row.insert(QStringLiteral("required"), true);
    row.insert(QStringLiteral("idxCat"), m_idxCat);
    row.insert(QStringLiteral("idxValueDsName"), m_source.valueObjName);
    QList<QVariantMap> rest = m_indexes;
    rest.erase(std::remove_if(rest.begin(), rest.end(), isRequired), rest.end());
    m_indexes = QList<QVariantMap>{row} + rest;
    rebuild();
    emit indexChanged();
}

QList<QVariantMap> CPIndexDetailIndexSelectorView::visibleIndexes() const
{
    QList<QVariantMap> shown;
    for (const QVariantMap &row : m_indexes) {
        if (!m_hidden.contains(CPIndexDetailChart::indexId(row.value(QStringLiteral("IDX_ID")))))
            shown.append(row);
    }
    return shown;
}

void CPIndexDetailIndexSelectorView::setSelection(const QList<QVariantMap> &rows)
{
    QList<QVariantMap> result;
    QSet<qint64> seen;
    for (const QVariantMap &row : m_indexes) {
        if (isRequired(row)) {
            result.append(row);
            seen.insert(CPIndexDetailChart::indexId(row.value(QStringLiteral("IDX_ID"))));
        }
    }
    for (const QVariantMap &row : rows) {
        const qint64 id = CPIndexDetailChart::indexId(row.value(QStringLiteral("IDX_ID")));
        if (isRequired(row) || seen.contains(id))
            continue;
        seen.insert(id);
        result.append(row);
    }
    m_indexes = result;
    m_hidden.intersect(seen);
    rebuild();
    emit indexChanged();
}

void CPIndexDetailIndexSelectorView::setHidden(const QVariant &idxId, bool hidden)
{
    const qint64 id = CPIndexDetailChart::indexId(idxId);
    if (hidden == m_hidden.contains(id))
        return;
    if (hidden)
        m_hidden.insert(id);
    else
        m_hidden.remove(id);
    emit indexChanged();
}

void CPIndexDetailIndexSelectorView::removeIndex(const QVariant &idxId)
{
    const qint64 id = CPIndexDetailChart::indexId(idxId);
    for (int i = 0; i < m_indexes.size(); ++i) {
        if (CPIndexDetailChart::indexId(m_indexes.at(i).value(QStringLiteral("IDX_ID"))) == id && !isRequired(m_indexes.at(i))) {
            m_indexes.removeAt(i);
            m_hidden.remove(id);
            rebuild();
            emit indexChanged();
            return;
        }
    }
}

void CPIndexDetailIndexSelectorView::rebuild()
{
    QListWidget *list = ui->index_list_widget;
    list->clear();
    for (const QVariantMap &row : qAsConst(m_indexes)) {
        auto *entry = new QListWidgetItem(list);
        auto *item = new CPIndexSelectorItem(list, row);
        entry->setSizeHint(QSize(0, 36));
        list->setItemWidget(entry, item);
        const qint64 id = CPIndexDetailChart::indexId(row.value(QStringLiteral("IDX_ID")));
        item->setShown(!m_hidden.contains(id));
        connect(item, &CPIndexSelectorItem::visiableChanged, this,
                [this](const QVariant &idxId, bool invisible) { setHidden(idxId, invisible); });
        // Deleting rebuilds the list, which destroys the item: leave its signal first.
        connect(item, &CPIndexSelectorItem::deleted, this,
                [this](const QVariant &idxId) { QMetaObject::invokeMethod(this, [this, idxId] { removeIndex(idxId); }, Qt::QueuedConnection); });
    }
}

void CPIndexDetailIndexSelectorView::addIndexes()
{
    const CPIndexSelector::Columns columns{qMakePair(QStringLiteral("INDEX_NAME"), QStringLiteral("指标名称")),
                                           qMakePair(QStringLiteral("UNIT_NAME"), QStringLiteral("单位"))};
    auto *selector = new CPIndexSelector(nullptr, columns, true,
                                         {QStringLiteral("CAT_CODE"), QStringLiteral("P_CAT_CODE"), QStringLiteral("CAT_NAME"),
                                          QString(), QStringLiteral("HAV_IDX"), QStringLiteral("INDEX_NAME"),
                                          QStringLiteral("IDX_ID")});
    selector->loadIndexCatalog(m_source.catalogObjName, m_source.indexObjName, m_source.rootNode, m_indexes);
    CPBaseDialog dialog(this, QStringLiteral("   选择指标"), selector, QStringLiteral("controls/custompage-index.css"));
    dialog.setMinimumSize(830, 472);
    dialog.setModal(true);
    if (dialog.exec() != QDialog::Accepted)
        return;
    setSelection(selector->selected());
}

} // namespace HXCPControls

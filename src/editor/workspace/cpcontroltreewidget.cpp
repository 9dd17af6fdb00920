#include "cpcontroltreewidget.h"

#include "editor/skinimagepath.h"
#include "pagelayout/componentfactory.h"
#include "paletteconfig.h"
#include "wk/wkcore.h"
#include "wk/wkeventbus.h"

#include <QDataStream>
#include <QDateTime>
#include <QDrag>
#include <QDragEnterEvent>
#include <QMimeData>

namespace HXCPControls {

namespace {
constexpr int kUrlRole = Qt::UserRole + 1;

QList<QStringList> &registry()
{
    static QList<QStringList> entries;
    return entries;
}

// The groups of the palette file, their entries added to the registry.
QList<PaletteGroup> readAndRegister()
{
    const QList<PaletteGroup> groups = readPaletteConfig(paletteConfigPath(), componentKeys());
    for (const PaletteGroup &group : groups) {
        for (const QStringList &parts : group.entries) {
            if (!registry().contains(parts))
                registry().append(parts);
        }
    }
    return groups;
}
} // namespace

CPControlTreeWidget::CPControlTreeWidget(QWidget *parent, bool embedded)
    : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("cpcontrol_tree_widget"));
    if (!embedded)
        WKCore::instance()->addStyle2View(this, QStringLiteral("controls/custompage.css"));
    initControl();
}

QString CPControlTreeWidget::itemMimeType()
{
    return QStringLiteral("txt/x-split-item");
}

QList<QStringList> CPControlTreeWidget::paletteEntries()
{
    return registry();
}

void CPControlTreeWidget::loadPaletteEntries()
{
    readAndRegister();
}

void CPControlTreeWidget::initControl()
{
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setColumnCount(1);
    setExpandsOnDoubleClick(false);

    const QIcon standardIcon = style()->standardIcon(QStyle::SP_ComputerIcon);
    for (const PaletteGroup &group : readAndRegister()) {
        auto *groupItem = new QTreeWidgetItem(QStringList(group.name));
        groupItem->setTextAlignment(0, Qt::AlignCenter);
        for (const QStringList &parts : group.entries) {
            auto *item = new QTreeWidgetItem(groupItem, QStringList(QStringLiteral("  ") + parts.at(1)));
            item->setData(0, kUrlRole, QUrl(parts.at(0), QUrl::TolerantMode));
            item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsEnabled);
            const bool ownIcon = parts.size() == 3 && !parts.at(2).isEmpty();
            item->setIcon(0, ownIcon ? QIcon(skinImagePath(parts.at(2))) : standardIcon);
        }
        addTopLevelItem(groupItem);
    }

    setRootIsDecorated(false);
    expandAll();
    connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item, int column) {
        if (column == 0 && item->childCount() > 0)
            item->setExpanded(!item->isExpanded());
    });
}

QMimeData *CPControlTreeWidget::createMimeData(const QTreeWidgetItem *item)
{
    QByteArray data;
    {
        QDataStream stream(&data, QIODevice::WriteOnly);
        stream << item->data(0, kUrlRole).toUrl();
    }
    auto *mime = new QMimeData;
    mime->setData(itemMimeType(), data);
    return mime;
}

void CPControlTreeWidget::startDrag(Qt::DropActions)
{
    QTreeWidgetItem *item = currentItem();
    if (!item)
        return;
    auto *drag = new QDrag(this);
    drag->setMimeData(createMimeData(item));
    drag->setHotSpot(QPoint(12, 12));
    drag->setPixmap(item->icon(0).pixmap(QSize(32, 32), QIcon::Normal, QIcon::Off));

    // Both events carry the same stamp, so that every item re-enables exactly
    // what it disabled for this drag, also when the drag was cancelled.
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmsszzz"));
    WKEventBus::instance()->send(new WKEvent(QStringLiteral("CPSplitItem#BeginDrag"), stamp));
    drag->exec(Qt::CopyAction);
    WKEventBus::instance()->send(new WKEvent(QStringLiteral("CPSplitItem#EndDrag"), stamp));
}

void CPControlTreeWidget::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasFormat(itemMimeType()))
        event->accept();
    else
        event->ignore();
}

void CPControlTreeWidget::dragMoveEvent(QDragMoveEvent *event)
{
    if (event->mimeData()->hasFormat(itemMimeType())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void CPControlTreeWidget::loadSkin(const QVariant &skin)
{
    if (skin.isValid())
        setStyleSheet(skin.toString());
}

} // namespace HXCPControls

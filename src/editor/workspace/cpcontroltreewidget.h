#pragma once

#include "common/hxcpcontrols_global.h"
#include "wk/iwkinterface.h"

#include <QTreeWidget>

class QMimeData;

namespace HXCPControls {

// The component palette beside a page in the editor workspace: groups of
// components read from "config/zhp_v2.ini" beside the executable. Dragging an
// entry onto a page item puts the component there: the drag carries the
// component's factory key as a URL under itemMimeType(), and the bus events
// "CPSplitItem#BeginDrag" / "CPSplitItem#EndDrag" frame it so that page
// components step aside for the drop.
class HXCPCONTROLS_EXPORT CPControlTreeWidget : public QTreeWidget, public IWKSkin, public IWKAbstractPage
{
    Q_OBJECT
    Q_INTERFACES(IWKSkin IWKAbstractPage)
public:
    explicit CPControlTreeWidget(QWidget *parent = nullptr, bool embedded = false);

    static QString itemMimeType();
    // Every entry that any palette of this process has loaded, in the order
    // first read, without duplicates: key, display name and, when given, icon file.
    static QList<QStringList> paletteEntries();
    // Reads the palette file into the registry without making a palette: for
    // a host whose tab containers offer new pages before any palette was shown.
    static void loadPaletteEntries();

    // The drag data of `item`: its URL written with QDataStream under itemMimeType().
    static QMimeData *createMimeData(const QTreeWidgetItem *item);

    void loadSkin(const QVariant &skin) override;
    QWidget *widget() override { return this; }

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;

private:
    void initControl();
};

} // namespace HXCPControls

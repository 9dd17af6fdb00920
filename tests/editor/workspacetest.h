#pragma once
// Set-up shared by the workspace and palette tests: the palette file beside
// the test executable, stand-in components, and a recorder of the drag events
// sent on the host event bus.
#include "editortest.h"
#include "../pagelayout/pagetestutil.h"

#include "editor/workspace/cpcontroltreewidget.h"
#include "editor/workspace/paletteconfig.h"
#include "wk/wkeventbus.h"
#include "wk/wkfactory.h"

namespace WorkspaceTest {

// Writes the palette file that palettes built from now on read.
inline void writePalette(const QByteArray &ini)
{
    const QString path = HXCPControls::paletteConfigPath();
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(ini) == ini.size());
}

inline void removePalette()
{
    QFile::remove(HXCPControls::paletteConfigPath());
}

// A palette file of one group holding `textIcons` (written in quotes).
inline QByteArray onePalette(const QByteArray &textIcons)
{
    return "[group]\ncount=1\n[group0]\nname=组件\ntextIcons=\"" + textIcons + "\"\n";
}

// The page list component as the terminal registers it, here a titled label.
inline void registerComponents()
{
    TestComponent::registerIn();
    WKFactory<QWidget>::constructors().insert("WKTitleModeListView", [](QWidget *parent) -> QWidget * {
        auto *label = new QLabel(parent);
        label->setObjectName(QStringLiteral("pageList"));
        return label;
    });
}

// The drag events that pass the event bus, as "type:data".
struct DragEvents : QObject {
    QStringList seen;
    DragEvents() { WKEventBus::instance()->addSubscriber(this); }
    ~DragEvents() override { WKEventBus::instance()->removeSubscriber(this); }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == WKEventBus::instance()->mEventObj && event->type() >= QEvent::User) {
            auto *e = static_cast<WKEvent *>(event);
            if (e->typeName().startsWith(QLatin1String("CPSplitItem#")))
                seen.append(e->typeName() + QLatin1Char(':') + e->data().toString());
        }
        return false;
    }
};

// Drops `mime` in the middle of `target` as a drag from the palette would.
inline bool drop(QWidget *target, const QMimeData *mime)
{
    const QPoint pos = target->rect().center();
    QDragEnterEvent enter(pos, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent dropEvent(pos, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &dropEvent);
    return dropEvent.isAccepted();
}

// The first palette item whose URL is `key`.
inline QTreeWidgetItem *paletteEntry(QTreeWidget *palette, const QString &key)
{
    for (QTreeWidgetItemIterator it(palette); *it; ++it) {
        if ((*it)->data(0, Qt::UserRole + 1).toUrl().toString() == key)
            return *it;
    }
    return nullptr;
}

// A palette whose drag a test can start; the drag object stays its child
// until events are processed.
struct Palette : HXCPControls::CPControlTreeWidget {
    using CPControlTreeWidget::CPControlTreeWidget;
    QDrag *drag(QTreeWidgetItem *item)
    {
        setCurrentItem(item);
        startDrag(Qt::CopyAction | Qt::MoveAction);
        return findChildren<QDrag *>().value(0);
    }
};

} // namespace WorkspaceTest

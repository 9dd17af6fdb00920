#pragma once

#include "common/hxcpcontrols_global.h"
#include "wk/iwkinterface.h"

#include <QFrame>
#include <QMutex>
#include <QPointer>
#include <QTimer>
#include <QVariantMap>

class QHBoxLayout;

namespace HXCPControls {

// The top of a page's split tree. Its root is one CPSplitter or one
// CPSplitItem; its saved map is the page content.
//
// Chart views inside the page register here: 200 ms after the layout last
// changed, every registered view is told to redraw (resetWebView(false)),
// because web views do not follow size changes that happen while they are
// laid out again.
class HXCPCONTROLS_EXPORT CPSplitView : public QFrame, public IWKMemory
{
    Q_OBJECT
    Q_INTERFACES(IWKMemory)
    Q_PROPERTY(QString padID READ padID WRITE setPadID NOTIFY padIDChanged)
    Q_PROPERTY(QString zhpID READ zhpID WRITE setZhpID NOTIFY zhpIDChanged)
    Q_PROPERTY(bool editModel READ editModel WRITE setEditModel NOTIFY editModelChanged)
    Q_PROPERTY(bool adjustable READ adjustable WRITE setAdjustable NOTIFY adjustableChanged)
    Q_PROPERTY(QVariantMap zhpArgs READ zhpArgs WRITE setZhpArgs NOTIFY zhpArgsChanged)
public:
    explicit CPSplitView(QWidget *parent = nullptr);
    ~CPSplitView() override;

    void save(QVariantMap &map) override;
    void restore(const QVariantMap &map) override;

    // Installs a CPSplitter or CPSplitItem as the root; the old root is deleted later.
    void setRootItem(QWidget *item);
    // Takes the root out of the layout without deleting it.
    QWidget *takeRootItem();
    QWidget *rootItem() const { return m_root; }

    QString padID() const { return m_padID; }
    void setPadID(const QString &padID);
    QString zhpID() const { return m_zhpID; }
    void setZhpID(const QString &zhpID);
    bool editModel() const { return m_editModel; }
    void setEditModel(bool editModel);
    bool adjustable() const { return m_adjustable; }
    void setAdjustable(bool adjustable);
    QVariantMap zhpArgs() const { return m_zhpArgs; }
    void setZhpArgs(const QVariantMap &args);

    // Sets the edit mode of every item and the handle state of every splitter below.
    void pushDownModes();

    // Chart views inside this page: HXEcharts::HXEChartsView or any widget with
    // an invokable resetWebView(bool).
    void registerChartView(QWidget *view);
    void unregisterChartView(QWidget *view);
    QList<QWidget *> chartViews() const;

    // Restarts the reset timer of `view` when it is still alive.
    static void notifyChartViewReset(CPSplitView *view);
    static bool isAlive(CPSplitView *view);
    // The nearest split view at or above `widget`.
    static CPSplitView *ancestorOf(QWidget *widget);

signals:
    void padIDChanged(const QString &padID);
    void zhpIDChanged(const QString &zhpID);
    void editModelChanged(bool editModel);
    void adjustableChanged(bool adjustable);
    void zhpArgsChanged(const QVariantMap &args);

private:
    void resetChartViews();

    QHBoxLayout *m_layout;
    QPointer<QWidget> m_root;
    QString m_padID;
    QString m_zhpID;
    bool m_editModel = true;
    bool m_adjustable = true;
    QVariantMap m_zhpArgs;

    mutable QMutex m_chartMutex;
    QList<QPointer<QWidget>> m_chartViews;
    QTimer m_resetTimer;
    bool m_destroying = false;
};

} // namespace HXCPControls

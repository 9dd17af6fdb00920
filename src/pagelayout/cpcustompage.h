#pragma once

#include "common/hxcpcontrols_global.h"
#include "wk/iwkinterface.h"

#include <QFrame>
#include <QPointer>
#include <QVariantMap>

class QGridLayout;

namespace HXCPControls {

class CPCompositePanelService;
class CPSplitView;

// Shows one custom page: loads its content by page ID from the server, from
// JSON text or from a map, lays the split tree out with a responsive height
// (filling the space given) or a fixed one (in a scroll area), switches it
// between view and edit mode, and hands the content back for saving.
class HXCPCONTROLS_EXPORT CPCustomPage : public QFrame, public IWKSkin, public IWKAbstractPage
{
    Q_OBJECT
    Q_INTERFACES(IWKSkin IWKAbstractPage)
public:
    explicit CPCustomPage(QWidget *parent = nullptr, bool embedded = false);
    ~CPCustomPage() override;

    void loadDataById(const QString &id);
    void loadDataByContent(const QString &json);
    void loadDataByMap(const QVariantMap &map);

    // The split view's content with the page's `height`.
    QVariantMap getContent();
    void editable(bool e);
    void updateView();
    // Below 1: responsive; 1 or more: fixed height in pixels.
    void setResponsiveHeight(int h);

    QString padID() const { return m_padID; }
    int pageHeight() const { return m_height; }
    bool readOnly() const { return m_readOnly; }
    CPSplitView *splitView() const;
    QWidget *topWidget() const { return m_top; }

    void loadSkin(const QVariant &skin) override;
    QWidget *widget() override { return this; }

    // Logs `msg` and shows it in a critical message box titled "错误".
    void messageError(const QString &msg);

    // Page content from JSON text: empty text, or text that is not valid page
    // content (PageContent::parse), gives an empty map; `error` receives why.
    static QVariantMap convert2Content(const QString &json, QString *error = nullptr);

    // Why the last load left the page empty; empty when it loaded.
    QString loadError() const { return m_loadError; }

signals:
    void initResponsiveHeight(int height);
    void signalEditModelChanged(bool editModel);
    void signalContentReady();
    void signalGlobalArgsChanged(const QVariantMap &args);
    // The content could not be loaded (refused as malformed, or not fetched);
    // the page lays out empty.
    void signalLoadFailed(const QString &reason);

private slots:
    void invokeMessageError(const QString &msg);
    void loadPageData(const QVariantMap &map);
    void loadChecked(const QVariantMap &map, const QString &error);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void initSplitView(const QVariantMap &map);
    void initHeight(const QVariantMap &map);
    void layoutView();
    void pushMode();

    CPCompositePanelService *mPageService;
    QGridLayout *m_layout;
    QPointer<CPSplitView> m_splitView;
    QPointer<QWidget> m_top;
    QString m_padID;
    QString m_loadError;
    int m_height = -1;
    bool m_readOnly = true;
};

} // namespace HXCPControls

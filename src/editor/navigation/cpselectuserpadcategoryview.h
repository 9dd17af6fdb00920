#pragma once

#include "common/hxcpcontrols_global.h"
#include "wk/iwkinterface.h"

#include <QWidget>

namespace HXCPControls {

class CPPageCategory;
class CPPageCategoryEdit;

// The page that shows the user's own page tree, read-only (sections) or
// editable (the tree with its operations). The page the user picks is
// announced with changePad for the host to open.
class HXCPCONTROLS_EXPORT CPSelectUserPadCategoryView : public QWidget, public IWKSkin, public IWKAbstractPage
{
    Q_OBJECT
    Q_INTERFACES(IWKSkin IWKAbstractPage)
public:
    explicit CPSelectUserPadCategoryView(QWidget *parent = nullptr, bool editable = false, bool embedded = false);
    ~CPSelectUserPadCategoryView() override;

    // Loads the tree; the editable tree then opens `padId`.
    void loadData(const QString &padId);

    bool isEditable() const { return m_edit != nullptr; }
    CPPageCategory *categoryView() const { return m_view; }
    CPPageCategoryEdit *categoryEdit() const { return m_edit; }

    void loadSkin(const QVariant &skin) override;
    QWidget *widget() override { return this; }

signals:
    void changePad(QString padId, QString title);

public slots:
    void loadMenuData(QString padId);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    CPPageCategory *m_view = nullptr;
    CPPageCategoryEdit *m_edit = nullptr;
};

} // namespace HXCPControls

#pragma once

#include "common/hxcpcontrols_global.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QPointer>
#include <QWidget>

#include <memory>

class QLabel;
class QVBoxLayout;

namespace HXCPControls {

class CPCompositePanelService;
class CPPageCategoryItem;

// The read-only category view: every top-level category of the user's
// tree (or of a product's tree) becomes a collapsible section listing its
// pages; at most one section is open. Picking a page emits changePad.
class HXCPCONTROLS_EXPORT CPPageCategory : public QWidget
{
    Q_OBJECT
public:
    explicit CPPageCategory(QWidget *parent = nullptr, bool userMode = true);
    ~CPPageCategory() override;

    // Product mode: the product whose tree is shown and the page to open in it.
    void setProduct(const QJsonObject &product, const QString &padId);
    // Loads the user's tree (user mode).
    void loadUserData();

    // Selects the page `padId` in the section that holds it, without
    // emitting changePad; a page that no section holds clears the selection.
    void showCurrentPad(const QString &padId);

    QString rootTitle() const;
    QList<CPPageCategoryItem *> sections() const { return m_sections; }
    QString currentPadId() const { return m_currentPadId; }
    QString currentTitle() const { return m_currentTitle; }

signals:
    void changePad(QString padId, QString title);

public slots:
    void loadData();
    void invokeMessageError(const QString &msg);

private slots:
    void loadTree(const QJsonDocument &doc);

private:
    void requestTree();
    QString productCode() const;
    void onSectionChangePad(int index, const QString &padId, const QString &title);
    void onSectionExpanded(int index);

    bool m_userMode;
    std::unique_ptr<CPCompositePanelService> mNodeService;
    QJsonObject m_product;
    QString m_currentPadId;
    QString m_currentTitle;
    QLabel *m_title;
    QVBoxLayout *m_catLayout;
    QList<CPPageCategoryItem *> m_sections;
    QPointer<CPPageCategoryItem> m_selectedSection;
    QPointer<CPPageCategoryItem> m_expandedSection;
};

} // namespace HXCPControls

#pragma once

#include <QJsonObject>
#include <QWidget>

#include <memory>

namespace HXCPControls {
class CPCompositePanelService;
class CPCustomPage;
class CPPageCategory;
}

// A product's analysis page: the product's page tree beside the page picked
// in it; the tree's first page opens at once.
class AnalysisPage : public QWidget
{
    Q_OBJECT
public:
    AnalysisPage(const QJsonObject &product, QWidget *parent = nullptr);
    ~AnalysisPage() override;

    HXCPControls::CPPageCategory *tree() const { return m_tree; }
    HXCPControls::CPCustomPage *page() const { return m_page; }

private:
    std::unique_ptr<HXCPControls::CPCompositePanelService> m_service;
    HXCPControls::CPPageCategory *m_tree;
    HXCPControls::CPCustomPage *m_page;
};

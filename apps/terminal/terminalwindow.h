#pragma once

#include <QMainWindow>

namespace HXCPControls {
class CPCustomPage;
}

// The terminal's main window: one custom page.
class TerminalWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit TerminalWindow(QWidget *parent = nullptr);

    HXCPControls::CPCustomPage *page() const { return m_page; }

private:
    HXCPControls::CPCustomPage *m_page;
};

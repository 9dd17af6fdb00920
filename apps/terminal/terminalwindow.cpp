#include "terminalwindow.h"

#include "pagelayout/cpcustompage.h"

TerminalWindow::TerminalWindow(QWidget *parent)
    : QMainWindow(parent)
    , m_page(new HXCPControls::CPCustomPage(this, false))
{
    setObjectName(QStringLiteral("TerminalWindow"));
    setWindowTitle(QStringLiteral("综合屏"));
    setCentralWidget(m_page);
    resize(1280, 800);
}

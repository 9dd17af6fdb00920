#include "cptabwidget.h"

#include "common/logging.h"
#include "contentformat.h"
#include "cpsplititem.h"
#include "cpsplitview.h"
#include "editor/skinimagepath.h"
#include "editor/workspace/cpcontroltreewidget.h"
#include "settingbutton.h"
#include "wk/wkcustommenu.h"
#include "wk/wkfactory.h"

#include <QAction>
#include <QLineEdit>
#include <QPainter>
#include <QStyleOptionTab>
#include <QTabBar>
#include <QToolButton>

#include <cmath>

namespace HXCPControls {

namespace {
const QString kNoTitle = QStringLiteral("------");

// The library's own component: registered when the library is loaded.
const bool s_registered = [] {
    WKFactory<QWidget>::constructors().insert("CPTabWidget",
                                              [](QWidget *parent) -> QWidget * { return new CPTabWidget(parent); });
    return true;
}();
} // namespace

void CustomTabStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                                 const QWidget *widget) const
{
    if (element == CE_TabBarTabLabel) {
        if (const auto *tab = qstyleoption_cast<const QStyleOptionTab *>(option)) {
            painter->save();
            painter->translate(5, 0);
            proxy()->drawItemText(painter, tab->rect, Qt::Alignment(0x81), tab->palette,
                                  tab->state.testFlag(State_Enabled), tab->text, QPalette::WindowText);
            painter->restore();
            return;
        }
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

CPTabWidget::CPTabWidget(QWidget *parent)
    : QTabWidget(parent)
    , m_splitView(CPSplitView::ancestorOf(parent))
    , m_addPageAction(new QAction(QStringLiteral("添加标签页"), this))
    , m_addSplitterAction(new QAction(QStringLiteral("添加切分容器"), this))
    , m_userSettingAction(new QAction(QStringLiteral("用户设置"), this))
{
    setObjectName(QStringLiteral("CPTabWidget"));
    setAttribute(Qt::WA_StyledBackground);
    auto *style = new CustomTabStyle;
    style->setParent(tabBar());
    tabBar()->setStyle(style);

    m_userSettingAction->setCheckable(true);
    addAction(m_addPageAction);
    addAction(m_addSplitterAction);
    addAction(m_userSettingAction);
    connect(m_addPageAction, &QAction::triggered, this, [this] { addPage(); });
    connect(m_addSplitterAction, &QAction::triggered, this, &CPTabWidget::addSplitterContainer);
    connect(m_userSettingAction, &QAction::triggered, this, &CPTabWidget::refreshSettingButton);

    if (m_splitView)
        m_editModel = m_splitView->editModel();
    applyEditModel();
    createSettingBtn();

    connect(this, &QTabWidget::tabBarDoubleClicked, this, [this](int index) {
        if (m_editModel)
            changeTitle(index);
    });
    connect(this, &QTabWidget::tabCloseRequested, this, [this](int index) {
        if (m_editModel)
            delPage(index);
    });
    if (m_splitView)
        connect(m_splitView, &CPSplitView::editModelChanged, this, &CPTabWidget::setEditModel);
    connect(this, &QTabWidget::currentChanged, this, &CPTabWidget::refreshSettingButton);

    addPage();
}

CPSplitView *CPTabWidget::splitView() const
{
    return m_splitView;
}

void CPTabWidget::createSettingBtn()
{
    if (m_settingBtn)
        return;
    m_settingBtn = makeSettingButton(this);
    m_settingBtn->setVisible(m_showSetting);
    setCornerWidget(m_settingBtn, Qt::TopRightCorner);
    connect(m_settingBtn, &QToolButton::clicked, this, [this] {
        std::unique_ptr<QMenu> menu(createSettingMenu());
        menu->exec(m_settingBtn->mapToGlobal(m_settingBtn->rect().bottomLeft()));
    });
}

void CPTabWidget::refreshSettingButton()
{
    m_showSetting = m_userSettingAction->isChecked();
    if (m_settingBtn)
        m_settingBtn->setVisible(m_showSetting);
}

QMenu *CPTabWidget::createSettingMenu()
{
    auto *menu = new WKCustomMenu(this);
    auto *item = qobject_cast<CPSplitItem *>(currentWidget());
    if (item && item->content()) {
        menu->addActions(item->content()->actions());
        menu->addSeparator();
    }
    connect(menu->addAction(QStringLiteral("修改当前页标题")), &QAction::triggered, this,
            [this] { changeTitle(currentIndex()); });
    // The palette's title-mode entries: empty until a palette has loaded its configuration.
    QMenu *newPages = menu->addMenu(QStringLiteral("添加新页"));
    for (const QStringList &entry : CPControlTreeWidget::paletteEntries()) {
        if (entry.value(0) != QLatin1String("WKTitleModeListView"))
            continue;
        const QString icon = entry.value(2);
        const QString text = entry.value(1);
        const QUrl url(entry.value(0), QUrl::TolerantMode);
        connect(newPages->addAction(icon.isEmpty() ? QIcon() : QIcon(skinImagePath(icon)), text),
                &QAction::triggered, this, [this, url, text] {
                    addPage(url);
                    if (!text.trimmed().isEmpty())
                        setTabText(currentIndex(), text.trimmed());
                });
    }
    if (count() >= 2) {
        connect(menu->addAction(QStringLiteral("删除当前页")), &QAction::triggered, this,
                [this] { delPage(currentIndex()); });
    }
    return menu;
}

void CPTabWidget::addPage(const QUrl &url)
{
    auto *item = new CPSplitItem(this);
    if (!url.isEmpty())
        item->setContentUrl(url);
    item->setEditModel(m_editModel);
    const int index = addTab(item, kNoTitle);
    connect(item, &QWidget::windowTitleChanged, this, [this, item](const QString &text) {
        const int i = indexOf(item);
        if (i >= 0)
            setTabText(i, text);
    });
    connect(item, &CPSplitItem::contentChanged, this, &CPTabWidget::refreshSettingButton);
    setCurrentIndex(index);
    item->updateDecorations();
}

void CPTabWidget::addSplitterContainer()
{
    auto *view = new CPSplitView(this);
    view->setEditModel(m_editModel);
    const int index = addTab(view, kNoTitle);
    auto *root = new CPSplitItem(view);
    root->setEditModel(m_editModel);
    view->setRootItem(root);
    setCurrentIndex(index);
}

void CPTabWidget::changeTitle(int index)
{
    if (index < 0 || index >= count()) {
        qCWarning(lcPageLayout, "change page title error,index out of range:del index->%d and total count is %d",
                  index, count());
        return;
    }
    auto *editor = new QLineEdit(tabBar());
    editor->setGeometry(tabBar()->tabRect(index).adjusted(1, 2, -1, -1));
    editor->setText(tabText(index));
    editor->setStyleSheet(QStringLiteral("border:none;"));
    editor->selectAll();
    editor->show();
    editor->setFocus();
    // editingFinished comes again when the editor loses focus; the first one counts.
    connect(editor, &QLineEdit::editingFinished, this, [this, editor] {
        editor->disconnect(this);
        const QString text = editor->text();
        setTabText(currentIndex(), text.isEmpty() ? kNoTitle : text);
        editor->deleteLater();
    });
}

void CPTabWidget::delPage(int index)
{
    if (index < 0 || index >= count()) {
        qCWarning(lcPageLayout, "del page error,index out of range:del index->%d and total count is %d", index,
                  count());
        return;
    }
    if (!askConfirmation(this, QStringLiteral("删除"), QStringLiteral("确定要删除当前页?")))
        return;
    QWidget *page = widget(index);
    removeTab(index);
    page->deleteLater();
}

void CPTabWidget::setEditModel(bool editModel)
{
    if (editModel == m_editModel)
        return;
    m_editModel = editModel;
    applyEditModel();
    emit editableChanged();
    for (int i = 0; i < count(); ++i)
        widget(i)->setProperty("editModel", m_editModel);
}

void CPTabWidget::applyEditModel()
{
    setTabsClosable(m_editModel);
    m_addPageAction->setVisible(m_editModel);
    m_addSplitterAction->setVisible(m_editModel);
}

void CPTabWidget::save(QVariantMap &map)
{
    QVariantList pages;
    for (int i = 0; i < count(); ++i) {
        QWidget *page = widget(i);
        QVariantMap object;
        object.insert(QStringLiteral("ctype"), QString::fromLatin1(page->metaObject()->className()));
        object.insert(QStringLiteral("tabText"), tabText(i));
        if (auto *memory = qobject_cast<IWKMemory *>(page))
            memory->save(object);
        pages.append(object);
    }
    map.insert(QStringLiteral("currentIndex"), currentIndex());
    map.insert(QStringLiteral("title"), windowTitle());
    map.insert(QStringLiteral("pages"), pages);
    map.insert(QStringLiteral("showSetting"), m_showSetting);
}

void CPTabWidget::restore(const QVariantMap &map)
{
    const QVariantList pages = map.value(QStringLiteral("pages")).toList();
    if (!pages.isEmpty()) {
        while (count() > 0) {
            QWidget *page = widget(0);
            removeTab(0);
            page->deleteLater();
        }
        for (int i = 0; i < pages.size(); ++i) {
            const QVariantMap object = pages.at(i).toMap();
            const QString ctype = object.value(QStringLiteral("ctype")).toString();
            QWidget *page = nullptr;
            if (ctype == QLatin1String(kSplitItemClass)) {
                auto *item = new CPSplitItem(this);
                item->setEditModel(m_editModel);
                page = item;
            } else if (ctype == QLatin1String(kSplitViewClass)) {
                auto *view = new CPSplitView(this);
                view->setEditModel(m_editModel);
                page = view;
            }
            const QString tabText = object.value(QStringLiteral("tabText")).toString();
            if (page) {
                const int index = addTab(page, kNoTitle);
                qobject_cast<IWKMemory *>(page)->restore(object);
                setTabText(index, tabText);
            } else if (i < count()) {
                setTabText(i, tabText);
            }
        }
        setCurrentIndex(map.value(QStringLiteral("currentIndex")).toInt());
    }
    setWindowTitle(map.value(QStringLiteral("title")).toString());
    m_showSetting = map.value(QStringLiteral("showSetting")).toBool();
    {
        const QSignalBlocker blocker(m_userSettingAction);
        m_userSettingAction->setChecked(m_showSetting);
    }
    if (m_settingBtn)
        m_settingBtn->setVisible(m_showSetting);
    update();
}

void CPTabWidget::paintEvent(QPaintEvent *event)
{
    if (count() == 0) {
        QPainter painter(this);
        QRect r = contentsRect();
        r.setTop(int(std::floor(height() * 0.5)));
        QFont font = painter.font();
        font.setPixelSize(24);
        painter.setFont(font);
        painter.setPen(QColor(179, 179, 179, 120));
        painter.drawText(r, Qt::AlignCenter, QStringLiteral("请点击设置添加标签页"));
    }
    QTabWidget::paintEvent(event);
}

} // namespace HXCPControls

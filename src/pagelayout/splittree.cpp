#include "splittree.h"

#include "cpsplititem.h"
#include "cpsplitter.h"
#include "cpsplitview.h"

#include <QTabWidget>

namespace HXCPControls {
namespace SplitTree {

QList<int> equalSizes(int count, int width, int handleWidth, int pendingWidth)
{
    if (count <= 0)
        return {};
    if (count == 2 && pendingWidth >= 1)
        width = pendingWidth;
    const int each = (width - handleWidth * (count - 1)) / count;
    return QVector<int>(count, each).toList();
}

QList<int> sizesAfterSplit(const QList<int> &sizes, int index, bool newFirst)
{
    if (index < 0 || index >= sizes.size())
        return sizes;
    QList<int> result = sizes;
    const int own = result.at(index);
    result[index] = own / 2;
    result.insert(newFirst ? index : index + 1, own - own / 2);
    return result;
}

QList<int> sizesAfterDelete(const QList<int> &sizes, int index)
{
    const int n = sizes.size();
    if (n <= 2 || index < 0 || index >= n)
        return {};
    QList<int> result = sizes;
    const int removed = result.takeAt(index);
    result[index == n - 1 ? index - 1 : index] += removed;
    return result;
}

namespace {

QString describe(const QWidget *w)
{
    return QStringLiteral("%1(%2)").arg(QString::fromLatin1(w->metaObject()->className()))
        .arg(reinterpret_cast<quintptr>(w), 0, 16);
}

void checkView(const CPSplitView *view, QStringList &out);

void checkItem(const CPSplitItem *item, QStringList &out)
{
    if (!item->splitView() || item->splitView() != CPSplitView::ancestorOf(item->parentWidget()))
        out << describe(item) + QStringLiteral(" does not know its split view");
    if (!item->zhpObj())
        out << describe(item) + QStringLiteral(" has no zhpObj");
    // A tab container's pages are items and whole views of their own.
    if (auto *tabs = qobject_cast<const QTabWidget *>(item->content())) {
        for (int i = 0; i < tabs->count(); ++i) {
            if (auto *page = qobject_cast<const CPSplitItem *>(tabs->widget(i)))
                checkItem(page, out);
            else if (auto *nested = qobject_cast<const CPSplitView *>(tabs->widget(i)))
                checkView(nested, out);
        }
    }
}

void checkNode(const QWidget *node, QStringList &out)
{
    if (auto *item = qobject_cast<const CPSplitItem *>(node)) {
        checkItem(item, out);
        return;
    }
    auto *splitter = qobject_cast<const CPSplitter *>(node);
    if (!splitter) {
        out << describe(node) + QStringLiteral(" is neither a splitter nor an item");
        return;
    }
    if (splitter->count() < 2)
        out << describe(splitter) + QStringLiteral(" has %1 children").arg(splitter->count());
    if (splitter->sizes().size() != splitter->count())
        out << describe(splitter)
                   + QStringLiteral(" has %1 sizes for %2 children").arg(splitter->sizes().size()).arg(splitter->count());
    for (int i = 0; i < splitter->count(); ++i)
        checkNode(splitter->widget(i), out);
}

void checkView(const CPSplitView *view, QStringList &out)
{
    if (!view->rootItem())
        out << describe(view) + QStringLiteral(" has no root");
    else
        checkNode(view->rootItem(), out);
}

} // namespace

QStringList problems(const CPSplitView *view)
{
    QStringList out;
    if (view)
        checkView(view, out);
    else
        out << QStringLiteral("no split view");
    return out;
}

} // namespace SplitTree
} // namespace HXCPControls

#pragma once

#include "settle.h"
#include "testcomponent.h"
#include "zhptest.h"

#include "pagelayout/cpsplititem.h"
#include "pagelayout/cpsplitter.h"
#include "pagelayout/cpsplitview.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

// Helpers of the page layout tests.
namespace PageTest {

// The set-up every page layout test case starts with.
inline void initCase()
{
    ZhpTest::failOnUnexpectedMessages();
    ZhpTest::isolateHostFolders();
    TestComponent::registerIn();
}

inline QVariantMap saved(IWKMemory *node)
{
    QVariantMap map;
    node->save(map);
    return map;
}

inline QVariantMap fromJson(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        qFatal("bad test JSON: %s", qPrintable(error.errorString()));
    return doc.object().toVariantMap();
}

// Restores `content` into `view`, shows it and waits until its items have applied it.
inline void showRestored(HXCPControls::CPSplitView &view, const QVariantMap &content, QSize size = QSize(400, 300))
{
    view.restore(content);
    view.resize(size);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    ZhpTest::settle(&view);
}

// The content without the "date" stamps that every save of a split view writes anew.
inline QVariant withoutDates(const QVariant &value)
{
    if (value.userType() == QMetaType::QVariantMap) {
        QVariantMap map = value.toMap();
        map.remove(QStringLiteral("date"));
        for (auto it = map.begin(); it != map.end(); ++it)
            it.value() = withoutDates(it.value());
        return map;
    }
    if (value.userType() == QMetaType::QVariantList) {
        QVariantList list = value.toList();
        for (QVariant &v : list)
            v = withoutDates(v);
        return list;
    }
    return value;
}

inline QVariantMap withoutDates(const QVariantMap &map)
{
    return withoutDates(QVariant(map)).toMap();
}

} // namespace PageTest

// The library's page content reader: any text given to a custom page as its
// content is laid out (splitters, split items, tabs) and handed back by
// getContent() without a crash; content that reads back is stable.

#include "pagelayout/cpcustompage.h"

#include <QApplication>
#include <QJsonDocument>
#include <QLoggingCategory>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_pagecontent";
    static char *argv[] = {name, nullptr};
    // Kept to the end of the process: destroyed among the other statics at
    // exit, it would outlive the state it cleans up.
    new QApplication(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\n*.info=false\n*.warning=false"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));
    QVariantMap first;
    {
        HXCPControls::CPCustomPage page;
        page.loadDataByContent(text);
        first = page.getContent();
    }
    // What the reader made of it reads back the same (but for the time of saving).
    HXCPControls::CPCustomPage again;
    again.loadDataByMap(first);
    QVariantMap back = again.getContent();
    back.insert(QStringLiteral("date"), first.value(QStringLiteral("date")));
    const QJsonDocument second = QJsonDocument::fromVariant(back);
    if (second != QJsonDocument::fromVariant(first)) {
        std::fprintf(stderr, "content changed on its way back:\n%s\n%s\n", QJsonDocument::fromVariant(first).toJson(QJsonDocument::Compact).constData(),
                     second.toJson(QJsonDocument::Compact).constData());
        std::abort();
    }
    QCoreApplication::processEvents();
    return 0;
}

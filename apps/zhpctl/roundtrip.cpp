#include "roundtrip.h"

#include "apphost.h"
#include "pagelayout/cpcustompage.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <cstdio>

using HXCPControls::CPCustomPage;

static int usage()
{
    std::fputs("usage: zhpctl roundtrip [--show WIDTHxHEIGHT] FILE|-\n", stderr);
    return 2;
}

// Loads page content as a page does and prints the page's content as compact JSON.
int runRoundtrip(const QStringList &args)
{
    QSize showSize;
    QString file;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--show") && i + 1 < args.size()) {
            const auto m = QRegularExpression(QStringLiteral("^(\\d+)x(\\d+)$")).match(args[++i]);
            if (!m.hasMatch() || m.captured(1).toInt() < 1 || m.captured(2).toInt() < 1) {
                std::fprintf(stderr, "zhpctl: bad size %s, expected WIDTHxHEIGHT\n", qPrintable(args[i]));
                return 2;
            }
            showSize = QSize(m.captured(1).toInt(), m.captured(2).toInt());
        } else if (file.isEmpty()) {
            file = args[i];
        } else {
            return usage();
        }
    }
    if (file.isEmpty())
        return usage();

    QByteArray text;
    QString error;
    if (!AppHost::readInput(file, &text, &error)) {
        std::fprintf(stderr, "zhpctl: %s\n", qPrintable(error));
        return 2;
    }
    CPCustomPage page(nullptr, true);
    page.loadDataByContent(QString::fromUtf8(text));
    error = text.trimmed().isEmpty() ? QStringLiteral("an object was expected") : page.loadError();
    if (showSize.isValid()) {
        AppHost::dismissMessageBoxes(&page);
        page.resize(showSize);
        page.show();
        if (!AppHost::waitUntilSettled(&page))
            std::fputs("zhpctl: the page did not settle in time\n", stderr);
    }

    // What the event loop would have delivered meanwhile, before the page goes.
    QCoreApplication::sendPostedEvents();
    const QByteArray out = QJsonDocument(QJsonObject::fromVariantMap(page.getContent())).toJson(QJsonDocument::Compact);
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);

    if (!error.isEmpty()) {
        std::fprintf(stderr, "zhpctl: %s: %s\n", qPrintable(file), qPrintable(error));
        return 3;
    }
    return 0;
}

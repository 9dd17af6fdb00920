// zhpctl: headless tools over the page library.
#include "apphost.h"
#include "makedata.h"
#include "option.h"
#include "roundtrip.h"

#include <QApplication>

#include <cstdio>

// The usage text: on standard output for --help (exit 0), on standard error
// for a wrong command line (exit 2). Options in brackets are optional.
static int usage(bool asked = false)
{
    std::fputs("usage: zhpctl COMMAND [ARGS]\n"
               "commands:\n"
               "  roundtrip [--show WIDTHxHEIGHT] FILE|-   load page content and print it back as compact JSON\n"
               "  option --type T --cfg CFG.json --dataset DATASET.json [--full CLASS,...]\n"
               "                                           print the chart option built for a dataset\n"
               "  makedata --query-type Q --records RECORDS.json --dimensions DIMS.json [--cal CAL.json] [--ids ID,...]\n"
               "  makedata --records RECORDS.json --ids ID --season-frequency F --season-query QUERY.json\n"
               "           [--dimensions DIMS.json]\n"
               "                                           print the chart dataset made of value rows\n"
               "  --help                                   print this text\n",
               asked ? stdout : stderr);
    return asked ? 0 : 2;
}

int main(int argc, char **argv)
{
    // Headless: nothing is ever shown on a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    AppHost::prepareWebEngine(true);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zhpctl"));
    AppHost::registerComponents();

    QStringList args = QApplication::arguments().mid(1);
    if (args.isEmpty())
        return usage();
    const QString command = args.takeFirst();
    if (command == QLatin1String("--help") || command == QLatin1String("-h") || command == QLatin1String("help"))
        return usage(true);
    if (command == QLatin1String("roundtrip"))
        return runRoundtrip(args);
    if (command == QLatin1String("option"))
        return runOption(args);
    if (command == QLatin1String("makedata"))
        return runMakeData(args);
    return usage();
}

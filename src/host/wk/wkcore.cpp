#include "wkcore.h"

#include "iwkinterface.h"
#include "wkcfg.h"
#include "wkinifile.h"
#include "zhphostlog.h"

#include <QFile>
#include <QRegularExpression>
#include <QWidget>


bool splitConfigKey(const QString &key, QString *file, QString *settingsKey)
{
    const int colon = key.indexOf(QLatin1Char(':'));
    if (colon <= 0)
        return false;
    *file = key.left(colon);
    *settingsKey = key.mid(colon + 1);
    return !settingsKey->isEmpty();
}

WKCore::WKCore()
    : m_skinId(QStringLiteral("default"))
{
}

WKCore *WKCore::instance()
{
    static WKCore *core = new WKCore; // lives as long as the process; widgets may outlive main()
    return core;
}

void WKCore::addStyle2View(IWKSkin *skin, const QString &styleFile)
{
    if (!skin || !skin->widget()) {
        qCWarning(lcHost) << "addStyle2View: no widget for" << styleFile;
        return;
    }
    QWidget *w = skin->widget();
    m_views.append({w, skin, styleFile});
    connect(w, &QObject::destroyed, this, [this](QObject *gone) {
        m_views.erase(std::remove_if(m_views.begin(), m_views.end(),
                                     [gone](const StyledView &v) { return v.widget.isNull() || v.widget == gone; }),
                      m_views.end());
    });
    apply(skin, styleFile);
}

QString WKCore::getCurrentSkinId() const
{
    return m_skinId;
}

void WKCore::setCurrentSkinId(const QString &skinId)
{
    if (skinId == m_skinId)
        return;
    m_skinId = skinId;
    m_styleCache.clear();
    const auto views = m_views;
    for (const StyledView &v : views) {
        if (!v.widget.isNull())
            apply(v.skin, v.styleFile);
    }
    emit skinChanged(m_skinId);
}

QString WKCore::styleSheet(const QString &styleFile)
{
    QStringList including;
    return styleSheet(styleFile, including);
}

// A line `@import "controls/dialog.css";` stands for the text of that file of
// the same skin, so that sheets share rules; style sheets themselves know no imports.
QString WKCore::styleSheet(const QString &styleFile, QStringList &including)
{
    auto it = m_styleCache.constFind(styleFile);
    if (it != m_styleCache.constEnd())
        return *it;
    if (including.contains(styleFile)) {
        qCWarning(lcHost) << "style sheet imports itself:" << including.join(QStringLiteral(" -> ")) << styleFile;
        return QString();
    }
    const QString path = WKCfg::instance()->stdPath(QStringLiteral("wkskin")) + QLatin1Char('/') + m_skinId
                         + QLatin1Char('/') + styleFile;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        qCInfo(lcHost) << "no style sheet" << path;
        m_styleCache.insert(styleFile, QString());
        return QString();
    }
    including.append(styleFile);
    static const QRegularExpression importLine(QStringLiteral("^\\s*@import\\s+\"([^\"]+)\"\\s*;\\s*$"));
    QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    for (QString &line : lines) {
        const QRegularExpressionMatch m = importLine.match(line);
        if (m.hasMatch())
            line = styleSheet(m.captured(1), including);
    }
    including.removeLast();
    const QString text = lines.join(QLatin1Char('\n'));
    m_styleCache.insert(styleFile, text);
    return text;
}

void WKCore::apply(IWKSkin *skin, const QString &styleFile)
{
    const QString text = styleSheet(styleFile);
    if (!text.isEmpty())
        skin->loadSkin(QVariant(text));
}

QVariant WKCore::value(const QString &key, const QVariant &defaultValue) const
{
    auto it = m_values.constFind(key);
    if (it != m_values.constEnd())
        return *it;
    QString file, settingsKey;
    if (!splitConfigKey(key, &file, &settingsKey))
        return defaultValue;
    const QString text = WKIniFile::rawValue(WKCfg::instance()->stdPath(QStringLiteral("wkconfig"), file), settingsKey);
    return text.isNull() ? defaultValue : QVariant(text);
}

void WKCore::setValue(const QString &key, const QVariant &value)
{
    m_values.insert(key, value);
}

void WKCore::clearValues()
{
    m_values.clear();
}

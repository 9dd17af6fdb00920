#pragma once

#include "zhphost_global.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QVariant>
#include <QVector>

class IWKSkin;
class QWidget;

// The host core: skins and configuration values.
//
// Style sheets: a widget registers a style sheet file of the skin with
// addStyle2View(); the core hands it the file's text at once and again on
// every change of skin. Files are "<skins root>/<skin id>/<file>".
//
// Configuration values are addressed as "<file>.ini:<group>/<key>", for
// example "servercfg.ini:FunctionMenu/menuIconHost", and read from that INI
// file in the configuration folder; setValue() overrides a value in memory.
class ZHPHOST_EXPORT WKCore : public QObject
{
    Q_OBJECT
public:
    static WKCore *instance();

    void addStyle2View(IWKSkin *skin, const QString &styleFile);

    QString getCurrentSkinId() const;
    void setCurrentSkinId(const QString &skinId);

    // The text of a style sheet file of the current skin, its `@import "file";`
    // lines replaced by the files they name; empty when it does not exist.
    QString styleSheet(const QString &styleFile);

    QVariant value(const QString &key, const QVariant &defaultValue = QVariant()) const;
    void setValue(const QString &key, const QVariant &value);
    void clearValues();

signals:
    void skinChanged(const QString &skinId);

private:
    WKCore();
    void apply(IWKSkin *skin, const QString &styleFile);
    QString styleSheet(const QString &styleFile, QStringList &including);

    struct StyledView {
        QPointer<QWidget> widget;
        IWKSkin *skin;
        QString styleFile;
    };
    QVector<StyledView> m_views;
    QHash<QString, QString> m_styleCache;
    QHash<QString, QVariant> m_values;
    QString m_skinId;
};

// Splits a configuration key "<file>:<settings key>"; false when there is no file part.
ZHPHOST_EXPORT bool splitConfigKey(const QString &key, QString *file, QString *settingsKey);

#pragma once

#include "common/hxcpcontrols_global.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

namespace HXCPControls {

// Where an index table's data come from: the catalogue and index objects
// that its settings offer, the object of its rows and the columns that play a
// part of their own. Copied into the view, the settings form and the selector.
struct HXCPCONTROLS_EXPORT CPIndexDataConfig
{
    CPIndexDataConfig();

    // (field name, caption) of the selector's candidate and selected tables.
    QList<QPair<QString, QString>> columns;
    QString catCodeField;
    QString parentCatField;
    QString catNameField;
    QString sortField;       // the catalogue tree keeps the datasource order when empty
    QString hasIndexField;
    QString indexNameField;
    QString indexIdField;
    QString dataObjName;
    QString catalogObjName;
    QString indexObjName;
    QVariant rootNode;
    QString nameColumn;      // the table column shown as a clickable name
    QString rowIdColumn;     // the table column that identifies a row's index
    int sourceCode = 1;

    // The seven field names in the order the index selector takes them.
    QStringList fieldNames() const;
};

} // namespace HXCPControls

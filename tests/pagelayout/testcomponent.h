#pragma once

#include "wk/iwkinterface.h"
#include "wk/wkfactory.h"

#include <QLabel>

// A component with state, for tests: it keeps what it was restored with and
// saves it back with one key of its own.
class TestComponent : public QLabel, public IWKMemory
{
    Q_OBJECT
    Q_INTERFACES(IWKMemory)
public:
    using QLabel::QLabel;

    void save(QVariantMap &map) override
    {
        map = state;
        map.insert("saved", true);
    }
    void restore(const QVariantMap &map) override { state = map; }

    QVariantMap state;

    static void registerIn()
    {
        WKFactory<QWidget>::constructors().insert("TestComponent", [](QWidget *parent) -> QWidget * { return new TestComponent(parent); });
        WKFactory<QWidget>::constructors().insert("TitledComponent", [](QWidget *parent) -> QWidget * {
            auto *label = new QLabel(parent);
            label->setWindowTitle("带标题组件");
            return label;
        });
    }
};

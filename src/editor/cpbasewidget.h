#pragma once

#include "common/hxcpcontrols_global.h"
#include "wk/iwkinterface.h"

#include <QWidget>

namespace HXCPControls {

// Base of every settings form shown in a dialog. It takes its look from a
// style sheet file of the current skin and offers one validation hook that
// the dialog asks before it accepts.
class HXCPCONTROLS_EXPORT CPBaseWidget : public QWidget, public IWKSkin, public IWKAbstractPage
{
    Q_OBJECT
    Q_INTERFACES(IWKSkin IWKAbstractPage)
public:
    // The form starts without a parent whatever `parent` says: the layout or
    // dialog it is placed in becomes its parent.
    explicit CPBaseWidget(QWidget *parent = nullptr, bool embedded = false,
                          const QString &styleSheetFile = QString());
    ~CPBaseWidget() override;

    // The message to show when the user confirms the form; empty when the input is acceptable.
    virtual QString validateInput();

    QString styleSheetFile() const { return m_styleSheetFile; }

    void loadSkin(const QVariant &skin) override;
    QWidget *widget() override { return this; }

private:
    QString m_styleSheetFile;
};

} // namespace HXCPControls

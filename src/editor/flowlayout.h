#pragma once

#include "common/hxcpcontrols_global.h"

#include <QLayout>
#include <QList>
#include <QStyle>

namespace HXCPControls {

// Places its items left to right at their size hints and wraps them into
// rows when the next item would pass the right edge. Its height depends on
// its width, so it works inside layouts that honour heightForWidth.
class HXCPCONTROLS_EXPORT FlowLayout : public QLayout
{
public:
    // A negative margin keeps the default contents margins; a negative
    // spacing lets the parent or the style decide.
    explicit FlowLayout(QWidget *parent = nullptr, int margin = -1, int hSpacing = -1, int vSpacing = -1);
    ~FlowLayout() override;

    int horizontalSpacing() const;
    int verticalSpacing() const;

    void addItem(QLayoutItem *item) override;
    int count() const override;
    QLayoutItem *itemAt(int index) const override;
    QLayoutItem *takeAt(int index) override;
    void setGeometry(const QRect &rect) override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;

private:
    // Lays the items out in `rect` (or only measures) and returns the height used.
    int doLayout(const QRect &rect, bool measureOnly) const;
    int smartSpacing(QStyle::PixelMetric metric) const;

    QList<QLayoutItem *> m_items;
    int m_hSpace;
    int m_vSpace;
};

} // namespace HXCPControls

#pragma once

#include <QWidget>

/// A side-panel row that is never shown as selected.
class MRKOTableRowView final : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;
    [[nodiscard]] bool isEmphasized() const { return false; }
};

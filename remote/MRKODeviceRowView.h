#pragma once

#include <QStyledItemDelegate>

/// Draws a device row whose selection never looks emphasised: a selected row keeps the plain selection colour
/// even while its table has the focus.
class MRKODeviceRowView final : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit MRKODeviceRowView(QObject *parent = nullptr);

    [[nodiscard]] bool isEmphasized() const { return false; }
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};

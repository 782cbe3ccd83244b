#include "remote/MRKODeviceRowView.h"

MRKODeviceRowView::MRKODeviceRowView(QObject *parent) : QStyledItemDelegate(parent) {}

void MRKODeviceRowView::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    // Styles draw the selection of an inactive view in the plain colour.
    option->state &= ~(QStyle::State_Active | QStyle::State_HasFocus);
}

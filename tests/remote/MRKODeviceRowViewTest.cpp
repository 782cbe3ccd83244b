#include "remote/MRKODeviceRowView.h"

#include <QStandardItemModel>
#include <QStyleOptionViewItem>

#include <gtest/gtest.h>

namespace {

TEST(MRKODeviceRowViewTest, SelectedRowOfAFocusedTableIsNotEmphasised)
{
    QStandardItemModel model(1, 1);
    model.setItem(0, 0, new QStandardItem(QStringLiteral("Phone")));
    MRKODeviceRowView row;
    QStyleOptionViewItem option;
    option.state = QStyle::State_Enabled | QStyle::State_Selected | QStyle::State_Active | QStyle::State_HasFocus;

    row.initStyleOption(&option, model.index(0, 0));

    EXPECT_FALSE(row.isEmphasized());
    EXPECT_TRUE(option.state & QStyle::State_Selected);
    EXPECT_FALSE(option.state & QStyle::State_Active);
    EXPECT_FALSE(option.state & QStyle::State_HasFocus);
    EXPECT_EQ(option.text, QStringLiteral("Phone"));
}

} // namespace

#include "platform/forms/listview.h"

#include "platform/forms/pace.h"

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

// The player's mouse on the list's rows: a press, or the press and double click of a double click.
void mouse(QTreeWidget* view, int row, QEvent::Type type)
{
    const QPoint at = view->visualItemRect(view->topLevelItem(row - 1)).center();
    QMouseEvent event(type, at, view->viewport()->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &event);
}

TEST(ListViewTest, RowsKeepTheirColumnsAndADoubleClickSelectsItsRowFirst)
{
    QWidget window;
    vb::ListView list(&window);
    list.Move(0, 0, 4095, 2310);
    list.AddColumn("Jogador", 1440);
    list.AddColumn("IP", 2000);
    window.show();
    auto* view = list.findChild<QTreeWidget*>();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->columnWidth(0), 96);
    EXPECT_EQ(view->headerItem()->text(1), "IP");

    EXPECT_EQ(list.AddItem("Ana"), 1);
    EXPECT_EQ(list.AddItem("Bia"), 2);
    list.SetSubItem(2, 1, "10.0.0.2");
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Text(2), "Bia");
    EXPECT_EQ(list.SubItem(2, 1), "10.0.0.2");
    EXPECT_EQ(list.SubItem(1, 1), "");
    EXPECT_EQ(list.SelectedIndex(), 0) << "nothing is selected until the player picks a row";
    vb::DoEvents();

    int selectedAtDblClick = -1;
    list.DblClick = [&] { selectedAtDblClick = list.SelectedIndex(); };
    mouse(view, 2, QEvent::MouseButtonPress);
    mouse(view, 2, QEvent::MouseButtonRelease);
    EXPECT_EQ(list.SelectedIndex(), 2);
    EXPECT_EQ(selectedAtDblClick, -1) << "a single click is no double click";
    mouse(view, 1, QEvent::MouseButtonPress);
    mouse(view, 1, QEvent::MouseButtonDblClick);
    EXPECT_EQ(selectedAtDblClick, 1);

    list.Select(0);
    EXPECT_EQ(list.SelectedIndex(), 0);
}

} // namespace

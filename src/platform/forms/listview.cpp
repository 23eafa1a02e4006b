#include "platform/forms/listview.h"

#include "platform/forms/handlers.h"
#include "platform/forms/twips.h"

#include <QEvent>
#include <QHeaderView>
#include <QTreeWidget>

namespace vb {

ListView::ListView(QWidget* container) : Control(container), view_(new QTreeWidget(this))
{
    view_->setRootIsDecorated(false);
    view_->setUniformRowHeights(true);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setIconSize(QSize(16, 16));
    view_->setColumnCount(0);
    view_->header()->setStretchLastSection(false);
    view_->viewport()->installEventFilter(this);
}

void ListView::AddColumn(const QString& text, int width)
{
    const int column = view_->columnCount();
    view_->setColumnCount(column + 1);
    view_->headerItem()->setText(column, text);
    view_->setColumnWidth(column, ToPixels(width));
}

int ListView::AddItem(const QString& text, const vb::Picture& smallIcon)
{
    auto* item = new QTreeWidgetItem(view_);
    item->setText(0, text);
    if (smallIcon)
        item->setIcon(0, QIcon(*smallIcon));
    return view_->topLevelItemCount();
}

void ListView::SetSubItem(int index, int column, const QString& text)
{
    if (QTreeWidgetItem* item = view_->topLevelItem(index - 1))
        item->setText(column, text);
}

int ListView::Count() const
{
    return view_->topLevelItemCount();
}

QString ListView::Text(int index) const
{
    const QTreeWidgetItem* item = view_->topLevelItem(index - 1);
    return item ? item->text(0) : QString();
}

QString ListView::SubItem(int index, int column) const
{
    const QTreeWidgetItem* item = view_->topLevelItem(index - 1);
    return item ? item->text(column) : QString();
}

int ListView::SelectedIndex() const
{
    const QList<QTreeWidgetItem*> selected = view_->selectedItems();
    return selected.isEmpty() ? 0 : view_->indexOfTopLevelItem(selected.front()) + 1;
}

void ListView::Select(int index)
{
    view_->clearSelection();
    if (QTreeWidgetItem* item = view_->topLevelItem(index - 1)) {
        item->setSelected(true);
        view_->setCurrentItem(item);
    }
}

void ListView::DoubleClick(int index)
{
    if (index > 0)
        Select(index);
    raiseDblClick();
}

void ListView::raiseDblClick()
{
    if (DblClick)
        RunHandler(DblClick);
}

// The first press of a double click has already selected the row under it.
bool ListView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == view_->viewport() && event->type() == QEvent::MouseButtonDblClick)
        raiseDblClick();
    return Control::eventFilter(watched, event);
}

void ListView::resizeEvent(QResizeEvent* event)
{
    view_->setGeometry(rect());
    Control::resizeEvent(event);
}

} // namespace vb

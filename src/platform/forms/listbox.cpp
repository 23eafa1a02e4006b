#include "platform/forms/listbox.h"

#include <QListWidget>

namespace vb {

ListBox::ListBox(QWidget* container) : Control(container), list_(new QListWidget(this))
{
    QPalette palette = list_->palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    list_->setPalette(palette);
    setFocusProxy(list_);
}

void ListBox::AddItem(const QString& item)
{
    list_->addItem(item);
}

void ListBox::Clear()
{
    list_->clear();
}

int ListBox::ListCount() const
{
    return list_->count();
}

QString ListBox::List(int index) const
{
    const QListWidgetItem* item = list_->item(index);
    return item ? item->text() : QString();
}

void ListBox::resizeEvent(QResizeEvent* event)
{
    list_->setGeometry(rect());
    Control::resizeEvent(event);
}

} // namespace vb

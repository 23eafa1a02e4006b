#pragma once
// A list box: one line of text per item, in the order they were added.
#include "platform/forms/control.h"

class QListWidget;

namespace vb {

class ListBox : public Control {
    Q_OBJECT

public:
    explicit ListBox(QWidget* container);

    void AddItem(const QString& item);
    void Clear();
    int ListCount() const;
    QString List(int index) const; // from 0

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QListWidget* list_;
};

} // namespace vb

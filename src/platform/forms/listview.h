#pragma once
// A list view in report view: columns with header texts and widths, rows with
// a text, a small icon and sub-items for the further columns, one selected row
// at a time. DblClick follows a double click inside the list.
#include "platform/forms/control.h"
#include "platform/forms/picture.h"

class QTreeWidget;

namespace vb {

class ListView : public Control {
    Q_OBJECT

public:
    explicit ListView(QWidget* container);

    // A column with its header text and width in twips.
    void AddColumn(const QString& text, int width);
    // Adds a row at the end with its text (the first column) and small icon;
    // returns its index, counted from 1.
    int AddItem(const QString& text, const vb::Picture& smallIcon = {});
    // Column 1 is the second column.
    void SetSubItem(int index, int column, const QString& text);

    int Count() const;
    QString Text(int index) const;
    QString SubItem(int index, int column) const;

    // The selected row, 0 for none.
    int SelectedIndex() const;
    void Select(int index);

    // The player's double click on a row (0: on no row); tests act as the player with it.
    void DoubleClick(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void raiseDblClick();

    QTreeWidget* view_;
};

} // namespace vb

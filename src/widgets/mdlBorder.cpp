#include "widgets/mdlBorder.h"

#include "platform/forms/handlers.h"

#include <QApplication>
#include <QEventLoop>
#include <QMouseEvent>
#include <QWindow>

namespace {

// Follows the pointer with the window until the left button is released.
class ManualDrag : public QObject {
public:
    ManualDrag(vb::Form& form, QPoint grab) : form_(form), offset_(grab - form.frameGeometry().topLeft()) {}

    void run()
    {
        if (!(QApplication::mouseButtons() & Qt::LeftButton))
            return;
        qApp->installEventFilter(this);
        loop_.exec();
        qApp->removeEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::MouseMove) {
            form_.move(static_cast<QMouseEvent*>(event)->globalPosition().toPoint() - offset_);
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            loop_.quit();
            return true;
        }
        return false;
    }

private:
    vb::Form& form_;
    QPoint offset_;
    QEventLoop loop_;
};

} // namespace

void DragForm(vb::Form& form)
{
    form.SetMousePointer(vb::MousePointer::SizeAll);
    QWindow* window = form.windowHandle();
    if (!window || !window->startSystemMove()) {
        vb::HandlerScope scope;
        ManualDrag(form, QCursor::pos()).run();
    }
    form.SetMousePointer(vb::MousePointer::Default);
}

void TrimFormToClient(vb::Form& form)
{
    const bool shown = form.isVisible();
    const QPoint client = form.mapToGlobal(QPoint(0, 0));
    form.setWindowFlag(Qt::FramelessWindowHint, true);
    if (shown) {
        form.QWidget::setVisible(true);
        form.move(form.pos() + client - form.mapToGlobal(QPoint(0, 0)));
    }
}

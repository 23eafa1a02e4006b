#include "platform/forms/msgbox.h"

#include "platform/instance.h"
#include "platform/forms/form.h"
#include "platform/forms/handlers.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

#include <cstdint>
#include <vector>

namespace vb {
namespace {

MsgBoxResponder& responder()
{
    static MsgBoxResponder current;
    return current;
}

// Counts the calls of CloseMsgBoxes; a box opened before the last one is closed.
std::uint64_t closings = 0;
std::vector<QPointer<QMessageBox>> openBoxes;

void run(QMessageBox& box)
{
    openBoxes.emplace_back(&box);
    box.exec();
    std::erase(openBoxes, QPointer<QMessageBox>(&box));
}

QMessageBox::Icon iconOf(int style)
{
    switch (style & 0x70) {
    case vbCritical:
        return QMessageBox::Critical;
    case vbQuestion:
        return QMessageBox::Question;
    case vbExclamation:
        return QMessageBox::Warning;
    case vbInformation:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// The window that asks: the active one, else the foremost form. The box is its
// own, so the window manager keeps it above that window.
QWidget* owner()
{
    if (QWidget* active = QApplication::activeWindow())
        return active;
    return ForemostForm();
}

int showBox(const MsgBoxRequest& request)
{
    QMessageBox box(iconOf(request.style), request.title, request.prompt, QMessageBox::NoButton, owner());
    box.setWindowModality(Qt::ApplicationModal);
    if ((request.style & 0x0F) == vbYesNo) {
        QPushButton* yes = box.addButton(QString::fromUtf8("Sim"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QString::fromUtf8("Não"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(no);
        run(box);
        return box.clickedButton() == yes ? vbYes : vbNo;
    }
    QPushButton* ok = box.addButton(QString::fromUtf8("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    run(box);
    return vbOK;
}

} // namespace

int MsgBox(const QString& prompt, int style, const QString& title)
{
    const MsgBoxRequest request{prompt, style, title.isEmpty() ? instance::Title() : title,
                                [opened = closings] { return closings != opened; }};
    if (responder())
        return responder()(request);
    HandlerScope scope; // the box's loop runs handlers; nothing under it may go
    return showBox(request);
}

void CloseMsgBoxes()
{
    ++closings;
    for (const QPointer<QMessageBox>& box : std::vector(openBoxes))
        if (box)
            box->close();
}

MsgBoxResponder SetMsgBoxResponder(MsgBoxResponder next)
{
    return std::exchange(responder(), std::move(next));
}

void Beep()
{
    QApplication::beep();
}

} // namespace vb

#include "platform/forms/form.h"

#include "platform/forms/handlers.h"
#include "platform/forms/twips.h"
#include "platform/instance.h"
#include "platform/placement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>
#include <algorithm>

namespace vb {
namespace {

// Forms in the order they were last shown; the last visible one is foremost.
std::vector<Form*>& shownForms()
{
    static std::vector<Form*> forms;
    return forms;
}

void forgetShown(Form* form)
{
    auto& forms = shownForms();
    forms.erase(std::remove(forms.begin(), forms.end(), form), forms.end());
}

} // namespace

Form::Form()
    : QWidget(nullptr, Qt::Window),
      Caption([this] { return caption_; },
              [this](const QString& c) {
                  caption_ = c;
                  showTitle();
              }),
      Left([this] { return ToTwips(frameGeometry().x()); },
           [this](const int& v) { move(ToPixels(v), frameGeometry().y()); }),
      Top([this] { return ToTwips(frameGeometry().y()); },
          [this](const int& v) { move(frameGeometry().x(), ToPixels(v)); }),
      Width([this] { return ToTwips(frameGeometry().width()); },
            [this](const int& v) { setFixedWidth(std::max(0, ToPixels(v) - frameExtra().width())); }),
      Height([this] { return ToTwips(frameGeometry().height()); },
             [this](const int& v) { setFixedHeight(std::max(0, ToPixels(v) - frameExtra().height())); }),
      ScaleWidth([this] { return ToTwips(width()); }, [this](const int& v) { setFixedWidth(ToPixels(v)); }),
      ScaleHeight([this] { return ToTwips(height()); }, [this](const int& v) { setFixedHeight(ToPixels(v)); }),
      WindowState([this] { return isMinimized() ? vbMinimized : isMaximized() ? vbMaximized : vbNormal; },
                  [this](const int& v) {
                      setWindowState(v == vbMinimized   ? Qt::WindowMinimized
                                     : v == vbMaximized ? Qt::WindowMaximized
                                                        : Qt::WindowNoState);
                  }),
      BackColor([this] { return backColor_; },
                [this](const QColor& c) {
                    backColor_ = c;
                    update();
                }),
      Picture([this] { return picture_; },
              [this](const vb::Picture& p) {
                  picture_ = p;
                  update();
              }),
      Visible([this] { return !isHidden(); }, [this](const bool& v) { v ? Show() : Hide(); })
{
    setMouseTracking(true);
    SetFont(Font{});
    showTitle();
}

Form::~Form()
{
    forgetShown(this);
}

void Form::showTitle()
{
    // A task switcher names a form without a caption (a borderless one) by the program's title.
    setWindowTitle(caption_.isEmpty() ? instance::Title() : caption_);
}

QSize Form::frameExtra() const
{
    return frameGeometry().size() - geometry().size();
}

void Form::SetFont(const Font& font)
{
    setFont(ToQFont(font));
}

void Form::SetBorderStyle(int style)
{
    switch (style) {
    case vbBSNone:
        setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
        break;
    case vbFixedToolWindow:
        setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
        break;
    default:
        setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
        break;
    }
}

void Form::SetMousePointer(MousePointer pointer)
{
    if (pointer == MousePointer::SizeAll)
        setCursor(Qt::SizeAllCursor);
    else
        unsetCursor();
}

void Form::load()
{
    loaded_ = true;
    RunHandler([this] { Form_Load(); });
}

void Form::placeOnFirstShow(Form* owner)
{
    if (placed_)
        return;
    placed_ = true;
    QRect area;
    if (StartUpPosition == vbStartUpOwner && owner && owner->isVisible())
        area = owner->frameGeometry();
    else if (StartUpPosition != vbStartUpManual && screen())
        area = screen()->availableGeometry();
    if (!area.isValid())
        return;
    // The screen under the owner's centre, or the form's own.
    const QScreen* on = QGuiApplication::screenAt(area.center());
    if (!on)
        on = screen();
    move(StartUpPlace(area, size(), on ? on->availableGeometry() : area));
}

void Form::Show(int modal, Form* owner)
{
    if (!loaded_)
        return;
    placeOnFirstShow(owner);
    if (owner) {
        winId();
        owner->winId();
        windowHandle()->setTransientParent(owner->windowHandle());
    }
    if (modal == vbModal && !isVisible())
        setWindowModality(Qt::ApplicationModal);
    QWidget::setVisible(true);
    raise();
    activateWindow();
    forgetShown(this);
    shownForms().push_back(this);
    RunHandler([this] { Form_Activate(); });
    if (modal != vbModal || !loaded_ || isHidden())
        return;

    // The form stays alive while its loop runs: this frame counts as a handler.
    HandlerScope scope;
    QEventLoop loop;
    loops_.push_back(&loop);
    loop.exec();
    loops_.erase(std::remove(loops_.begin(), loops_.end(), &loop), loops_.end());
}

void Form::setVisible(bool visible)
{
    QWidget::setVisible(visible);
    if (!visible) {
        forgetShown(this);
        endModalLoops();
        if (windowModality() != Qt::NonModal)
            setWindowModality(Qt::NonModal);
    }
}

void Form::Hide()
{
    setVisible(false);
}

void Form::endModalLoops()
{
    for (QEventLoop* loop : loops_)
        loop->quit();
}

void Form::Unload(int mode)
{
    if (!loaded_ || unloading_)
        return;
    unloading_ = true;
    int cancel = 0;
    RunHandler([&] { Form_QueryUnload(cancel, mode); });
    if (!cancel)
        RunHandler([&] { Form_Unload(cancel); });
    unloading_ = false;
    if (cancel)
        return;
    loaded_ = false;
    Hide();
    forget();
    DestroyLater(this);
}

void Form::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), backColor_);
    if (picture_)
        painter.drawPixmap(0, 0, *picture_);
}

void Form::closeEvent(QCloseEvent* event)
{
    // The window's close box: the form decides in its unload handlers.
    event->ignore();
    Unload(vbFormControlMenu);
}

void Form::RaiseMouseMove(int button, int shift, float x, float y)
{
    RunHandler([&] { Form_MouseMove(button, shift, x, y); });
}

void Form::mousePressEvent(QMouseEvent* event)
{
    pressedButton_ = ButtonCode(event->button());
    const QPointF p = event->position();
    RunHandler([&] {
        Form_MouseDown(pressedButton_, ShiftCode(event->modifiers()), ToTwips(1) * p.x(), ToTwips(1) * p.y());
    });
}

void Form::mouseReleaseEvent(QMouseEvent* event)
{
    const int button = ButtonCode(event->button());
    const QPointF p = event->position();
    HandlerScope scope;
    RunHandler([&] { Form_MouseUp(button, ShiftCode(event->modifiers()), ToTwips(1) * p.x(), ToTwips(1) * p.y()); });
    if (button == vbLeftButton && pressedButton_ == vbLeftButton && rect().contains(p.toPoint()))
        RunHandler([this] { Form_Click(); });
    pressedButton_ = 0;
}

void Form::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF p = event->position();
    RaiseMouseMove(ButtonsCode(event->buttons()), ShiftCode(event->modifiers()), ToTwips(1) * p.x(),
                   ToTwips(1) * p.y());
}

Form* ForemostForm()
{
    if (auto* modal = qobject_cast<Form*>(QApplication::activeModalWidget()))
        return modal;
    const auto& forms = shownForms();
    for (auto it = forms.rbegin(); it != forms.rend(); ++it)
        if ((*it)->isVisible())
            return *it;
    return nullptr;
}

void ActivateForemostForm()
{
    Form* foremost = ForemostForm();
    if (!foremost)
        return;
    // The windows under a modal one come back with it, in the order they were shown.
    const std::vector<Form*> forms = shownForms();
    for (Form* form : forms) {
        if (form->isVisible() && form->isMinimized())
            form->setWindowState(form->windowState() & ~Qt::WindowMinimized);
    }
    foremost->raise();
    foremost->activateWindow();
}

} // namespace vb

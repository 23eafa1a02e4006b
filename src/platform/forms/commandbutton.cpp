#include "platform/forms/commandbutton.h"

#include <QKeySequence>
#include <QShortcutEvent>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace vb {

CommandButton::CommandButton(QWidget* container)
    : Control(container),
      Caption([this] { return caption_; },
              [this](const QString& c) {
                  caption_ = c;
                  if (shortcut_)
                      releaseShortcut(shortcut_);
                  const QKeySequence key = QKeySequence::mnemonic(c);
                  shortcut_ = key.isEmpty() ? 0 : grabShortcut(key);
                  update();
              })
{
    setFocusPolicy(Qt::StrongFocus);
}

void CommandButton::SetFont(const Font& font)
{
    setFont(ToQFont(font));
}

void CommandButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    option.initFrom(this);
    option.text = caption_;
    painter.drawControl(QStyle::CE_PushButton, option);
}

bool CommandButton::event(QEvent* e)
{
    if (e->type() == QEvent::Shortcut && static_cast<QShortcutEvent*>(e)->shortcutId() == shortcut_) {
        if (isEnabled())
            RaiseClick();
        return true;
    }
    return Control::event(e);
}

} // namespace vb

#include "platform/forms/frame.h"

#include <QPainter>

namespace vb {

namespace {

const QColor kFrameLine(0xD0, 0xD0, 0xBF);
const QColor kDisabledText(0x80, 0x80, 0x80);
constexpr int kCaptionIndent = 8; // pixels from the frame's left edge
constexpr int kCaptionGap = 2;    // pixels of border left out each side of the caption

template <class T>
std::function<void(const T&)> updating(QWidget* control, T& field)
{
    return [control, &field](const T& value) {
        field = value;
        control->update();
    };
}

} // namespace

Frame::Frame(QWidget* container)
    : Control(container),
      Caption([this] { return caption_; }, updating(this, caption_)),
      ForeColor([this] { return foreColor_; }, updating(this, foreColor_)),
      BackColor([this] { return backColor_; }, updating(this, backColor_))
{
}

void Frame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), backColor_);
    const QFontMetrics metrics(font());
    const int lineY = metrics.height() / 2;
    painter.setPen(kFrameLine);
    painter.drawRoundedRect(QRectF(rect().adjusted(0, lineY, -1, -1)).translated(0.5, 0.5), 3, 3);
    if (caption_.isEmpty())
        return;
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic | Qt::TextSingleLine;
    QRect text = metrics.boundingRect(QRect(kCaptionIndent, 0, width(), metrics.height()), flags, caption_);
    painter.fillRect(text.adjusted(-kCaptionGap, 0, kCaptionGap, 0), backColor_);
    painter.setPen(isEnabled() ? foreColor_ : kDisabledText);
    painter.drawText(text, flags, caption_);
}

void SetContainer(Control& control, QWidget& container)
{
    const bool hidden = control.isHidden();
    control.setParent(&container);
    if (!hidden)
        control.show();
}

} // namespace vb

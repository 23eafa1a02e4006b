#include "platform/forms/label.h"

#include "platform/forms/twips.h"

#include <QEvent>
#include <QPainter>
#include <algorithm>

namespace vb {

namespace {
// A setter of something the look depends on, the shown box included.
template <class T>
std::function<void(const T&)> updating(Label* label, T& field)
{
    return [label, &field](const T& value) {
        field = value;
        label->Replace();
        label->update();
    };
}
} // namespace

Label::Label(QWidget* container)
    : Control(container),
      Caption([this] { return caption_; }, [this](const QString& c) {
                  caption_ = c;
                  fit();
                  Replace();
                  update();
              }),
      ForeColor([this] { return foreColor_; }, updating(this, foreColor_)),
      BackColor([this] { return backColor_; }, updating(this, backColor_)),
      Transparent([this] { return transparent_; }, updating(this, transparent_)),
      Alignment([this] { return alignment_; }, updating(this, alignment_)),
      WordWrap([this] { return wordWrap_; }, updating(this, wordWrap_)),
      AutoSize([this] { return autoSize_; },
               [this](const bool& v) {
                   autoSize_ = v;
                   fit();
               })
{
}

void Label::fit()
{
    if (!autoSize_)
        return;
    const QSize text = fontMetrics().size(Qt::TextShowMnemonic, caption_);
    Width = ToTwips(text.width() + 1);
    Height = ToTwips(text.height());
}

void Label::SetFont(const Font& font)
{
    setFont(ToQFont(font));
}

// Its own font or the one it takes from its window.
void Label::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) {
        fit();
        Replace();
        update();
    }
    Control::changeEvent(event);
}

int Label::textFlags() const
{
    int flags = Qt::AlignTop | Qt::TextShowMnemonic;
    flags |= alignment_ == vbCenter ? Qt::AlignHCenter : alignment_ == vbRightJustify ? Qt::AlignRight : Qt::AlignLeft;
    if (wordWrap_)
        flags |= Qt::TextWordWrap;
    return flags;
}

// Wider for a word or line that cannot break, keeping the edge (or the centre)
// the alignment holds to; lower for lines that do not fit.
QRect Label::ShownRect(const QRect& designed) const
{
    if (autoSize_ || caption_.isEmpty() || designed.width() <= 0)
        return designed;
    const QSize needed =
        fontMetrics().boundingRect(QRect(0, 0, designed.width(), QWIDGETSIZE_MAX), textFlags(), caption_).size();
    QRect shown = designed;
    const int extra = needed.width() - designed.width();
    if (extra > 0) {
        shown.setWidth(needed.width());
        shown.moveLeft(designed.left() - (alignment_ == vbRightJustify ? extra : alignment_ == vbCenter ? extra / 2 : 0));
    }
    shown.setHeight(std::max(designed.height(), needed.height()));
    return shown;
}

void Label::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!transparent_)
        painter.fillRect(rect(), backColor_);
    painter.setPen(isEnabled() ? foreColor_ : QColor(0x80, 0x80, 0x80));
    painter.drawText(rect(), textFlags(), caption_);
}

} // namespace vb

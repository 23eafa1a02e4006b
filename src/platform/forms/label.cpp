#include "platform/forms/label.h"

#include "platform/forms/twips.h"

#include <QPainter>

namespace vb {

namespace {
template <class T>
std::function<void(const T&)> updating(Label* label, T& field)
{
    return [label, &field](const T& value) {
        field = value;
        label->update();
    };
}
} // namespace

Label::Label(QWidget* container)
    : Control(container),
      Caption([this] { return caption_; }, [this](const QString& c) {
                  caption_ = c;
                  fit();
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
    fit();
    update();
}

void Label::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!transparent_)
        painter.fillRect(rect(), backColor_);
    painter.setPen(isEnabled() ? foreColor_ : QColor(0x80, 0x80, 0x80));
    int flags = Qt::AlignTop | Qt::TextShowMnemonic;
    flags |= alignment_ == vbCenter ? Qt::AlignHCenter : alignment_ == vbRightJustify ? Qt::AlignRight : Qt::AlignLeft;
    if (wordWrap_)
        flags |= Qt::TextWordWrap;
    painter.drawText(rect(), flags, caption_);
}

} // namespace vb

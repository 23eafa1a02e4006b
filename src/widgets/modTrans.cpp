#include "widgets/modTrans.h"

void SetFormTransparency(vb::Form& form, std::uint8_t alpha)
{
    form.setWindowOpacity(alpha / 255.0);
}

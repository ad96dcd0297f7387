#include "MaskBlend.h"

namespace mailvane::skin {

void blendThroughMask(const uchar* foreground, const uchar* mask, const uchar* background,
                      uchar* out, qsizetype count)
{
    for (qsizetype i = 0; i < count; ++i) {
        const unsigned m = mask[i];
        out[i] = uchar((background[i] * m + foreground[i] * (255u - m)) / 256u);
    }
}

} // namespace mailvane::skin

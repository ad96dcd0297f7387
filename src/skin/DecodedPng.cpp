#include "DecodedPng.h"

#include <cstring>

namespace mailvane::skin {

void writeInverseAlphaRow(const uchar* alpha, int step, int width, uchar* maskRow)
{
    for (int x = 0; x < width; ++x, alpha += step)
        std::memset(maskRow + 3 * x, 255 - *alpha, 3);
}

} // namespace mailvane::skin

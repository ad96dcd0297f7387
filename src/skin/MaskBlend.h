#pragma once

#include <QtGlobal>

namespace mailvane::skin {

// out = (background × mask + foreground × (255 − mask)) / 256, truncated, for
// each of `count` bytes. A mask byte is 255 − alpha, so even a fully opaque
// or fully transparent pixel comes out at 255/256 of its source.
void blendThroughMask(const uchar* foreground, const uchar* mask, const uchar* background,
                      uchar* out, qsizetype count);

} // namespace mailvane::skin

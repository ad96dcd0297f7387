#pragma once

#include "SkinDialog.h"

namespace mailvane::send {

// The frame pictures every secondary dialog is painted with.
inline constexpr skin::SkinFrameImages SecondaryDialogFrame{
    .leftMiddle = 146,
    .leftBottom = 147,
    .leftTop = 140,
    .topLeft = 143,
    .topMiddle = 142,
    .topRight = 141,
    .background = 145,
};

} // namespace mailvane::send

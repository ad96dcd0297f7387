#pragma once

#include "SkinDialog.h"

namespace mailvane::widgets {

// The frame pictures every secondary dialog is painted with.
inline constexpr widgets::SkinFrameImages SecondaryDialogFrame{
    .leftMiddle = 146,
    .leftBottom = 147,
    .leftTop = 140,
    .topLeft = 143,
    .topMiddle = 142,
    .topRight = 141,
    .background = 145,
};

} // namespace mailvane::widgets

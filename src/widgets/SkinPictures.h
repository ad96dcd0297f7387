#pragma once

// The skin library's picture numbers our windows are painted with, in one
// place: the window frames, the pieces of a button in each state, and the
// pictures of the window icon and the About box.

#include "SkinButtonState.h"
#include "SkinDialog.h"

#include <QSize>
#include <cstdint>

namespace mailvane::widgets {

// The main window's frame (the extra top picture 167 has no place in this
// frame and is left out).
inline constexpr SkinFrameImages MainWindowFrame{146, 147, 146, 170, 168, 169, 145};

// The frame every secondary dialog is painted with.
inline constexpr SkinFrameImages SecondaryDialogFrame{
    .leftMiddle = 146,
    .leftBottom = 147,
    .leftTop = 140,
    .topLeft = 143,
    .topMiddle = 142,
    .topRight = 141,
    .background = 145,
};

// A button's pieces in one state: left cap, middle, right cap.
struct ButtonPictures
{
    int left;
    int middle;
    int right;
};
// Indexed by the button's state: normal, pressed, hover, disabled. The
// normal pieces also give the button its shape.
inline constexpr ButtonPictures ButtonStatePictures[ButtonStateCount] = {
    {136, 120, 121},
    {122, 124, 123},
    {125, 127, 126},
    {131, 133, 132},
};
// The colour outside a button's shape in its pictures.
inline constexpr std::uint32_t ButtonKeyColour = 0xFFFFFF;
// A button's size when created, before its caption widens it.
inline constexpr QSize InitialButtonSize{100, 30};

inline constexpr int ApplicationIconPicture = 139;
inline constexpr int AboutProductPicture = 171;
inline constexpr int AboutEmblemPicture = 185;
inline constexpr int AboutEmblemMaskPicture = 184;

} // namespace mailvane::widgets

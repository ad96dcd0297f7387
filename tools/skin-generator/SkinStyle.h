#pragma once

// The look of the default skin in one place: its colours, its measures, and
// the drawing helpers that every group of pictures shares.

#include <QColor>
#include <QImage>
#include <QRectF>

class QPainter;

namespace mailvane::skingen {

namespace palette {
// The face of every dialog and page; the tab sheet fills its page with it too.
inline const QColor Face{243, 244, 246};
inline const QColor White{255, 255, 255};
// Blue-grey bars, lighter at the top.
inline const QColor BarLight{106, 124, 145};
inline const QColor BarDark{80, 97, 117};
inline const QColor BarEdge{63, 77, 93};
inline const QColor BarHighlight{133, 150, 170};
inline const QColor Accent{92, 143, 199};
inline const QColor Ink{38, 50, 64};
inline const QColor InkSoft{98, 110, 124};
// Lines of tabs, sheet frame and decoration rails.
inline const QColor Outline{174, 183, 194};
inline const QColor TabIdle{221, 225, 231};
} // namespace palette

namespace measure {
inline constexpr int LeftBarWidth = 24;
// Below a top bar's band lies a strip of face where the bar turns down into
// the left bar with a rounded inner corner of this radius.
inline constexpr int Fillet = 8;
inline constexpr int DialogBand = 28;
inline constexpr int MainBand = 56;
inline constexpr int ButtonHeight = 30;
inline constexpr int ButtonCap = 12;
inline constexpr int ButtonMiddle = 4;
} // namespace measure

// The scale the pictures are drawn at: 1, or a whole number for the finer
// set ("<name>@<scale>x") that the program composes with on screens of that
// many device pixels per pixel. Every measure stays in pixels of scale 1.
void setDrawingScale(int scale);
int drawingScale();

// A transparent 32-bit canvas to draw on with anti-aliasing, `width` ×
// `height` pixels at the drawing scale.
QImage canvas(int width, int height);

// An opaque canvas filled with `colour`, at the drawing scale.
QImage opaqueCanvas(int width, int height, const QColor& colour);

// The art with every pixel's alpha applied over `under`: an opaque picture.
QImage flattened(const QImage& art, const QColor& under);

// The art as a picture with an alpha channel, ready to be blended by the
// program: colours un-premultiplied, and white wherever nothing is drawn so
// that white keys out the same area as the alpha does.
QImage withAlpha(const QImage& art);

// Like withAlpha, but each drawn pixel's colour already lies over `under`;
// for pictures that are copied rather than blended.
QImage withAlphaOver(const QImage& art, const QColor& under);

// The colours of an un-premultiplied picture with its alpha dropped, not applied.
QImage withoutAlpha(const QImage& picture);

// The 24-bit inverse-alpha mask of the art (0 opaque, 255 transparent).
QImage inverseAlphaMask(const QImage& art);

// Columns [x, x + width) of an image.
QImage columns(const QImage& image, int x, int width);

// Vertical gradient of the bars across `rect`.
void fillBand(QPainter& painter, const QRectF& rect);

// The product's glyph: an envelope sending waves, drawn in `colour` inside
// `box` (square is best).
void drawGlyph(QPainter& painter, const QRectF& box, const QColor& colour);

} // namespace mailvane::skingen

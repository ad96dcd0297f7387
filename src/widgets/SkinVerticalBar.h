#pragma once

// The left bar of a skinned dialog: an optional top piece, a middle piece
// repeated downwards, and a bottom piece.

#include "SkinBar.h"

namespace mailvane::widgets {

class SkinVerticalBar : public SkinBar
{
    Q_OBJECT

public:
    // The middle piece is repeated in slices of this many rows.
    static constexpr int SliceHeight = 5;

    SkinVerticalBar(int controlId, QWidget* parent);

    void setPieces(const platform::LibraryHandle& module, int top, int middle, int bottom)
    {
        SkinBar::setPieces(module, top, middle, bottom);
    }
    int middleWidth() const { return pieceSize(Middle).width(); }

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace mailvane::widgets

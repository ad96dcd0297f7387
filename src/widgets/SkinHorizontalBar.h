#pragma once

// The top bar of a skinned dialog: a left piece, a middle piece repeated to
// the right, and a right piece held against the right edge.

#include "SkinBar.h"

namespace mailvane::widgets {

class SkinHorizontalBar : public SkinBar
{
    Q_OBJECT

public:
    SkinHorizontalBar(int controlId, QWidget* parent);

    void setPieces(const platform::LibraryHandle& module, int left, int middle, int right)
    {
        SkinBar::setPieces(module, left, middle, right);
    }
    int leftHeight() const { return pieceSize(Left).height(); }

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace mailvane::widgets

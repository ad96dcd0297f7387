#pragma once

// What the two frame bars of a skinned dialog share: the skin library, three
// pieces by number, and the dialog's background (not owned) that masked
// pieces are blended with. The pieces are loaded at the picture scale of the
// bar's screen, measured in pixels all the same.

#include "SkinImage.h"

#include <QWidget>
#include <array>

namespace mailvane::widgets {

class SkinBar : public QWidget
{
    Q_OBJECT

public:
    // The number of the control, as the dialog knows it.
    int controlId() const { return m_controlId; }

    // Loads the pieces (first, middle, last along the bar); 0 loads nothing.
    void setPieces(const platform::LibraryHandle& module, int first, int middle, int last);
    int pieceNumber(int index) const { return m_numbers[static_cast<size_t>(index)]; }

    // The dialog's background; it must outlive the bar or be replaced first.
    void setBlendBackground(const QImage* background) { m_background = background; }

protected:
    enum Piece
    {
        First,
        Middle,
        Last,
        Top = First,
        Bottom = Last,
        Left = First,
        Right = Last,
    };

    SkinBar(int controlId, QWidget* parent);

    const QImage& colour(Piece piece) const { return m_images[piece].colour; }
    QSize pieceSize(Piece piece) const
    {
        return m_images[piece].colour.deviceIndependentSize().toSize();
    }
    // Loads the pieces again when the bar's screen asks for another scale;
    // each paint starts with it.
    void followScreenScale();
    void draw(QPainter& painter, Piece piece, int x, int y, int w, int h) const;
    void draw(QPainter& painter, Piece piece, int x, int y) const;

private:
    void loadPieces();

    int m_controlId;
    int m_scale = 1;
    platform::LibraryHandle m_module;
    std::array<int, 3> m_numbers{};
    struct Picture
    {
        QImage colour;
        QImage mask;
    };
    std::array<Picture, 3> m_images;
    const QImage* m_background = nullptr;
};

} // namespace mailvane::widgets

#include "SkinBar.h"

#include "SkinPiece.h"

#include <QPainter>

namespace mailvane::widgets {

SkinBar::SkinBar(int controlId, QWidget* parent) : QWidget(parent), m_controlId(controlId)
{
    setProperty("controlId", controlId);
}

void SkinBar::setPieces(const platform::LibraryHandle& module, int first, int middle, int last)
{
    m_module = module;
    m_numbers = {first, middle, last};
    for (size_t i = 0; i < m_images.size(); ++i) {
        if (m_numbers[i] != 0)
            m_images[i].load(module, m_numbers[i]);
        else
            m_images[i] = skin::SkinImage();
    }
    update();
}

void SkinBar::draw(QPainter& painter, Piece piece, int x, int y, int w, int h) const
{
    static const QImage noBackground;
    const skin::SkinImage& image = m_images[piece];
    skin::drawSkinPiece(painter, image.colour(), image.mask(),
                        m_background ? *m_background : noBackground, x, y, w, h);
}

void SkinBar::draw(QPainter& painter, Piece piece, int x, int y) const
{
    const QSize size = pieceSize(piece);
    draw(painter, piece, x, y, size.width(), size.height());
}

} // namespace mailvane::widgets

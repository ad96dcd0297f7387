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
    m_scale = skin::pictureScale(devicePixelRatioF());
    loadPieces();
    update();
}

void SkinBar::loadPieces()
{
    for (size_t i = 0; i < m_images.size(); ++i) {
        Picture& picture = m_images[i];
        picture = Picture();
        if (m_numbers[i] == 0)
            continue;
        skin::SkinImage image;
        image.load(m_module, m_numbers[i], m_scale);
        picture.colour = image.takeColour();
        picture.mask = image.takeMask();
        picture.colour.setDevicePixelRatio(m_scale);
        picture.mask.setDevicePixelRatio(m_scale);
    }
}

void SkinBar::followScreenScale()
{
    const int scale = skin::pictureScale(devicePixelRatioF());
    if (scale == m_scale)
        return;
    m_scale = scale;
    loadPieces();
}

void SkinBar::draw(QPainter& painter, Piece piece, int x, int y, int w, int h) const
{
    static const QImage noBackground;
    const Picture& picture = m_images[piece];
    skin::drawSkinPiece(painter, picture.colour, picture.mask,
                        m_background ? *m_background : noBackground, x, y, w, h);
}

void SkinBar::draw(QPainter& painter, Piece piece, int x, int y) const
{
    const QSize size = pieceSize(piece);
    draw(painter, piece, x, y, size.width(), size.height());
}

} // namespace mailvane::widgets

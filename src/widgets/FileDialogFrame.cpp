#include "FileDialogFrame.h"

#include "PictureLoader.h"

#include <QPainter>

namespace mailvane::widgets {

bool FileDialogFrame::load(const platform::LibraryHandle& module,
                           const SkinFileDialog::FrameNames& names)
{
    const QString ordered[PieceCount] = {names.topRight,
                                         names.top,
                                         names.topLeft,
                                         names.leftBottom,
                                         names.left,
                                         names.decorationLeft,
                                         names.decorationMiddle,
                                         names.decorationRight};
    m_valid = !module.isEmpty();
    const auto bitmap = [&](const QString& name) {
        return module.isEmpty()
                   ? QImage()
                   : skin::PictureLoader::fromBitmap(platform::loadResourceData(
                         module, QString::fromLatin1(platform::BitmapResourceType), name));
    };
    for (int i = 0; i < PieceCount; ++i) {
        m_pieces[i] = bitmap(ordered[i]);
        m_valid = m_valid && !m_pieces[i].isNull();
        m_finePieces[i] = bitmap(ordered[i] + QStringLiteral("@2x"));
        if (m_finePieces[i].size() == m_pieces[i].size() * 2)
            m_finePieces[i].setDevicePixelRatio(2);
        else
            m_finePieces[i] = QImage();
    }
    return m_valid;
}

const QImage& FileDialogFrame::art(Piece piece, const QPainter& painter) const
{
    const QImage& fine = m_finePieces[piece];
    return !fine.isNull() && painter.device()->devicePixelRatio() > 1 ? fine : m_pieces[piece];
}

FileDialogFrameLayout FileDialogFrame::layoutFor(const QRect& folderBox,
                                                 const QRect& fileList) const
{
    FileDialogFrameLayout layout;
    const int decorationHeight = m_pieces[DecorationMiddle].height();
    layout.decorationY = folderBox.top() - (decorationHeight - folderBox.height()) / 2;
    layout.decorationLeftX = m_pieces[Left].width();
    layout.decorationRightX = fileList.right() + 1 - m_pieces[DecorationRight].width();
    layout.separatorY = layout.decorationY + decorationHeight + SeparatorGap;
    return layout;
}

void FileDialogFrame::setFolderLabel(const QString& text, const QRect& place, const QFont& font)
{
    m_labelText = text.left(LabelCapacity - 1);
    m_labelPlace = place;
    m_labelFont = font;
}

void FileDialogFrame::paint(QPainter& painter, const QSize& client,
                            const FileDialogFrameLayout& layout, const QColor& face) const
{
    const int leftWidth = m_pieces[Left].width();
    const int topHeight = m_pieces[Top].height();
    const int right = client.width();
    const int bottom = client.height();

    // The face below the separator (background erasing), then the white area.
    painter.fillRect(QRect(QPoint(leftWidth, layout.separatorY), QPoint(right, bottom)), face);
    painter.fillRect(QRect(QPoint(leftWidth, topHeight), QPoint(right, layout.separatorY)),
                     Qt::white);

    // An etched corner: dark line, then a light one a pixel up and left.
    const auto corner = [&](int dx, int dy, QRgb colour) {
        painter.setPen(QPen(QColor::fromRgb(colour), 1));
        const QPoint points[] = {{leftWidth + 1 + dx, bottom + dy},
                                 {leftWidth + 1 + dx, layout.separatorY + 1 + dy},
                                 {right + dx, layout.separatorY + 1 + dy}};
        painter.drawPolyline(points, 3);
    };
    corner(0, 0, EtchDark);
    corner(-1, -1, EtchLight);

    const QImage& decorLeft = m_pieces[DecorationLeft];
    const QImage& decorMiddle = m_pieces[DecorationMiddle];
    const int middleLeft = layout.decorationLeftX + decorLeft.width();
    if (layout.decorationRightX > middleLeft)
        painter.drawImage(QRect(middleLeft, layout.decorationY,
                                layout.decorationRightX - middleLeft, decorMiddle.height()),
                          art(DecorationMiddle, painter));
    painter.drawImage(QPoint(layout.decorationLeftX, layout.decorationY),
                      art(DecorationLeft, painter));
    painter.drawImage(QPoint(layout.decorationRightX, layout.decorationY),
                      art(DecorationRight, painter));

    const QImage& left = m_pieces[Left];
    const QImage& leftBottom = m_pieces[LeftBottom];
    const QImage& topLeft = m_pieces[TopLeft];
    const QImage& topRight = m_pieces[TopRight];
    const QImage& top = m_pieces[Top];
    const int leftHeight = bottom - leftBottom.height();
    if (leftHeight > 0)
        painter.drawImage(QRect(0, topLeft.height(), left.width(), leftHeight), art(Left, painter));
    painter.drawImage(QPoint(0, bottom - leftBottom.height()), art(LeftBottom, painter));
    const int topWidth = right - topRight.width() - topLeft.width();
    if (topWidth > 0)
        painter.drawImage(QRect(topLeft.width(), 0, topWidth, top.height()), art(Top, painter));
    painter.drawImage(QPoint(0, 0), art(TopLeft, painter));
    painter.drawImage(QPoint(right - topRight.width(), 0), art(TopRight, painter));

    if (!m_labelText.isEmpty()) {
        painter.setFont(m_labelFont);
        painter.setPen(QColor(Qt::black));
        painter.drawText(m_labelPlace, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip,
                         m_labelText);
    }
}

} // namespace mailvane::widgets

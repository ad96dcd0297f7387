#pragma once

// The skin frame of the file dialog: eight bitmaps of the skin library, the
// places computed from the embedded dialog's controls, and the painting of
// the top bar, the left bar, the decoration row, the white area with its
// etched line and the folder label.

#include "SkinFileDialog.h"

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QString>
#include <array>

class QPainter;

namespace mailvane::widgets {

struct FileDialogFrameLayout
{
    int decorationY = 0;
    int decorationLeftX = 0;
    int decorationRightX = 0;
    int separatorY = 0;
};

class FileDialogFrame
{
public:
    enum Piece
    {
        TopRight,
        Top,
        TopLeft,
        LeftBottom,
        Left,
        DecorationLeft,
        DecorationMiddle,
        DecorationRight,
        PieceCount
    };

    // Placeholder offsets of the standard controls inside the frame.
    static constexpr int ControlsLeftGap = 2;
    static constexpr int ControlsTopGap = 32;
    static constexpr int RaiseBy = 22;
    static constexpr int SeparatorGap = 8;
    static constexpr int LabelCapacity = 64;
    static constexpr QRgb EtchDark = 0xFF808080;
    static constexpr QRgb EtchLight = 0xFFC0C0C0;

    // Loads the eight bitmaps by name; valid only when all eight loaded.
    bool load(const platform::LibraryHandle& module, const SkinFileDialog::FrameNames& names);
    bool isValid() const { return m_valid; }
    const QImage& piece(Piece piece) const { return m_pieces[piece]; }

    // The decoration row centred on the folder box, reaching to the file
    // list's right edge.
    FileDialogFrameLayout layoutFor(const QRect& folderBox, const QRect& fileList) const;

    // The folder label is drawn by the frame, left-aligned and vertically
    // centred in `place`, unclipped.
    void setFolderLabel(const QString& text, const QRect& place, const QFont& font);
    const QString& folderLabel() const { return m_labelText; }
    QRect folderLabelPlace() const { return m_labelPlace; }

    // Fills the face area below the separator, then paints the frame.
    void paint(QPainter& painter, const QSize& client, const FileDialogFrameLayout& layout,
               const QColor& face) const;

private:
    // The picture drawn for a piece: its finer one on a device of two or
    // more device pixels per pixel, where the skin has it.
    const QImage& art(Piece piece, const QPainter& painter) const;

    std::array<QImage, PieceCount> m_pieces;
    // Pieces of the finer set, twice the size (device pixel ratio 2), or null.
    std::array<QImage, PieceCount> m_finePieces;
    bool m_valid = false;
    QString m_labelText;
    QRect m_labelPlace;
    QFont m_labelFont;
};

} // namespace mailvane::widgets

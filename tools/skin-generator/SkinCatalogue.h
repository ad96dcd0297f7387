#pragma once

// The pictures of a skin as the program asks for them: bitmaps by number or
// name, and PNG pictures (with alpha) by number. Pictures drawn at a
// drawing scale above 1 are named "<name>@<scale>x".

#include <QImage>
#include <QString>
#include <vector>

namespace mailvane::skingen {

struct SkinPicture
{
    QString type; // "BITMAP" or "PNG"
    QString name; // number or resource name, without extension
    QImage image;
};

class SkinCatalogue
{
public:
    // An opaque picture, stored as a 24-bit bitmap.
    void addBitmap(const QString& name, const QImage& image);
    void addBitmap(int number, const QImage& image) { addBitmap(QString::number(number), image); }
    // A picture whose alpha channel the program uses, stored as PNG.
    void addPng(int number, const QImage& image);

    const std::vector<SkinPicture>& pictures() const { return m_pictures; }

private:
    std::vector<SkinPicture> m_pictures;
};

// Each group of pictures adds itself.
void addFramePictures(SkinCatalogue& catalogue);
void addButtonPictures(SkinCatalogue& catalogue);
void addTabPictures(SkinCatalogue& catalogue);
void addProductPictures(SkinCatalogue& catalogue);

// The application icon (picture 139) at `size` pixels square, with alpha.
QImage applicationIcon(int size);

} // namespace mailvane::skingen

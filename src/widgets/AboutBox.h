#pragma once

// The About box: the product picture, the product name with the program's
// version, a free line of text from the caller, and an emblem blended onto
// the dialog's face colour. Its controls are placed in dialog units of an
// 8-point sans-serif font, as a dialog template would place them.

#include "ResourceLibrary.h"

#include <QDialog>
#include <QImage>

class QLabel;
class QPushButton;

namespace mailvane::widgets {

class AboutBox : public QDialog
{
    Q_OBJECT

public:
    static constexpr const char* ProductName = "Mailvane";
    static constexpr const char* Caption = "About Mailvane";
    static constexpr const char* OkText = "OK";
    static constexpr const char* VersionTail = ".012";
    static constexpr int FontPoints = 8;

    // Control numbers of the box.
    enum Control
    {
        OkButton = 1,
        ProductPicture = 100,
        EmblemArea = 101,
        NameLine = 102,
        FreeText = 108,
        Separator = 107
    };

    // `programPath` null means the process's command line.
    AboutBox(QWidget* owner, const platform::LibraryHandle& module, int productNumber,
             int emblemNumber, int emblemMaskNumber, const QString& programPath,
             const QString& freeText);

    // Runs the box modally over `owner`; false without a module.
    static bool show(QWidget* owner, const platform::LibraryHandle& module, int productNumber,
                     int emblemNumber, int emblemMaskNumber, const QString& programPath,
                     const QString& freeText);

    // "Mailvane.<build>.012" from the program named by the path text, or
    // "Mailvane.012" when its version cannot be read.
    static QString nameAndVersion(const QString& programPathText);

    // Per byte: (mask × face + (255 − mask) × emblem) / 256, truncated.
    static QImage composeEmblem(const QImage& emblem, const QImage& mask, const QColor& face);

    // A rectangle in dialog units of the box's font, in pixels.
    QRect dialogRect(int x, int y, int w, int h) const;

    QString nameLine() const;
    const QImage& composedEmblem() const { return m_composed; }
    QRect emblemArea() const { return m_emblemArea; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    // Closing the box ends it like its OK button.
    void reject() override;

private:
    void build(const QString& programPath, const QString& freeText);
    void showProduct();

    // The picture scale the pictures were loaded at.
    int m_scale = 1;
    QImage m_product;
    QImage m_productMask;
    QImage m_emblem;
    QImage m_emblemMask;
    QImage m_composed;
    QRect m_emblemArea;
    int m_baseWidth = 0;
    int m_baseHeight = 0;
    QLabel* m_name = nullptr;
    QLabel* m_productLabel = nullptr;
};

} // namespace mailvane::widgets

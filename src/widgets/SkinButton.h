#pragma once

// The push button of every skinned dialog: painted from a left cap, a
// stretched middle and a right cap per state, shaped by those pictures, with
// a hover look. A SkinButton owns its implementation; its window is made by
// create() and reports activations through SkinButtonWidget::commandPosted.
// Each state keeps its own three pictures (ButtonPieces in SkinButtonState.h),
// copied in; the pictures a shape is made from are not kept.

#include "SkinButtonState.h"
#include "SkinButtonWidget.h"

#include <QImage>
#include <QPointer>
#include <QSize>
#include <QString>
#include <memory>

class QWidget;

namespace mailvane::widgets {

class SkinButton
{
public:
    static constexpr const char* ClassName = "BmpButtonImplClass";
    // Per-channel tolerance of the key colour when shapes are made.
    static constexpr std::uint32_t ShapeTolerance = 0x010101;
    static constexpr int AutoSizePadding = 24;

    SkinButton();
    ~SkinButton();
    SkinButton(const SkinButton&) = delete;
    SkinButton& operator=(const SkinButton&) = delete;

    // Makes and shows the window as a child of `parent` at `rect`; false when
    // the window exists already.
    bool create(const platform::LibraryHandle& module, QWidget* parent, const QRect& rect,
                int controlNumber, const QString& text);

    // Builds the shape from three pictures of the skin library (their alpha
    // masks when `useMaskLayer` is set and they have one). False, keeping the
    // previous shape, when a picture is missing.
    bool setShapeFromResources(const platform::LibraryHandle& module, int leftNumber,
                               int middleNumber, int rightNumber, bool useMaskLayer,
                               std::uint32_t keyColour);
    bool setShapeFromBitmaps(const QImage& left, const QImage& middle, const QImage& right,
                             std::uint32_t keyColour);

    // Replace one state's pieces; a number of 0 (a null image) leaves a piece
    // out. False for a state outside 0 to 3.
    bool setStateImagesFromResources(int state, const platform::LibraryHandle& module,
                                     int leftNumber, int middleNumber, int rightNumber);
    bool setStateImagesFromBitmaps(int state, const QImage& left, const QImage& middle,
                                   const QImage& right);

    // With `autoSize` the width becomes what the text needs, at most `maxWidth`.
    // The window's accessible name is the caption without its padding blanks.
    void setText(const QString& text, bool autoSize, int maxWidth);
    QString text() const { return m_impl->text; }
    // The label's colours, normally and while disabled; the skin's own
    // (SkinColours) until set.
    void setTextColours(QRgb normal, QRgb disabled);
    void enable(bool on);

    // The window, or null while it does not exist.
    SkinButtonWidget* window() const { return m_window.data(); }
    QSize minimumSize() const;
    ButtonState state() const { return m_impl->state; }
    QRect middleSpan() const { return m_impl->middleSpan; }

    // The process-wide registration: live buttons and the window class name
    // (empty once the last button has gone).
    static int liveCount();
    static QString registeredClassName();

private:
    bool setShape(const std::optional<ButtonShapeRegions>& regions);
    void repaintIfCurrent(int state);

    std::unique_ptr<SkinButtonState> m_impl;
    QPointer<SkinButtonWidget> m_window;
};

} // namespace mailvane::widgets

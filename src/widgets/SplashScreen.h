#pragma once

// The start-up picture: centred on the screen, frameless and above other
// windows, its transparent parts showing the desktop behind it (captured and
// blended, and cut away by a window mask). Where the platform can change a
// window's opacity it fades in and out. All waiting happens in a local event
// loop, so the splash keeps painting.
//
// The platform's window classes and the invisible owner window that kept the
// splash off the task bar have no counterpart here: a splash-screen window
// stays off the task bar by itself. The class names live on as the window's
// object name.

#include "LayeredImage.h"
#include "ResourceLibrary.h"

#include <QImage>
#include <QPointer>
#include <QRect>
#include <QRegion>
#include <QSize>
#include <functional>
#include <optional>

class QWidget;

namespace mailvane::widgets {

class SplashScreenWidget;

class SplashScreen
{
public:
    static constexpr const char* WindowName = "QuillSplashWnd";
    static constexpr const char* OwnerName = "QuillSplashWndInv";
    // Per-channel tolerance of the mask's white when the region is made.
    static constexpr std::uint32_t MaskTolerance = 0x010101;
    static constexpr int FadeStepMs = 15;

    // Loads picture `number` from `module`; a picture that does not load
    // leaves the splash empty, and showing it then does nothing.
    SplashScreen(const platform::LibraryHandle& module, int number);
    ~SplashScreen();
    SplashScreen(const SplashScreen&) = delete;
    SplashScreen& operator=(const SplashScreen&) = delete;

    // Work done while the splash is up, within its display time (building
    // the next window hidden, say). Time it takes beyond the display time
    // lengthens the display.
    using WhileShown = std::function<void()>;

    // Shows, waits `displayMs`, hides. Returns the result of showing.
    bool showFor(int displayMs, int fadeInMs, int fadeOutMs, const WhileShown& whileShown = {});
    // Shows the splash and waits `displayMs`, running `whileShown` (when
    // given) once the splash is fully shown. False without a picture or while
    // the window exists; `whileShown` is not run then.
    bool show(int displayMs, int fadeInMs, const WhileShown& whileShown = {});
    // Hides and destroys the window; false when there is none.
    bool hide(int fadeOutMs);
    // Frees the picture and any window left.
    void destroy();

    bool hasPicture() const;
    // The picture's layers, at scale() device pixels per pixel.
    const skin::LayeredImage& image() const { return m_image; }
    int scale() const { return m_scale; }
    // The window's size in pixels, and its shape there: the opaque part of
    // the picture's mask (nothing for a picture without one).
    QSize size() const { return m_size; }
    const std::optional<QRegion>& shape() const { return m_shape; }
    // What the window shows: the picture over the desktop once composed,
    // else the picture; device pixel ratio scale().
    QImage shownPicture() const;
    QWidget* window() const;

    // Whether the platform can change a top-level window's opacity now.
    static bool animationAvailable();
    // The splash being shown, or null.
    static SplashScreen* current();
    // The picture's place: centred on `desktop`, negative when larger.
    static QRect placement(const QRect& desktop, const QSize& picture);

    // Where the desktop under the splash comes from; the screen by default.
    // Tests and the gallery give a picture of their own.
    using DesktopSource = std::function<QImage(const QRect& area)>;
    void setDesktopSource(DesktopSource source) { m_desktop = std::move(source); }

    // Captures the desktop under `area` into layer 2 and blends the picture
    // over it into layer 3.
    void compose(const QRect& area);

private:
    void fade(bool in, int durationMs);
    static void wait(int ms);

    skin::LayeredImage m_image;
    int m_scale = 1;
    QSize m_size;
    std::optional<QRegion> m_shape;
    QPointer<SplashScreenWidget> m_window;
    DesktopSource m_desktop;
};

} // namespace mailvane::widgets

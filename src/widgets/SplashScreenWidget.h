#pragma once

// The window of the splash: paints the composite (layer 3) when there is
// one, else the picture itself, at its own size.

#include <QWidget>

namespace mailvane::skin {
class LayeredImage;
}

namespace mailvane::widgets {

class SplashScreenWidget : public QWidget
{
    Q_OBJECT

public:
    explicit SplashScreenWidget(const skin::LayeredImage& image);
    ~SplashScreenWidget() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const skin::LayeredImage& m_image;
};

} // namespace mailvane::widgets

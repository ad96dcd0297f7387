#pragma once

// The window of the splash: paints the composite (layer 3) when there is
// one, else the picture itself, at its own size.

#include <QWidget>

namespace mailvane::skin {
class COBitmapUtil;
}

namespace mailvane::widgets {

class SplashWindow : public QWidget
{
    Q_OBJECT

public:
    explicit SplashWindow(const skin::COBitmapUtil& image);
    ~SplashWindow() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const skin::COBitmapUtil& m_image;
};

} // namespace mailvane::widgets

#pragma once

// The window of the splash: paints what the splash shows, at its own size.

#include <QWidget>

namespace mailvane::widgets {

class SplashScreen;

class SplashScreenWidget : public QWidget
{
    Q_OBJECT

public:
    explicit SplashScreenWidget(const SplashScreen& splash);
    ~SplashScreenWidget() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const SplashScreen& m_splash;
};

} // namespace mailvane::widgets

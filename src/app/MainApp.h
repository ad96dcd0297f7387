#pragma once

// Start-up and the end of the run: refuses a second instance, loads the skin
// library, shows the splash, configures the message box, then runs the main
// window modally. Owns the skin library for the whole run and releases it
// last.

#include "ResourceLibrary.h"

#include <QString>

namespace mailvane::app {

class MainApp
{
public:
    static constexpr int SplashPicture = 137;
    static constexpr int SplashDisplayMs = 1500;
    static constexpr int SplashFadeInMs = 250;
    static constexpr int SplashFadeOutMs = 250;

    MainApp() = default;
    ~MainApp();
    MainApp(const MainApp&) = delete;
    MainApp& operator=(const MainApp&) = delete;

    // Runs the program; `file`, when not empty, is opened once the window is
    // up. Returns the process's exit code: 0 also when another instance was
    // brought forward and took `file`, 1 when it did not take it.
    int run(const QString& file);

    const platform::LibraryHandle& skinLibrary() const { return m_skin; }

private:
    void loadSkin();

    platform::LibraryHandle m_skin;
};

} // namespace mailvane::app

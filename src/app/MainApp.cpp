#include "MainApp.h"

#include "MainDialog.h"
#include "Mnemonics.h"
#include "PhoneBackEnd.h"
#include "PhoneConfiguration.h"
#include "SingleInstance.h"
#include "SkinLibraryLocator.h"
#include "SkinMessageBox.h"
#include "SplashScreen.h"
#include "StartupProbe.h"
#include "UiText.h"
#include "UrlRedaction.h"

#include <QTimer>
#include <cstdio>
#include <memory>

namespace mailvane::app {

MainApp::~MainApp()
{
    platform::freeResourceLibrary(m_skin);
}

void MainApp::loadSkin()
{
    if (!m_skin.isEmpty())
        platform::freeResourceLibrary(m_skin);
    m_skin = skin::loadSkinLibrary();
    if (m_skin.isEmpty()) {
        const QString path = skin::locateSkinLibrary();
        std::fprintf(stderr, "mailvane: %s; the window is drawn without its skin\n",
                     path.isEmpty() ? "the program settings name no skin library"
                                    : qPrintable(QStringLiteral("the skin library %1 cannot be loaded")
                                                     .arg(path)));
    }
}

int MainApp::run(const QString& file)
{
    SingleInstance instance(widgets::uiText(settings::strings::MainWindowTitle),
                            InstanceScope::forThisSession());
    switch (instance.claim(file)) {
    case SingleInstance::Claim::Forwarded:
    case SingleInstance::Claim::RaisedOtherWindow:
        return 0;
    case SingleInstance::Claim::Failed:
        std::fprintf(stderr, "mailvane: %s\n", qPrintable(instance.problem()));
        return 1;
    case SingleInstance::Claim::First:
        break;
    }
    // The three-dimensional control look needs no switching on here.
    widgets::installMnemonicUnderlining();
    loadSkin();

    // The main window is built, hidden, while the splash is up, so that it
    // appears as soon as the splash has gone; people still see the splash,
    // then the window.
    std::unique_ptr<MainDialog> dialog;
    const auto buildMainWindow = [this, &dialog] {
        widgets::SkinMessageBox::configure([](int id) { return widgets::uiText(id); }, m_skin);
        // The phone link, made by the main window, reaches the configured phone.
        const std::string phone = phone::configuredPhoneSelection();
        if (!phone::installPhoneBackEnd(phone)) {
            std::fprintf(stderr, "mailvane: the configured phone \"%s\" is not understood; %s\n",
                         phone::redactedUrl(phone).c_str(), phone::phoneSelectionHelp().c_str());
            phone::installPhoneBackEnd("none");
        }
        dialog = std::make_unique<MainDialog>();
        dialog->setSkinLibrary(m_skin);
        dialog->prepare();
    };

    StartupProbe probe;
    probe.splashStarted();
    widgets::SplashScreen splash(m_skin, SplashPicture);
    splash.showFor(SplashDisplayMs, SplashFadeInMs, SplashFadeOutMs, buildMainWindow);
    probe.splashEnded();
    if (!dialog) // no splash was shown
        buildMainWindow();

    MainDialog* window = dialog.get();
    probe.watch(window);
    QObject::connect(&instance, &SingleInstance::raiseRequested, window, &MainDialog::bringToFront);
    QObject::connect(&instance, &SingleInstance::openRequested, window, &MainDialog::openFile);
    // Once the window runs: the file of this start, then what later starts
    // sent meanwhile.
    QTimer::singleShot(0, window, [window, &instance, file] {
        if (!file.isEmpty())
            window->openFile(file);
        instance.startDelivering();
    });
    window->exec();
    dialog.reset();
    splash.destroy();
    return 0;
}

} // namespace mailvane::app

#include "GalleryApp.h"

#include "MainDialog.h"
#include "SkinMessageBox.h"
#include "SkinTabBar.h"
#include "SkinTabWidget.h"
#include "UiText.h"

#include <QApplication>
#include <QPainter>

namespace mailvane::gallery {
namespace {

QImage grab(QWidget& window, qreal scale)
{
    QImage image(window.size() * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);
    QPainter painter(&image);
    window.render(&painter);
    painter.end();
    image.setDevicePixelRatio(1);
    return image;
}

} // namespace

QList<WindowPicture> renderMainWindow(const platform::LibraryHandle& skin, qreal scale,
                                      const QString& prefix)
{
    widgets::SkinMessageBox::configure([](int id) { return widgets::uiText(id); }, skin);
    app::MainDialog dialog;
    dialog.setSkinLibrary(skin);
    dialog.show();
    QApplication::processEvents();

    static const char* const Tabs[] = {"general", "advanced", "incoming", "outgoing"};
    QList<WindowPicture> pictures;
    for (int tab = 0; tab < 4; ++tab) {
        dialog.sheet()->setActivePage(tab);
        QApplication::processEvents();
        pictures.append({prefix + QString::fromLatin1(Tabs[tab]), grab(dialog, scale)});
    }
    // The tab strip with the keyboard focus shows its focus cue.
    dialog.activateWindow();
    dialog.sheet()->tabControl()->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    pictures.append({prefix + QStringLiteral("tabs-focused"), grab(dialog, scale)});
    dialog.hide();
    return pictures;
}

} // namespace mailvane::gallery

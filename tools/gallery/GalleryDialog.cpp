#include "GalleryDialog.h"

#include "DialogButton.h"
#include "SkinButton.h"
#include "SkinDialog.h"
#include "SkinPictures.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <memory>
#include <vector>

namespace mailvane::gallery {
namespace {

using widgets::SkinButton;


std::unique_ptr<SkinButton> makeButton(const platform::LibraryHandle& skin, QWidget* parent,
                                       QPoint at, int id, const QString& text, int maxWidth)
{
    auto button = std::make_unique<SkinButton>();
    widgets::createSkinnedButton(*button, skin, parent, at, id, text);
    button->setText(text, true, maxWidth);
    return button;
}

void send(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButton button)
{
    QMouseEvent event(type, at, target->mapToGlobal(at), button,
                      type == QEvent::MouseMove ? Qt::NoButton : button, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

QLabel* caption(QWidget* parent, const QString& text, QPoint at)
{
    auto* label = new QLabel(text, parent);
    label->move(at);
    label->adjustSize();
    return label;
}

} // namespace

QImage renderSkinnedDialog(const platform::LibraryHandle& skin)
{
    std::unique_ptr<widgets::SkinDialog> dialog =
        skin.isEmpty()
            ? std::make_unique<widgets::SkinDialog>(0)
            : std::make_unique<widgets::SkinDialog>(0, skin, widgets::SecondaryDialogFrame);
    dialog->setWindowTitle(QStringLiteral("Gallery"));
    dialog->resize(580, 300);

    caption(dialog.get(), QStringLiteral("Bitmap buttons in their four states:"), {60, 70});
    std::vector<std::unique_ptr<SkinButton>> buttons;
    const int left = 60;
    buttons.push_back(makeButton(skin, dialog.get(), {left, 100}, 1, QStringLiteral("Normal"),
                                 widgets::DialogButtonMaxWidth));
    buttons.push_back(makeButton(skin, dialog.get(), {left + 120, 100}, 2,
                                 QStringLiteral("Pressed"), widgets::DialogButtonMaxWidth));
    buttons.push_back(makeButton(skin, dialog.get(), {left + 240, 100}, 3, QStringLiteral("Hover"),
                                 widgets::DialogButtonMaxWidth));
    buttons.push_back(makeButton(skin, dialog.get(), {left + 360, 100}, 4,
                                 QStringLiteral("Disabled"), widgets::DialogButtonMaxWidth));
    caption(dialog.get(), QStringLiteral("Long text, at most 200 wide:"), {60, 160});
    buttons.push_back(
        makeButton(skin, dialog.get(), {left, 190}, 5,
                   QStringLiteral("Send the e-mail settings to every recipient in the list"), 200));
    caption(dialog.get(), QStringLiteral("Focused:"), {300, 160});
    buttons.push_back(makeButton(skin, dialog.get(), {300, 190}, 6, QStringLiteral("OK"),
                                 widgets::DialogButtonMaxWidth));

    dialog->show();
    dialog->activateWindow();
    QApplication::processEvents();

    QWidget* pressed = buttons[1]->window();
    send(pressed, QEvent::MouseButtonPress, {20, 10}, Qt::LeftButton);
    QWidget* hovered = buttons[2]->window();
    send(hovered, QEvent::MouseMove, {20, 10}, Qt::NoButton);
    buttons[3]->enable(false);
    buttons[5]->window()->setFocus();
    QApplication::processEvents();

    const QImage shot = dialog->grab().toImage();
    buttons.clear(); // before their dialog goes
    return shot;
}

} // namespace mailvane::gallery

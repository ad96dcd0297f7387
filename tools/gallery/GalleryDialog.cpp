#include "GalleryDialog.h"

#include "SkinButton.h"
#include "SkinDialog.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <memory>
#include <vector>

namespace mailvane::gallery {
namespace {

using widgets::SkinButton;

// The picture numbers the program's secondary dialogs use.
constexpr widgets::SkinFrameImages DialogFrame{146, 147, 140, 143, 142, 141, 145};

struct StateImages
{
    int left;
    int middle;
    int right;
};
constexpr StateImages ButtonImages[] = {
    {136, 120, 121}, {122, 124, 123}, {125, 127, 126}, {131, 133, 132}};
constexpr int ShapeLeft = 136;
constexpr int ShapeMiddle = 120;
constexpr int ShapeRight = 121;
constexpr std::uint32_t KeyWhite = 0xFFFFFF;
constexpr int DialogMaxWidth = 250;

std::unique_ptr<SkinButton> makeButton(const platform::LibraryHandle& skin, QWidget* parent,
                                       QPoint at, int id, const QString& text, int maxWidth)
{
    auto button = std::make_unique<SkinButton>();
    button->setShapeFromResources(skin, ShapeLeft, ShapeMiddle, ShapeRight, true, KeyWhite);
    button->create(skin, parent, QRect(at, QSize(100, 30)), id, text);
    for (int state = 0; state < 4; ++state) {
        const StateImages& images = ButtonImages[state];
        button->setStateImagesFromResources(state, skin, images.left, images.middle, images.right);
    }
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
        skin.isEmpty() ? std::make_unique<widgets::SkinDialog>(0)
                       : std::make_unique<widgets::SkinDialog>(0, skin, DialogFrame);
    dialog->setWindowTitle(QStringLiteral("Gallery"));
    dialog->resize(580, 300);

    caption(dialog.get(), QStringLiteral("Bitmap buttons in their four states:"), {60, 70});
    std::vector<std::unique_ptr<SkinButton>> buttons;
    const int left = 60;
    buttons.push_back(
        makeButton(skin, dialog.get(), {left, 100}, 1, QStringLiteral("Normal"), DialogMaxWidth));
    buttons.push_back(makeButton(skin, dialog.get(), {left + 120, 100}, 2,
                                 QStringLiteral("Pressed"), DialogMaxWidth));
    buttons.push_back(makeButton(skin, dialog.get(), {left + 240, 100}, 3, QStringLiteral("Hover"),
                                 DialogMaxWidth));
    buttons.push_back(makeButton(skin, dialog.get(), {left + 360, 100}, 4,
                                 QStringLiteral("Disabled"), DialogMaxWidth));
    caption(dialog.get(), QStringLiteral("Long text, at most 200 wide:"), {60, 160});
    buttons.push_back(
        makeButton(skin, dialog.get(), {left, 190}, 5,
                   QStringLiteral("Send the e-mail settings to every recipient in the list"), 200));
    caption(dialog.get(), QStringLiteral("Focused:"), {300, 160});
    buttons.push_back(
        makeButton(skin, dialog.get(), {300, 190}, 6, QStringLiteral("OK"), DialogMaxWidth));

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

#include "DialogButton.h"

#include "ControlIds.h"

namespace mailvane::widgets {
namespace {

// Skin pictures of the dialog buttons, per state: left cap, middle, right cap.
struct StatePictures
{
    int left;
    int middle;
    int right;
};
constexpr StatePictures ButtonPictures[widgets::ButtonStateCount] = {
    {136, 120, 121}, // normal
    {122, 124, 123}, // pressed
    {125, 127, 126}, // hover
    {131, 133, 132}, // disabled
};
constexpr std::uint32_t KeyWhite = 0xFFFFFF;
constexpr QSize InitialSize{100, 30};

} // namespace

std::unique_ptr<widgets::SkinButton> createDialogButton(const platform::LibraryHandle& skin,
                                                        QWidget* dialog, QPoint topLeft,
                                                        int controlNumber, const QString& caption)
{
    auto button = std::make_unique<widgets::SkinButton>();
    const StatePictures& normal = ButtonPictures[0];
    button->setShapeFromResources(skin, normal.left, normal.middle, normal.right, true, KeyWhite);
    button->create(skin, dialog, QRect(topLeft, InitialSize), controlNumber, caption);
    for (int state = 0; state < widgets::ButtonStateCount; ++state) {
        const StatePictures& pictures = ButtonPictures[state];
        button->setStateImagesFromResources(state, skin, pictures.left, pictures.middle,
                                            pictures.right);
    }
    button->setText(caption, true, DialogButtonMaxWidth);
    widgets::setControlId(button->window(), controlNumber);
    return button;
}

} // namespace mailvane::widgets

// Under a dark desktop theme (light text on dark faces) the skinned surfaces,
// which keep their fixed light look, keep the skin's dark text; a window
// without a skin follows the theme.

#include "MessageBoxWindow.h"
#include "RadioButton.h"
#include "SkinDialog.h"
#include "SkinMessageBox.h"
#include "SkinTabPage.h"
#include "TestResourceBundle.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionButton>
#include <functional>
#include <gtest/gtest.h>

namespace mailvane::widgets {
namespace {

constexpr QRgb LightFace = 0xFFE6E6E6;

QImage filled(int w, int h, QRgb colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// The darkest and the lightest grey level inside `area`.
std::pair<int, int> greyRange(const QImage& image, const QRect& area)
{
    int darkest = 255, lightest = 0;
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const int grey = qGray(image.pixel(x, y));
            darkest = std::min(darkest, grey);
            lightest = std::max(lightest, grey);
        }
    return {darkest, lightest};
}

QImage shoot(QWidget& widget)
{
    widget.show();
    QApplication::processEvents();
    return widget.grab().toImage();
}

class DarkThemeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_saved = QApplication::palette();
        QPalette dark = m_saved;
        for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button})
            dark.setColor(role, QColor(40, 40, 40));
        for (QPalette::ColorRole role :
             {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            dark.setColor(role, QColor(235, 235, 235));
        QApplication::setPalette(dark);

        m_bundle.addBitmap(QStringLiteral("144"), filled(300, 200, LightFace));
        m_bundle.addBitmap(QStringLiteral("145"), filled(300, 200, LightFace));
        for (int number : {136, 121, 125, 126, 122, 123})
            m_bundle.addBitmap(QString::number(number), filled(12, 24, LightFace));
        for (int number : {120, 127, 124})
            m_bundle.addBitmap(QString::number(number), filled(8, 24, LightFace));
        m_skin = m_bundle.load();
        ASSERT_FALSE(m_skin.isEmpty());
    }

    void TearDown() override
    {
        SkinMessageBox::release();
        QApplication::setPalette(m_saved);
    }

    QPalette m_saved;
    test::TestResourceBundle m_bundle;
    platform::LibraryHandle m_skin;
};

TEST_F(DarkThemeTest, skinnedSurfacesKeepTheSkinsDarkTextAndPlainWindowsFollowTheTheme)
{
    const auto labels = [](int id) {
        return id == 26 ? QStringLiteral("Yes") : QStringLiteral("No");
    };
    struct Shot
    {
        QImage image;
        QRect text;
    };
    struct Case
    {
        const char* surface;
        std::function<Shot()> shoot;
        bool skinned;
    };
    QWidget owner;
    const QString text = QStringLiteral("Do you want to save the changes you made?");
    const Case cases[] = {
        {"skinned message box",
         [&] {
             SkinMessageBox::configure(labels, m_skin);
             MessageBoxWindow box(&owner, text, QStringLiteral("Mailvane"),
                                  SkinMessageBox::MbYesNo);
             return Shot{shoot(box), box.geometry().textRect};
         },
         true},
        {"button of a skinned message box",
         [&] {
             SkinMessageBox::configure(labels, m_skin);
             MessageBoxWindow box(&owner, text, QStringLiteral("Mailvane"),
                                  SkinMessageBox::MbYesNo);
             shoot(box);
             QWidget* yes = box.button(69);
             return Shot{yes->grab().toImage(), yes->rect()};
         },
         true},
        {"settings page",
         [&] {
             SkinTabPage page;
             page.resize(300, 100);
             auto* label = new QLabel(QStringLiteral("Mailbox name:"), &page);
             label->move(10, 10);
             return Shot{shoot(page), label->geometry()};
         },
         true},
        {"skinned dialog",
         [&] {
             SkinDialog dialog(0, m_skin, SkinFrameImages{0, 0, 0, 0, 0, 0, 145});
             dialog.resize(300, 100);
             auto* label = new QLabel(QStringLiteral("Settings PIN code:"), &dialog);
             label->move(10, 10);
             return Shot{shoot(dialog), label->geometry()};
         },
         true},
        {"message box without a skin",
         [&] {
             SkinMessageBox::release();
             MessageBoxWindow box(&owner, text, QStringLiteral("Mailvane"), SkinMessageBox::MbOk);
             return Shot{shoot(box), box.geometry().textRect};
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.surface);
        const Shot shot = c.shoot();
        ASSERT_FALSE(shot.image.isNull());
        const auto [darkest, lightest] = greyRange(shot.image, shot.text);
        if (c.skinned) {
            // Dark text on the light face.
            EXPECT_GE(lightest, 200);
            EXPECT_LE(darkest, 60);
        } else {
            // Light text on the theme's dark face.
            EXPECT_LE(darkest, 60);
            EXPECT_GE(lightest, 180);
        }
    }
}

// The controls of a skinned page under a dark theme read as on a light one:
// which radio button is chosen shows, and a disabled field looks disabled.
TEST_F(DarkThemeTest, controlsOnSkinnedSurfacesKeepTheirLightLook)
{
    SkinTabPage page;
    page.resize(300, 120);
    auto* off = new RadioButton(&page);
    auto* on = new RadioButton(&page);
    on->setChecked(true);
    on->move(0, 30);
    auto* enabled = new QLineEdit(&page);
    auto* disabled = new QLineEdit(&page);
    enabled->setGeometry(100, 0, 120, 24);
    disabled->setGeometry(100, 40, 120, 24);
    disabled->setEnabled(false);
    const QImage shot = shoot(page);
    const auto markCentre = [&](RadioButton* radio) {
        QStyleOptionButton option;
        option.initFrom(radio);
        const QRect mark = radio->style()->subElementRect(QStyle::SE_RadioButtonIndicator,
                                                          &option, radio);
        return qGray(shot.pixel(radio->mapTo(&page, mark.center())));
    };
    const auto fieldInside = [&](QLineEdit* field) {
        return qGray(shot.pixel(field->geometry().center() + QPoint(field->width() / 3, 0)));
    };
    const struct
    {
        const char* what;
        int grey;
        int atLeast;
        int atMost;
    } cases[] = {
        {"an unchecked radio's mark", markCentre(off), 200, 255},
        {"a checked radio's dot", markCentre(on), 0, 110},
        {"an enabled field", fieldInside(enabled), 240, 255},
        {"a disabled field", fieldInside(disabled), 150, 239},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_GE(c.grey, c.atLeast);
        EXPECT_LE(c.grey, c.atMost);
    }
}

} // namespace
} // namespace mailvane::widgets

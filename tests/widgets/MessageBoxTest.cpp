#include "DialogDriver.h"
#include "MessageBoxHook.h"
#include "MessageBoxLayout.h"
#include "MessageBoxWindow.h"
#include "SkinMessageBox.h"
#include "TestResourceBundle.h"

#include <QFontDatabase>
#include <QScreen>
#include <QStyle>
#include <QTest>
#include <gtest/gtest.h>

namespace mailvane::widgets {
namespace {

using test::whenModal;

QString label(int id)
{
    switch (id) {
    case 26:
        return QStringLiteral("Yes");
    case 27:
        return QStringLiteral("No");
    case 55:
        return QStringLiteral("Cancel");
    case 54:
        return QStringLiteral("  OK  ");
    default:
        return {};
    }
}

QImage filled(int w, int h, QRgb colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// A skin with the box's pictures: a two-colour background (left half red,
// right half blue) and 12-pixel caps around an 8-pixel middle, 24 high.
class MessageBoxSkinFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QImage background = filled(200, 100, qRgb(200, 0, 0));
        for (int y = 0; y < 100; ++y)
            for (int x = 100; x < 200; ++x)
                background.setPixel(x, y, qRgb(0, 0, 200));
        bundle.addBitmap(QStringLiteral("144"), background);
        for (int number : {136, 121, 125, 126, 122, 123})
            bundle.addBitmap(QString::number(number), filled(12, 24, qRgb(90, 90, 90)));
        for (int number : {120, 127, 124})
            bundle.addBitmap(QString::number(number), filled(8, 24, qRgb(120, 120, 120)));
        skin = bundle.load();
        ASSERT_FALSE(skin.isEmpty());
        ASSERT_EQ(SkinMessageBox::configure(label, skin), 0);
        owner.resize(300, 200);
        owner.show();
    }
    void TearDown() override { SkinMessageBox::release(); }

    test::TestResourceBundle bundle;
    platform::LibraryHandle skin;
    QWidget owner;
};

TEST(MessageBoxLayout, sizesAndPlacesFollowTheButtonRowCaptionAndText)
{
    struct Case
    {
        const char* name;
        MessageBoxMeasures in;
        QSize window;
        int buttonWidth;
        QList<int> lefts;
    };
    // Caption height 20, buttons 24 high throughout.
    const Case cases[] = {
        // One narrow button: width 80, row 80 + 42 = 122 beats text 21 + 50 + 21.
        {"row wins",
         {1, 60, 24, 10, 16, 20, 0, QSize(50, 13)},
         QSize(122, 20 + 13 + 24 + 63),
         80,
         {21}},
        // Caption 150 + 16 + 42 = 208 beats the two-button row 2·80 + 5 + 42 = 207.
        {"caption wins",
         {2, 70, 24, 150, 16, 20, 0, QSize(40, 13)},
         QSize(208, 120),
         80,
         {104 - 85, 104}},
        // Icon 32: text from 32 + 42 = 74, 300 wide → right edge 374 + 21.
        {"text with icon wins",
         {3, 90, 24, 10, 16, 20, 32, QSize(300, 39)},
         QSize(395, 20 + 39 + 24 + 63),
         90,
         {197 - 45 - 90 - 5, 197 - 45, 197 + 45 + 5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const MessageBoxGeometry g = MessageBoxLayout::compute(c.in);
        EXPECT_EQ(g.window, c.window);
        EXPECT_EQ(g.client, c.window - QSize(0, c.in.captionHeight));
        EXPECT_EQ(g.buttonWidth, c.buttonWidth);
        EXPECT_EQ(g.buttonLefts, c.lefts);
        EXPECT_EQ(g.buttonTop, g.client.height() - c.in.buttonHeight - 10);
        EXPECT_EQ(g.textRect.topLeft(), QPoint(c.in.iconWidth ? c.in.iconWidth + 42 : 21, 21));
    }
}

TEST_F(MessageBoxSkinFixture, eachLayoutDefaultsAndAnswersByItsButtons)
{
    struct Case
    {
        unsigned flags;
        QList<int> controls; // in creation order
        int defaultControl;
    };
    const Case cases[] = {
        {SkinMessageBox::MbOk, {72}, 72},
        {SkinMessageBox::MbOkCancel, {72, 71}, 72},
        {SkinMessageBox::MbYesNo, {69, 70}, 70},
        {SkinMessageBox::MbYesNoCancel, {69, 70, 71}, 71},
    };
    const QMap<int, int> resultOf{{72, 1}, {71, 2}, {69, 6}, {70, 7}};
    for (const Case& c : cases) {
        for (int control : c.controls) {
            SCOPED_TRACE(testing::Message() << "flags " << c.flags << " control " << control);
            int seenDefault = 0;
            QList<int> lefts;
            whenModal<MessageBoxWindow>([&](MessageBoxWindow* box) {
                seenDefault = box->defaultButton() ? box->defaultButton()->controlNumber() : 0;
                for (int other : c.controls)
                    lefts.append(box->button(other) ? box->button(other)->x() : -1);
                SkinButtonWidget* button = box->button(control);
                ASSERT_NE(button, nullptr);
                QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
            });
            EXPECT_EQ(SkinMessageBox::show(&owner, QStringLiteral("Text"),
                                           QStringLiteral("Caption"), c.flags),
                      resultOf.value(control));
            EXPECT_EQ(seenDefault, c.defaultControl);
            EXPECT_TRUE(std::is_sorted(lefts.begin(), lefts.end())) << "buttons left to right";
            EXPECT_EQ(SkinMessageBox::openCount(), 0);
        }
    }
}

TEST_F(MessageBoxSkinFixture, closingAnswersOkWhateverTheButtons)
{
    for (unsigned flags : {SkinMessageBox::MbOk, SkinMessageBox::MbYesNo,
                           SkinMessageBox::MbYesNoCancel, SkinMessageBox::MbOkCancel}) {
        whenModal<MessageBoxWindow>([](MessageBoxWindow* box) { box->close(); });
        EXPECT_EQ(SkinMessageBox::show(&owner, QStringLiteral("Text"), QStringLiteral("Caption"),
                                       flags | SkinMessageBox::MbIconExclamation),
                  SkinMessageBox::IdOk)
            << flags;
    }
}

TEST_F(MessageBoxSkinFixture, lineBreaksMakeItTallerAndLongLinesWider)
{
    const auto size = [&](const QString& text) {
        MessageBoxWindow box(&owner, text, QStringLiteral("C"), SkinMessageBox::MbOk);
        return box.size();
    };
    const QSize one = size(QStringLiteral("One line"));
    const QSize three = size(QStringLiteral("One line\nTwo\nThree"));
    const int lineHeight =
        QFontMetrics(QFontDatabase::systemFont(QFontDatabase::GeneralFont)).lineSpacing();
    EXPECT_EQ(three.height() - one.height(), 2 * lineHeight);
    EXPECT_EQ(three.width(), one.width());

    const QString longLine(30, QLatin1Char('W'));
    const QSize wide = size(longLine);
    const int textWidth = QFontMetrics(QFontDatabase::systemFont(QFontDatabase::GeneralFont))
                              .boundingRect(QRect(), Qt::AlignLeft, longLine)
                              .width();
    EXPECT_EQ(wide.width(), 21 + textWidth + 21);
    EXPECT_EQ(wide.height(), one.height());

    // A line too long for the screen, as a deep path is, wraps: the box stays
    // within two thirds of the screen and grows taller instead.
    const int screenWidth = QGuiApplication::primaryScreen()->availableGeometry().width();
    for (const QString& text :
         {QStringLiteral("The settings could not be saved to /") + QString(400, QLatin1Char('n')),
          QString(60, QLatin1Char('W')) + QLatin1Char(' ') + QString(60, QLatin1Char('W'))}) {
        const QSize wrapped = size(text);
        EXPECT_LE(wrapped.width(), screenWidth * 2 / 3);
        EXPECT_GE(wrapped.height(), one.height() + 2 * lineHeight);
    }
}

TEST_F(MessageBoxSkinFixture, paintsTheStretchedBackgroundAndTheIcon)
{
    // A box wider than the 200-pixel picture shows all of it stretched, so
    // its red and blue halves meet in the middle of the box.
    MessageBoxWindow box(&owner, QString(60, QLatin1Char('W')), QStringLiteral("C"),
                         SkinMessageBox::MbOk | SkinMessageBox::MbIconHand);
    const QImage shot = box.grab().toImage();
    const int w = box.width();
    ASSERT_GT(w, 240);
    const int y = shot.height() - 2;
    EXPECT_EQ(shot.pixel(1, y), qRgb(200, 0, 0));
    EXPECT_EQ(shot.pixel(w / 2 - 2, y), qRgb(200, 0, 0));
    EXPECT_EQ(shot.pixel(w / 2 + 2, y), qRgb(0, 0, 200));
    EXPECT_EQ(shot.pixel(w - 1, y), qRgb(0, 0, 200));
    // The icon covers the place at (21, 21) with something not background.
    bool iconSeen = false;
    const int extent = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize);
    for (int y = 21; y < 21 + extent && !iconSeen; ++y)
        for (int x = 21; x < 21 + extent && !iconSeen; ++x)
            iconSeen = shot.pixel(x, y) != qRgb(200, 0, 0) && shot.pixel(x, y) != qRgb(0, 0, 200);
    EXPECT_TRUE(iconSeen);
}

TEST_F(MessageBoxSkinFixture, withoutButtonImagesTheButtonsArePlainOnTheSkinnedBackground)
{
    ASSERT_EQ(SkinMessageBox::configure(label, skin, {}, {}, false), 0);
    EXPECT_TRUE(SkinMessageBox::isConfigured());
    MessageBoxWindow box(&owner, QStringLiteral("x"), QStringLiteral("C"), SkinMessageBox::MbOk);
    const QImage shot = box.grab().toImage();
    EXPECT_EQ(shot.pixel(1, 1), qRgb(200, 0, 0));
    SkinButtonWidget* ok = box.button(72);
    ASSERT_NE(ok, nullptr);
    // A button without pictures is a grey rectangle.
    EXPECT_EQ(shot.pixel(ok->geometry().topLeft() + QPoint(1, 1)), qRgb(0x80, 0x80, 0x80));
}

TEST_F(MessageBoxSkinFixture, missingOwnerTextOrCaptionShowsNothing)
{
    MessageBoxHook hook(SkinMessageBox::IdYes);
    EXPECT_EQ(SkinMessageBox::show(nullptr, QStringLiteral("t"), QStringLiteral("c"), 0), 0);
    EXPECT_EQ(SkinMessageBox::show(&owner, QString(), QStringLiteral("c"), 0), 0);
    EXPECT_EQ(SkinMessageBox::show(&owner, QStringLiteral("t"), QString(), 0), 0);
    EXPECT_TRUE(hook.requests().isEmpty());
    EXPECT_EQ(SkinMessageBox::openCount(), 0);
}

TEST(MessageBoxHook, recordsEachRequestAndAnswersInTurn)
{
    QWidget owner;
    MessageBoxHook hook(SkinMessageBox::IdCancel);
    hook.answer(SkinMessageBox::IdYes);
    hook.answer(SkinMessageBox::IdNo);
    const auto ask = [&](unsigned flags) {
        return SkinMessageBox::show(&owner, QStringLiteral("Save?"), QStringLiteral("Mailvane"),
                                    flags);
    };
    EXPECT_EQ(ask(51), SkinMessageBox::IdYes);
    EXPECT_EQ(ask(52), SkinMessageBox::IdNo);
    EXPECT_EQ(ask(48), SkinMessageBox::IdCancel);
    ASSERT_EQ(hook.requests().size(), 3);
    EXPECT_EQ(hook.requests().at(1).flags, 52u);
    EXPECT_EQ(hook.requests().at(2).text, QStringLiteral("Save?"));
    EXPECT_EQ(hook.requests().at(2).caption, QStringLiteral("Mailvane"));
}

TEST(SkinMessageBox, configurationFailsWithoutModulesOrPicturesAndBoxesStillWork)
{
    test::TestResourceBundle partial;
    partial.addBitmap(QStringLiteral("144"), filled(10, 10, qRgb(1, 2, 3)));
    const platform::LibraryHandle incomplete = partial.load();
    EXPECT_EQ(SkinMessageBox::configure(label, platform::LibraryHandle()), -1);
    EXPECT_EQ(SkinMessageBox::configure(StringModule(), incomplete), -1);
    EXPECT_EQ(SkinMessageBox::configure(label, incomplete), -1);
    EXPECT_FALSE(SkinMessageBox::isConfigured());

    QWidget owner;
    owner.show();
    QString okText;
    whenModal<MessageBoxWindow>([&](MessageBoxWindow* box) {
        SkinButtonWidget* ok = box->button(72);
        okText = ok ? ok->text() : QString();
        EXPECT_EQ(box->grab().toImage().pixel(1, 1), box->palette().color(QPalette::Button).rgb());
        QTest::keyClick(ok, Qt::Key_Return);
    });
    EXPECT_EQ(SkinMessageBox::show(&owner, QStringLiteral("t"), QStringLiteral("c"), 0), 1);
    SkinMessageBox::release();
}

} // namespace
} // namespace mailvane::widgets

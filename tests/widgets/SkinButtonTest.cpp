#include "SkinButton.h"

#include "ImageFixtures.h"
#include "LayeredImage.h"
#include "TempDir.h"

#include <QApplication>
#include <QDialog>
#include <QFontDatabase>
#include <QLineEdit>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using mailvane::widgets::ButtonState;
using mailvane::widgets::SkinButton;
using mailvane::widgets::SkinButtonWidget;

namespace {

constexpr std::uint32_t White = 0xFFFFFF;
constexpr int CapWidth = 6;
constexpr int PieceHeight = 20;

// A cap of the given colour with its two outer corners cut away in white.
QImage cap(QRgb colour, bool leftSide)
{
    QImage image(CapWidth, PieceHeight, QImage::Format_RGB32);
    image.fill(colour);
    const int x = leftSide ? 0 : CapWidth - 1;
    image.setPixel(x, 0, qRgb(255, 255, 255));
    image.setPixel(x, PieceHeight - 1, qRgb(255, 255, 255));
    return image;
}

QImage middle(QRgb colour)
{
    QImage image(4, PieceHeight, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

class SkinButtonTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_parent.resize(400, 100);
        ASSERT_TRUE(m_button.setShapeFromBitmaps(cap(qRgb(0, 0, 128), true),
                                                 middle(qRgb(0, 0, 128)),
                                                 cap(qRgb(0, 0, 128), false), White));
        const QRgb colours[] = {qRgb(0, 0, 128), qRgb(0, 0, 64), qRgb(0, 0, 255),
                                qRgb(128, 128, 128)};
        for (int state = 0; state < 4; ++state) {
            ASSERT_TRUE(m_button.setStateImagesFromBitmaps(state, cap(colours[state], true),
                                                           middle(colours[state]),
                                                           cap(colours[state], false)));
        }
        ASSERT_TRUE(
            m_button.create({}, &m_parent, QRect(10, 10, 100, 30), 1001, QStringLiteral("OK")));
        m_parent.show();
        m_parent.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_parent));
        m_window = m_button.window();
        ASSERT_NE(m_window, nullptr);
        m_commands = std::make_unique<QSignalSpy>(m_window, &SkinButtonWidget::commandPosted);
    }

    int commandsAfterEvents()
    {
        QCoreApplication::processEvents();
        return int(m_commands->count());
    }

    // Moves go straight to the button, as the window system delivers them to
    // the window under the pointer (or the one holding a pressed button).
    void moveTo(const QPoint& at, Qt::MouseButtons held = Qt::NoButton)
    {
        QMouseEvent move(QEvent::MouseMove, at, m_window->mapToGlobal(at), Qt::NoButton, held,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(m_window, &move);
    }

    QPoint inside() const { return {50, 10}; }
    QPoint outside() const { return {150, 10}; }

    QWidget m_parent;
    SkinButton m_button;
    SkinButtonWidget* m_window = nullptr;
    std::unique_ptr<QSignalSpy> m_commands;
};

TEST_F(SkinButtonTest, shapeCutsTheCornersAndSpansTheMiddle)
{
    const QRegion mask = m_window->mask();
    // Created at 100 × 30 after the shape was set: the window keeps its size
    // and the shape clips it to the pieces' 20 rows.
    EXPECT_EQ(m_window->size(), QSize(100, 30));
    EXPECT_FALSE(mask.contains(QPoint(50, 25)));
    EXPECT_EQ(m_button.middleSpan(), QRect(CapWidth, 0, 100 - 2 * CapWidth, PieceHeight));
    EXPECT_FALSE(mask.contains(QPoint(0, 0)));
    EXPECT_FALSE(mask.contains(QPoint(99, 19)));
    EXPECT_TRUE(mask.contains(QPoint(1, 0)));
    EXPECT_TRUE(mask.contains(QPoint(50, 0)));
    EXPECT_TRUE(mask.contains(QPoint(99, 10)));
}

TEST_F(SkinButtonTest, shapeGivenToAnExistingWindowFitsTheWindowToIt)
{
    ASSERT_TRUE(m_button.setShapeFromBitmaps(cap(qRgb(1, 1, 1), true), middle(qRgb(1, 1, 1)),
                                             cap(qRgb(1, 1, 1), false), White));
    EXPECT_EQ(m_window->size(), QSize(100, PieceHeight));
    EXPECT_FALSE(m_button.setShapeFromBitmaps(QImage(), middle(qRgb(1, 1, 1)),
                                              cap(qRgb(1, 1, 1), false), White));
    EXPECT_EQ(m_button.minimumSize(), QSize(2 * CapWidth, PieceHeight));
}

TEST_F(SkinButtonTest, tooNarrowForBothCapsFallsBackToTheRectangle)
{
    m_window->resize(8, 20);
    EXPECT_EQ(m_window->mask(), QRegion(0, 0, 8, 20));
    m_window->resize(60, 15);
    EXPECT_EQ(m_window->mask(), QRegion(0, 0, 60, 15));
}

TEST_F(SkinButtonTest, minimumSizeAddsTheCapsRightEdges)
{
    EXPECT_EQ(m_button.minimumSize(), QSize(2 * CapWidth, PieceHeight));
    SkinButton unshaped;
    EXPECT_EQ(unshaped.minimumSize(), QSize(0, 0));
}

TEST_F(SkinButtonTest, clickInsidePostsTheCommandWithTheButton)
{
    QTest::mousePress(m_window, Qt::LeftButton, {}, inside());
    EXPECT_EQ(m_button.state(), ButtonState::Pressed);
    EXPECT_TRUE(m_window->hasFocus());
    QTest::mouseRelease(m_window, Qt::LeftButton, {}, inside());
    EXPECT_EQ(m_button.state(), ButtonState::Hover);
    EXPECT_EQ(m_commands->count(), 0); // posted, not sent
    ASSERT_EQ(commandsAfterEvents(), 1);
    EXPECT_EQ(m_commands->at(0).at(0).toInt(), 1001);
    EXPECT_EQ(m_commands->at(0).at(1).value<QWidget*>(), m_window);
}

TEST_F(SkinButtonTest, doubleClickPostsOneCommand)
{
    // A widget sees a double click as press, release, double click, release:
    // the second press arrives only as the double click, which the button
    // does not handle.
    QTest::mouseClick(m_window, Qt::LeftButton, {}, inside());
    QTest::mouseDClick(m_window, Qt::LeftButton, {}, inside());
    EXPECT_NE(m_button.state(), ButtonState::Pressed);
    QTest::mouseRelease(m_window, Qt::LeftButton, {}, inside());
    EXPECT_EQ(commandsAfterEvents(), 1);
}

TEST_F(SkinButtonTest, releaseOutsideAfterPressingInsidePostsNothing)
{
    moveTo(inside());
    QTest::mousePress(m_window, Qt::LeftButton, {}, inside());
    EXPECT_EQ(m_button.state(), ButtonState::Pressed);
    moveTo(outside(), Qt::LeftButton);
    EXPECT_EQ(m_button.state(), ButtonState::Normal);
    QTest::mouseRelease(m_window, Qt::LeftButton, {}, outside());
    EXPECT_EQ(commandsAfterEvents(), 0);
    EXPECT_EQ(m_button.state(), ButtonState::Normal);
}

TEST_F(SkinButtonTest, hoverComesWithMovingInAndGoesWithLeaving)
{
    moveTo(inside());
    EXPECT_EQ(m_button.state(), ButtonState::Hover);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(m_window, &leave);
    EXPECT_EQ(m_button.state(), ButtonState::Normal);
}

TEST_F(SkinButtonTest, spaceReleasePostsAKeyboardCommand)
{
    m_window->setFocus();
    QTest::keyPress(m_window, Qt::Key_Space);
    EXPECT_EQ(m_button.state(), ButtonState::Pressed);
    EXPECT_EQ(commandsAfterEvents(), 0);
    QTest::keyRelease(m_window, Qt::Key_Space);
    ASSERT_EQ(commandsAfterEvents(), 1);
    EXPECT_EQ(m_commands->at(0).at(1).value<QWidget*>(), nullptr);
    EXPECT_NE(m_button.state(), ButtonState::Pressed);
}

TEST_F(SkinButtonTest, repeatedSpaceKeyDownPressesAgainAfterTheMouseLeft)
{
    moveTo(inside());
    m_window->setFocus();
    QTest::keyPress(m_window, Qt::Key_Space);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(m_window, &leave);
    EXPECT_EQ(m_button.state(), ButtonState::Normal);
    // A held key repeats its key-down (the release half of a repeat is not a release).
    QKeyEvent repeatUp(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "),
                       true);
    QKeyEvent repeatDown(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "),
                         true);
    QCoreApplication::sendEvent(m_window, &repeatUp);
    QCoreApplication::sendEvent(m_window, &repeatDown);
    EXPECT_EQ(m_button.state(), ButtonState::Pressed);
    EXPECT_EQ(commandsAfterEvents(), 0);
    QTest::keyRelease(m_window, Qt::Key_Space);
    EXPECT_EQ(commandsAfterEvents(), 1);
}

TEST_F(SkinButtonTest, escapeWhileSpaceHeldCancelsTheClick)
{
    m_window->setFocus();
    QTest::keyPress(m_window, Qt::Key_Space);
    QTest::keyClick(m_window, Qt::Key_Escape);
    EXPECT_NE(m_button.state(), ButtonState::Pressed);
    QTest::keyRelease(m_window, Qt::Key_Space);
    EXPECT_EQ(commandsAfterEvents(), 0);
}

TEST_F(SkinButtonTest, enterPostsAKeyboardCommand)
{
    m_window->setFocus();
    QTest::keyClick(m_window, Qt::Key_Return);
    ASSERT_EQ(commandsAfterEvents(), 1);
    EXPECT_EQ(m_commands->at(0).at(1).value<QWidget*>(), nullptr);
}

TEST_F(SkinButtonTest, disabledButtonIgnoresMouseAndKeys)
{
    m_button.enable(false);
    EXPECT_EQ(m_button.state(), ButtonState::Disabled);
    EXPECT_EQ(m_window->focusPolicy(), Qt::ClickFocus);
    moveTo(inside());
    QTest::mouseClick(m_window, Qt::LeftButton, {}, inside());
    QTest::keyClick(m_window, Qt::Key_Space);
    QTest::keyClick(m_window, Qt::Key_Return);
    EXPECT_EQ(commandsAfterEvents(), 0);
    EXPECT_EQ(m_button.state(), ButtonState::Disabled);

    m_button.enable(true);
    EXPECT_EQ(m_button.state(), ButtonState::Normal);
    EXPECT_EQ(m_window->focusPolicy(), Qt::StrongFocus);
}

TEST_F(SkinButtonTest, focusLossDropsTheSpaceKeyPress)
{
    QLineEdit other(&m_parent);
    other.show();
    m_window->setFocus();
    QTest::keyPress(m_window, Qt::Key_Space);
    other.setFocus();
    QTest::keyRelease(m_window, Qt::Key_Space);
    EXPECT_EQ(commandsAfterEvents(), 0);
}

TEST_F(SkinButtonTest, autoSizeFitsTheTextUpToTheMaximum)
{
    const int caps = m_window->width() - m_button.middleSpan().width();
    m_button.setText(QStringLiteral("Go"), true, 250);
    const int textWidth = QFontMetrics(QFontDatabase::systemFont(QFontDatabase::GeneralFont))
                              .horizontalAdvance(QStringLiteral("Go"));
    EXPECT_EQ(m_window->width(), caps + textWidth + SkinButton::AutoSizePadding);
    EXPECT_EQ(m_window->height(), 30);

    m_button.setText(QString(200, QLatin1Char('W')), true, 120);
    EXPECT_EQ(m_window->width(), 120);
    EXPECT_EQ(m_button.middleSpan().width(), 120 - 2 * CapWidth);
}

TEST_F(SkinButtonTest, paintsCapsMiddleAndGreyWithoutImages)
{
    m_button.setText(QString(), false, 0);
    QImage shot = m_window->grab().toImage();
    EXPECT_EQ(shot.pixel(1, 1), qRgb(0, 0, 128));
    EXPECT_EQ(shot.pixel(50, 10), qRgb(0, 0, 128));

    m_button.setStateImagesFromBitmaps(0, QImage(), middle(qRgb(1, 2, 3)), QImage());
    shot = m_window->grab().toImage();
    EXPECT_EQ(shot.pixel(50, 10), qRgb(0x80, 0x80, 0x80));

    // The grey stand-in still carries its text.
    m_button.setStateImagesFromBitmaps(0, QImage(), QImage(), QImage());
    m_button.setText(QStringLiteral("MMMMMMMM"), false, 0);
    shot = m_window->grab().toImage();
    int textPixels = 0;
    for (int x = 0; x < shot.width(); ++x) {
        for (int y = 0; y < 20; ++y)
            textPixels += shot.pixel(x, y) != qRgb(0x80, 0x80, 0x80) ? 1 : 0;
    }
    EXPECT_GT(textPixels, 20);
}

class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

TEST_F(SkinButtonTest, onlyTheCurrentStatesNewImagesRepaint)
{
    PaintCounter counter;
    QCoreApplication::processEvents();
    m_window->installEventFilter(&counter);
    m_button.setStateImagesFromBitmaps(2, cap(qRgb(9, 9, 9), true), middle(qRgb(9, 9, 9)),
                                       cap(qRgb(9, 9, 9), false));
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, 0);
    m_button.setStateImagesFromBitmaps(0, cap(qRgb(9, 9, 9), true), middle(qRgb(9, 9, 9)),
                                       cap(qRgb(9, 9, 9), false));
    QCoreApplication::processEvents();
    EXPECT_GT(counter.paints, 0);
}

TEST_F(SkinButtonTest, fontFitsTheMiddleSpan)
{
    QFont huge = QApplication::font("QMessageBox");
    huge.setPixelSize(60);
    QApplication::setFont(huge, "QMessageBox");
    m_button.setText(QStringLiteral("OK"), false, 0);
    EXPECT_EQ(QFontInfo(m_window->font()).pixelSize(), PieceHeight - 2);
    QApplication::setFont(QFont(), "QMessageBox");
}

TEST_F(SkinButtonTest, stateOutsideTheFourIsRefused)
{
    EXPECT_FALSE(m_button.setStateImagesFromBitmaps(4, QImage(), QImage(), QImage()));
    EXPECT_FALSE(m_button.setStateImagesFromResources(-1, {}, 1, 2, 3));
}

TEST_F(SkinButtonTest, secondCreateIsRefused)
{
    EXPECT_FALSE(m_button.create({}, &m_parent, QRect(0, 0, 50, 20), 7, QString()));
}

TEST(SkinButtonDialog, enterInTheDialogActivatesTheDefaultButton)
{
    QDialog dialog;
    QLineEdit edit(&dialog);
    SkinButton button;
    ASSERT_TRUE(button.create({}, &dialog, QRect(0, 40, 100, 30), 1, QStringLiteral("OK")));
    button.window()->setDefault(true);
    QSignalSpy commands(button.window(), &SkinButtonWidget::commandPosted);
    dialog.show();
    edit.setFocus();
    QTest::keyClick(&edit, Qt::Key_Return);
    QCoreApplication::processEvents();
    ASSERT_EQ(commands.count(), 1);
    EXPECT_EQ(commands.at(0).at(0).toInt(), 1);
}

TEST(SkinButtonRegistration, classLivesAsLongAsTheButtons)
{
    ASSERT_EQ(SkinButton::liveCount(), 0);
    QWidget parent;
    {
        auto first = std::make_unique<SkinButton>();
        EXPECT_EQ(SkinButton::liveCount(), 1);
        EXPECT_TRUE(SkinButton::registeredClassName().isEmpty());
        ASSERT_TRUE(first->create({}, &parent, QRect(0, 0, 50, 20), 1, QString()));
        EXPECT_EQ(SkinButton::registeredClassName(), QStringLiteral("BmpButtonImplClass"));
        EXPECT_EQ(first->window()->objectName(), QStringLiteral("BmpButtonImplClass"));
        SkinButton second;
        EXPECT_EQ(SkinButton::liveCount(), 2);
        first.reset();
        EXPECT_EQ(SkinButton::registeredClassName(), QStringLiteral("BmpButtonImplClass"));
    }
    EXPECT_EQ(SkinButton::liveCount(), 0);
    EXPECT_TRUE(SkinButton::registeredClassName().isEmpty());
}

TEST(SkinButtonRegistration, windowDestroyedWithItsParentLeavesTheButtonUsable)
{
    SkinButton button;
    {
        QWidget parent;
        ASSERT_TRUE(button.create({}, &parent, QRect(0, 0, 50, 20), 1, QString()));
    }
    EXPECT_EQ(button.window(), nullptr);
    button.setText(QStringLiteral("later"), true, 100);
    button.enable(false);
}

class SkinButtonResources : public testing::Test
{
protected:
    void SetUp() override
    {
        // Soft-edged caps: alpha fades at the outer column; the colour is
        // white there too, so only the mask tells the shape apart.
        QImage soft(CapWidth, PieceHeight, QImage::Format_ARGB32);
        soft.fill(qRgba(255, 255, 255, 255));
        for (int y = 0; y < PieceHeight; ++y)
            soft.setPixel(0, y, qRgba(255, 255, 255, 0));
        QImage body(4, PieceHeight, QImage::Format_ARGB32);
        body.fill(qRgba(255, 255, 255, 255));
        const QString bundle = mailvane::test::buildLibrary(
            QString::fromStdString(m_dir.path().string()),
            {{QStringLiteral("PNG/136.png"), mailvane::test::encodeImage(soft, "PNG")},
             {QStringLiteral("PNG/120.png"), mailvane::test::encodeImage(body, "PNG")},
             {QStringLiteral("PNG/121.png"), mailvane::test::encodeImage(soft, "PNG")}});
        ASSERT_FALSE(bundle.isEmpty());
        m_module = mailvane::platform::loadResourceLibrary(bundle);
        ASSERT_FALSE(m_module.isEmpty());
    }
    void TearDown() override { mailvane::platform::freeResourceLibrary(m_module); }

    mailvane::test::TempDir m_dir;
    mailvane::platform::LibraryHandle m_module;
};

TEST_F(SkinButtonResources, shapeComesFromTheMaskLayerWhenAsked)
{
    SkinButton masked;
    ASSERT_TRUE(masked.setShapeFromResources(m_module, 136, 120, 121, true, White));
    EXPECT_EQ(masked.minimumSize(), QSize(2 * CapWidth, PieceHeight));

    // The colour layer is white everywhere: nothing of it is opaque.
    SkinButton colourOnly;
    ASSERT_TRUE(colourOnly.setShapeFromResources(m_module, 136, 120, 121, false, White));
    EXPECT_EQ(colourOnly.minimumSize(), QSize(0, 0));

    SkinButton missing;
    EXPECT_FALSE(missing.setShapeFromResources(m_module, 136, 999, 121, true, White));
    EXPECT_FALSE(missing.setShapeFromResources({}, 136, 120, 121, true, White));
}

TEST_F(SkinButtonResources, eachStateKeepsItsPiecesWhateverTheOthersSize)
{
    QWidget parent;
    SkinButton button;
    ASSERT_TRUE(button.setStateImagesFromResources(0, m_module, 136, 120, 121));
    // The pressed state's left piece is narrower than the normal one; the
    // normal state must still paint its (white) pieces, not the grey fallback.
    ASSERT_TRUE(button.setStateImagesFromResources(1, m_module, 120, 120, 121));
    ASSERT_TRUE(button.create({}, &parent, QRect(0, 0, 40, PieceHeight), 7, QString()));
    const QImage normal = button.window()->grab().toImage();
    EXPECT_EQ(normal.pixel(2, 10), qRgb(255, 255, 255));
    EXPECT_EQ(normal.pixel(20, 10), qRgb(255, 255, 255));
}

} // namespace

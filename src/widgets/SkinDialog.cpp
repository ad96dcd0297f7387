#include "SkinDialog.h"

#include "SkinColours.h"
#include "SkinHorizontalBar.h"
#include "SkinImage.h"
#include "SkinPiece.h"
#include "SkinVerticalBar.h"

#include <QPainter>
#include <QWindow>

namespace mailvane::widgets {

SkinDialog::SkinDialog(int templateId, QWidget* parent) : QDialog(parent), m_templateId(templateId)
{}

SkinDialog::SkinDialog(int templateId, const platform::LibraryHandle& module,
                       const SkinFrameImages& images, QWidget* parent)
    : QDialog(parent), m_templateId(templateId)
{
    setSkin(module, images);
}

SkinDialog::~SkinDialog()
{
    // The bars borrow the background; keep them from painting with it gone.
    if (m_leftBar)
        m_leftBar->setBlendBackground(nullptr);
    if (m_topBar)
        m_topBar->setBlendBackground(nullptr);
}

void SkinDialog::setSkin(const platform::LibraryHandle& module, const SkinFrameImages& images)
{
    m_module = module;
    m_images = images;
    m_skinned = true;
    loadBackground();
    // Text lies on the skin's background, not the theme's.
    if (!m_background.isNull())
        SkinColours::useSkinPalette(this);
}

void SkinDialog::loadBackground()
{
    if (m_images.background == 0)
        return;
    skin::SkinImage image;
    image.load(m_module, m_images.background);
    m_background = image.takeColour();
    m_backgroundMask = image.takeMask();
}

int SkinDialog::exec()
{
    const int result = QDialog::exec();
    m_initialised = false;
    return result;
}

void SkinDialog::prepare()
{
    if (m_initialised)
        return;
    // Shown without reaching the screen, the dialog goes through everything
    // showing does (initDialog, the resizes a hidden widget defers, layout,
    // its native window) and stays hidden.
    setAttribute(Qt::WA_DontShowOnScreen);
    show();
    QImage scratch(size(), QImage::Format_ARGB32_Premultiplied);
    render(&scratch);
    hide();
    setAttribute(Qt::WA_DontShowOnScreen, false);
    // The native window made for the hidden showing did not follow the
    // dialog to its place.
    if (QWindow* window = windowHandle())
        window->setGeometry(geometry());
}

void SkinDialog::showEvent(QShowEvent* event)
{
    if (!m_initialised)
        initDialog();
    QDialog::showEvent(event);
}

bool SkinDialog::initDialog()
{
    m_initialised = true;
    if (!m_skinned)
        return true;

    createBars();
    m_leftBar->setPieces(m_module, m_images.leftTop, m_images.leftMiddle, m_images.leftBottom);
    m_leftBar->resize(m_leftBar->middleWidth(), m_leftBar->height());
    m_topBar->setPieces(m_module, m_images.topLeft, m_images.topMiddle, m_images.topRight);
    m_topBar->resize(width(), m_topBar->leftHeight());
    placeBars();
    stretchBackgroundToClient();
    m_leftBar->setBlendBackground(&m_background);
    m_topBar->setBlendBackground(&m_background);
    return true;
}

void SkinDialog::createBars()
{
    if (!m_leftBar) {
        m_leftBar = new SkinVerticalBar(LeftBarControlId, this);
        m_leftBar->setObjectName(QStringLiteral("leftBar"));
    }
    if (!m_topBar) {
        m_topBar = new SkinHorizontalBar(TopBarControlId, this);
        m_topBar->setObjectName(QStringLiteral("topBar"));
    }
    // The frame lies under the dialog's own controls.
    m_leftBar->lower();
    m_topBar->lower();
    m_leftBar->show();
    m_topBar->show();
}

void SkinDialog::placeBars()
{
    const int topHeight = m_topBar->height();
    m_topBar->setGeometry(0, 0, width(), topHeight);
    m_leftBar->setGeometry(0, topHeight, m_leftBar->width(), height() - topHeight);
}

void SkinDialog::stretchBackgroundToClient()
{
    if (m_background.isNull())
        return;
    if (m_background.width() >= width() && m_background.height() >= height())
        return;
    // The mask keeps its size; blending treats the area beyond it as opaque.
    m_background = m_background.scaled(std::max(m_background.width(), width()),
                                       std::max(m_background.height(), height()),
                                       Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

void SkinDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (!m_skinned || !m_initialised)
        return;
    placeBars();
    update();
}

void SkinDialog::paintEvent(QPaintEvent* event)
{
    if (!m_skinned) {
        QDialog::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.setBackgroundMode(Qt::TransparentMode);
    if (m_images.background != 0)
        skin::drawSkinPiece(painter, m_background, m_backgroundMask, m_background, 0, 0,
                            m_background.width(), m_background.height());
}

} // namespace mailvane::widgets

#pragma once

// The dialog base class of every window of the program. A skinned dialog
// paints a background picture and a frame of two bars (down the left, across
// the top) from the skin library; a plain one looks like any dialog.

#include "ResourceLibrary.h"

#include <QDialog>
#include <QImage>

namespace mailvane::widgets {

class SkinHorizontalBar;
class SkinVerticalBar;

// The seven picture numbers of a dialog frame; 0 means none where allowed.
struct SkinFrameImages
{
    int leftMiddle = 0;
    int leftBottom = 0;
    int leftTop = 0;
    int topLeft = 0;
    int topMiddle = 0;
    int topRight = 0;
    int background = 0;
};

class SkinDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr int LeftBarControlId = 194943;
    static constexpr int TopBarControlId = 194944;

    // A plain dialog: no bars, ordinary painting, until setSkin() is called.
    SkinDialog(int templateId, QWidget* parent = nullptr);
    // A skinned dialog; the background picture is loaded at once.
    SkinDialog(int templateId, const platform::LibraryHandle& module, const SkinFrameImages& images,
               QWidget* parent = nullptr);
    ~SkinDialog() override;

    // Skins a dialog constructed plain; the library stays the caller's.
    void setSkin(const platform::LibraryHandle& module, const SkinFrameImages& images);

    // Runs the dialog modally; it counts as uninitialised again afterwards.
    int exec() override;

    // Builds the dialog ahead of showing it, hidden: initDialog(), layout,
    // native window, and one rendering off screen that loads the fonts and
    // pictures a first paint needs. Showing it afterwards only maps and
    // paints it. Does nothing once the dialog is initialised.
    void prepare();

    int templateId() const { return m_templateId; }
    bool isSkinned() const { return m_skinned; }
    bool isInitialised() const { return m_initialised; }
    const QImage& background() const { return m_background; }
    const QImage& backgroundMask() const { return m_backgroundMask; }
    SkinVerticalBar* leftBar() const { return m_leftBar; }
    SkinHorizontalBar* topBar() const { return m_topBar; }

protected:
    // Runs once each time the dialog is shown after construction or after a
    // modal run; derived dialogs call this first. Returns true.
    virtual bool initDialog();

    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void loadBackground();
    void createBars();
    void placeBars();
    void stretchBackgroundToClient();

    int m_templateId;
    bool m_skinned = false;
    bool m_initialised = false;
    platform::LibraryHandle m_module;
    SkinFrameImages m_images;
    QImage m_background;
    QImage m_backgroundMask;
    SkinVerticalBar* m_leftBar = nullptr;
    SkinHorizontalBar* m_topBar = nullptr;
};

} // namespace mailvane::widgets

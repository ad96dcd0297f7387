#pragma once

// A page of the skinned settings sheet: a plain widget painted in a flat light
// colour, on which labels draw transparently. Derived pages put their
// controls on it.

#include <QColor>
#include <QWidget>

namespace mailvane::widgets {

class SkinTabWidget;

class SkinTabPage : public QWidget
{
    Q_OBJECT

public:
    static constexpr QRgb BackgroundColour = 0xFFF3F4F6; // RGB(243, 244, 246)

    explicit SkinTabPage(QWidget* parent = nullptr);

    // The sheet the page was added to, or null.
    SkinTabWidget* sheet() const { return m_sheet; }
    void setSheet(SkinTabWidget* sheet) { m_sheet = sheet; }

    // Called by the sheet when the page becomes the active one, after the tab
    // control has recomposed. Pages override it to refresh their controls;
    // returning false keeps the page from showing (it is not expected).
    virtual bool onSetActive();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    SkinTabWidget* m_sheet = nullptr;
};

} // namespace mailvane::widgets

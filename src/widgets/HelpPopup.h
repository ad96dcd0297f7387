#pragma once

// The What's-This popup: one help text in a small window with tooltip
// colours, bold 10-point sans-serif, margins of 5, closed by a click or a key.
// At most one is open; a new one replaces it.

#include <QFrame>
#include <QPointer>

class QLabel;

namespace mailvane::widgets {

class HelpPopup : public QFrame
{
    Q_OBJECT

public:
    static constexpr int Margin = 5;
    static constexpr int PointSize = 10;

    // Shows `text` with its top-left corner at `globalPos` (moved in to fit
    // the screen). The popup deletes itself when closed.
    static HelpPopup* showText(const QString& text, const QPoint& globalPos, QWidget* owner);

    // The open popup, or null.
    static HelpPopup* current();

    QString text() const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    HelpPopup(const QString& text, QWidget* owner);

    QLabel* m_label;
    static QPointer<HelpPopup> s_current;
};

} // namespace mailvane::widgets

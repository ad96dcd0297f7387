#pragma once

// One running program per user and display. On X11 a running instance is a
// top-level window whose text is exactly the main window's title: the newest
// program brings that window forward and ends. Where the platform gives no
// list of other programs' windows (Wayland, offscreen), a per-user local
// server named after the title stands in: a second instance asks the first
// to raise its window and ends.

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <optional>

class QLocalServer;
class QWidget;

namespace mailvane::app {

// Most characters of a window's text that are compared.
inline constexpr int WindowTextLimit = 255;

class SingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(QString title, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when another instance was found and asked to come forward; the
    // caller then ends without showing anything.
    bool activateRunningInstance();

    // Answers later instances' requests by raising `window` (local-server
    // platforms only; on X11 the window itself is what they find).
    void serve(QWidget* window);

    // The local server's name for this user and title.
    QString serverName() const;

private:
    bool usesWindowList() const;
    bool activateOverLocalServer();
    void onRaiseRequested();

    QString m_title;
    QLocalServer* m_server = nullptr;
    QPointer<QWidget> m_window;
};

// X11 through xcb: the first top-level window, topmost first, whose text
// (_NET_WM_NAME, else WM_NAME, at most 255 bytes) equals `title` byte for
// byte; nothing when there is none or no X connection.
std::optional<unsigned> findX11Window(const QByteArray& title);

// Brings an X11 window forward: a _NET_ACTIVE_WINDOW request where the
// window manager supports it, else raising it and giving it the focus.
void activateX11Window(unsigned window);

} // namespace mailvane::app

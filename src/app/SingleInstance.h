#pragma once

// One running program per user and display. The first start takes a lock
// file and listens on a local socket; a later start finds the lock taken,
// hands its FILE (or only "come forward") to the running program over the
// socket and ends. The lock is taken before the splash, so a start during the
// first one's splash is caught as well. On X11 a top-level window whose text
// is exactly the main window's title also marks a running instance, whatever
// program owns it: it is brought forward.

#include "InstanceChannel.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>
#include <optional>

class QLockFile;
class QTimer;

namespace mailvane::app {

// Where the lock and the socket of one user's session on one display live.
struct InstanceScope
{
    QString lockPath; // both empty: no lock and no socket
    QString serverName;
    QString problem{}; // why they are empty, when a runtime folder was named

    // In the user's runtime folder, named after the display the program shows
    // on; none when XDG_RUNTIME_DIR names no folder private to the user.
    static InstanceScope forThisSession();
};

class SingleInstance : public QObject
{
    Q_OBJECT

public:
    enum class Claim
    {
        First,             // this program runs; it holds the lock until destroyed
        Forwarded,         // another runs and took the request: end with success
        RaisedOtherWindow, // a window of the title, which takes no requests, came
                           // forward (no file was given): end with success
        Failed,            // another runs but did not take the request: see problem()
    };

    // How long a later start waits for the running program to take its request.
    static constexpr int ForwardTimeoutMs = instance_message::ForwardTimeoutMs;
    // While an Open waits for a dialog to close, this often it looks again.
    static constexpr int DeliveryRetryMs = 100;

    SingleInstance(QString title, InstanceScope scope, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Decides whether this start is the first. `file`, when not empty, is
    // handed to a running program as an absolute path.
    Claim claim(const QString& file);
    const QString& problem() const { return m_problem; }

    // Requests from later starts are kept until this is called; from then on
    // they are handed on: "come forward" at once, an Open only while the
    // event loop running at this call is the innermost one (no dialog, no
    // wait is open over the window), so that it never cuts into another
    // command. A newer Open replaces one that still waits.
    void startDelivering();

Q_SIGNALS:
    void raiseRequested();
    void openRequested(const QString& path);

private:
    Claim forward(const QString& file);
    void deliver();

    QString m_title;
    InstanceScope m_scope;
    std::unique_ptr<QLockFile> m_lock;
    InstanceServer* m_server = nullptr;
    QTimer* m_retry;
    QString m_problem;
    bool m_delivering = false;
    int m_loopLevel = 0;
    bool m_raisePending = false;
    QByteArray m_activationToken;
    std::optional<QString> m_pendingOpen;
};

} // namespace mailvane::app

#pragma once

// The local socket between a second start of the program and the running
// one. The running program listens and answers every message (see
// InstanceMessage.h) with one line; a second start sends one message and
// waits for that answer, so that it ends with success only when the running
// program took the request.

#include "InstanceMessage.h"

#include <QHash>
#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

namespace mailvane::app {

class InstanceServer : public QObject
{
    Q_OBJECT

public:
    // A peer that has not finished its message by then is dropped.
    static constexpr int PeerTimeoutMs = 5000;

    explicit InstanceServer(QObject* parent = nullptr);
    ~InstanceServer() override;

    // Listens on `name` (a socket path), for this user only. A socket left
    // behind by a program that ended is taken over; the name of a server
    // that still answers is left alone, and the result is false.
    bool listen(const QString& name);
    // Why listen() failed.
    const QString& problem() const { return m_problem; }

Q_SIGNALS:
    // Comes before the request it arrived with.
    void activationTokenReceived(const QByteArray& token);
    void raiseReceived();
    void openReceived(const QString& path);

private:
    void onNewConnection();
    void onReadyRead(QLocalSocket* socket);
    void onDisconnected(QLocalSocket* socket);
    void answer(QLocalSocket* socket, const QByteArray& line);

    QLocalServer* m_server;
    QHash<QLocalSocket*, QByteArray> m_received;
    QString m_problem;
};

struct ForwardResult
{
    bool delivered = false;
    QString problem; // when not delivered: why, for a person
};

// Sends `request` to the server named `name` and waits up to `timeoutMs` for
// its answer, retrying the connection meanwhile (the running program may be
// a moment away from listening). Blocks; needs no event loop.
ForwardResult forwardRequest(const QString& name, const instance_message::Request& request,
                             int timeoutMs);

} // namespace mailvane::app

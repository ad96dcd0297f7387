#include "InstanceChannel.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>
#include <cstdio>

namespace mailvane::app {

namespace message = instance_message;

namespace {

constexpr int ProbeTimeoutMs = 500;
constexpr int RetryDelayMs = 50;

QByteArray bytesOf(std::string_view text)
{
    return QByteArray(text.data(), qsizetype(text.size()));
}

} // namespace

InstanceServer::InstanceServer(QObject* parent) : QObject(parent), m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &InstanceServer::onNewConnection);
}

InstanceServer::~InstanceServer()
{
    m_server->close();
}

bool InstanceServer::listen(const QString& name)
{
    // Listening with access options binds elsewhere and renames the socket
    // over `name`, which would take the name from a server that still runs:
    // ask first. A socket that nobody answers at was left by a program that
    // ended, and is replaced.
    QLocalSocket probe;
    probe.connectToServer(name);
    if (probe.waitForConnected(ProbeTimeoutMs)) {
        probe.abort();
        m_problem = QStringLiteral("another program answers at %1").arg(name);
        return false;
    }
    if (m_server->listen(name))
        return true;
    if (m_server->serverError() == QAbstractSocket::AddressInUseError) {
        QLocalServer::removeServer(name);
        if (m_server->listen(name))
            return true;
    }
    m_problem = QStringLiteral("cannot listen at %1: %2").arg(name, m_server->errorString());
    return false;
}

void InstanceServer::onNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        m_received.insert(socket, QByteArray());
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QLocalSocket::disconnected, this,
                [this, socket] { onDisconnected(socket); });
        QTimer::singleShot(PeerTimeoutMs, socket, [socket] { socket->abort(); });
        if (socket->bytesAvailable() > 0)
            onReadyRead(socket);
    }
}

void InstanceServer::answer(QLocalSocket* socket, const QByteArray& line)
{
    m_received.remove(socket);
    socket->write(line);
    socket->flush();
    socket->disconnectFromServer();
}

void InstanceServer::onReadyRead(QLocalSocket* socket)
{
    auto found = m_received.find(socket);
    if (found == m_received.end())
        return; // answered already
    found->append(socket->read(qint64(message::MaxMessageBytes) + 1 - found->size()));
    const message::ParseResult parsed =
        message::parse(std::string_view(found->constData(), std::size_t(found->size())));
    switch (parsed.status) {
    case message::Status::Incomplete:
        return;
    case message::Status::Invalid:
        std::fprintf(stderr, "mailvane: refused a request from another start: %s\n",
                     parsed.problem.c_str());
        answer(socket,
               bytesOf(message::RefusedPrefix) + QByteArray::fromStdString(parsed.problem) + '\n');
        return;
    case message::Status::Complete:
        answer(socket, bytesOf(message::Accepted));
        if (!parsed.request.activationToken.empty())
            Q_EMIT activationTokenReceived(
                QByteArray::fromStdString(parsed.request.activationToken));
        if (parsed.request.kind == message::Kind::Open)
            Q_EMIT openReceived(QFile::decodeName(QByteArray::fromStdString(parsed.request.path)));
        else
            Q_EMIT raiseReceived();
        return;
    }
}

void InstanceServer::onDisconnected(QLocalSocket* socket)
{
    // Whatever arrived unfinished is dropped with the connection.
    m_received.remove(socket);
    socket->deleteLater();
}

ForwardResult forwardRequest(const QString& name, const message::Request& request, int timeoutMs)
{
    const std::optional<std::string> bytes = message::encode(request);
    if (!bytes)
        return {false, QStringLiteral("the file name cannot be handed over (it must be an "
                                      "absolute path of at most %1 bytes without NUL)")
                           .arg(message::MaxPathBytes)};
    QElapsedTimer clock;
    clock.start();
    const auto remaining = [&] {
        return int(std::max<qint64>(0, timeoutMs - clock.elapsed()));
    };

    QLocalSocket socket;
    for (;;) {
        socket.connectToServer(name);
        if (socket.waitForConnected(remaining()))
            break;
        if (remaining() == 0)
            return {false, QStringLiteral("the running Mailvane does not answer (%1)")
                               .arg(socket.errorString())};
        QThread::msleep(RetryDelayMs);
    }
    socket.write(bytes->data(), qint64(bytes->size()));
    socket.flush(); // far below the socket's buffer: all of it goes now
    QByteArray answer;
    while (!answer.contains('\n') && socket.waitForReadyRead(remaining()))
        answer.append(socket.readAll());
    const std::optional<std::string> problem =
        message::answerProblem(std::string_view(answer.constData(), answer.size()), timeoutMs);
    if (!problem)
        return {true, {}};
    return {false, QString::fromStdString(*problem)};
}

} // namespace mailvane::app

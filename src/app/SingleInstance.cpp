#include "SingleInstance.h"

#include "InstanceAddress.h"
#include "X11Windows.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLockFile>
#include <QThread>
#include <QTimer>
#include <cstdio>

namespace mailvane::app {
namespace {

// The display this program shows on, as a file-name part.
std::string displayPart()
{
    return instance_address::displayPart(QGuiApplication::platformName().toStdString(),
                                         qEnvironmentVariable("DISPLAY").toStdString(),
                                         qEnvironmentVariable("WAYLAND_DISPLAY").toStdString());
}

} // namespace

InstanceScope InstanceScope::forThisSession()
{
    // The folder itself, not Qt's fallback for an unfit one: the program
    // file's quick hand-over names the same place, or none.
    const instance_address::RuntimeFolder folder = instance_address::privateRuntimeFolder(
        qEnvironmentVariable("XDG_RUNTIME_DIR").toStdString());
    if (folder.path.empty())
        return {{}, {}, QString::fromStdString(folder.problem)};
    const std::string base = instance_address::basePath(folder.path, displayPart());
    return {QString::fromStdString(base + std::string(instance_address::LockSuffix)),
            QString::fromStdString(base + std::string(instance_address::SocketSuffix)),
            {}};
}

SingleInstance::SingleInstance(QString title, InstanceScope scope, QObject* parent)
    : QObject(parent), m_title(std::move(title)), m_scope(std::move(scope)),
      m_retry(new QTimer(this))
{
    m_retry->setSingleShot(true);
    m_retry->setInterval(DeliveryRetryMs);
    connect(m_retry, &QTimer::timeout, this, &SingleInstance::deliver);
}

SingleInstance::~SingleInstance() = default;

SingleInstance::Claim SingleInstance::claim(const QString& file)
{
    // Without a private runtime folder there is no lock and no socket; a
    // window with the title still comes forward.
    const bool scoped = !m_scope.lockPath.isEmpty();
    if (!scoped && !m_scope.problem.isEmpty())
        std::fprintf(stderr, "mailvane: %s\n", qPrintable(m_scope.problem));
    if (scoped) {
        m_lock = std::make_unique<QLockFile>(m_scope.lockPath);
        // Held for the whole run: never stale while its process lives.
        m_lock->setStaleLockTime(0);
        const bool locked = m_lock->tryLock(0);
        if (!locked && m_lock->error() == QLockFile::LockFailedError)
            return forward(file);
        if (!locked)
            std::fprintf(stderr,
                         "mailvane: cannot take the lock %s; a second start may not find "
                         "this one\n",
                         qPrintable(m_scope.lockPath));
    }

    if (hasX11Connection()) {
        if (const std::optional<unsigned> window = findX11Window(m_title.toUtf8())) {
            // A window with the title but no lock: another program, or one
            // that takes no requests. It comes forward; a file cannot follow.
            activateX11Window(*window);
            m_lock.reset();
            if (file.isEmpty())
                return Claim::RaisedOtherWindow;
            m_problem = QStringLiteral("a window titled \"%1\" runs but takes no files; \"%2\" was "
                                       "not opened")
                            .arg(m_title.trimmed(), file);
            return Claim::Failed;
        }
    }

    if (!scoped)
        return Claim::First;
    m_server = new InstanceServer(this);
    connect(m_server, &InstanceServer::activationTokenReceived, this,
            [this](const QByteArray& token) { m_activationToken = token; });
    connect(m_server, &InstanceServer::raiseReceived, this, [this] {
        m_raisePending = true;
        deliver();
    });
    connect(m_server, &InstanceServer::openReceived, this, [this](const QString& path) {
        m_raisePending = true;
        m_pendingOpen = path;
        deliver();
    });
    if (!m_server->listen(m_scope.serverName))
        std::fprintf(stderr, "mailvane: later starts cannot reach this one: %s\n",
                     qPrintable(m_server->problem()));
    return Claim::First;
}

SingleInstance::Claim SingleInstance::forward(const QString& file)
{
    // The running program's window may not exist yet (its splash shows):
    // then the request alone brings it forward once it does.
    if (hasX11Connection()) {
        if (const std::optional<unsigned> window = findX11Window(m_title.toUtf8()))
            activateX11Window(*window);
    }
    instance_message::Request request;
    // The token a launcher gave this start lets the running window come
    // forward on Wayland, where a window cannot raise itself.
    const QByteArray token = qgetenv("XDG_ACTIVATION_TOKEN");
    if (instance_message::tokenCanTravel(token.toStdString()))
        request.activationToken = token.toStdString();
    if (!file.isEmpty()) {
        request.kind = instance_message::Kind::Open;
        request.path = QFile::encodeName(QFileInfo(file).absoluteFilePath()).toStdString();
    }
    const ForwardResult result = forwardRequest(m_scope.serverName, request, ForwardTimeoutMs);
    if (result.delivered)
        return Claim::Forwarded;
    m_problem = result.problem;
    return Claim::Failed;
}

void SingleInstance::startDelivering()
{
    m_delivering = true;
    m_loopLevel = QThread::currentThread()->loopLevel();
    deliver();
}

void SingleInstance::deliver()
{
    if (!m_delivering)
        return;
    if (m_raisePending) {
        m_raisePending = false;
        // Qt's Wayland shell takes the token from here when the window asks
        // to be activated, and clears it.
        if (!m_activationToken.isEmpty())
            qputenv("XDG_ACTIVATION_TOKEN", std::exchange(m_activationToken, {}));
        Q_EMIT raiseRequested();
    }
    if (!m_pendingOpen)
        return;
    if (QThread::currentThread()->loopLevel() > m_loopLevel) {
        m_retry->start();
        return;
    }
    const QString path = *std::exchange(m_pendingOpen, std::nullopt);
    Q_EMIT openRequested(path);
}

} // namespace mailvane::app

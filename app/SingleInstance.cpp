#include "app/SingleInstance.h"

#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>

#include <chrono>
#include <memory>

namespace quorix::app {
namespace {

using Clock = std::chrono::steady_clock;

int remainingMs(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

bool isPrivateFolder(const QString& path) {
    struct stat st {};
    const QByteArray native = QFile::encodeName(path);
    return ::stat(native.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
           (st.st_mode & 077) == 0;
}

}  // namespace

QString SingleInstance::defaultSocketPath() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime) && isPrivateFolder(runtime)) {
        return runtime + QStringLiteral("/quorix.sock");
    }
    const QString folder = QStringLiteral("/tmp/quorix-%1").arg(::getuid());
    const QByteArray native = QFile::encodeName(folder);
    ::mkdir(native.constData(), 0700);
    // A folder someone else made (or left open) is never used.
    if (!isPrivateFolder(folder)) {
        return {};
    }
    return folder + QStringLiteral("/quorix.sock");
}

SingleInstance::HandOver SingleInstance::send(const QString& socketPath,
                                              const InstanceRequest& request,
                                              std::chrono::milliseconds timeout,
                                              std::string* error) {
    if (socketPath.isEmpty()) {
        return HandOver::noInstance;
    }
    const auto deadline = Clock::now() + timeout;
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(remainingMs(deadline))) {
        const auto code = socket.error();
        if (error != nullptr) {
            *error = socket.errorString().toStdString();
        }
        if (code == QLocalSocket::ServerNotFoundError ||
            code == QLocalSocket::ConnectionRefusedError) {
            return HandOver::noInstance;
        }
        return HandOver::timedOut;
    }
    const std::string line = encodeInstanceRequest(request);
    socket.write(line.data(), static_cast<qint64>(line.size()));
    QByteArray reply;
    while (!reply.contains('\n')) {
        if (socket.bytesToWrite() > 0) {
            socket.waitForBytesWritten(remainingMs(deadline));
        }
        const int left = remainingMs(deadline);
        if (left == 0 || (!socket.waitForReadyRead(left) && socket.bytesAvailable() == 0)) {
            if (error != nullptr) {
                *error = "no answer from the running instance";
            }
            return HandOver::timedOut;
        }
        reply += socket.readAll();
        if (reply.size() > 64) {
            break;
        }
    }
    if (reply != QByteArray(kInstanceReply.data(), static_cast<int>(kInstanceReply.size()))) {
        if (error != nullptr) {
            *error = "unexpected answer from the running instance";
        }
        return HandOver::timedOut;
    }
    return HandOver::delivered;
}

SingleInstance::SingleInstance(QString socketPath, QObject* parent)
    : QObject(parent), path_(std::move(socketPath)) {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::accept);
}

SingleInstance::~SingleInstance() {
    server_.close();
}

bool SingleInstance::listen() {
    if (path_.isEmpty()) {
        error_ = QStringLiteral("no private folder for the socket");
        return false;
    }
    // A live instance answers on the path; a file nobody accepts on is stale.
    // (QLocalServer replaces an existing file when it listens, so the check
    // comes first.)
    QLocalSocket probe;
    probe.connectToServer(path_);
    if (probe.waitForConnected(200)) {
        error_ = QStringLiteral("another instance is listening on ") + path_;
        return false;
    }
    QLocalServer::removeServer(path_);
    if (!server_.listen(path_)) {
        error_ = server_.errorString();
        return false;
    }
    const QByteArray native = QFile::encodeName(path_);
    ::chmod(native.constData(), 0600);
    return true;
}

void SingleInstance::accept() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        auto buffer = std::make_shared<QByteArray>();
        auto* idle = new QTimer(socket);
        idle->setSingleShot(true);
        idle->start(static_cast<int>(idleLimit_.count()));
        QPointer<QLocalSocket> guard(socket);
        auto refuse = [this, guard](const QString& why) {
            emit requestRefused(why);
            if (guard) {
                guard->abort();
                guard->deleteLater();
            }
        };
        connect(idle, &QTimer::timeout, this, [refuse] { refuse(QStringLiteral("idle")); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, buffer, idle, refuse] {
            if (!buffer->isEmpty() && buffer->endsWith('\n')) {
                return;  // handled; anything more is ignored until it closes
            }
            *buffer +=
                socket->read(static_cast<qint64>(kMaxInstanceRequestBytes) + 1 - buffer->size());
            if (buffer->size() > static_cast<qsizetype>(kMaxInstanceRequestBytes)) {
                refuse(QStringLiteral("oversized"));
                return;
            }
            const auto newline = buffer->indexOf('\n');
            if (newline < 0) {
                return;
            }
            if (newline + 1 != buffer->size() || socket->bytesAvailable() > 0) {
                refuse(QStringLiteral("malformed"));
                return;
            }
            const auto request =
                decodeInstanceRequest(std::string_view(buffer->constData(), buffer->size()));
            if (!request) {
                refuse(QStringLiteral("malformed"));
                return;
            }
            idle->stop();
            socket->write(kInstanceReply.data(), static_cast<qint64>(kInstanceReply.size()));
            socket->flush();
            socket->disconnectFromServer();
            emit requestReceived(*request);
        });
    }
}

}  // namespace quorix::app

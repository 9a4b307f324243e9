#pragma once
// One running application per user. The first instance listens on a local
// socket in $XDG_RUNTIME_DIR (mode 0600); a later launch hands its request
// (InstanceRequest) to it and exits. A socket file left by a crashed instance
// is detected (nobody accepts on it) and replaced.
//
// The server refuses, without crashing or blocking: requests over the size
// limit, malformed lines, bytes after the line, and connections that stay
// silent longer than the idle limit.

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <chrono>
#include <string>

#include "app/InstanceRequest.h"

namespace quorix::app {

class SingleInstance : public QObject {
    Q_OBJECT
  public:
    enum class HandOver { delivered, noInstance, timedOut };

    // $XDG_RUNTIME_DIR/quorix.sock; without a usable runtime folder,
    // /tmp/quorix-<uid>/quorix.sock in a private (0700) folder; empty when
    // that folder is not private (then there is no hand-over).
    static QString defaultSocketPath();
    // Client side, blocking, for use before the event loop starts: connects,
    // sends the request and waits for the answer, all within `timeout`.
    static HandOver send(const QString& socketPath, const InstanceRequest& request,
                         std::chrono::milliseconds timeout, std::string* error = nullptr);

    explicit SingleInstance(QString socketPath, QObject* parent = nullptr);
    ~SingleInstance() override;
    // Starts listening; a stale socket file is removed first. False (with
    // error()) when another instance answers there or the socket cannot be made.
    bool listen();
    QString error() const { return error_; }
    const QString& socketPath() const { return path_; }
    void setIdleLimit(std::chrono::milliseconds limit) { idleLimit_ = limit; }

  signals:
    void requestReceived(const quorix::app::InstanceRequest& request);
    // A connection was dropped without a request; `why` says what was wrong.
    void requestRefused(const QString& why);

  private:
    void accept();

    QString path_;
    QString error_;
    QLocalServer server_;
    std::chrono::milliseconds idleLimit_{2000};
};

}  // namespace quorix::app

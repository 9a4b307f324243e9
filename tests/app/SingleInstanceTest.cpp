// One instance per user: hand-over, stale sockets, hung and hostile peers.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <QFile>

#include <QLocalServer>
#include <QLocalSocket>
#include <algorithm>
#include <future>
#include <thread>

#include "app/SingleInstance.h"
#include "tests/app/ShellHarness.h"

namespace quorix::app {
namespace {

using namespace std::chrono_literals;
using testing::waitUntil;

struct SingleInstanceTest : ::testing::Test {
    testing::TempFolder folder;
    QString path = QString::fromStdString(folder / "quorix.sock");

    // The client runs on its own thread: it blocks, the server needs the loop.
    SingleInstance::HandOver sendFromThread(const InstanceRequest& request,
                                            std::chrono::milliseconds timeout = 2000ms) {
        auto result = std::async(std::launch::async,
                                 [&] { return SingleInstance::send(path, request, timeout); });
        waitUntil([&] { return result.wait_for(0ms) == std::future_status::ready; }, 5000);
        return result.get();
    }
    // Writes raw bytes from a thread; whether the server closed on it.
    bool rawClientIsDropped(const QByteArray& bytes) {
        auto result = std::async(std::launch::async, [&] {
            QLocalSocket socket;
            socket.connectToServer(path);
            if (!socket.waitForConnected(1000)) {
                return false;
            }
            socket.write(bytes);
            socket.waitForBytesWritten(1000);
            while (socket.state() == QLocalSocket::ConnectedState) {
                if (!socket.waitForReadyRead(1500) &&
                    socket.state() == QLocalSocket::ConnectedState) {
                    return false;
                }
                if (socket.readAll().contains("ok")) {
                    return false;
                }
            }
            return true;
        });
        waitUntil([&] { return result.wait_for(0ms) == std::future_status::ready; }, 5000);
        return result.get();
    }
};

TEST_F(SingleInstanceTest, HandsRequestsToTheRunningInstance) {
    SingleInstance server(path);
    ASSERT_TRUE(server.listen()) << server.error().toStdString();
    EXPECT_EQ(testing::modeOf(path.toStdString()), 0600u);
    std::vector<InstanceRequest> received;
    QObject::connect(&server, &SingleInstance::requestReceived,
                     [&](const InstanceRequest& r) { received.push_back(r); });

    EXPECT_EQ(sendFromThread({InstanceRequest::Kind::reopen, ""}),
              SingleInstance::HandOver::delivered);
    EXPECT_EQ(sendFromThread({InstanceRequest::Kind::open, "quorix://settings/ai"}),
              SingleInstance::HandOver::delivered);
    ASSERT_TRUE(waitUntil([&] { return received.size() == 2; }));
    EXPECT_EQ(received[0].kind, InstanceRequest::Kind::reopen);
    EXPECT_EQ(received[1].url, "quorix://settings/ai");

    // A second server on the same path finds the first alive.
    SingleInstance second(path);
    EXPECT_FALSE(second.listen());
}

TEST_F(SingleInstanceTest, NoInstanceAndStaleSocketFiles) {
    EXPECT_EQ(SingleInstance::send(path, {}, 500ms), SingleInstance::HandOver::noInstance);
    // A socket file nobody accepts on, as a crashed instance leaves it.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string native = path.toStdString();
    std::copy(native.begin(), native.end(), address.sun_path);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
    ASSERT_TRUE(QFile::exists(path));
    EXPECT_EQ(SingleInstance::send(path, {}, 500ms), SingleInstance::HandOver::noInstance);
    SingleInstance server(path);
    EXPECT_TRUE(server.listen()) << server.error().toStdString();
}

TEST_F(SingleInstanceTest, AHungInstanceTimesOut) {
    QLocalServer hung;  // accepts connections, never answers
    ASSERT_TRUE(hung.listen(path));
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(sendFromThread({}, 150ms), SingleInstance::HandOver::timedOut);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 1500ms);
}

TEST_F(SingleInstanceTest, RefusesHostileRequestsAndKeepsServing) {
    SingleInstance server(path);
    server.setIdleLimit(200ms);
    ASSERT_TRUE(server.listen());
    int received = 0;
    QStringList refused;
    QObject::connect(&server, &SingleInstance::requestReceived, [&] { ++received; });
    QObject::connect(&server, &SingleInstance::requestRefused,
                     [&](const QString& why) { refused << why; });

    EXPECT_TRUE(rawClientIsDropped(QByteArray(8192, 'a')));
    EXPECT_TRUE(rawClientIsDropped("launch-missiles\n"));
    EXPECT_TRUE(rawClientIsDropped("reopen\nreopen\n"));
    EXPECT_TRUE(rawClientIsDropped(QByteArray("open \xff\n")));
    EXPECT_TRUE(rawClientIsDropped("reop"));  // silent past the idle limit
    EXPECT_EQ(received, 0);
    EXPECT_TRUE(waitUntil([&] { return refused.size() == 5; })) << refused.join(",").toStdString();
    EXPECT_TRUE(refused.contains("oversized"));
    EXPECT_TRUE(refused.contains("idle"));

    EXPECT_EQ(sendFromThread({}), SingleInstance::HandOver::delivered);
    EXPECT_TRUE(waitUntil([&] { return received == 1; }));
}

}  // namespace
}  // namespace quorix::app

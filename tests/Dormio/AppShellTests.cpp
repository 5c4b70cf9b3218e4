#include "Dormio/SingleInstance.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using dormio::SingleInstance;

namespace {

TEST(SingleInstance, ASecondLaunchAsksTheRunningCopyToShowItself) {
    QTemporaryDir dir;
    const QString path = dir.filePath("dormio.sock");
    SingleInstance running(path);
    ASSERT_TRUE(running.claim());
    QSignalSpy shown(&running, &SingleInstance::activationRequested);

    SingleInstance second(path);
    EXPECT_FALSE(second.claim());
    EXPECT_TRUE(shown.wait(2000));
    EXPECT_EQ(shown.count(), 1);
}

TEST(SingleInstance, ASocketLeftBehindByAnEndedCopyIsTakenOver) {
    QTemporaryDir dir;
    const QString path = dir.filePath("dormio.sock");
    // The socket file of a copy that crashed: bound once, nobody listening now.
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(path);
    std::memcpy(address.sun_path, native.constData(), size_t(native.size()));
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    close(fd);
    ASSERT_TRUE(QFile::exists(path));

    SingleInstance next(path);
    EXPECT_TRUE(next.claim());

    SingleInstance later(path);
    EXPECT_FALSE(later.claim());
}

TEST(SingleInstance, TheDefaultSocketIsPerUser) {
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    EXPECT_EQ(SingleInstance::defaultSocketPath(), runtime.filePath("dormio.sock"));
    qunsetenv("XDG_RUNTIME_DIR");
    EXPECT_TRUE(SingleInstance::defaultSocketPath().contains(QString::number(getuid())));
}

} // namespace

#include "LoopbackServer.h"

#include <QTcpSocket>
#include <QTimer>

namespace dormio::test {

namespace {

constexpr qsizetype pacedSliceBytes = 64 * 1024;

QByteArray reason(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 302:
        return "Found";
    case 404:
        return "Not Found";
    default:
        return "Status";
    }
}

} // namespace

LoopbackServer::LoopbackServer() {
    server_.listen(QHostAddress::LocalHost);
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            sockets_.append(socket);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
        }
    });
}

LoopbackServer::~LoopbackServer() {
    for (QTcpSocket* socket : sockets_)
        socket->abort();
}

QString LoopbackServer::url(const QString& path) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path);
}

void LoopbackServer::serve(const QString& path, const Response& response) {
    responses_.insert(path, response);
}

void LoopbackServer::readRequest(QTcpSocket* socket) {
    if (socket->property("answered").toBool()) return socket->readAll(), void();
    QByteArray request = socket->property("request").toByteArray() + socket->readAll();
    socket->setProperty("request", request);
    const qsizetype end = request.indexOf("\r\n\r\n");
    if (end < 0) return;
    socket->setProperty("answered", true);

    const QList<QByteArray> lines = request.left(end).split('\n');
    const QString path = QString::fromLatin1(lines.value(0).split(' ').value(1));
    QHash<QByteArray, QByteArray> headers;
    for (const QByteArray& line : lines.mid(1)) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0) headers.insert(line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed());
    }
    requests_[path] += 1;
    headers_.insert(path, headers);

    const Response response = responses_.value(path, Response{404, "Not here"});
    QByteArray head =
        "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + reason(response.status) + "\r\n";
    head += "Content-Length: " + QByteArray::number(response.announcedLength.value_or(response.body.size())) +
            "\r\n";
    if (!response.location.isEmpty()) head += "Location: " + response.location + "\r\n";
    head += "Connection: close\r\n\r\n";
    socket->write(head);

    const QByteArray body = response.stallAfter ? response.body.left(*response.stallAfter) : response.body;
    if (response.paced) return sendSlices(socket, body, pacedSliceBytes, 1);
    if (response.trickleMs > 0) return sendSlices(socket, body, 1, response.trickleMs);
    socket->write(body);
    if (!response.stallAfter) socket->disconnectFromHost();
}

void LoopbackServer::sendSlices(QTcpSocket* socket, QByteArray rest, qsizetype sliceBytes, int intervalMs) {
    socket->write(rest.left(sliceBytes));
    rest.remove(0, std::min(rest.size(), sliceBytes));
    if (rest.isEmpty()) return socket->disconnectFromHost();
    QTimer::singleShot(intervalMs, socket, [=, this] { sendSlices(socket, rest, sliceBytes, intervalMs); });
}

} // namespace dormio::test

#include "LocalHttpServer.h"

#include <arpa/inet.h>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <QList>
#include <sys/socket.h>
#include <unistd.h>

TLocalHttpServer::TLocalHttpServer() {
    FListener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    ::bind(FListener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(FListener, 16);
    socklen_t length = sizeof address;
    ::getsockname(FListener, reinterpret_cast<sockaddr*>(&address), &length);
    FPort = ntohs(address.sin_port);
    FThread = std::thread([this] { Run(); });
}

TLocalHttpServer::~TLocalHttpServer() {
    FStop = true;
    FThread.join();
    for (int socket : FHeld)
        ::close(socket);
    ::close(FListener);
}

void TLocalHttpServer::SetResponse(const QString& path, const TResponse& response) {
    std::lock_guard<std::mutex> lock(FMutex);
    FResponses[path] = response;
}

QString TLocalHttpServer::Url(const QString& path) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(FPort).arg(path);
}

int TLocalHttpServer::Requests(const QString& path) const {
    std::lock_guard<std::mutex> lock(FMutex);
    const auto it = FRequests.find(path);
    return it == FRequests.end() ? 0 : it->second;
}

int TLocalHttpServer::TotalRequests() const {
    std::lock_guard<std::mutex> lock(FMutex);
    int total = 0;
    for (const auto& entry : FRequests)
        total += entry.second;
    return total;
}

void TLocalHttpServer::Run() {
    while (!FStop) {
        pollfd listener{FListener, POLLIN, 0};
        if (::poll(&listener, 1, 20) <= 0)
            continue;
        const int client = ::accept(FListener, nullptr, nullptr);
        if (client >= 0)
            Serve(client);
    }
}

void TLocalHttpServer::Serve(int client) {
    // Read the request head (the clients under test send no bodies).
    QByteArray request;
    char buffer[4096];
    while (!request.contains("\r\n\r\n") && !FStop) {
        pollfd in{client, POLLIN, 0};
        if (::poll(&in, 1, 20) <= 0)
            continue;
        const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
        if (got <= 0)
            break;
        request.append(buffer, qsizetype(got));
    }
    const QList<QByteArray> requestLine = request.left(request.indexOf("\r\n")).split(' ');
    const QString path = requestLine.size() >= 2 ? QString::fromLatin1(requestLine[1]) : QString();

    TResponse response{404, QByteArray("not found"), false};
    {
        std::lock_guard<std::mutex> lock(FMutex);
        ++FRequests[path];
        const auto it = FResponses.find(path);
        if (it != FResponses.end())
            response = it->second;
        if (response.NeverAnswer) {
            FHeld.push_back(client);
            return;
        }
    }
    QByteArray reply = "HTTP/1.1 " + QByteArray::number(response.Status) + " Canned\r\n";
    reply += "Content-Type: text/html\r\nConnection: close\r\n";
    reply += "Content-Length: " + QByteArray::number(response.Body.size()) + "\r\n\r\n";
    reply += response.Body;
    qsizetype sent = 0;
    while (sent < reply.size()) {
        const ssize_t n =
            ::send(client, reply.constData() + sent, size_t(reply.size() - sent), MSG_NOSIGNAL);
        if (n <= 0)
            break;
        sent += qsizetype(n);
    }
    ::shutdown(client, SHUT_WR);
    ::close(client);
}

#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <QByteArray>
#include <QString>
#include <thread>
#include <vector>

// A minimal HTTP/1.1 server on 127.0.0.1 (a free port) for tests of code
// that fetches web pages synchronously: it serves canned responses from its
// own thread, counts the requests per path and can hold a connection open
// without ever answering.
class TLocalHttpServer {
public:
    struct TResponse {
        int Status = 200;
        QByteArray Body;
        // Accept the request and never answer (until the server stops).
        bool NeverAnswer = false;
    };

    TLocalHttpServer();
    ~TLocalHttpServer();
    TLocalHttpServer(const TLocalHttpServer&) = delete;
    TLocalHttpServer& operator=(const TLocalHttpServer&) = delete;

    void SetResponse(const QString& path, const TResponse& response);
    void SetPage(const QString& path, const QByteArray& body) { SetResponse(path, {200, body}); }
    // "http://127.0.0.1:<port><path>".
    QString Url(const QString& path) const;
    int Requests(const QString& path) const;
    int TotalRequests() const;

private:
    void Run();
    void Serve(int client);

    int FListener = -1;
    int FPort = 0;
    std::atomic<bool> FStop{false};
    mutable std::mutex FMutex;
    std::map<QString, TResponse> FResponses;
    std::map<QString, int> FRequests;
    std::vector<int> FHeld;
    std::thread FThread;
};

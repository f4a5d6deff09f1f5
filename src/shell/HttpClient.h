#pragma once

#include <QByteArray>
#include <QString>

typedef void CURL;

// A small blocking HTTP client (libcurl) for the start-up update check.
//
// The check runs on the window thread before the main menu shows, so every
// request is bounded: a connect time-out, a total time budget shared by all
// requests of the client, and a size cap on every response. Only http and
// https addresses are fetched (redirects included); HTTP error statuses count
// as failures.
class THttpClient {
public:
    THttpClient();
    ~THttpClient();
    THttpClient(const THttpClient&) = delete;
    THttpClient& operator=(const THttpClient&) = delete;

    // GETs `url` into `body`. False on any failure (bad or non-web address,
    // network, time-out, HTTP error status, response over MaxBytes); `body`
    // is then empty.
    bool Get(const QString& url, QByteArray& body);

    // True for an http or https address with a host.
    static bool IsWebAddress(const QString& url);

    // Longest wait for a connection, in milliseconds.
    int ConnectTimeoutMs = 2000;
    // Time all requests of this client may take together, counted from the
    // first request, in milliseconds.
    int TotalTimeoutMs = 4000;
    // Largest response body accepted.
    qint64 MaxBytes = 2 * 1024 * 1024;

private:
    CURL* FHandle = nullptr;
    qint64 FStartMs = -1;
};

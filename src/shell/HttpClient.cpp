#include "shell/HttpClient.h"

#include "platform/TickCount.h"

#include <algorithm>
#include <curl/curl.h>
#include <mutex>
#include <QUrl>

namespace {

void InitCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct TReceiveState {
    QByteArray* Body;
    qint64 MaxBytes;
    bool TooLarge = false;
};

size_t Receive(char* data, size_t size, size_t count, void* user) {
    auto* state = static_cast<TReceiveState*>(user);
    const size_t bytes = size * count;
    if (qint64(state->Body->size()) + qint64(bytes) > state->MaxBytes) {
        // Returning less than was handed over aborts the transfer.
        state->TooLarge = true;
        return 0;
    }
    state->Body->append(data, qsizetype(bytes));
    return bytes;
}

} // namespace

THttpClient::THttpClient() {
    InitCurlOnce();
    FHandle = curl_easy_init();
}

THttpClient::~THttpClient() {
    if (FHandle)
        curl_easy_cleanup(FHandle);
}

bool THttpClient::IsWebAddress(const QString& url) {
    const QUrl parsed(url, QUrl::StrictMode);
    if (!parsed.isValid() || parsed.host().isEmpty())
        return false;
    const QString scheme = parsed.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

bool THttpClient::Get(const QString& url, QByteArray& body) {
    body.clear();
    if (!FHandle || !IsWebAddress(url))
        return false;

    const qint64 now = MonotonicMs();
    if (FStartMs < 0)
        FStartMs = now;
    const qint64 remaining = TotalTimeoutMs - (now - FStartMs);
    if (remaining <= 0)
        return false;

    const QByteArray address = QUrl(url).toEncoded();
    TReceiveState state{&body, MaxBytes};
    curl_easy_reset(FHandle);
    curl_easy_setopt(FHandle, CURLOPT_URL, address.constData());
    curl_easy_setopt(FHandle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(FHandle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(FHandle, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(FHandle, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(FHandle, CURLOPT_FAILONERROR, 1L);
    // No signals: the resolver time-out must not rely on SIGALRM.
    curl_easy_setopt(FHandle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(FHandle, CURLOPT_CONNECTTIMEOUT_MS,
                     long(std::min<qint64>(ConnectTimeoutMs, remaining)));
    curl_easy_setopt(FHandle, CURLOPT_TIMEOUT_MS, long(remaining));
    curl_easy_setopt(FHandle, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(MaxBytes));
    curl_easy_setopt(FHandle, CURLOPT_USERAGENT, "Ravlin/3.6");
    curl_easy_setopt(FHandle, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(FHandle, CURLOPT_WRITEFUNCTION, &Receive);
    curl_easy_setopt(FHandle, CURLOPT_WRITEDATA, &state);

    const CURLcode result = curl_easy_perform(FHandle);
    if (result != CURLE_OK || state.TooLarge) {
        body.clear();
        return false;
    }
    return true;
}

#include "shell/RavlinUpdater.h"

#include "app/Folders.h"
#include "platform/AtomicFile.h"
#include "platform/CodePage949.h"
#include "shell/HttpClient.h"

#include <QBuffer>
#include <QImageReader>

// The update page lives under a reserved name until the maker publishes one;
// the lookup then fails at once and the menu starts without a question.
const char* const kRavlinUpdatePageUrl = "http://update.ravlin.example/ravlin_update.html";

namespace {

const QString kStartMarker = QStringLiteral("@@@@@@");
const QString kEndMarker = QStringLiteral("######");
// Banners of this size or less are error pages or empty answers.
constexpr qsizetype kMinBannerBytes = 100;
// Largest banner side in pixels; bigger pictures are not turned into textures.
constexpr int kMaxBannerSide = 4096;
// Addresses this short cannot name a picture ("http://" has seven).
constexpr qsizetype kMinBannerAddressLength = 7;

} // namespace

TRavlinUpdater::TRavlinUpdater(QObject* owner, const QString& pageUrl,
                               const QString& bannerFileName)
    : QObject(owner)
    , FIdHttp(std::make_unique<THttpClient>())
    , FPageUrl(pageUrl.isEmpty() ? QString::fromLatin1(kRavlinUpdatePageUrl) : pageUrl)
    , FBannerFileName(bannerFileName.isEmpty() ? BannerFileName() : bannerFileName) {
    GetUpdateInfo();
}

TRavlinUpdater::~TRavlinUpdater() = default;

QString TRavlinUpdater::BannerFileName() {
    return SettingsDir() + QStringLiteral("click_image.png");
}

void TRavlinUpdater::GetUpdateInfo() {
    QByteArray page;
    if (!FIdHttp->Get(FPageUrl, page))
        return;

    const QStringList fields = ParseFields(DecodePage(page));
    latest_version = ValueOf(fields, QStringLiteral("latest_version"));
    click_image_src = ValueOf(fields, QStringLiteral("click_image_src"));
    click_image_link = ValueOf(fields, QStringLiteral("click_image_link"));

    if (click_image_src.size() <= kMinBannerAddressLength)
        return;
    QByteArray banner;
    if (!FIdHttp->Get(click_image_src.trimmed(), banner))
        return;
    if (banner.size() <= kMinBannerBytes || !IsUsableBanner(banner))
        return;
    WriteFileAtomically(FBannerFileName, banner);
}

QStringList TRavlinUpdater::ParseFields(QString page) {
    QStringList fields;
    for (;;) {
        const qsizetype start = page.indexOf(kStartMarker);
        if (start < 0)
            break;
        page.remove(0, start + kStartMarker.size());
        const qsizetype end = page.indexOf(kEndMarker);
        if (end < 0)
            continue; // a start marker without an end marker is just consumed
        fields.append(RemoveTags(page.left(end)));
        page.remove(0, end + kEndMarker.size());
    }
    return fields;
}

QString TRavlinUpdater::RemoveTags(QString text) {
    for (;;) {
        const qsizetype open = text.indexOf(QLatin1Char('<'));
        if (open < 0)
            break;
        const qsizetype close = text.indexOf(QLatin1Char('>'));
        if (close >= 0 && close < open) {
            text.remove(0, close + 1);
            continue;
        }
        if (close < 0) {
            // An unclosed tag: it runs to the end of the text.
            text.truncate(open);
            break;
        }
        text.remove(open, close - open + 1);
    }
    return text;
}

QString TRavlinUpdater::ValueOf(const QStringList& fields, const QString& key) {
    for (const QString& field : fields) {
        const qsizetype equals = field.indexOf(QLatin1Char('='));
        if (equals < 0)
            continue;
        if (QStringView(field).left(equals).compare(key, Qt::CaseInsensitive) == 0)
            return field.mid(equals + 1);
    }
    return {};
}

QString TRavlinUpdater::DecodePage(const QByteArray& bytes) {
    if (IsValidUtf8(bytes))
        return QString::fromUtf8(bytes);
    return DecodeCp949(bytes);
}

bool TRavlinUpdater::IsUsableBanner(const QByteArray& bytes) {
    QByteArray data = bytes;
    QBuffer buffer(&data);
    if (!buffer.open(QIODevice::ReadOnly))
        return false;
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > kMaxBannerSide || size.height() > kMaxBannerSide)
        return false;
    QImage image;
    return reader.read(&image) && !image.isNull();
}

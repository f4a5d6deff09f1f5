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

// The picture decodes in full (a header alone is not enough: a file cut
// short still has one) and is not too large for a texture.
bool ReadsWhole(QImageReader& reader) {
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > kMaxBannerSide || size.height() > kMaxBannerSide)
        return false;
    QImage image;
    return reader.read(&image) && !image.isNull();
}

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

    // Korean pages of the Windows era come in code page 949, later ones in UTF-8.
    const QStringList fields = ParseFields(DecodeText(page));
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

QStringList TRavlinUpdater::ParseFields(const QString& page) {
    // Positions instead of deleting what was read: the page comes from the
    // network, and deleting from its front again and again takes minutes on
    // a long page full of markers, with the window thread blocked.
    QStringList fields;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype start = page.indexOf(kStartMarker, pos);
        if (start < 0)
            break;
        pos = start + kStartMarker.size();
        const qsizetype end = page.indexOf(kEndMarker, pos);
        // Without an end marker this start marker is just consumed, and so
        // is every later one: none of them is followed by an end either.
        if (end < 0)
            break;
        fields.append(RemoveTags(page.mid(pos, end - pos)));
        pos = end + kEndMarker.size();
    }
    return fields;
}

QString TRavlinUpdater::RemoveTags(const QString& text) {
    // One pass over the text. The rule: while a '<' is left, find the first
    // '>'; one before that '<' takes everything from the start of the text
    // through it, otherwise the '<' through the '>' goes. What has been kept
    // so far never holds a '<' or a '>', so both searches start at `pos`,
    // and a '>' before the next '<' drops everything kept so far.
    QString kept;
    qsizetype pos = 0;
    qsizetype open = text.indexOf(QLatin1Char('<'));
    qsizetype close = text.indexOf(QLatin1Char('>'));
    while (open >= 0) {
        if (close < 0) {
            // An unclosed tag: it runs to the end of the text.
            kept += QStringView(text).mid(pos, open - pos);
            return kept;
        }
        if (close < open) {
            kept.clear();
        } else {
            kept += QStringView(text).mid(pos, open - pos);
            open = text.indexOf(QLatin1Char('<'), close + 1);
        }
        pos = close + 1;
        close = text.indexOf(QLatin1Char('>'), pos);
    }
    kept += QStringView(text).mid(pos);
    return kept;
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

bool TRavlinUpdater::IsUsableBanner(const QByteArray& bytes) {
    QByteArray data = bytes;
    QBuffer buffer(&data);
    if (!buffer.open(QIODevice::ReadOnly))
        return false;
    QImageReader reader(&buffer);
    return ReadsWhole(reader);
}

bool TRavlinUpdater::IsUsableBannerFile(const QString& fileName) {
    QImageReader reader(fileName);
    return ReadsWhole(reader);
}

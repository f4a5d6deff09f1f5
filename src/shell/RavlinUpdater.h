#pragma once

#include <memory>
#include <QObject>
#include <QString>
#include <QStringList>

class THttpClient;

// The maker's update page, asked once at start-up.
extern const char* const kRavlinUpdatePageUrl;

// Asks the maker's update page whether a newer version exists and fetches
// the banner picture it may name. The page is ordinary HTML; only the text
// between "@@@@@@" and "######" markers is read, each such field holding one
// key=value entry once its tags are removed.
//
// The check runs in the constructor, synchronously, and never reports an
// error: whatever fails leaves the fields empty (or the previous banner in
// place). It blocks start-up, so the client bounds it in time and size (see
// THttpClient).
//
// The banner goes to the user's settings folder rather than beside the
// program, whose folder is usually not writable; the menu prefers it to the
// picture shipped with the program.
class TRavlinUpdater : public QObject {
    Q_OBJECT
public:
    // Runs GetUpdateInfo at once. `pageUrl` and `bannerFileName` default to
    // the maker's page and BannerFileName().
    explicit TRavlinUpdater(QObject* owner, const QString& pageUrl = QString(),
                            const QString& bannerFileName = QString());
    ~TRavlinUpdater() override;

    // Fetches and parses the page, then downloads the banner.
    void GetUpdateInfo();

    // The text of every marked field of `page`, tags removed, in page order.
    static QStringList ParseFields(const QString& page);
    // Removes HTML tags: a '>' before the first '<' takes everything up to it
    // along; an unclosed '<' takes the rest of the text.
    static QString RemoveTags(const QString& text);
    // Value of the first field reading exactly "<key>=..." (key compared
    // without regard to case), or empty.
    static QString ValueOf(const QStringList& fields, const QString& key);
    // Where downloaded banners are kept: SettingsDir() + "click_image.png".
    static QString BannerFileName();
    // A banner is kept only when it is a picture a texture can be made of.
    static bool IsUsableBanner(const QByteArray& bytes);
    // The same for a banner file kept earlier (it may have been cut short or
    // changed since).
    static bool IsUsableBannerFile(const QString& fileName);

    THttpClient& Client() const { return *FIdHttp; }

private:
    std::unique_ptr<THttpClient> FIdHttp;

public:
    QString latest_version;
    QString click_image_src;
    QString click_image_link;

private:
    QString FPageUrl;
    QString FBannerFileName;
};

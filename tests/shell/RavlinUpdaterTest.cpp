#include "shell/RavlinUpdater.h"

#include "LocalHttpServer.h"
#include "platform/CodePage949.h"
#include "TestSupport.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <iterator>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

namespace {

std::uint32_t Crc32(const QByteArray& bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= std::uint8_t(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray BigEndian(std::uint32_t value) {
    QByteArray bytes(4, 0);
    for (int i = 0; i < 4; ++i)
        bytes[i] = char((value >> (24 - 8 * i)) & 0xFF);
    return bytes;
}

QByteArray Chunk(const QByteArray& type, const QByteArray& data) {
    const QByteArray body = type + data;
    return BigEndian(std::uint32_t(data.size())) + body + BigEndian(Crc32(body));
}

// A valid PNG picture of exactly `size` bytes (at least 84): one grey
// pixel, padded with a text chunk.
QByteArray PngOfSize(int size) {
    const QByteArray header = BigEndian(1) + BigEndian(1) + QByteArray("\x08\x00\x00\x00\x00", 5);
    // zlib stream with one stored block holding the row "filter 0, pixel 0".
    const QByteArray pixels("\x78\x01\x01\x02\x00\xfd\xff\x00\x00\x00\x02\x00\x01", 13);
    QByteArray png =
        QByteArray("\x89PNG\r\n\x1a\n", 8) + Chunk("IHDR", header) + Chunk("IDAT", pixels);
    const int padding = size - int(png.size()) - 12 - 12 - 2;
    if (padding < 0)
        return {};
    png += Chunk("tEXt", QByteArray("p") + '\0' + QByteArray(padding, 'x'));
    return png + Chunk("IEND", {});
}

QByteArray Field(const QString& text) {
    return "@@@@@@" + text.toUtf8() + "######";
}

class RavlinUpdaterNetwork : public testing::Test {
protected:
    // Serves an update page naming `bannerAddress` and returns the check's
    // result.
    std::unique_ptr<TRavlinUpdater> CheckWithBanner(const QString& bannerAddress) {
        FServer.SetPage(QStringLiteral("/update.html"),
                        "<html><body>" + Field(QStringLiteral("latest_version=3.7")) +
                            Field(QStringLiteral("click_image_src=") + bannerAddress) +
                            Field(QStringLiteral("click_image_link=http://maker.example/")) +
                            "</body></html>");
        return Check();
    }
    std::unique_ptr<TRavlinUpdater> Check() {
        return std::make_unique<TRavlinUpdater>(
            nullptr, FServer.Url(QStringLiteral("/update.html")), BannerFile());
    }
    QString BannerFile() const { return FDir.filePath(QStringLiteral("click_image.png")); }

    TLocalHttpServer FServer;
    QTemporaryDir FDir;
};

} // namespace

TEST(RavlinUpdaterParsing, FieldsAreTheMarkedTextsWithTagsRemovedAndTheFirstKeyCounts) {
    const QString page = QStringLiteral(
        "latest_version=9.9 <p>@@@@@@<b>latest_version=3.7</b>######</p> between "
        "@@@@@@click_image_link=http://a.example/?x=1&y=2###### "
        "@@@@@@LATEST_VERSION=4.0###### after @@@@@@latest_version=5.0 without an end");
    const QStringList fields = TRavlinUpdater::ParseFields(page);
    EXPECT_EQ(fields, QStringList({QStringLiteral("latest_version=3.7"),
                                   QStringLiteral("click_image_link=http://a.example/?x=1&y=2"),
                                   QStringLiteral("LATEST_VERSION=4.0")}));
    // Text outside the markers is not read; a key read twice keeps its
    // first value; the value is everything after the first "=".
    EXPECT_EQ(TRavlinUpdater::ValueOf(fields, QStringLiteral("latest_version")), "3.7");
    EXPECT_EQ(TRavlinUpdater::ValueOf(fields, QStringLiteral("click_image_link")),
              "http://a.example/?x=1&y=2");
    EXPECT_EQ(TRavlinUpdater::ValueOf(fields, QStringLiteral("click_image_src")), "");

    // Spaces or line breaks round a key keep it from matching; letter case
    // does not.
    const QStringList loose = {QStringLiteral(" latest_version=3.9"),
                               QStringLiteral("latest_version\n=3.8"),
                               QStringLiteral("Latest_Version=3.7\r\n")};
    EXPECT_EQ(TRavlinUpdater::ValueOf(loose, QStringLiteral("latest_version")), "3.7\r\n");
}

TEST(RavlinUpdaterParsing, TagRemovalDropsAStrayBracketWithWhatPrecedesIt) {
    EXPECT_EQ(TRavlinUpdater::RemoveTags(QStringLiteral("x>latest_version=3.7<br>")),
              "latest_version=3.7");
    // Without the trailing tag there is no "<": the text stays whole and
    // names no key.
    const QString whole = TRavlinUpdater::RemoveTags(QStringLiteral("x>latest_version=3.7"));
    EXPECT_EQ(whole, "x>latest_version=3.7");
    EXPECT_EQ(TRavlinUpdater::ValueOf({whole}, QStringLiteral("latest_version")), "");

    EXPECT_EQ(TRavlinUpdater::RemoveTags(QStringLiteral("<font color=red>3</font>.<i>7</i>")),
              "3.7");
    // Entities and white space are left as they are.
    EXPECT_EQ(TRavlinUpdater::RemoveTags(QStringLiteral("a&amp; <b> b</b>  c")), "a&amp;  b  c");
    // An unclosed tag ends the removal and takes the rest of the text.
    EXPECT_EQ(TRavlinUpdater::RemoveTags(QStringLiteral("<i>a</i>b > c<d e")), " c");
    EXPECT_EQ(TRavlinUpdater::RemoveTags(QStringLiteral("latest_version=3.8<")),
              "latest_version=3.8");
}

namespace {

// The field and tag rules applied literally, one deletion at a time (slow on
// long pages, plain to check by eye): the reference the parser must agree
// with.
QString ReferenceRemoveTags(QString text) {
    while (text.contains(QLatin1Char('<'))) {
        const qsizetype open = text.indexOf(QLatin1Char('<'));
        const qsizetype close = text.indexOf(QLatin1Char('>'));
        if (close < 0)
            return text.left(open);
        if (close < open)
            text.remove(0, close + 1);
        else
            text.remove(open, close - open + 1);
    }
    return text;
}

QStringList ReferenceFields(QString page) {
    QStringList fields;
    while (page.contains(QStringLiteral("@@@@@@"))) {
        page.remove(0, page.indexOf(QStringLiteral("@@@@@@")) + 6);
        const qsizetype end = page.indexOf(QStringLiteral("######"));
        if (end < 0)
            continue;
        fields << ReferenceRemoveTags(page.left(end));
        page.remove(0, end + 6);
    }
    return fields;
}

} // namespace

TEST(RavlinUpdaterParsing, AgreesWithTheRulesOnRandomPages) {
    // Short pages over the characters that matter, long runs of markers and
    // brackets included.
    const QString pieces[] = {QStringLiteral("<"),      QStringLiteral(">"),
                              QStringLiteral("a"),      QStringLiteral("="),
                              QStringLiteral("@@@@@@"), QStringLiteral("######"),
                              QStringLiteral("@@@"),    QStringLiteral("###"),
                              QStringLiteral("<b>"),    QStringLiteral("x>")};
    std::uint32_t seed = 12345;
    auto next = [&seed](std::uint32_t n) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % n;
    };
    for (int round = 0; round < 20000; ++round) {
        QString page;
        const std::uint32_t length = next(24);
        for (std::uint32_t i = 0; i < length; ++i)
            page += pieces[next(std::size(pieces))];
        ASSERT_EQ(TRavlinUpdater::RemoveTags(page), ReferenceRemoveTags(page)) << qPrintable(page);
        ASSERT_EQ(TRavlinUpdater::ParseFields(page), ReferenceFields(page)) << qPrintable(page);
    }
}

TEST_F(RavlinUpdaterNetwork, PagesInTheKoreanCodePageUtf8OrMarkedUtf16AreDecoded) {
    const QString page =
        QStringLiteral("<p>새 버전</p>@@@@@@click_image_link=http://a.example/새소식######");
    QByteArray utf16("\xFF\xFE");
    for (const QChar c : page)
        utf16.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
    for (const QByteArray& bytes : {EncodeCp949(page), page.toUtf8(), utf16}) {
        FServer.SetPage(QStringLiteral("/update.html"), bytes);
        EXPECT_EQ(Check()->click_image_link, QStringLiteral("http://a.example/새소식"));
    }
}

TEST_F(RavlinUpdaterNetwork, ReadsThePageAndSavesABannerOfMoreThan100Bytes) {
    const QByteArray banner = PngOfSize(101);
    ASSERT_EQ(banner.size(), 101);
    ASSERT_TRUE(TRavlinUpdater::IsUsableBanner(banner));
    FServer.SetPage(QStringLiteral("/banner.png"), banner);
    const auto updater = CheckWithBanner(FServer.Url(QStringLiteral("/banner.png")));
    EXPECT_EQ(updater->latest_version, "3.7");
    EXPECT_EQ(updater->click_image_src, FServer.Url(QStringLiteral("/banner.png")));
    EXPECT_EQ(updater->click_image_link, "http://maker.example/");
    EXPECT_EQ(ReadFileBytes(BannerFile()), banner);
}

TEST_F(RavlinUpdaterNetwork, SmallOrUnreadableBannersLeaveThePreviousPictureInPlace) {
    const QByteArray previous = PngOfSize(300);
    ASSERT_TRUE(WriteFileBytes(BannerFile(), previous));

    const QByteArray hundred = PngOfSize(100);
    ASSERT_EQ(hundred.size(), 100);
    FServer.SetPage(QStringLiteral("/banner.png"), hundred);
    auto updater = CheckWithBanner(FServer.Url(QStringLiteral("/banner.png")));
    EXPECT_EQ(FServer.Requests(QStringLiteral("/banner.png")), 1);
    EXPECT_EQ(ReadFileBytes(BannerFile()), previous);

    // An error page served as the banner would break the menu's texture.
    FServer.SetPage(QStringLiteral("/banner.png"), QByteArray(500, 'x'));
    updater = CheckWithBanner(FServer.Url(QStringLiteral("/banner.png")));
    EXPECT_EQ(FServer.Requests(QStringLiteral("/banner.png")), 2);
    EXPECT_EQ(ReadFileBytes(BannerFile()), previous);

    FServer.SetResponse(QStringLiteral("/banner.png"), {404, PngOfSize(300), false});
    updater = CheckWithBanner(FServer.Url(QStringLiteral("/banner.png")));
    EXPECT_EQ(ReadFileBytes(BannerFile()), previous);
    EXPECT_EQ(updater->latest_version, "3.7");
}

TEST_F(RavlinUpdaterNetwork, ShortAndNonWebBannerAddressesAreNotFetched) {
    const QByteArray banner = PngOfSize(400);
    FServer.SetPage(QStringLiteral("/banner.png"), banner);

    auto updater = CheckWithBanner(QStringLiteral("http://"));
    EXPECT_EQ(updater->click_image_src, "http://");
    EXPECT_EQ(FServer.TotalRequests(), 1);

    const QString local = FDir.filePath(QStringLiteral("local.png"));
    ASSERT_TRUE(WriteFileBytes(local, banner));
    updater = CheckWithBanner(QStringLiteral("file://") + local);
    updater = CheckWithBanner(FServer.Url(QStringLiteral("/banner.png"))
                                  .replace(QStringLiteral("http://"), QStringLiteral("ftp://")));
    EXPECT_EQ(FServer.Requests(QStringLiteral("/banner.png")), 0);
    EXPECT_FALSE(QFile::exists(BannerFile()));
}

TEST_F(RavlinUpdaterNetwork, FailedOrOversizedPagesLeaveTheFieldsEmpty) {
    const QByteArray fields = Field(QStringLiteral("latest_version=3.7")) +
                              Field(QStringLiteral("click_image_link=http://maker.example/"));
    FServer.SetResponse(QStringLiteral("/update.html"), {500, fields, false});
    auto updater = Check();
    EXPECT_EQ(FServer.Requests(QStringLiteral("/update.html")), 1);
    EXPECT_TRUE(updater->latest_version.isEmpty());
    EXPECT_TRUE(updater->click_image_link.isEmpty());

    FServer.SetPage(QStringLiteral("/update.html"), fields + QByteArray(2 * 1024 * 1024, ' '));
    updater = Check();
    EXPECT_EQ(FServer.Requests(QStringLiteral("/update.html")), 2);
    EXPECT_TRUE(updater->latest_version.isEmpty());

    // Just under the limit the page is read.
    FServer.SetPage(QStringLiteral("/update.html"),
                    fields + QByteArray(2 * 1024 * 1024 - int(fields.size()), ' '));
    updater = Check();
    EXPECT_EQ(updater->latest_version, "3.7");

    // Nothing listens there.
    TRavlinUpdater closed(nullptr, QStringLiteral("http://127.0.0.1:1/update.html"), BannerFile());
    EXPECT_TRUE(closed.latest_version.isEmpty());
}

TEST_F(RavlinUpdaterNetwork, AServerThatNeverAnswersEndsTheCheckAtTheTimeout) {
    FServer.SetResponse(QStringLiteral("/update.html"), {200, {}, true});
    const auto updater = Check();
    // The constructor came back although the connection is still open.
    EXPECT_EQ(FServer.Requests(QStringLiteral("/update.html")), 1);
    EXPECT_TRUE(updater->latest_version.isEmpty());
    EXPECT_TRUE(updater->click_image_src.isEmpty());
}

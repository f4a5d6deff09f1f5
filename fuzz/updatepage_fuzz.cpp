// Feeds arbitrary bytes to the update page parser as a page from the
// network: it is decoded, its marked fields read with their tags removed,
// and the values the program uses looked up. No field keeps a '<' (a '>' without
// one before it is text),
// and the banner check accepts or refuses any bytes without harm.

#include "FuzzSupport.h"
#include "platform/CodePage949.h"
#include "shell/RavlinUpdater.h"

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::StartApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = fuzz::Bytes(data, size);
    const QStringList fields = TRavlinUpdater::ParseFields(DecodeText(bytes));
    for (const QString& field : fields)
        if (field.contains(QLatin1Char('<')))
            std::abort();
    for (const char* key : {"latest_version", "click_image_src", "click_image_link"}) {
        const QString value = TRavlinUpdater::ValueOf(fields, QString::fromLatin1(key));
        if (!value.isEmpty() && !fields.join(QLatin1Char('\n')).contains(value))
            std::abort();
    }
    (void)TRavlinUpdater::IsUsableBanner(bytes);
    return 0;
}

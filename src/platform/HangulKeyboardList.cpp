#include "platform/HangulKeyboardList.h"

#include "app/MediaPath.h"
#include "platform/HangulKeyboardXml.h"

#include <hangul.h>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

namespace {

// libhangul only accepts new keyboards into its list once it has been
// initialised; before that it serves a fixed built-in list. Initialising
// reads the system's keyboard definitions in place of the built-in list; when
// they are missing the list would be empty and not even Dubeolsik would type,
// so the library is then returned to its built-in list and nothing can be
// registered. True when keyboards can be registered.
bool InitialiseLibrary() {
    static const bool initialised = [] {
        if (hangul_init() == 0 && hangul_keyboard_list_get_keyboard("2"))
            return true;
        hangul_fini();
        return false;
    }();
    return initialised;
}

} // namespace

bool THangulKeyboardList::IsCompleteDefinition(const QString& path, const QString& id) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QXmlStreamReader xml(&file);
    bool rootSeen = false;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && !rootSeen) {
            rootSeen = true;
            if (xml.name() != QLatin1String("hangul-keyboard") ||
                xml.attributes().value(QLatin1String("id")) != id)
                return false;
        }
    }
    return rootSeen && !xml.hasError();
}

int THangulKeyboardList::RegisterGenerated(const QString& appDir) {
    int registered = 0;
    for (int layout : THangulKeyboardXml::GeneratedLayouts()) {
        const QByteArray id = THangulKeyboardXml::KeyboardId(layout).toLatin1();
        if (hangul_keyboard_list_get_keyboard(id.constData())) {
            ++registered;
            continue;
        }
        const QString path = PathIgnoringCase(appDir, THangulKeyboardXml::FileName(layout));
        if (!QFileInfo(path).isFile() || !IsCompleteDefinition(path, QString::fromLatin1(id)))
            continue;
        if (!InitialiseLibrary())
            break;
        HangulKeyboard* keyboard = hangul_keyboard_new_from_file(QFile::encodeName(path));
        if (!keyboard)
            continue;
        // The list owns what it registered.
        if (!hangul_keyboard_list_register_keyboard(keyboard)) {
            hangul_keyboard_delete(keyboard);
            continue;
        }
        ++registered;
    }
    return registered;
}

QString THangulKeyboardList::KeyboardIdForLayout(int languageIndex) {
    QString id;
    switch (languageIndex) {
    case 2:
        id = QStringLiteral("39");
        break;
    case 3:
        id = QStringLiteral("3s");
        break;
    case 4:
        id = QStringLiteral("3f");
        break;
    default:
        id = THangulKeyboardXml::KeyboardId(languageIndex);
        break;
    }
    if (id.isEmpty() || !hangul_keyboard_list_get_keyboard(id.toLatin1().constData()))
        id = QStringLiteral("2");
    return id;
}

#include "gl/MaterialList.h"

#include "app/MediaPath.h"
#include "app/RavlinError.h"
#include "gl/ObjTokenizer.h"

#include <QFile>
#include <QFileInfo>
#include <string>

namespace {

float FloatOrThrow(std::string_view token) {
    float value = 0;
    if (!ParseObjFloat(token, value))
        throw ERavlinError(
            QStringLiteral("'%1' is not a valid floating point value").arg(ObjText(token)));
    return value;
}

int IntOrThrow(std::string_view token) {
    int value = 0;
    if (!ParseObjInt(token, value))
        throw ERavlinError(QStringLiteral("'%1' is not a valid integer value").arg(ObjText(token)));
    return value;
}

// "Ka 0.5" is grey 0.5 with alpha as it was; "Ka r g b" has alpha 1.
void ParseColour(TObjTokenizer& tokens, TLight& colour) {
    colour.R = FloatOrThrow(tokens.Next());
    if (!tokens.AtEnd()) {
        colour.G = FloatOrThrow(tokens.Next());
        colour.B = FloatOrThrow(tokens.Next());
        colour.A = 1;
    } else {
        colour.G = colour.B = colour.R;
    }
    colour.data_assigned = true;
}

} // namespace

bool TMaterialList::LoadMTL(const QString& fn) {
    const QString path = MediaPath(fn);
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = file.readAll();
    file.close();
    FDir = QFileInfo(path).absolutePath() + QLatin1Char('/');
    ParseMTL(data);
    return true;
}

void TMaterialList::ParseMTL(const QByteArray& data) {
    Clear();
    TMaterialItem* current = nullptr;
    TObjTokenizer::ForEachLine(
        std::string_view(data.constData(), std::size_t(data.size())), [&](std::string_view line) {
            TObjTokenizer tokens(line);
            const std::string_view key = tokens.Next();
            if (key == "newmtl") {
                FItems.push_back(std::make_unique<TMaterialItem>());
                current = FItems.back().get();
                current->Name = ObjText(tokens.Next());
                return;
            }
            if (!current)
                return;
            if (key == "map_Ka" || key == "map_Kd" || key == "map_Ks") {
                // The rest of the line, its words joined by single spaces. A
                // line naming no file leaves the map empty.
                std::string name;
                for (std::string_view word = tokens.Next(); !word.empty(); word = tokens.Next()) {
                    if (!name.empty())
                        name += ' ';
                    name.append(word);
                }
                const QString path = name.empty() ? QString() : FDir + ObjText(name);
                if (key == "map_Ka")
                    current->map_ka = path;
                else if (key == "map_Kd")
                    current->map_kd = path;
                else
                    current->map_ks = path;
            } else if (key == "Ka") {
                ParseColour(tokens, current->Ambient);
            } else if (key == "Kd") {
                ParseColour(tokens, current->Diffuse);
            } else if (key == "Ks") {
                ParseColour(tokens, current->Specular);
            } else if (key == "Tf") {
                ParseColour(tokens, current->Tf);
            } else if (key == "tf") {
                ParseColour(tokens, current->Filter);
            } else if (key == "Tr") {
                current->Tr = FloatOrThrow(tokens.Next());
            } else if (key == "illum") {
                current->illum = IntOrThrow(tokens.Next());
            }
        });
}

TMaterialItem* TMaterialList::FindMaterial(const QString& materialName) const {
    for (const auto& item : FItems) {
        if (item->Name == materialName)
            return item.get();
    }
    return nullptr;
}

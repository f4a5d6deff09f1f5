#include "app/SettingsStore.h"

#include "app/Folders.h"

#include <algorithm>

TSentenceSetupRec SentenceSetup;
TKeyboardSetupRec KeyboardSetup;
TSaveMeGameSetUpRec SaveMeGameSetUp;

namespace {

const QString kSentence = QStringLiteral("SentenceSetup");
// The same section: names ignore letter case, and these keys have always been
// written under this spelling.
const QString kSentenceAlt = QStringLiteral("SentenceSetUp");
const QString kKeyboard = QStringLiteral("KeyboardSetup");
const QString kSaveMe = QStringLiteral("SaveMeGameSetUp");

TColor ReadColor(const TIniFile& ini, const QString& section, const QString& key, TColor def) {
    return static_cast<TColor>(ini.ReadInteger(section, key, static_cast<int>(def)));
}

void WriteColor(TIniFile& ini, const QString& section, const QString& key, TColor value) {
    ini.WriteInteger(section, key, static_cast<int>(value));
}

} // namespace

QString SettingsIniPath() {
    return SettingsDir() + QStringLiteral("Ravlin.ini");
}

TIniFile OpenSettingsIni() {
    return TIniFile(SettingsIniPath());
}

void CloseSettingsIni(TIniFile& ini) {
    ini.UpdateFile();
}

QString DefaultBackImage() {
    return QStringLiteral("1") + AppDir() + QStringLiteral("Images/best_wood.jpg|1") + AppDir() +
           QStringLiteral("Models/Maps/White_Cloud.png");
}

void ReadSentenceSetup(const TIniFile& ini, TSentenceSetupRec& rec) {
    rec.SpeedLimit = ini.ReadInteger(kSentence, QStringLiteral("SpeedLimit"), 150);
    rec.UseSpeedLimit = ini.ReadBool(kSentence, QStringLiteral("UseSpeedLimit"), false);
    rec.UseSound = ini.ReadBool(kSentence, QStringLiteral("UseSound"), true);
    rec.ShowWrongJohap = ini.ReadBool(kSentence, QStringLiteral("ShowWrongJohap"), true);
    rec.LineCount = ini.ReadInteger(kSentenceAlt, QStringLiteral("LineCount"), 1);
    if (rec.LineCount < 1 || rec.LineCount > 15)
        rec.LineCount = 1;
    rec.BackImage = ini.ReadString(kSentence, QStringLiteral("BackImage"), DefaultBackImage());
    rec.FontColor = ReadColor(ini, kSentence, QStringLiteral("FontColor"), clWindowText);
    rec.FontSize = ini.ReadInteger(kSentence, QStringLiteral("FontSize"), 22);
    rec.FontName = ini.ReadString(kSentence, QStringLiteral("FontName"), QStringLiteral("굴림체"));
    rec.FontBold = ini.ReadBool(kSentence, QStringLiteral("FontBold"), true);
    rec.FontItalic = ini.ReadBool(kSentence, QStringLiteral("FontItalic"), false);
    rec.WrongMarkColor = ReadColor(ini, kSentence, QStringLiteral("WrongMarkColor"), clRed);
    rec.TextName = ini.ReadString(kSentenceAlt, QStringLiteral("TextName"), QString());
    // A value the program never writes means automatic.
    rec.HangulInput = ini.ReadInteger(kSentence, QStringLiteral("HangulInput"), 0);
    if (rec.HangulInput < 0 || rec.HangulInput > 2)
        rec.HangulInput = 0;
}

void WriteSentenceSetup(TIniFile& ini, const TSentenceSetupRec& rec) {
    ini.WriteInteger(kSentence, QStringLiteral("SpeedLimit"), rec.SpeedLimit);
    ini.WriteBool(kSentence, QStringLiteral("UseSpeedLimit"), rec.UseSpeedLimit);
    ini.WriteBool(kSentence, QStringLiteral("UseSound"), rec.UseSound);
    ini.WriteBool(kSentence, QStringLiteral("ShowWrongJohap"), rec.ShowWrongJohap);
    ini.WriteInteger(kSentenceAlt, QStringLiteral("LineCount"), rec.LineCount);
    ini.WriteString(kSentence, QStringLiteral("BackImage"), rec.BackImage);
    WriteColor(ini, kSentence, QStringLiteral("FontColor"), rec.FontColor);
    ini.WriteInteger(kSentence, QStringLiteral("FontSize"), rec.FontSize);
    ini.WriteString(kSentence, QStringLiteral("FontName"), rec.FontName);
    ini.WriteBool(kSentence, QStringLiteral("FontBold"), rec.FontBold);
    ini.WriteBool(kSentence, QStringLiteral("FontItalic"), rec.FontItalic);
    WriteColor(ini, kSentence, QStringLiteral("WrongMarkColor"), rec.WrongMarkColor);
    ini.WriteString(kSentenceAlt, QStringLiteral("TextName"), rec.TextName);
    ini.WriteInteger(kSentence, QStringLiteral("HangulInput"), rec.HangulInput);
}

void ReadKeyboardSetup(const TIniFile& ini, TKeyboardSetupRec& rec) {
    rec.UseSound = ini.ReadBool(kKeyboard, QStringLiteral("UseSound"), true);
    rec.ShowFinger = ini.ReadBool(kKeyboard, QStringLiteral("ShowFinger"), true);
    rec.AlwaysShowEnglish = ini.ReadBool(kKeyboard, QStringLiteral("AlwaysShowEnglish"), true);
    rec.MoveProblem = ini.ReadBool(kKeyboard, QStringLiteral("MoveProblem"), true);
    rec.WeakKeysFirst = ini.ReadBool(kKeyboard, QStringLiteral("WeakKeysFirst"), false);
    rec.languageIndex = ini.ReadInteger(kKeyboard, QStringLiteral("LanguageIndex"), 0);
    rec.TextureFileName = ini.ReadString(kKeyboard, QStringLiteral("TextureFileName"),
                                         QStringLiteral("[key] wood.bmp"));
    rec.FontName = ini.ReadString(kKeyboard, QStringLiteral("FontName"), QStringLiteral("굴림체"));
    rec.FontSize = ini.ReadInteger(kKeyboard, QStringLiteral("FontSize"), 16);
    rec.FontColor = ReadColor(ini, kKeyboard, QStringLiteral("FontColor"), clBlack);
    rec.FontBold = ini.ReadBool(kKeyboard, QStringLiteral("FontBold"), true);
    rec.FontItalic = ini.ReadBool(kKeyboard, QStringLiteral("FontItalic"), false);
}

void WriteKeyboardSetup(TIniFile& ini, const TKeyboardSetupRec& rec) {
    ini.WriteBool(kKeyboard, QStringLiteral("UseSound"), rec.UseSound);
    ini.WriteBool(kKeyboard, QStringLiteral("ShowFinger"), rec.ShowFinger);
    ini.WriteBool(kKeyboard, QStringLiteral("AlwaysShowEnglish"), rec.AlwaysShowEnglish);
    ini.WriteBool(kKeyboard, QStringLiteral("MoveProblem"), rec.MoveProblem);
    ini.WriteBool(kKeyboard, QStringLiteral("WeakKeysFirst"), rec.WeakKeysFirst);
    ini.WriteInteger(kKeyboard, QStringLiteral("LanguageIndex"), rec.languageIndex);
    ini.WriteString(kKeyboard, QStringLiteral("TextureFileName"), rec.TextureFileName);
    ini.WriteString(kKeyboard, QStringLiteral("FontName"), rec.FontName);
    ini.WriteInteger(kKeyboard, QStringLiteral("FontSize"), rec.FontSize);
    WriteColor(ini, kKeyboard, QStringLiteral("FontColor"), rec.FontColor);
    ini.WriteBool(kKeyboard, QStringLiteral("FontBold"), rec.FontBold);
    ini.WriteBool(kKeyboard, QStringLiteral("FontItalic"), rec.FontItalic);
}

void ReadSaveMeGameSetUp(const TIniFile& ini, TSaveMeGameSetUpRec& rec) {
    rec.UseSound = ini.ReadBool(kSaveMe, QStringLiteral("UseSound"), true);
    rec.UseBGM = ini.ReadBool(kSaveMe, QStringLiteral("UseBGM"), true);
    rec.GameLevel = ini.ReadInteger(kSaveMe, QStringLiteral("GameLevel"), 1);
    rec.FontName = ini.ReadString(kSaveMe, QStringLiteral("FontName"), QStringLiteral("궁서"));
    rec.FontSize = ini.ReadInteger(kSaveMe, QStringLiteral("FontSize"), 36);
    rec.FontBold = ini.ReadBool(kSaveMe, QStringLiteral("FontBold"), true);
    rec.FontItalic = ini.ReadBool(kSaveMe, QStringLiteral("FontItalic"), false);
    rec.TextName = ini.ReadString(kSaveMe, QStringLiteral("TextName"), QString());
}

void WriteSaveMeGameSetUp(TIniFile& ini, const TSaveMeGameSetUpRec& rec) {
    ini.WriteBool(kSaveMe, QStringLiteral("UseSound"), rec.UseSound);
    ini.WriteBool(kSaveMe, QStringLiteral("UseBGM"), rec.UseBGM);
    ini.WriteInteger(kSaveMe, QStringLiteral("GameLevel"), rec.GameLevel);
    ini.WriteString(kSaveMe, QStringLiteral("FontName"), rec.FontName);
    ini.WriteInteger(kSaveMe, QStringLiteral("FontSize"), rec.FontSize);
    ini.WriteBool(kSaveMe, QStringLiteral("FontBold"), rec.FontBold);
    ini.WriteBool(kSaveMe, QStringLiteral("FontItalic"), rec.FontItalic);
    ini.WriteString(kSaveMe, QStringLiteral("TextName"), rec.TextName);
}

void LoadSentenceSetup() {
    const TIniFile ini = OpenSettingsIni();
    ReadSentenceSetup(ini, SentenceSetup);
}

void SaveSentenceSetup() {
    TIniFile ini = OpenSettingsIni();
    WriteSentenceSetup(ini, SentenceSetup);
    CloseSettingsIni(ini);
}

void LoadKeyboardSetup() {
    const TIniFile ini = OpenSettingsIni();
    ReadKeyboardSetup(ini, KeyboardSetup);
}

void SaveKeyboardSetup() {
    TIniFile ini = OpenSettingsIni();
    WriteKeyboardSetup(ini, KeyboardSetup);
    CloseSettingsIni(ini);
}

void LoadSaveMeGameSetUp() {
    const TIniFile ini = OpenSettingsIni();
    ReadSaveMeGameSetUp(ini, SaveMeGameSetUp);
}

void SaveSaveMeGameSetUp() {
    TIniFile ini = OpenSettingsIni();
    WriteSaveMeGameSetUp(ini, SaveMeGameSetUp);
    CloseSettingsIni(ini);
}

int StoredKeyboardLayoutIndex() {
    const TIniFile ini = OpenSettingsIni();
    TKeyboardSetupRec stored;
    ReadKeyboardSetup(ini, stored);
    return stored.languageIndex;
}

QString StoredFileHistoryKey(const QString& key) {
    if (TIniFile::KeyRoundTrips(key))
        return key;
    qsizetype keptEnd = key.size();
    while (keptEnd > 0 && (key[keptEnd - 1] == u' ' || key[keptEnd - 1] == u'\t'))
        --keptEnd;
    QString escaped = QStringLiteral("/");
    for (qsizetype i = 0; i < key.size(); ++i) {
        const char16_t c = key[i].unicode();
        if (c == u'%' || c == u'=' || c < 0x20 || c == 0x7F || i >= keptEnd)
            escaped += u'%' + QStringLiteral("%1").arg(int(c), 2, 16, QLatin1Char('0')).toUpper();
        else
            escaped += key[i];
    }
    return escaped;
}

int ReadFileHistory(const TIniFile& ini, const QString& key) {
    const QString section = QLatin1String(kFileHistorySection);
    const QString stored = StoredFileHistoryKey(key);
    int line = ini.ReadInteger(section, stored, 0);
    if (stored != key && !ini.ValueExists(section, stored))
        line = ini.ReadInteger(section, key, 0);
    return std::max(0, line);
}

void WriteFileHistory(TIniFile& ini, const QString& key, int line) {
    const QString section = QLatin1String(kFileHistorySection);
    const QString stored = StoredFileHistoryKey(key);
    if (stored != key)
        ini.DeleteKey(section, key);
    ini.WriteInteger(section, stored, line);
    ini.EraseEmptySections();
}

// Feeds arbitrary bytes to the settings loader as "Ravlin.ini": the file is
// edited by hand, and whatever it holds must load (a garbled file loads as
// empty), fill the three setup records and the resume positions, and save
// again. What the records read from it must survive a save and a reload
// unchanged: a value the program wrote must read back as itself.

#include "app/IniFile.h"
#include "app/SettingsStore.h"
#include "FuzzSupport.h"

#include <cstdlib>

namespace {

QByteArray RecordsAsIni(const TSentenceSetupRec& sentence, const TKeyboardSetupRec& keyboard,
                        const TSaveMeGameSetUpRec& game) {
    TIniFile ini(fuzz::ScratchDir().filePath(QStringLiteral("never-written.ini")));
    WriteSentenceSetup(ini, sentence);
    WriteKeyboardSetup(ini, keyboard);
    WriteSaveMeGameSetUp(ini, game);
    return ini.ToBytes();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::StartApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString path = fuzz::WriteInput(QStringLiteral("Ravlin.ini"), fuzz::Bytes(data, size));
    TIniFile ini(path);
    TSentenceSetupRec sentence;
    TKeyboardSetupRec keyboard;
    TSaveMeGameSetUpRec game;
    ReadSentenceSetup(ini, sentence);
    ReadKeyboardSetup(ini, keyboard);
    ReadSaveMeGameSetUp(ini, game);

    // Every resume position the file holds reads as a line number.
    for (const QString& key : ini.ReadSection(QString::fromLatin1(kFileHistorySection)))
        if (ReadFileHistory(ini, key) < 0)
            std::abort();
    for (const QString& section : ini.Sections())
        (void)ini.ReadSection(section);

    // The records written and read back are the same records.
    const QByteArray saved = RecordsAsIni(sentence, keyboard, game);
    const QString again = fuzz::WriteInput(QStringLiteral("Ravlin-again.ini"), saved);
    TIniFile reloaded(again);
    TSentenceSetupRec sentence2;
    TKeyboardSetupRec keyboard2;
    TSaveMeGameSetUpRec game2;
    ReadSentenceSetup(reloaded, sentence2);
    ReadKeyboardSetup(reloaded, keyboard2);
    ReadSaveMeGameSetUp(reloaded, game2);
    if (RecordsAsIni(sentence2, keyboard2, game2) != saved)
        std::abort();

    // A resume position written under a key from the file reads back.
    const QStringList keys = ini.ReadSection(QString::fromLatin1(kFileHistorySection));
    if (!keys.isEmpty()) {
        WriteFileHistory(reloaded, keys.first(), 7);
        if (ReadFileHistory(reloaded, keys.first()) != 7)
            std::abort();
    }
    return 0;
}

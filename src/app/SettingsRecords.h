#pragma once

#include "app/Colors.h"
#include "app/KeyboardLayouts.h"

#include <QString>

// The three settings records. Each has one process-wide instance, filled by
// its setup dialog through the settings store and read by the exercise
// screens. Until a dialog loads it, a record holds its zero value.

// Sentence practice.
struct TSentenceSetupRec {
    int SpeedLimit = 0;         // target speed, keystrokes per minute
    bool UseSpeedLimit = false; // a page typed slower than SpeedLimit is repeated
    bool UseSound = false;
    int LineCount = 0;           // lines shown at once, 1 to 15
    bool ShowWrongJohap = false; // mark a wrong jamo while a syllable is composed
    QString BackImage;           // "|"-separated entries: flag '1'/'0' + full path
    TColor FontColor = 0;
    int FontSize = 0;
    QString FontName;
    bool FontBold = false;
    bool FontItalic = false;
    TColor WrongMarkColor = 0;
    QString TextName; // practice text: file name in "Text/" without ".txt"
    // Which composer writes Hangul ("한글 입력"): 0 automatic, 1 the built-in
    // composer, 2 the desktop input method (the values of TInputMethodChoice).
    int HangulInput = 0;
};

// Keyboard practice.
struct TKeyboardSetupRec {
    int languageIndex = 0;   // keyboard layout 0 to 8
    TKeyGroupSet KeyGroup;   // drilled key groups; not stored in the INI file
    QString TextureFileName; // key-cap texture below "models/maps/"
    bool AlwaysShowEnglish = false;
    bool MoveProblem = false;
    bool UseSound = false;
    bool ShowFinger = false;
    bool WeakKeysFirst = false; // "약한 글쇠 위주로": pick weighted by the history
    QString FontName;
    int FontSize = 0;
    TColor FontColor = 0;
    bool FontBold = false;
    bool FontItalic = false;
};

// The Orbalon game.
struct TSaveMeGameSetUpRec {
    int GameLevel = 0;
    bool UseSound = false;
    bool UseBGM = false;
    QString FontName;
    int FontSize = 0;
    bool FontBold = false;
    bool FontItalic = false;
    QString TextName; // word file: file name in "Text/" without ".game"
};

// The process-wide records.
extern TSentenceSetupRec SentenceSetup;
extern TKeyboardSetupRec KeyboardSetup;
extern TSaveMeGameSetUpRec SaveMeGameSetUp;

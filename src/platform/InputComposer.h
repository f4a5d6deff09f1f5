#pragma once

#include <functional>
#include <memory>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

class QEvent;
class QInputMethodEvent;
class QKeyEvent;
struct _HangulInputContext;
class TKanaInput;

// Input language of a typing widget: tlNative composes Hangul (or kana on a
// kana layout), tlEng types Latin letters as they are.
// Fixed to int, so that any stored or passed number is a value of the type
// (SetTypingLang ignores all but the two); without it, a number other than 0
// and 1 would be undefined behaviour already when converted.
enum TTypingLang : int { tlNative, tlEng };

// Which composer writes Hangul in a widget that has both: imcAuto the
// desktop input method where one is active, the built-in composer
// otherwise; imcBuiltIn always the built-in one (the desktop method is
// switched off for the widget); imcSystem always the desktop method (the
// built-in composer never composes). The values are stored in the settings
// file; fixed to int for the same reason as TTypingLang, so a damaged stored
// value is a value of the type that the setter can refuse.
enum TInputMethodChoice : int { imcAuto = 0, imcBuiltIn = 1, imcSystem = 2 };

// TInputComposer turns a widget's keyboard and input-method input into a
// uniform stream of composition events, whichever way the text is composed:
//
//  * by the desktop's input method (ibus, fcitx, ...): Qt delivers its
//    pre-edit and commit strings as QInputMethodEvents;
//  * by the built-in composer (libhangul for Hangul, TKanaInput for kana):
//    while TypingLang() is tlNative and no desktop pre-edit is active, key
//    presses are composed here, so Korean and Japanese can be typed on a
//    machine without a desktop input method.
//
// Events, always in this order for one syllable:
//   OnCompositionStart, OnCompositionUpdate(c)..., OnCompositionCommit(c),
//   [OnCompositionUpdate(next) ... OnCompositionCommit(next) ...], OnCompositionEnd.
// An update carries the single character being composed (0 when the
// composition became empty); a commit the finished character. Typing on from
// 한 with ㅏ gives Update(하) (the ㄴ leaves), Commit(하), Update(나) without an
// end in between. Characters an input method produces without composing
// them (a symbol key of a Sebeolsik layout, text committed by the desktop
// input method without a pre-edit) arrive as OnDirectChar: treat them like
// typed keys.
//
// Desktop input methods order their events differently; all give the same
// composer events. fcitx5 sends a commit and the next pre-edit in one event;
// ibus first clears the pre-edit and then commits in a second event, so a
// cleared pre-edit only ends the composition when the next event brings no
// commit, a key arrives, Commit() is called, or a moment has passed without
// one (the last jamo taken back, the pre-edit dropped on focus loss).
//
// Keys the composer does not consume are left to the widget,
// after any pending composition has been committed, so the order of the text
// is kept.
//
// Keys of the built-in composer (when it is in use):
//   letters and symbols   composed by the selected Hangul keyboard; the key's
//                         position on a US keyboard is what counts (the
//                         native scan code), so any desktop layout works;
//                         synthesized events without a scan code use their text
//   Backspace             takes the last jamo back while composing
//   Hangul key            (the key, or the keysyms Hangul and Hangul_Hanja on
//                         any key) toggles TypingLang (raises
//                         OnTypingLangChanged)
//   Right Alt             toggles only where the desktop layout makes it a
//                         plain Alt key; as AltGr (keysym ISO_Level3_Shift,
//                         Qt::Key_AltGr), Mode_switch or Compose it stays what
//                         it is, so "@" can be typed on a German layout
//   Shift+Space           toggles only while the text being typed is Korean
//                         (SetKoreanText); elsewhere it is a space
//   anything else         commits the pending syllable and is not consumed
// Once a desktop input method has composed Hangul in the widget, the toggle
// keys are its business: the composer leaves them to it, so the two never
// switch on the same key.
// The keyboard follows the keyboard layout index (the keyboard settings'
// languageIndex): the Sebeolsik layouts 2 = 3-90, 3 = no-shift, 4 = 3-91
// final, 5 = 3-2011 and 6 = 3-2012 (the last two generated from the layout
// tables, see THangulKeyboardList); 7 and 8 type kana through TKanaInput
// (hiragana or katakana; the JIS keys ひらがな/カタカナ, F6 and F7 switch
// between them); any other index types Dubeolsik.
//
// Ways to use it:
//
// 1. A widget that handles its own events (the sentence practice control):
//        keyPressEvent(e):    if (composer.HandleKeyPress(e)) return; ...own keys...
//        inputMethodEvent(e): composer.HandleInputMethodEvent(e);
//        focusOutEvent(e):    composer.Commit();
//    The widget sets Qt::WA_InputMethodEnabled and answers inputMethodQuery
//    (Qt::ImEnabled true) so that the desktop input method talks to it.
//
// 2. A QLineEdit-like widget (anything that shows QInputMethodEvents):
//        auto* composer = new TInputComposer(lineEdit);
//        composer->Attach(lineEdit, /*echo=*/true);
//    The composer filters the widget's events: keys it composes never reach
//    the widget; instead the pre-edit and commit strings of the built-in
//    composer are sent to the widget as QInputMethodEvents, so the line edit
//    shows the syllable being composed and inserts the finished one exactly
//    as with a desktop input method. Events of the desktop input method pass
//    through to the widget untouched. Focus loss and mouse presses commit.
//    The On... events fire as well, for answer boxes that count keystrokes
//    or check words; with echo they are notifications only.
//
// 3. A widget that must stay in Latin input (a GL panel's FixImeModeToEnglish)
//    needs no composer: leaving Qt::WA_InputMethodEnabled off makes the
//    desktop input method pass its keys through untouched. A widget that
//    owns a composer for other reasons keeps it Latin with
//    SetTypingLang(tlEng), again from OnTypingLangChanged if the learner
//    toggles.
//
// Commit() ends a pending composition (the syllable is committed); the games
// call it before they judge an answer.
class TInputComposer : public QObject {
    Q_OBJECT
public:
    explicit TInputComposer(QObject* parent = nullptr);
    ~TInputComposer() override;

    // ---- Feeding events -------------------------------------------------

    // Offers a key press to the composer. True when it consumed the key;
    // false when the widget should handle it itself.
    bool HandleKeyPress(QKeyEvent* event);
    // Takes a QInputMethodEvent of the desktop input method.
    void HandleInputMethodEvent(QInputMethodEvent* event);

    // Filters `target`'s events as described above (echo: mirror the
    // built-in composition into the target as QInputMethodEvents). One
    // target at a time; Attach(nullptr) detaches.
    void Attach(QWidget* target, bool echo);
    QWidget* Target() const { return FTarget.data(); }

    // ---- State ----------------------------------------------------------

    // tlNative while the built-in composer composes Hangul; a new composer
    // starts in tlEng. Reads tlEng when no Hangul keyboard could be opened
    // (the mode cannot be read); writing then does nothing. Writing another
    // value commits a pending composition first and raises
    // OnTypingLangChanged.
    TTypingLang TypingLang() const;
    void SetTypingLang(TTypingLang value);

    // The text being typed is Korean: only then does Shift+Space toggle.
    // False for a new composer.
    bool KoreanText() const { return FKoreanText; }
    void SetKoreanText(bool value) { FKoreanText = value; }

    // A desktop input method composes Hangul for the widget (it has shown a
    // Hangul pre-edit here, or a caller said so): the toggle keys are then
    // left to it.
    bool DesktopInputMethodActive() const { return FDesktopMethodActive; }
    void SetDesktopInputMethodActive(bool value);

    // A desktop input method is set up for the program (QT_IM_MODULE or
    // QT_IM_MODULES names one), so it may be composing even before it has
    // shown a pre-edit here. Read from the environment by the constructor.
    bool DesktopInputMethodRequested() const { return FDesktopMethodRequested; }
    void SetDesktopInputMethodRequested(bool value);
    static bool DesktopInputMethodInEnvironment();

    // One composer at a time (see TInputMethodChoice). Under imcAuto with a
    // desktop method requested or active, and always under imcSystem, the
    // built-in composer stays off: SetTypingLang(tlNative) from the program
    // is ignored, and when a desktop method starts composing Hangul the
    // built-in composer is switched off. The learner may still turn it on
    // with a toggle key while no desktop method has composed (a running
    // method takes those keys itself). Under imcBuiltIn the widget should
    // refuse the desktop method (AcceptsDesktopInput) and the toggle keys
    // always belong to the built-in composer.
    TInputMethodChoice InputMethodChoice() const { return FChoice; }
    void SetInputMethodChoice(TInputMethodChoice value);
    // Whether the widget should take the desktop input method's input
    // (answer Qt::ImEnabled with it).
    bool AcceptsDesktopInput() const { return FChoice != imcBuiltIn; }

    // The input mode the learner types in, for the indicator beside an
    // answer box: tlNative while the built-in composer composes or the
    // desktop method was last seen composing (a Hangul or kana pre-edit or
    // commit), tlEng after a Latin key reached the widget past the desktop
    // method, or with neither composing.
    TTypingLang InputMode() const;
    // The indicator's text: "가" for Hangul, "あ" for kana, "A" for Latin.
    QString InputModeLabel() const;

    // Selects the keyboard for a keyboard layout index (see above). A pending
    // composition is committed first. The constructor selects the Hangul
    // layout stored by the keyboard setup in the settings file (Dubeolsik
    // when it stored a kana one: see TKanaInput::LayoutForText).
    void SetKeyboardLayoutIndex(int languageIndex);
    // libhangul's id of the Hangul keyboard ("2", "39", "3s", "3f",
    // "ravlin-3-2011", ...); while kana are typed it is not in use.
    QString KeyboardId() const { return FKeyboardId; }
    // The kana input while a kana layout is selected, nullptr otherwise.
    const TKanaInput* KanaInput() const { return FKana.get(); }
    // The libhangul keyboard id for a layout index.
    static QString KeyboardIdForLayout(int languageIndex);

    // A composition is in progress (built-in or desktop).
    bool IsComposing() const { return FSource != csNone; }
    // The character being composed, 0 when none.
    QChar ComposingChar() const { return FShownChar; }

    // Ends a pending composition: its character is committed and the
    // composition ends. Nothing happens when none is pending.
    void Commit();

    // ---- Events ---------------------------------------------------------

    std::function<void(TInputComposer* Sender)> OnCompositionStart;
    std::function<void(TInputComposer* Sender, QChar c)> OnCompositionUpdate;
    std::function<void(TInputComposer* Sender, QChar c)> OnCompositionCommit;
    std::function<void(TInputComposer* Sender)> OnCompositionEnd;
    std::function<void(TInputComposer* Sender, QChar c)> OnDirectChar;
    std::function<void(TInputComposer* Sender)> OnTypingLangChanged;

signals:
    // InputMode() or InputModeLabel() changed (any number of indicators may
    // follow one composer).
    void InputModeChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum TSource { csNone, csBuiltIn, csSystem };

    // Raises the events for what an input method committed and what it now
    // shows as pre-edit.
    void Deliver(const QString& commit, const QString& preedit, TSource source);
    // Sends the built-in composer's result to an echo target.
    void Echo(const QString& commit, const QString& preedit);
    // Whether `event` switches TypingLang under the rules above, given the
    // text's language and whether a desktop input method is active.
    static bool IsToggleKey(const QKeyEvent& event, bool koreanText, bool desktopMethodActive);
    // A key for the built-in kana input (TypingLang tlNative, kana layout).
    bool HandleKanaKey(const QKeyEvent& event);
    void CommitBuiltIn();
    // Ends a desktop composition whose pre-edit was cleared and that no
    // commit followed.
    void EndClearedComposition();
    // Switches the built-in composer's language (the learner's toggle, or
    // the program through SetTypingLang).
    void SetLang(TTypingLang value);
    // Whether the built-in composer may be switched on by the program.
    bool BuiltInWanted() const;
    // Sets the desktop method's last seen mode and raises InputModeChanged
    // when the shown mode changes.
    void SetDesktopMode(TTypingLang lang, bool kana);
    void NotifyInputMode();

    _HangulInputContext* FContext = nullptr;
    std::unique_ptr<TKanaInput> FKana; // the kana layouts' input, else nullptr
    QString FKeyboardId;
    TTypingLang FLang = tlEng;
    bool FKoreanText = false;
    bool FDesktopMethodActive = false;
    bool FDesktopMethodRequested = false;
    TInputMethodChoice FChoice = imcAuto;
    TTypingLang FDesktopMode = tlEng; // the desktop method's last seen mode
    bool FDesktopKana = false;        // ... composing kana rather than Hangul
    QString FShownLabel;              // the label InputModeChanged last reported
    TSource FSource = csNone;
    QChar FShownChar;
    QPointer<QWidget> FTarget;
    bool FEcho = false;
    bool FTargetHasPreedit = false; // an echoed pre-edit is shown in the target
    bool FEchoing = false;
    // The desktop pre-edit was cleared without a commit; a commit in the next
    // event still belongs to the composition (see HandleInputMethodEvent).
    bool FPreeditCleared = false;
    QTimer FPreeditClearedTimer;
};

#include "platform/InputComposer.h"

#include "app/KeyboardLayouts.h"
#include "app/SettingsStore.h"
#include "platform/HangulKeyboardList.h"
#include "platform/KanaInput.h"
#include "platform/VirtualKeys.h"

#include <hangul.h>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QTextCharFormat>
#include <QWidget>

namespace {

// evdev codes of the right Alt and the Hangul key; the native scan code is
// the evdev code plus 8.
constexpr quint32 kEvdevRightAlt = 100;
constexpr quint32 kEvdevHangul = 122;

// How long a desktop pre-edit that was cleared without a commit waits for
// the commit that may follow in the next event before the composition ends
// as dropped (ibus sends the two events back to back).
constexpr int kPreeditClearedWaitMs = 150;

// X keysyms (QKeyEvent::nativeVirtualKey() on X11).
constexpr quint32 kXkHangul = 0xff31;
constexpr quint32 kXkHangulHanja = 0xff34;
constexpr quint32 kXkMetaL = 0xffe7;
constexpr quint32 kXkMetaR = 0xffe8;
constexpr quint32 kXkAltL = 0xffe9;
constexpr quint32 kXkAltR = 0xffea;

// The right Alt key as the desktop layout defines it is a plain Alt: no
// AltGr (ISO_Level3_Shift), Mode_switch, Compose or other function. Events
// without a keysym (synthesized ones) count as plain Alt unless Qt names the
// key AltGr.
bool IsPlainRightAlt(const QKeyEvent& event) {
    if (event.key() == Qt::Key_AltGr || event.key() == Qt::Key_Mode_switch ||
        event.key() == Qt::Key_Multi_key)
        return false;
    switch (event.nativeVirtualKey()) {
    case 0:
    case kXkAltL:
    case kXkAltR:
    case kXkMetaL:
    case kXkMetaR:
        return true;
    default:
        return false;
    }
}

bool IsHangulChar(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 0xAC00 && u <= 0xD7A3) || (u >= 0x1100 && u <= 0x11FF) ||
           (u >= 0x3130 && u <= 0x318F);
}

QString FromUcs4(const ucschar* text) {
    if (!text)
        return {};
    qsizetype n = 0;
    while (text[n] != 0)
        ++n;
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(text), n);
}

bool IsKana(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 0x3041 && u <= 0x30FF) || (u >= 0x31F0 && u <= 0x31FF);
}

// Qt input-method modules that compose nothing (dead keys only, or none).
bool IsComposingModule(const QString& name) {
    const QString n = name.trimmed().toLower();
    return !n.isEmpty() && n != QLatin1String("compose") && n != QLatin1String("none");
}

bool IsSyllable(QChar c) {
    return c.unicode() >= 0xAC00 && c.unicode() <= 0xD7A3;
}

bool IsModifierKey(int key) {
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_Mode_switch:
        return true;
    default:
        return false;
    }
}

// The ASCII character libhangul should see for a key: the US character of
// the physical key, whatever layout the desktop has active. Synthesized
// events carry no scan code; their text is used instead.
int AsciiOfKey(const QKeyEvent& event) {
    if (event.nativeScanCode() != 0) {
        const int index = PhysicalKeyIndexFromScanCode(event.nativeScanCode());
        if (index < 0)
            return 0;
        return UsCharOfVirtualKey(PhysicalKey(index).Key,
                                  event.modifiers().testFlag(Qt::ShiftModifier));
    }
    const QString text = event.text();
    if (text.size() == 1 && text[0].unicode() > 0x20 && text[0].unicode() < 0x7F)
        return text[0].unicode();
    return 0;
}

} // namespace

TInputComposer::TInputComposer(QObject* parent)
    : QObject(parent) {
    FPreeditClearedTimer.setSingleShot(true);
    FPreeditClearedTimer.setInterval(kPreeditClearedWaitMs);
    connect(&FPreeditClearedTimer, &QTimer::timeout, this, [this] { EndClearedComposition(); });
    // The keyboard record is only loaded by its own setup dialog, so the
    // layout the learner chose there is read from the settings file. Answer
    // boxes and names are Korean or English: a stored kana layout gives
    // Dubeolsik here; Japanese texts ask for kana themselves.
    SetKeyboardLayoutIndex(TKanaInput::LayoutForText({}, StoredKeyboardLayoutIndex()));
    FDesktopMethodRequested = DesktopInputMethodInEnvironment();
    FShownLabel = InputModeLabel();
}

bool TInputComposer::DesktopInputMethodInEnvironment() {
    if (IsComposingModule(qEnvironmentVariable("QT_IM_MODULE")))
        return true;
    const QStringList modules = qEnvironmentVariable("QT_IM_MODULES").split(QLatin1Char(';'));
    for (const QString& name : modules) {
        if (IsComposingModule(name))
            return true;
    }
    return false;
}

TInputComposer::~TInputComposer() {
    Attach(nullptr, false);
    if (FContext)
        hangul_ic_delete(FContext);
}

QString TInputComposer::KeyboardIdForLayout(int languageIndex) {
    return THangulKeyboardList::KeyboardIdForLayout(languageIndex);
}

void TInputComposer::SetKeyboardLayoutIndex(int languageIndex) {
    Commit();
    if (TKanaInput::IsKanaLayout(languageIndex))
        FKana = std::make_unique<TKanaInput>(TKanaInput::ScriptOfLayout(languageIndex));
    else
        FKana.reset();
    const QString id = KeyboardIdForLayout(languageIndex);
    const QByteArray latin = id.toLatin1();
    if (!FContext)
        FContext = hangul_ic_new(latin.constData());
    else
        hangul_ic_select_keyboard(FContext, latin.constData());
    FKeyboardId = FContext ? id : QString();
    NotifyInputMode();
}

TTypingLang TInputComposer::TypingLang() const {
    return FContext ? FLang : tlEng;
}

void TInputComposer::SetTypingLang(TTypingLang value) {
    // The program asks for Hangul (a Korean text): only where the built-in
    // composer is the one to compose.
    if (value == tlNative && !BuiltInWanted())
        return;
    SetLang(value);
}

void TInputComposer::SetLang(TTypingLang value) {
    if (!FContext || (value != tlNative && value != tlEng) || value == FLang)
        return;
    CommitBuiltIn();
    FLang = value;
    if (OnTypingLangChanged)
        OnTypingLangChanged(this);
    NotifyInputMode();
}

bool TInputComposer::BuiltInWanted() const {
    switch (FChoice) {
    case imcBuiltIn:
        return true;
    case imcSystem:
        return false;
    case imcAuto:
        break;
    }
    return !FDesktopMethodActive && !FDesktopMethodRequested;
}

void TInputComposer::SetInputMethodChoice(TInputMethodChoice value) {
    if (value != imcAuto && value != imcBuiltIn && value != imcSystem)
        value = imcAuto;
    FChoice = value;
    if (!BuiltInWanted())
        SetLang(tlEng);
}

void TInputComposer::SetDesktopInputMethodActive(bool value) {
    FDesktopMethodActive = value;
    if (value && FChoice != imcBuiltIn)
        SetLang(tlEng); // the desktop method composes; ours steps aside
}

void TInputComposer::SetDesktopInputMethodRequested(bool value) {
    FDesktopMethodRequested = value;
    if (value && FChoice == imcAuto)
        SetLang(tlEng);
}

TTypingLang TInputComposer::InputMode() const {
    return TypingLang() == tlNative ? tlNative : FDesktopMode;
}

QString TInputComposer::InputModeLabel() const {
    if (InputMode() == tlEng)
        return QStringLiteral("A");
    const bool kana = TypingLang() == tlNative ? FKana != nullptr : FDesktopKana;
    return kana ? QStringLiteral("あ") : QStringLiteral("가");
}

void TInputComposer::SetDesktopMode(TTypingLang lang, bool kana) {
    FDesktopMode = lang;
    FDesktopKana = kana;
    NotifyInputMode();
}

void TInputComposer::NotifyInputMode() {
    const QString label = InputModeLabel();
    if (label == FShownLabel)
        return;
    FShownLabel = label;
    emit InputModeChanged();
}

bool TInputComposer::IsToggleKey(const QKeyEvent& event, bool koreanText,
                                 bool desktopMethodActive) {
    if (desktopMethodActive)
        return false;
    const int key = event.key();
    const quint32 keysym = event.nativeVirtualKey();
    if (key == Qt::Key_Hangul || key == Qt::Key_Hangul_Hanja || keysym == kXkHangul ||
        keysym == kXkHangulHanja ||
        (event.nativeScanCode() != 0 && event.nativeScanCode() == kEvdevHangul + kXkbKeycodeOffset))
        return true;
    if (key == Qt::Key_Space &&
        (event.modifiers() & ~Qt::KeypadModifier) == Qt::KeyboardModifiers(Qt::ShiftModifier))
        return koreanText;
    return event.nativeScanCode() == kEvdevRightAlt + kXkbKeycodeOffset && IsPlainRightAlt(event);
}

bool TInputComposer::HandleKeyPress(QKeyEvent* event) {
    if (!event || event->type() != QEvent::KeyPress)
        return false;
    // A key after a cleared pre-edit: no commit came for it.
    EndClearedComposition();
    if (!FContext)
        return false;
    // Under imcSystem the toggle keys are the desktop method's; under
    // imcBuiltIn they are always ours, as the widget refuses the desktop
    // method.
    if (FChoice != imcSystem &&
        IsToggleKey(*event, FKoreanText, FDesktopMethodActive && FChoice != imcBuiltIn)) {
        if (!event->isAutoRepeat())
            SetLang(FLang == tlNative ? tlEng : tlNative);
        return true;
    }
    // A desktop input method that composes owns the keys it lets through.
    if (FSource == csSystem || FLang != tlNative) {
        // A letter that came past the desktop method: it types Latin now.
        const QString text = event->text();
        if (FSource == csNone && text.size() == 1 && text[0].unicode() < 0x80 &&
            text[0].isLetter() &&
            !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
            SetDesktopMode(tlEng, false);
        return false;
    }
    const int key = event->key();
    if (IsModifierKey(key))
        return false;
    if (event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) {
        CommitBuiltIn();
        return false;
    }
    if (FKana)
        return HandleKanaKey(*event);
    if (key == Qt::Key_Backspace) {
        if (FSource != csBuiltIn)
            return false;
        hangul_ic_backspace(FContext);
        const QString preedit = FromUcs4(hangul_ic_get_preedit_string(FContext));
        Deliver({}, preedit, csBuiltIn);
        Echo({}, preedit);
        return true;
    }
    const int ascii = AsciiOfKey(*event);
    if (ascii == 0) {
        CommitBuiltIn();
        return false;
    }
    // A key libhangul does not take (space, digits on Dubeolsik) comes back
    // unhandled with the pending syllable already in the commit string.
    const bool handled = hangul_ic_process(FContext, ascii);
    const QString commit = FromUcs4(hangul_ic_get_commit_string(FContext));
    const QString preedit = FromUcs4(hangul_ic_get_preedit_string(FContext));
    Deliver(commit, preedit, csBuiltIn);
    Echo(commit, preedit);
    return handled;
}

bool TInputComposer::HandleKanaKey(const QKeyEvent& event) {
    TKanaInput::TKanaScript script = FKana->Script();
    if (TKanaInput::ScriptForKey(event.key(), script, script)) {
        FKana->SetScript(script);
        Deliver(FKana->CommitString(), {}, csBuiltIn);
        Echo(FKana->CommitString(), {});
        return true;
    }
    if (event.key() == Qt::Key_Backspace) {
        if (!FKana->Backspace())
            return false;
    } else {
        const int ascii = AsciiOfKey(event);
        if (ascii == 0 || !FKana->Process(ascii)) {
            CommitBuiltIn();
            return false;
        }
    }
    Deliver(FKana->CommitString(), FKana->PreeditString(), csBuiltIn);
    Echo(FKana->CommitString(), FKana->PreeditString());
    return true;
}

void TInputComposer::HandleInputMethodEvent(QInputMethodEvent* event) {
    if (!event || FEchoing)
        return;
    // The desktop input method takes over: finish our own syllable first.
    CommitBuiltIn();
    // Composing Hangul shows it is the desktop's method that switches
    // between Hangul and Latin here (dead keys of a Latin layout also come
    // as input-method events, but never with a Hangul pre-edit).
    const QString commit = event->commitString();
    const QString preedit = event->preeditString();
    bool hangul = false;
    bool kana = false;
    for (QChar c : preedit + commit) {
        hangul = hangul || IsHangulChar(c);
        kana = kana || IsKana(c);
    }
    // The mode first, so that the indicator goes straight to Hangul when the
    // built-in composer steps aside below.
    if (hangul || kana)
        SetDesktopMode(tlNative, kana && !hangul);
    for (QChar c : preedit) {
        if (IsHangulChar(c) && !FDesktopMethodActive)
            SetDesktopInputMethodActive(true);
    }
    if (FPreeditCleared) {
        // A commit right after the pre-edit was cleared is the commit of the
        // composition that was cleared: ibus clears the pre-edit in one event
        // and commits the syllable in the next. Without a commit the
        // composition was dropped.
        FPreeditCleared = false;
        FPreeditClearedTimer.stop();
        if (commit.isEmpty())
            Deliver({}, {}, csSystem);
    } else if (FSource == csSystem && commit.isEmpty() && preedit.isEmpty()) {
        // Cleared: wait for the next event before ending the composition.
        FPreeditCleared = true;
        FPreeditClearedTimer.start();
        return;
    }
    Deliver(commit, preedit, csSystem);
}

void TInputComposer::EndClearedComposition() {
    if (!FPreeditCleared)
        return;
    FPreeditCleared = false;
    FPreeditClearedTimer.stop();
    Deliver({}, {}, csSystem);
}

void TInputComposer::Commit() {
    EndClearedComposition();
    if (FSource == csBuiltIn) {
        CommitBuiltIn();
    } else if (FSource == csSystem) {
        // The desktop input method answers with a commit event to the
        // focused widget, which comes back here through the widget.
        QGuiApplication::inputMethod()->commit();
        if (FSource == csSystem) // it dropped its pre-edit instead
            Deliver({}, {}, csSystem);
    }
}

void TInputComposer::CommitBuiltIn() {
    if (FSource != csBuiltIn || !FContext)
        return;
    const QString flushed = FKana ? FKana->Flush() : FromUcs4(hangul_ic_flush(FContext));
    Deliver(flushed, {}, csBuiltIn);
    Echo(flushed, {});
}

void TInputComposer::Deliver(const QString& commit, const QString& preedit, TSource source) {
    qsizetype direct = 0;
    if (!commit.isEmpty() && FSource != csNone) {
        const QChar c = commit[0];
        // A final consonant that moved on to the next syllable leaves the
        // committed one smaller than the one shown: report that step first.
        if (IsSyllable(c) && IsSyllable(FShownChar) && c < FShownChar) {
            FShownChar = c;
            if (OnCompositionUpdate)
                OnCompositionUpdate(this, c);
        }
        FShownChar = QChar();
        if (OnCompositionCommit)
            OnCompositionCommit(this, c);
        direct = 1;
    }
    for (; direct < commit.size(); ++direct) {
        if (OnDirectChar)
            OnDirectChar(this, commit[direct]);
    }

    if (!preedit.isEmpty()) {
        const QChar c = preedit.back();
        if (FSource == csNone) {
            FSource = source;
            if (OnCompositionStart)
                OnCompositionStart(this);
        }
        if (c != FShownChar) {
            FShownChar = c;
            if (OnCompositionUpdate)
                OnCompositionUpdate(this, c);
        }
    } else if (FSource != csNone) {
        if (!FShownChar.isNull()) {
            // Emptied without a commit (the last jamo taken back).
            FShownChar = QChar();
            if (OnCompositionUpdate)
                OnCompositionUpdate(this, QChar());
        }
        FSource = csNone;
        if (OnCompositionEnd)
            OnCompositionEnd(this);
    }
}

void TInputComposer::Echo(const QString& commit, const QString& preedit) {
    if (!FEcho || !FTarget)
        return;
    if (commit.isEmpty() && preedit.isEmpty() && !FTargetHasPreedit)
        return;
    QList<QInputMethodEvent::Attribute> attributes;
    if (!preedit.isEmpty()) {
        QTextCharFormat format;
        format.setFontUnderline(true);
        attributes << QInputMethodEvent::Attribute(QInputMethodEvent::TextFormat, 0,
                                                   int(preedit.size()), format)
                   << QInputMethodEvent::Attribute(QInputMethodEvent::Cursor, int(preedit.size()),
                                                   1, QVariant());
    }
    QInputMethodEvent event(preedit, attributes);
    event.setCommitString(commit);
    FTargetHasPreedit = !preedit.isEmpty();
    FEchoing = true;
    QCoreApplication::sendEvent(FTarget, &event);
    FEchoing = false;
}

void TInputComposer::Attach(QWidget* target, bool echo) {
    if (FTarget)
        FTarget->removeEventFilter(this);
    FTarget = target;
    FEcho = echo;
    FTargetHasPreedit = false;
    if (target)
        target->installEventFilter(this);
}

bool TInputComposer::eventFilter(QObject* watched, QEvent* event) {
    if (watched != FTarget)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress:
        return HandleKeyPress(static_cast<QKeyEvent*>(event));
    case QEvent::InputMethod:
        HandleInputMethodEvent(static_cast<QInputMethodEvent*>(event));
        return false;
    case QEvent::FocusOut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        Commit();
        return false;
    default:
        return false;
    }
}

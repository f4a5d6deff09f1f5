#include "keyboard/KeyboardExercise.h"

#include "gl/MaterialItem.h"
#include "gl/ObjLoader.h"

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <QRandomGenerator>

namespace {

bool HasPrefix(const QString& name, const QLatin1String& prefix) {
    return name.startsWith(prefix, Qt::CaseInsensitive);
}

bool SameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString KeyObjectName(int code) {
    return QStringLiteral("key_") + QString::number(code);
}

// The finger models with the finger each stands for and the home-row key
// it rests on.
struct TFingerModel {
    const char* Name;
    TFingerPos Finger;
    int HomeKey;
};

constexpr TFingerModel kFingers[] = {
    {"Finger_Left5", fpLeft5, 65},   {"Finger_Left4", fpLeft4, 83},
    {"Finger_Left3", fpLeft3, 68},   {"Finger_Left2", fpLeft2, 70},
    {"Finger_Right2", fpRight2, 74}, {"Finger_Right3", fpRight3, 75},
    {"Finger_Right4", fpRight4, 76}, {"Finger_Right5", fpRight5, 186},
};

const TFingerModel* FindFinger(const QString& name) {
    for (const TFingerModel& finger : kFingers)
        if (SameName(name, QLatin1String(finger.Name)))
            return &finger;
    return nullptr;
}

// The lift of the active finger cycles through these values.
constexpr int kFingerShifts[] = {0, 5, 10, 6, 2};

const QLatin1String kKeyPrefix("key_");
const QLatin1String kLeftShiftPrefix("key_lshift_");
const QLatin1String kRightShiftPrefix("key_rshift_");
const QString kLeftShiftKey = QStringLiteral("key_lshift_16");
const QString kRightShiftKey = QStringLiteral("key_rshift_16");
const QString kSelected = QStringLiteral("Selected");
const QString kFocused = QStringLiteral("Focused");

} // namespace

TKeyboardExercise::TKeyboardExercise(TSelKeyList& list, std::function<int(int)> random)
    : FSelKeyList(list)
    , FRandom(std::move(random)) {}

int TKeyboardExercise::RandomBelow(int n) const {
    if (n <= 1)
        return 0;
    if (FRandom)
        return std::clamp(FRandom(n), 0, n - 1);
    return int(QRandomGenerator::global()->bounded(n));
}

void TKeyboardExercise::Play(TKeyboardSound sound) const {
    if (OnPlaySound)
        OnPlaySound(sound);
}

void TKeyboardExercise::Redraw() const {
    if (OnRedraw)
        OnRedraw();
}

void TKeyboardExercise::Initialize(const TKeyboardOptions& options) {
    FOptions = options;
    FCorrectAnswer = -1;
    FStartAniFinished = false;
    FStartFingerAniFinished = !options.ShowFinger;
    FAniTick = 0;
    FBackAniTick = 0;
    FThunderTick = 0;
    FElapsedTime = 0;
    FProblemPosShift = 0;
    FProblemElapsedTime = 0;
    FCorrectCount = 0;
    FFingerShift = 0;
    FProblemAniTick = 1;
    FProblemShellShift = 7;
    FExplosionAniTick = 0;
    FIsRainy = false;
    FProblemPosShift_Canceled = false;
    FKeydownProcessed = false;
    FKeyDownModelName.clear();
    FDownedKey = 0;
}

void TKeyboardExercise::NextProblem() {
    FSelKeyList.NextProblem();
    FProblemPosShift = 0;
    FProblemElapsedTime = 0;
    Redraw();
}

void TKeyboardExercise::CountFailure() {
    if (FCorrectCount > 0)
        FCorrectCount = 0;
    --FCorrectCount;
    if (FCorrectCount <= -3)
        FIsRainy = true;
}

void TKeyboardExercise::KeyDown(std::uint16_t key, TShiftState shift) {
    // A repeat of the key already down stays silent.
    if (FOptions.UseSound && key != FDownedKey)
        Play(ksClick);
    FDownedKey = key;
    if (key == 27) {
        if (OnClose)
            OnClose();
        return;
    }
    FKeyDownModelName = key == VK_SHIFT ? kRightShiftKey : KeyObjectName(key);
    FCorrectAnswer = FSelKeyList.IsCorrectKey(key, shift) ? 1 : 0;
    if (key == VK_SHIFT) {
        // Shift on its own is never judged.
        FCorrectAnswer = -1;
        FKeydownProcessed = false;
    }
    bool thunderStarted = false;
    if (FCorrectAnswer == 1 && !FKeydownProcessed) {
        if (FCorrectCount < 0)
            FCorrectCount = 0;
        ++FCorrectCount;
        if (FCorrectCount >= 3)
            FIsRainy = false;
        if (FCorrectCount >= 7) {
            // Thunder is heard even with the effects switched off.
            Play(ksThunder);
            FKeydownProcessed = true;
            FThunderTick = 1;
            FCorrectCount = 0;
            thunderStarted = true;
        }
    }
    if (FCorrectAnswer == 0)
        CountFailure();
    // With the effects on, a press is scored once however long it is held;
    // with them off, FKeydownProcessed stays false and every repeat of a
    // held correct key scores again.
    if (FOptions.UseSound && !thunderStarted && !FKeydownProcessed && FCorrectAnswer != -1) {
        if (FCorrectAnswer == 1)
            Play(ksExplosion);
        FKeydownProcessed = true;
    }
    Redraw();
}

void TKeyboardExercise::KeyUp(std::uint16_t key, TShiftState shift, bool autoRepeat) {
    // X11 reports a held key as release/press pairs; the key is still down.
    if (autoRepeat)
        return;
    FDownedKey = 0;
    FKeydownProcessed = false;
    FKeyDownModelName.clear();
    Redraw();
    FCorrectAnswer = -1;
    if (FSelKeyList.IsCorrectKey(key, shift)) {
        FProblemPosShift_Canceled = true;
        FExplosionAniTick = 1;
        Redraw();
        // The list only: the new problem's entry resets drift and waiting.
        FSelKeyList.NextProblem();
        if (OnPause)
            OnPause(100);
    }
    if (key == VK_SHIFT) {
        FCorrectAnswer = -1;
        Redraw();
    }
}

void TKeyboardExercise::UpdateProblemDrift() {
    if (std::abs(FProblemAniTick) < 12 || FProblemElapsedTime < 3500)
        return;
    if (FProblemPosShift == 0)
        FProblemPosShift = RandomSign();
    else
        FProblemPosShift += FProblemPosShift > 0 ? 1 : -1;
}

void TKeyboardExercise::Tick(int interval) {
    FElapsedTime += std::uint32_t(interval);
    FProblemElapsedTime += std::uint32_t(interval);
    if (FElapsedTime > 2147483647u)
        FElapsedTime = 0;
    if (++FAniTick > 32767)
        FAniTick = 0;

    bool redraw = false;
    if (FElapsedTime % 100 == 0) {
        UpdateProblemDrift();
        if (std::abs(GetProblemXOffset()) >= MaxVisibleX + 5 && std::abs(FProblemAniTick) > 1) {
            FProblemAniTick = RandomSign();
            FExplosionAniTick = kExplosionMissed;
            if (!FProblemPosShift_Canceled) {
                CountFailure();
                if (OnMissed)
                    OnMissed();
                NextProblem();
            }
            FProblemPosShift_Canceled = false;
            return;
        }
    }
    if (FElapsedTime % 200 == 0) {
        if (++FBackAniTick > 32767)
            FBackAniTick = 0;
        int next = 0;
        for (std::size_t i = 0; i < std::size(kFingerShifts); ++i)
            if (kFingerShifts[i] == FFingerShift)
                next = kFingerShifts[(i + 1) % std::size(kFingerShifts)];
        FFingerShift = next;
        FProblemShellShift = FOptions.MoveProblem ? (FProblemShellShift + 1) % 16 : 8;
        if (FThunderTick > 0 && ++FThunderTick > 8) {
            FThunderTick = 0;
            redraw = true;
        }
    }
    if (FExplosionAniTick > 0) {
        redraw = true;
        if (FExplosionAniTick <= 5)
            ++FExplosionAniTick;
        if (FExplosionAniTick > 5) {
            FExplosionAniTick = 0;
            FProblemAniTick = RandomSign();
            FProblemPosShift_Canceled = false;
        }
    }
    if (FOptions.MoveProblem || FOptions.ShowFinger || FThunderTick > 0 || redraw)
        Redraw();
}

float TKeyboardExercise::GetProblemXOffset() const {
    const int s = FProblemPosShift;
    if (s == 0)
        return 0;
    if (std::abs(s) < 12)
        return float(3 * s);
    return float((s > 0 ? 1 : -1) * (36 + 7 * (std::abs(s) - 12)));
}

TGLArrayf3 TKeyboardExercise::EntryStep() {
    if (std::abs(FProblemAniTick) >= 12)
        return {};
    // The bubble marks the middle of the entry, whichever side it comes
    // from.
    if (std::abs(FProblemAniTick) == 6 && FOptions.UseSound)
        Play(ksBubble);
    const int s = FProblemAniTick < 0 ? -1 : 1;
    FProblemAniTick += s;
    const float c = float(12 - std::abs(FProblemAniTick));
    FProblemPosShift = 0;
    FProblemElapsedTime = 0;
    return {0, 15.0f * float(s) * c / 12, -5.0f * float(s) * c / 12};
}

TGLArrayf3 TKeyboardExercise::DriftOffset() const {
    if (FProblemPosShift == 0 || std::abs(FProblemAniTick) < 12)
        return {};
    return {GetProblemXOffset(), 0, 0};
}

TGLArrayf3 TKeyboardExercise::FloatingOffset() const {
    const double a = FProblemShellShift * 2 * std::numbers::pi / 16;
    return {float(3.5 * std::sin(a)), float(2.5 * (1 - std::abs(std::cos(a)))), 0};
}

bool TKeyboardExercise::OpeningSpin(float& angle, float& scale) {
    if (FStartAniFinished)
        return false;
    if (FAniTick <= 12) {
        angle = float(12 - FAniTick) * 300.0f / 12;
        scale = float(FAniTick) / 12;
        return true;
    }
    FStartAniFinished = true;
    if (!FOptions.ShowFinger)
        FStartFingerAniFinished = true;
    return false;
}

bool TKeyboardExercise::FingerFlight(float& d) {
    if (!FStartAniFinished || FStartFingerAniFinished)
        return false;
    d = std::max(0.0f, (14.4f - float(FAniTick - 12) * 1.5f) * 40 / 12);
    if (FAniTick > 26.4 || !FOptions.ShowFinger) {
        FStartFingerAniFinished = true;
        if (OnFingerFlightEnded)
            OnFingerFlightEnded();
        return false;
    }
    return true;
}

int TKeyboardExercise::KeyCodeOfObject(const QString& name) {
    int start = -1;
    if (HasPrefix(name, kLeftShiftPrefix) || HasPrefix(name, kRightShiftPrefix))
        start = 11;
    else if (HasPrefix(name, kKeyPrefix))
        start = 4;
    if (start < 0)
        return -1;
    bool ok = false;
    const int code = name.mid(start).toInt(&ok);
    return ok ? code : 0;
}

int TKeyboardExercise::GetHomeKeyCode(const QString& fingerName) {
    const TFingerModel* finger = FindFinger(fingerName);
    return finger ? finger->HomeKey : 0;
}

bool TKeyboardExercise::IsSelKeyFinger(const QString& fingerName) const {
    const TFingerModel* finger = FindFinger(fingerName);
    return finger && finger->Finger == FSelKeyList.SelFingerPos();
}

QString TKeyboardExercise::FingerTargetName(const QString& fingerName, bool& lifted) const {
    lifted = false;
    if (FStartFingerAniFinished && IsSelKeyFinger(fingerName) && FSelKeyList.SelKey() != 0) {
        lifted = true;
        return KeyObjectName(FSelKeyList.SelKey());
    }
    const QString shiftFinger = FSelKeyList.GetShiftFingerName();
    if (FStartFingerAniFinished && !shiftFinger.isEmpty() && SameName(fingerName, shiftFinger)) {
        lifted = true;
        return SameName(fingerName, QStringLiteral("Finger_Left5")) ? kLeftShiftKey
                                                                    : kRightShiftKey;
    }
    const int home = GetHomeKeyCode(fingerName);
    return home ? KeyObjectName(home) : QString();
}

QString TKeyboardExercise::TextureSuffix(const QString& objectName) const {
    QString suffix;
    if (HasPrefix(objectName, kKeyPrefix)) {
        const int code = KeyCodeOfObject(objectName);
        if (FSelKeyList.SelKey() != 0 && code == FSelKeyList.SelKey())
            suffix = kFocused;
        else if (code >= 0 && code <= 0xFFFF && FSelKeyList.FindByKey(std::uint16_t(code)) >= 0)
            suffix = kSelected;
        if (FSelKeyList.SelShift()) {
            if (SameName(objectName, kRightShiftKey) && FSelKeyList.IsSelKeyLeftHand())
                suffix = kFocused;
            else if (SameName(objectName, kLeftShiftKey) && !FSelKeyList.IsSelKeyLeftHand())
                suffix = kFocused;
        }
        if (!OpeningFinished() && !suffix.isEmpty()) {
            suffix = objectName.contains(QLatin1String("SHIFT"), Qt::CaseInsensitive) ? QString()
                                                                                      : kSelected;
        }
    } else if (HasPrefix(objectName, QLatin1String("BackPlane"))) {
        suffix = FIsRainy ? kFocused : QString();
    }
    return suffix;
}

void TKeyboardExercise::MaterialProperty(const QString& objectName, TMaterialItem& material,
                                         const QString& keyCapTexture) const {
    if (material.Name == QLatin1String("KeyCap_Material")) {
        for (QString* file : {&material.map_ka, &material.map_kd, &material.map_ks})
            if (!file->isEmpty())
                *file = keyCapTexture;
        material.Specular = {true, 0, 0, 0, 0};
    }
    const QString shiftFinger = FSelKeyList.GetShiftFingerName();
    const bool highlighted =
        OpeningFinished() && (IsSelKeyFinger(objectName) ||
                              (!shiftFinger.isEmpty() && SameName(objectName, shiftFinger)));
    if (HasPrefix(objectName, QLatin1String("Finger_"))) {
        material.Specular = {true, 0.5f, 1.0f, 0.7f, 0.7f};
        material.Tr = FStartFingerAniFinished ? 0.65f : float(FAniTick - 12) * 0.65f / 14.4f;
        material.Diffuse = TObjLoader::ColorToLight(highlighted ? 12541 : 2744319,
                                                    FOptions.ShowFinger ? 1.0f : 0.0f);
    } else if (HasPrefix(objectName, QLatin1String("ProblemShell"))) {
        material.Specular = {true, 1, 1, 1, 1};
        material.Tr = 0.5f;
        if (FCorrectAnswer == 0)
            material.Diffuse = TObjLoader::ColorToLight(255, 0.7f);
        else if (FCorrectAnswer == 1)
            material.Diffuse = TObjLoader::ColorToLight(32768, 0.7f);
        else
            material.Diffuse = TObjLoader::ColorToLight(12180735, 0.45f);
    }
}

bool TKeyboardExercise::IsKeyDrawnDown(const QString& objectName) const {
    if (FKeyDownModelName.isEmpty())
        return false;
    if (SameName(objectName, FKeyDownModelName))
        return true;
    // Either Shift sinks both Shift keys.
    return KeyCodeOfObject(objectName) == VK_SHIFT &&
           (HasPrefix(FKeyDownModelName, kRightShiftPrefix) ||
            HasPrefix(FKeyDownModelName, kLeftShiftPrefix));
}

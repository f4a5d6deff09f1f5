#include "games/ClockwigGame.h"

#include "games/ClockwigWords.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <QDateTime>
#include <random>

namespace {

struct TLevelRow {
    int BugLifetime;
    int Threshold;
};

// Bug lifetime in clock ticks and level-up threshold of levels 1 to 8.
constexpr TLevelRow kLevelTable[TClockwigGame::LastLevel] = {
    {32, 25}, {28, 27}, {24, 30}, {20, 33}, {18, 33}, {16, 33}, {14, 33}, {12, 100},
};

constexpr int kDizzyInterval = 300; // the clock's pace while trick 1 runs
constexpr int kTrickTicks = 6;      // ticks a trick lasts

const char* const kTrickTexts[TClockwigGame::NoSpecial] = {
    "깨비의 심술 - 시간표시 감추기",
    "깨비의 심술 - 어지럽게 하기",
    "깨비가 화면을 깨끗하게 청소했습니다. ",
    "깨비가 시계에서 건전지를 빼서 장난중...",
    "깨비의 장난 - 메롱~~",
};

// Rounds halves to even, as the game's arithmetic always has.
int RoundEven(double value) {
    return int(std::nearbyint(value));
}

bool IsClockNumberCaption(const QString& caption) {
    bool ok = false;
    const int n = caption.toInt(&ok);
    return ok && n >= 1 && n <= 12;
}

// U+0020 only; tabs and other blanks belong to the answer.
QString TrimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == QLatin1Char(' '))
        ++first;
    while (last > first && text[last - 1] == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

} // namespace

QString ClockwigSoundName(TClockwigSound sound) {
    switch (sound) {
    case csWrongKey:
        return QStringLiteral("WRONGKEY");
    case csCorrectKey:
        return QStringLiteral("CORRECTKEY");
    case csApplause:
        return QStringLiteral("APPLAUSE");
    }
    return {};
}

TClockwigGame::TClockwigGame(TRandom random, TClock clock)
    : FRandom(std::move(random))
    , FClock(std::move(clock)) {
    if (!FRandom) {
        auto engine = std::make_shared<std::mt19937>(
            std::uint32_t(QDateTime::currentMSecsSinceEpoch() & 0xFFFFFFFF));
        FRandom = [engine](int n) {
            return n <= 0 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(*engine);
        };
    }
    EngListAdd(FEngList);
    HanListAdd(FHanList);
    FTimers[ctPauseTimer].Interval = 600;
    FTimers[ctSpecialTimer].Interval = 350;
    FBugAge.fill(-1);
    for (int i = 1; i <= LabelCount; ++i) {
        LabelRef(i) = TClockLabel{QString::number(i), White, Silver, Black};
    }
    for (int i = 0; i < HistoryCount; ++i)
        FHistory.append(QString());
}

QTime TClockwigGame::Now() const {
    return FClock ? FClock() : QTime::currentTime();
}

QString TClockwigGame::TimeText(const QTime& time) {
    return time.toString(QStringLiteral("hh:mm:ss")) + QStringLiteral("  ");
}

int TClockwigGame::LevelBonus(int level) {
    return RoundEven(level * 1.3);
}

QString TClockwigGame::ClockNumber(int index) const {
    if (FRotation != CounterClockWise)
        return QString::number(index);
    return index == 1 ? QStringLiteral("1") : QString::number(14 - index);
}

int TClockwigGame::SlotOf(int index) const {
    const int slot = (FRotationOffset + index) % LabelCount;
    return slot == 0 ? LabelCount : slot;
}

void TClockwigGame::LabelChanged(int index) {
    if (OnLabelChanged)
        OnLabelChanged(this, index);
}

void TClockwigGame::CountersChanged() {
    if (OnCountersChanged)
        OnCountersChanged(this);
}

void TClockwigGame::PlaySound(TClockwigSound sound) {
    if (OnPlaySound)
        OnPlaySound(this, sound);
}

void TClockwigGame::EnableTimer(TClockwigTimer timer, bool enabled) {
    TClockwigTimerState& t = FTimers[timer];
    if (t.Enabled == enabled)
        return;
    t.Enabled = enabled;
    if (OnTimerChanged)
        OnTimerChanged(this, timer);
}

void TClockwigGame::SetTimerIntervalOf(TClockwigTimer timer, int interval) {
    TClockwigTimerState& t = FTimers[timer];
    if (t.Interval == interval)
        return;
    t.Interval = interval;
    if (OnTimerChanged)
        OnTimerChanged(this, timer);
}

void TClockwigGame::SetRotation(TRotation rotation) {
    if (OnClearAnswer)
        OnClearAnswer(this);
    FSpecialElapsed = -1;
    FSpecialState = NoSpecial;
    FScore = 0;
    FSpecialActive = false;
    FLives = StartLives;
    FFixedInLevel = 0;
    FRotation = rotation;
    FRotationOffset = 0;
    FEnded = false;
    CountersChanged();

    // Slot i sits at hour i of the clock; counter-clockwise the slots run
    // the other way round, starting at 1 o'clock and then 12.
    const double degree = std::numbers::pi / 180.0;
    double angle = (rotation == CounterClockWise ? 330.0 : 270.0) * degree;
    const double step = (rotation == CounterClockWise ? -30.0 : 30.0) * degree;
    for (int i = 0; i < LabelCount; ++i) {
        angle += step;
        FSlots[std::size_t(i)] =
            QPoint(RoundEven(Radius * std::cos(angle)), RoundEven(Radius * std::sin(angle)));
    }
    // The labels at 12 and 6 o'clock stand a little further out, clear of
    // their neighbours.
    if (rotation == CounterClockWise) {
        FSlots[1].ry() -= 7;
        FSlots[7].ry() += 7;
    } else {
        FSlots[11].ry() -= 7;
        FSlots[5].ry() += 7;
    }

    for (int i = 1; i <= LabelCount; ++i) {
        AgeRef(i) = -1;
        TClockLabel& label = LabelRef(i);
        label.Caption = ClockNumber(i);
        label.FontColor = Silver;
        label.Color = White;
        label.BorderColor = Black;
        LabelChanged(i);
    }
}

void TClockwigGame::SetTimerInterval() {
    if (FLevel < 1 || FLevel > LastLevel)
        return;
    SetTimerIntervalOf(ctShowClock, 2200 - 135 * FLevel);
    SetTimerIntervalOf(ctProblemClock, 2400 - 240 * FLevel);
    FBugLifetime = kLevelTable[FLevel - 1].BugLifetime;
    FLevelUpThreshold = kLevelTable[FLevel - 1].Threshold;
}

void TClockwigGame::Start() {
    EnableTimer(ctProblemClock, true);
    EnableTimer(ctShowClock, true);
    EnableTimer(ctPauseTimer, false);
    for (QString& line : FHistory)
        line.clear();
    FHistory[0] = TimeText(Now()) + QStringLiteral(" 버그수정 시작!!");
    if (OnHistoryChanged)
        OnHistoryChanged(this);
}

void TClockwigGame::SetIntCaption(int index) {
    TClockLabel& label = LabelRef(index);
    label.Caption = ClockNumber(index);
    label.FontColor = Silver;
    LabelChanged(index);
}

void TClockwigGame::ResetLabel(int index) {
    SetIntCaption(index);
    TClockLabel& label = LabelRef(index);
    label.Color = White;
    label.BorderColor = Black;
    label.FontColor = Silver;
    LabelChanged(index);
}

void TClockwigGame::SetLabelColor(int tick, int index) {
    TClockLabel& label = LabelRef(index);
    if (tick <= 0 || FBugLifetime <= 0) {
        label.BorderColor = Black;
    } else {
        // A level-up can shorten the lifetime below an age already reached;
        // the border then stays at full red.
        label.BorderColor = RGBColor(std::min(255, 255 * tick / FBugLifetime), 0, 0);
    }
    if (label.Color != Yellow) {
        label.Color = White;
        if (FSpecialActive && FSpecialState == 0 && tick != -1)
            label.FontColor = label.Color;
        else
            label.FontColor = IsClockNumberCaption(label.Caption) ? Silver : Black;
    }
    LabelChanged(index);
}

void TClockwigGame::ShowClockTimer() {
    if (FEnded)
        return;

    if (FRotation != NoRotation) {
        FRotationOffset = FRotationOffset % LabelCount + 1;
        for (int i = 1; i <= LabelCount; ++i)
            LabelChanged(i);
    }

    if (FSpecialElapsed >= 0 && FSpecialActive) {
        ++FSpecialElapsed;
        if (FSpecialElapsed >= kTrickTicks)
            FreeSpecialItem();
    }

    for (int i = 1; i <= LabelCount; ++i) {
        int& age = AgeRef(i);
        if (age < 0)
            continue;
        ++age;
        if (age > FBugLifetime) {
            --FLives;
            // A pending trick goes with its word.
            if (Label(i).Color == Yellow)
                FreeSpecialItem();
            if (FLives <= 0) {
                GameOver();
                return;
            }
            ResetLabel(i);
            age = -1;
            if (!FSoundOff)
                PlaySound(csWrongKey);
        }
        SetLabelColor(age, i);
    }

    if (FShowThunder == 0 && OnDrawFigure)
        OnDrawFigure(this, FFrameToggle);
    FFrameToggle = 1 - FFrameToggle;
    CountersChanged();
}

void TClockwigGame::ProblemClockTimer() {
    if (FEnded)
        return;

    bool special = false;
    const int r = FRandom(17);
    if (r <= 4 && FSpecialState == NoSpecial && !(FRotation == NoRotation && r == 1)) {
        FSpecialState = r;
        special = true;
    }

    const QStringList& words = Words(FLanguage);
    const QString word = words.isEmpty() ? QString() : words.at(FRandom(int(words.size())));

    // The scan follows label numbers from a random start, not slots.
    const int start = FRandom(LabelCount) + 1;
    int found = 0;
    for (int n = 0; n < LabelCount && found == 0; ++n) {
        const int i = (start - 1 + n) % LabelCount + 1;
        if (BugAge(i) == -1)
            found = i;
    }

    if (found != 0 && !word.isEmpty()) {
        TClockLabel& label = LabelRef(found);
        label.Caption = word;
        if (special) {
            label.Color = Yellow;
            label.FontColor = Black;
            FSpecialElapsed = 0;
        }
        AgeRef(found) = 0;
        SetLabelColor(0, found);
        label.FontColor = Black;
        LabelChanged(found);
    } else if (special) {
        FSpecialState = NoSpecial;
    }

    if (FShowThunder > 0 && OnRepaint)
        OnRepaint(this);
}

void TClockwigGame::PauseTimerTimer() {
    if (FEnded)
        return;
    if (FSpecialElapsed >= 0) {
        ++FSpecialElapsed;
        if (FSpecialElapsed >= kTrickTicks)
            FreeSpecialItem();
    }
}

void TClockwigGame::SpecialTimerTimer() {
    if (FEnded)
        return;
    if (FShowThunder > 1) {
        for (QPoint& bolt : FThunderPos)
            bolt += QPoint(-35, 45);
    }
    if (OnRepaint)
        OnRepaint(this);
}

const std::array<QPoint, TClockwigGame::ThunderCount>& TClockwigGame::ThunderPaint() {
    if (FShowThunder == 1) {
        for (int i = 1; i <= ThunderCount; ++i) {
            const int x = 50 * (i + 3) + FRandom(30);
            const int y = 70 * (i % 3 + 1) + FRandom(40);
            FThunderPos[std::size_t(i - 1)] = QPoint(x, y);
        }
    }
    if (FShowThunder > 0)
        ++FShowThunder;
    return FThunderPos;
}

void TClockwigGame::ApplySpecialItem() {
    FSpecialActive = true;
    FSpecialElapsed = 0;
    if (FSpecialState != 3) {
        FShowThunder = 1;
        EnableTimer(ctSpecialTimer, true);
    }
    switch (FSpecialState) {
    case 0:
        for (int i = 1; i <= LabelCount; ++i) {
            if (BugAge(i) >= 0) {
                LabelRef(i).FontColor = Label(i).Color;
                LabelChanged(i);
            }
        }
        break;
    case 1:
        SetTimerIntervalOf(ctShowClock, kDizzyInterval);
        break;
    case 2:
        for (int i = 1; i <= LabelCount; ++i) {
            ResetLabel(i);
            AgeRef(i) = -1;
        }
        break;
    case 3:
        EnableTimer(ctShowClock, false);
        EnableTimer(ctProblemClock, false);
        EnableTimer(ctPauseTimer, true);
        break;
    default:
        break;
    }
    if (FSpecialState >= 0 && FSpecialState < NoSpecial)
        FStatusText = QString::fromUtf8(kTrickTexts[FSpecialState]);
    if (OnStatusChanged)
        OnStatusChanged(this);
    if (OnRepaint)
        OnRepaint(this);
}

void TClockwigGame::FreeSpecialItem() {
    EnableTimer(ctSpecialTimer, false);
    FSpecialElapsed = -1;
    if (FSpecialState == 1)
        SetTimerInterval();
    if (FSpecialState == 3) {
        EnableTimer(ctShowClock, true);
        EnableTimer(ctProblemClock, true);
        EnableTimer(ctPauseTimer, false);
    }
    FSpecialState = NoSpecial;
    FStatusText.clear();
    FSpecialActive = false;
    FShowThunder = 0;
    if (OnStatusChanged)
        OnStatusChanged(this);
    if (OnRepaint)
        OnRepaint(this);
    for (int i = 1; i <= LabelCount; ++i)
        SetLabelColor(BugAge(i), i);
}

void TClockwigGame::CheckAnswer(const QString& text) {
    if (FEnded)
        return;
    const QString answer = TrimBlanks(text);
    if (answer.isEmpty())
        return;
    // Clock numbers cannot be typed away.
    bool isNumber = false;
    const int number = answer.toInt(&isNumber);
    if (isNumber && number != -1)
        return;

    bool matched = false;
    for (int i = 1; i <= LabelCount; ++i) {
        if (Label(i).Caption != answer)
            continue;
        matched = true;
        ++FCorrectAnswerCount;

        FHistory.removeFirst();
        FHistory.append(TimeText(Now()) + answer + QStringLiteral("->") + ClockNumber(i));
        if (OnHistoryChanged)
            OnHistoryChanged(this);

        AgeRef(i) = -1;
        ++FFixedInLevel;
        if (Label(i).Color == Yellow && FSpecialState != NoSpecial)
            ApplySpecialItem();

        FScore += LevelBonus(FLevel) + int(answer.size());
        CountersChanged();

        ResetLabel(i);
        if (!FSoundOff) {
            if (FCorrectAnswerCount >= 7) {
                FCorrectAnswerCount = 0;
                PlaySound(csApplause);
            } else {
                PlaySound(csCorrectKey);
            }
        }

        if (FFixedInLevel > FLevelUpThreshold && FLevel <= LastLevel) {
            LevelUp();
            if (FEnded)
                return;
        }
    }

    if (!matched && !FSoundOff) {
        FCorrectAnswerCount = 0;
        PlaySound(csWrongKey);
    }
}

void TClockwigGame::LevelUp() {
    ++FLevel;
    // The clock stands still while the player reads the message. A clock
    // that the goblin had stopped stays stopped afterwards.
    const bool showClockRan = Timer(ctShowClock).Enabled;
    const bool problemClockRan = Timer(ctProblemClock).Enabled;
    const bool pauseTimerRan = Timer(ctPauseTimer).Enabled;
    EnableTimer(ctShowClock, false);
    EnableTimer(ctProblemClock, false);
    EnableTimer(ctPauseTimer, false);

    if (FLevel > LastLevel) {
        FEnded = true;
        if (OnGameComplete)
            OnGameComplete(this);
        return;
    }

    if (OnLevelUp)
        OnLevelUp(this, FLevel);
    EnableTimer(ctShowClock, showClockRan);
    EnableTimer(ctProblemClock, problemClockRan);
    EnableTimer(ctPauseTimer, pauseTimerRan);
    CountersChanged();
    if (OnClearAnswer)
        OnClearAnswer(this);
    FFixedInLevel = 0;
    SetTimerInterval();
}

void TClockwigGame::GameOver() {
    EnableTimer(ctShowClock, false);
    EnableTimer(ctProblemClock, false);
    EnableTimer(ctPauseTimer, false);
    FEnded = true;
    CountersChanged();
    if (OnGameOver)
        OnGameOver(this);
}

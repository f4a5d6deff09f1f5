#include "games/SaveMeGame.h"

#include "app/StringUtils.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <QRandomGenerator>

namespace {

constexpr float Degrees(float d) {
    return d * std::numbers::pi_v<float> / 180.0f;
}

// Moons per level, most and fewest at once, spawn period (21 - 2 x level),
// radius factor, angle step, approach speed, and the bonus Round(level x
// 1.3) with halves rounded to even.
constexpr std::array<TSaveMeLevel, TSaveMeGame::LastLevel> kLevels = {{
    {50, 5, 1, 19, 0.995f, Degrees(8.0f / 15), 1.5f, 1},
    {55, 6, 2, 17, 0.993f, Degrees(10.0f / 15), 1.55f, 3},
    {67, 7, 2, 15, 0.991f, Degrees(13.0f / 15), 1.6f, 4},
    {70, 8, 3, 13, 0.989f, Degrees(1), 1.65f, 5},
    {75, 9, 3, 11, 0.989f, Degrees(17.0f / 15), 1.7f, 6},
    {82, 10, 3, 9, 0.987f, Degrees(18.0f / 15), 1.75f, 8},
    {95, 11, 4, 7, 0.985f, Degrees(20.0f / 15), 1.8f, 9},
    {150, 12, 5, 5, 0.984f, Degrees(21.0f / 15), 1.85f, 10},
}};

constexpr int kMaxAniTick = 5000000;

// Words are matched ignoring the case of ASCII letters only.
bool SameWord(const QString& a, const QString& b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        char16_t x = a[i].unicode();
        char16_t y = b[i].unicode();
        if (x >= 'A' && x <= 'Z')
            x = char16_t(x + 32);
        if (y >= 'A' && y <= 'Z')
            y = char16_t(y + 32);
        if (x != y)
            return false;
    }
    return true;
}

float Lerp(float a, float b, float t) {
    return a + (b - a) * t;
}

} // namespace

TSaveMeGame::TSaveMeGame(TRandom random, TToday today)
    : FRandom(std::move(random))
    , FToday(std::move(today))
    , FView(PerspectiveView(1280, 720, 0.3f)) {}

TSaveMeGame::~TSaveMeGame() = default;

const TSaveMeLevel& TSaveMeGame::LevelInfo(int level) {
    return kLevels.at(std::size_t(std::clamp(level, 1, LastLevel) - 1));
}

QString TSaveMeGame::ItemText(TSpecialItem item) {
    switch (item) {
    case siAllExplode:
        return QStringLiteral("  모두 폭파");
    case siStop:
        return QStringLiteral("  STOP ");
    case siSpeedUp:
        return QStringLiteral("  Speed up");
    case siEnergyPlusOne:
        return QStringLiteral("  생명 +1");
    case siHideText:
        return QStringLiteral("  문제 감추기~");
    case siStopItem:
        return QStringLiteral("  일시정지 아이템");
    case siFake:
        return QStringLiteral("  꽝! 다음 기회에~");
    case siNone:
    case siMax:
        break;
    }
    return {};
}

QString TSaveMeGame::LanguageOf(const QString& fileName) {
    const qsizetype open = fileName.indexOf(QLatin1Char('['));
    const qsizetype close = fileName.indexOf(QLatin1Char(']'));
    if (open < 0 || close < open)
        return {};
    return fileName.mid(open + 1, close - open - 1);
}

QStringList TSaveMeGame::StoryLines(const QDate& today) {
    const QString text =
        QString::number(today.year()) + QStringLiteral("년 ") + QString::number(today.month()) +
        QStringLiteral("월의 어느날 \r \r") +
        QStringLiteral("태양이 불안정해지면서 강력한 태양폭풍이 발생해 \r달이 궤도를 벗어나 "
                       "지구로 향하게 됩니다.") +
        QStringLiteral("\r지구의 위기입니다.\r충돌하면 지구는 폭발할 겁니다.\r ") +
        QStringLiteral("\r제시된 낱말을 쳐서 달이 지구에 충돌하기 전에 \r폭파시켜 지구를 "
                       "지켜주세요.\r\r") +
        QStringLiteral("                    PRESS ENTER");
    return text.split(QLatin1Char('\r'));
}

TSaveMeView TSaveMeGame::PerspectiveView(int width, int height, float scale) {
    const float aspect = height > 0 ? float(width) / float(height) : 1.0f;
    const float slope = std::tan(Degrees(55.0f / 2));
    auto at = [&](float z, TGLArrayf3& max, TGLArrayf3& min) {
        const float hh = (50 - z) * slope;
        max = {hh * aspect, hh, z};
        min = {-hh * aspect, -hh, z};
    };
    TSaveMeView view;
    at(6, view.MaxVisible, view.MinVisible);
    at(0, view.MaxViewPort0, view.MinViewPort0);
    at(45, view.MaxViewPort45, view.MinViewPort45);
    view.Scale = scale;
    return view;
}

int TSaveMeGame::Random(int n) {
    if (n <= 1)
        return 0;
    if (FRandom)
        return std::clamp(FRandom(n), 0, n - 1);
    return int(QRandomGenerator::global()->bounded(n));
}

TGameEnemy* TSaveMeGame::FindEnemy(std::uint64_t id) const {
    for (const auto& moon : FEnemyList) {
        if (moon->Id() == id)
            return moon.get();
    }
    return nullptr;
}

std::vector<std::uint64_t> TSaveMeGame::SnapshotIds(bool lastFirst) const {
    std::vector<std::uint64_t> ids;
    ids.reserve(FEnemyList.size());
    for (const auto& moon : FEnemyList)
        ids.push_back(moon->Id());
    if (lastFirst)
        std::reverse(ids.begin(), ids.end());
    return ids;
}

bool TSaveMeGame::AnyCollision() const {
    return std::any_of(FEnemyList.begin(), FEnemyList.end(),
                       [](const auto& moon) { return moon->FExplosionType == etCollision; });
}

void TSaveMeGame::SetTimer(bool enabled) {
    if (FTimerEnabled == enabled)
        return;
    FTimerEnabled = enabled;
    if (OnTimerChanged)
        OnTimerChanged(this, enabled);
}

void TSaveMeGame::Repaint() {
    if (OnRepaint)
        OnRepaint(this);
}

void TSaveMeGame::LabelsChanged() {
    if (OnLabelsChanged)
        OnLabelsChanged(this);
}

void TSaveMeGame::ClearInput() {
    if (OnClearInput)
        OnClearInput(this);
}

// --- Start -------------------------------------------------------------

void TSaveMeGame::StartGame(const QString& fileName, int level, const QStringList& lines) {
    FGameLanguageDesc = LanguageOf(fileName);
    FProblemText = lines;
    FGameLevel = std::clamp(level, 1, LastLevel);
    FScore = 0;
    FExplosionCount = 0;
    FCollidedCount = 0;
    LabelsChanged();
    ShowGameMessage(QStringLiteral("Models\\Maps\\moon_collision.png"),
                    StoryLines(FToday ? FToday() : QDate::currentDate()), caStartTimerAndPauseHint,
                    30);
    FEarthAniTick.Start();
}

// --- Messages ----------------------------------------------------------

void TSaveMeGame::ShowMessage(const TSaveMeMessage& message) {
    FMessage = message;
    FMessage.Visible = true;
    FMessage.Ticks = 0;
    if (OnMessageShow)
        OnMessageShow(this, FMessage);
}

void TSaveMeGame::ShowGameMessage(const QString& picture, const QStringList& lines,
                                  TMessageCloseAction closeAction, int fontSize) {
    TSaveMeMessage message;
    message.Picture = picture;
    message.Lines = lines;
    message.FontSize = fontSize;
    message.Centred = true;
    message.MaxTicks = 10;
    message.Modal = true;
    message.CloseAction = closeAction;
    SetTimer(false);
    ShowMessage(message);
    Repaint();
}

void TSaveMeGame::ShowPointsMessage(const TGameEnemy& moon, int gain, TSpecialItem item) {
    TSaveMeMessage message;
    message.Lines = {QStringLiteral("+ ") + QString::number(gain) + ItemText(item)};
    message.FontSize = 40;
    message.Centred = false;
    message.Position = {moon.FPosition.x, moon.FPosition.y + 6, moon.FPosition.z + 6};
    message.MaxTicks = 10;
    ShowMessage(message);
}

void TSaveMeGame::ShowPauseHint() {
    TSaveMeMessage message;
    message.Lines = {QStringLiteral("PageDown 키 => 일시정지 아이템")};
    message.FontSize = 45;
    message.Centred = true;
    message.MaxTicks = 30;
    ShowMessage(message);
}

void TSaveMeGame::CloseMessage() {
    if (!FMessage.Visible)
        return;
    FMessage.Visible = false;
    if (OnMessageClose)
        OnMessageClose(this);
    switch (FMessage.CloseAction) {
    case caStartTimer:
        SetTimer(true);
        break;
    case caStartTimerAndPauseHint:
        SetTimer(true);
        ShowPauseHint();
        break;
    case caNone:
        break;
    }
}

// --- Keys and repaints ---------------------------------------------------

void TSaveMeGame::EnterPressed(const QString& text) {
    if (FEnded)
        return;
    CloseMessage();
    CheckAnswer(TrimSpacesAndControls(text));
    if (!FEnded)
        ClearInput();
}

void TSaveMeGame::EscPressed() {
    ClearInput();
}

void TSaveMeGame::PageDownPressed() {
    if (FEnded || FStopItemCount <= 0)
        return;
    --FStopItemCount;
    ApplyItem(siStop);
}

void TSaveMeGame::PanelClicked() {
    if (!FEnded)
        CloseMessage();
}

int TSaveMeGame::StepEarthFlyIn() {
    if (!FEarthAniTick.Started())
        return 0;
    const int t = FEarthAniTick.Tick;
    FEarthAniTick.IncTick();
    if (FEarthAniTick.Tick > FlyInTicks)
        FEarthAniTick.Stop();
    return t;
}

// --- The tick ----------------------------------------------------------

void TSaveMeGame::Tick() {
    if (FEnded)
        return;
    if (FUseBGM && FAniTick % 10 == 0 && OnMusicNext)
        OnMusicNext(this);
    if (FExplosiveSoundOn) {
        FExplosiveSoundOn = false;
        if (OnPlaySound)
            OnPlaySound(this, FExplosiveSpecialSoundOn ? ssExplosion : ssGood);
        FExplosiveSpecialSoundOn = false;
    }
    if (FMessage.Visible) {
        ++FMessage.Ticks;
        if (!FMessage.Modal && OnMessageFade)
            OnMessageFade(this, 1.0f / float(std::max(1, FMessage.MaxTicks)), -1, 1);
        if (FMessage.Ticks > FMessage.MaxTicks)
            CloseMessage();
    }
    if (FAniTick % 2 == 0) {
        if (FStopItemCount > 0)
            FStopAniFrame = (FStopAniFrame + 1) % 4;
        if (FFailGameStep == 0)
            FEarthLifeAniFrame = (FEarthLifeAniFrame + 1) % 4;
    }
    if (++FAniTick > kMaxAniTick)
        FAniTick = 0;

    MoveMoons();
    if (FEnded)
        return;

    if (FFailGameStep != 0) {
        GameOverStep();
    } else {
        ApplyItem(FSpecialItem);
        if (FEnded)
            return;
        const TSaveMeLevel& level = Level();
        if (FAniTick % level.SpawnPeriod == 0 && int(FEnemyList.size()) < level.MostAtOnce &&
            FSpecialItem == siNone)
            SpawnMoon();
        // A file with too few usable words cannot reach n moons: the top-up
        // stops at the first spawn that creates nothing.
        const int n = std::min(Level().FewestAtOnce, Level().MoonsPerLevel - FExplosionCount);
        if (FSpecialItem == siNone && !EarthFlyInRunning()) {
            while (int(FEnemyList.size()) < n) {
                if (!SpawnMoon())
                    break;
            }
        }
    }
    Repaint();
}

// --- Spawning ----------------------------------------------------------

bool TSaveMeGame::DrawLine(QString& word, QString& desc) {
    if (FProblemText.isEmpty())
        return false;
    for (int draw = 0; draw < LineDraws; ++draw) {
        const QString line =
            TrimSpacesAndControls(FProblemText.at(Random(int(FProblemText.size()))));
        if (line.isEmpty())
            continue;
        // A moon showing the whole line blocks it; lines with a description
        // may thus put the same word on two moons, and one answer then
        // destroys both.
        const bool shown = std::any_of(FEnemyList.begin(), FEnemyList.end(), [&](const auto& moon) {
            return SameWord(moon->Word, line);
        });
        if (shown)
            continue;
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        QString w = colon < 0 ? line : TrimSpacesAndControls(line.left(colon));
        // A line of only a description has nothing to type.
        if (w.isEmpty())
            continue;
        word = w;
        desc = colon < 0 ? QString() : TrimSpacesAndControls(line.mid(colon + 1));
        return true;
    }
    return false;
}

TSpecialItem TSaveMeGame::DrawItem() {
    const int a = Random(30);
    const int b = Random(10);
    if ((a + b) % 6 != 3)
        return siNone;
    TSpecialItem item = TSpecialItem(Random(8));
    const auto carried = std::count_if(FEnemyList.begin(), FEnemyList.end(), [](const auto& moon) {
        return moon->FSpecialItem != siNone;
    });
    if (carried >= 2)
        return siNone;
    if (item == siStopItem && FStopItemCount >= MaxStopItemsForNew)
        item = siFake;
    return item;
}

void TSaveMeGame::ClampToView(TGLArrayf3& pos) const {
    const float s = FView.Scale;
    const float minX = FView.MinVisible.x / s + 15;
    const float maxX = FView.MaxVisible.x / s - 15;
    const float minY = FView.MinVisible.y / s + 15;
    const float maxY = FView.MaxVisible.y / s - 15;
    if (pos.x < minX)
        pos.x = minX;
    if (pos.x > maxX)
        pos.x = maxX;
    if (pos.y < minY)
        pos.y = minY;
    if (pos.y > maxY)
        pos.y = maxY;
}

std::unique_ptr<TGameEnemy> TSaveMeGame::CreateMoon(const QString& word, const QString& desc) {
    auto moon = std::make_unique<TGameEnemy>(&FEnemyList, ++FMoonSerial);
    moon->FSpecialItem = DrawItem();
    moon->FExplosionStep = 0;
    moon->FSpinStep = 0;
    moon->FExplosionType = etNone;

    const bool flyIn = EarthFlyInRunning();
    int accepted = 0;
    TGLArrayf3 pos;
    for (int attempt = 1; attempt <= PlacementTries; ++attempt) {
        const int magnitude = Random(60) + 12 * Random(6);
        float x = Random(8) % 2 == 0 ? float(magnitude) : -float(magnitude);
        float y = 0;
        if (flyIn) {
            y = std::sqrt(std::max(0.0f, 14400 - x * x));
            if (Random(8) % 2 != 0)
                y = -y;
        } else {
            const int m = 10 * Random(5) + 8 * Random(6) + 20 * Random(3);
            y = Random(8) % 2 == 0 ? float(m) : -float(m);
        }
        float z = 0;
        if (!flyIn && Random(5) < 3) {
            x = float(Random(120));
            if (Random(2) == 0)
                x = -x;
            y = float(Random(90));
            if (Random(2) == 0)
                y = -y;
            z = float(12 * (Random(4) + 3));
        } else {
            z = float(Random(20) - 5);
        }
        moon->FTowardRatio = 1;
        if (Random(3) == 1)
            moon->FTowardRatio = 1 + float(Random(10)) / 30;
        pos = {x, y, z};
        ClampToView(pos);
        if (!moon->IsOverlappedEnemyExists(pos, SpawnDistance)) {
            accepted = attempt;
            break;
        }
    }
    if (accepted == 0 || accepted > AcceptedTries)
        return nullptr;

    moon->FPositionInc = {pos.x / 500, pos.y / 500, pos.z / 500};
    moon->Word = word;
    moon->Desc = desc;
    ClampToView(pos);
    moon->FPosition = pos;
    moon->LabelPosition = {pos.x, pos.y, pos.z + 8};
    moon->LabelVisible = true;
    return moon;
}

bool TSaveMeGame::SpawnMoon() {
    if (FExplosionCount >= Level().MoonsPerLevel)
        return false;
    QString word;
    QString desc;
    if (!DrawLine(word, desc))
        return false;
    std::unique_ptr<TGameEnemy> moon = CreateMoon(word, desc);
    if (!moon)
        return false;
    TGameEnemy* added = moon.get();
    FEnemyList.push_back(std::move(moon));
    std::stable_sort(FEnemyList.begin(), FEnemyList.end(), [](const auto& a, const auto& b) {
        return a->LabelPosition.z < b->LabelPosition.z;
    });
    if (OnMoonAdded)
        OnMoonAdded(this, added);
    return true;
}

// --- Movement ----------------------------------------------------------

bool TSaveMeGame::InView(const TGameEnemy& moon, float x, float y) const {
    const float s = FView.Scale;
    const float t = (moon.FPosition.z + 3) * s;
    if (t < 0 || t > 45)
        return true;
    const float k = t / 45;
    const float minX = Lerp(FView.MinViewPort0.x, FView.MinViewPort45.x, k);
    const float maxX = Lerp(FView.MaxViewPort0.x, FView.MaxViewPort45.x, k);
    const float minY = Lerp(FView.MinViewPort0.y, FView.MinViewPort45.y, k);
    const float maxY = Lerp(FView.MaxViewPort0.y, FView.MaxViewPort45.y, k);
    return (x - 12) * s >= minX && (x + 12) * s <= maxX && (y - 6) * s >= minY &&
           (y + 6) * s <= maxY;
}

void TSaveMeGame::MoveMoon(TGameEnemy& moon, float f) {
    const TSaveMeLevel& level = Level();
    const bool speedUp = FSpecialItem == siSpeedUp;
    TGLArrayf3& p = moon.FPosition;
    const float d = std::sqrt(p.x * p.x + p.y * p.y);
    const bool near = d < 80 || (d < 100 && !EarthFlyInRunning());
    float r = d;
    if (f > 0)
        r = d * level.RadiusFactor - (speedUp ? 0.2f : 0.0f);
    r = std::max(r, 1.0f);
    if (near)
        r *= 1 - (100 - d) / 70 * 0.01f;
    // atan2 is the angle of atan(y / x) (+ pi for x < 0) and stays defined
    // for a moon on the view axis.
    const float a = std::atan2(p.y, p.x) + level.AngleStep * f;
    if (f == 0)
        return;
    if (p.z > 100)
        r *= 0.995f;
    float x = r * std::cos(a);
    float y = r * std::sin(a);
    const float dz = f * level.ApproachSpeed * moon.FTowardRatio;
    if (p.z > 130)
        p.z += dz * 0.7f;
    else if (near)
        p.z += dz;
    for (int shrink = 0; shrink < MaxViewShrinks && !InView(moon, x, y); ++shrink) {
        r *= 0.995f;
        x = r * std::cos(a);
        y = r * std::sin(a);
    }
    p.x = x;
    p.y = y;
}

void TSaveMeGame::MoveMoons() {
    const float f = FSpecialItem == siStop ? 0.0f : FSpecialItem == siSpeedUp ? 1.7f : 1.0f;
    for (auto it = FEnemyList.rbegin(); it != FEnemyList.rend(); ++it) {
        TGameEnemy& moon = **it;
        if (!moon.Flying())
            continue;
        MoveMoon(moon, f);
        moon.LabelPosition = {moon.FPosition.x, moon.FPosition.y, moon.FPosition.z + 8};
    }

    for (std::uint64_t id : SnapshotIds(false)) {
        if (FEnded)
            return;
        TGameEnemy* moon = FindEnemy(id);
        if (!moon)
            continue;
        if (moon->FExplosionStep > 0)
            Explode(moon, etNone);
        else if (moon->FPosition.z > ImpactDepth)
            Explode(moon, etCollision);
    }

    // Moons that meet: the earlier one in the list breaks up, as an impact.
    for (std::uint64_t id : SnapshotIds(false)) {
        if (FEnded)
            return;
        TGameEnemy* moon = FindEnemy(id);
        if (!moon || !moon->Flying())
            continue;
        auto self = std::find_if(FEnemyList.begin(), FEnemyList.end(),
                                 [moon](const auto& m) { return m.get() == moon; });
        const TGLArrayf3& p = moon->FPosition;
        const bool meets = std::any_of(std::next(self), FEnemyList.end(), [&](const auto& other) {
            if (!other->Flying())
                return false;
            const float dx = other->FPosition.x - p.x;
            const float dy = other->FPosition.y - p.y;
            const float dz = other->FPosition.z - p.z;
            return dx * dx + dy * dy + dz * dz <= MeetDistance * MeetDistance;
        });
        if (meets)
            Explode(moon, etCollision);
    }
}

// --- Answers and items -------------------------------------------------

void TSaveMeGame::CheckAnswer(const QString& text) {
    if (FEnded || text.isEmpty())
        return;
    bool first = true;
    for (std::uint64_t id : SnapshotIds(true)) {
        if (FEnded)
            return;
        TGameEnemy* moon = FindEnemy(id);
        if (!moon || !moon->LabelVisible || !SameWord(moon->Word, text))
            continue;
        if (first) {
            first = false;
            const int gain = int(text.size()) + Level().Bonus;
            ShowPointsMessage(*moon, gain, moon->FSpecialItem);
            FScore += gain;
            ApplyItem(moon->FSpecialItem);
            // A bomb item may already have finished this moon.
            moon = FindEnemy(id);
            if (!moon || FEnded)
                continue;
        }
        LabelsChanged();
        Explode(moon, etCorrectAnswer);
    }
}

void TSaveMeGame::ApplyItem(TSpecialItem item) {
    if (item == siNone || item == siFake || item == siMax)
        return;
    if (FSpecialStep == 0 || item != FSpecialItem)
        FSpecialItem = item;
    auto reset = [this] {
        FSpecialStep = 0;
        FSpecialItem = siNone;
    };
    switch (item) {
    case siAllExplode:
        reset();
        ExplodeAll();
        break;
    case siEnergyPlusOne:
        if (FCollidedCount > 0)
            --FCollidedCount;
        reset();
        break;
    case siStopItem:
        ++FStopItemCount;
        reset();
        break;
    case siStop:
    case siHideText:
        if (++FSpecialStep >= 30)
            reset();
        break;
    case siSpeedUp:
        if (++FSpecialStep >= 20)
            reset();
        break;
    default:
        break;
    }
}

void TSaveMeGame::ExplodeAll() {
    for (std::uint64_t id : SnapshotIds(true)) {
        if (FEnded)
            return;
        if (TGameEnemy* moon = FindEnemy(id))
            Explode(moon, etBomb);
    }
    ClearInput();
}

// --- Explosions, levels, the end ------------------------------------------

void TSaveMeGame::Explode(TGameEnemy* moon, TExplosionType ExpType) {
    if (moon->FExplosionType == etCollision && ExpType == etCorrectAnswer) {
        // Shot during its first impact steps: the life comes back.
        moon->FExplosionType = etCorrectAnswer;
        --FCollidedCount;
    }
    if (moon->FExplosionStep == 0) {
        ++FExplosionCount;
        moon->FExplosionType = ExpType;
        if (ExpType == etCollision)
            ++FCollidedCount;
        if (FUseSound) {
            FExplosiveSoundOn = true;
            FExplosiveSpecialSoundOn = moon->FSpecialItem != siNone;
        }
    }
    ++moon->FExplosionStep;
    if (moon->FExplosionStep > 3 || moon->FExplosionType == etBomb ||
        moon->FExplosionType == etCorrectAnswer)
        moon->LabelVisible = false;
    if (moon->FExplosionStep < ExplosionSteps)
        return;

    auto it = std::find_if(FEnemyList.begin(), FEnemyList.end(),
                           [moon](const auto& m) { return m.get() == moon; });
    if (it == FEnemyList.end())
        return;
    std::unique_ptr<TGameEnemy> removed = std::move(*it);
    FEnemyList.erase(it);
    if (OnMoonRemoved)
        OnMoonRemoved(this, removed.get());
    if (FCollidedCount >= MaxLives)
        GameOverStep();
    else
        LevelCheck();
}

void TSaveMeGame::LevelCheck() {
    if (FEnded || FExplosionCount < Level().MoonsPerLevel || !FEnemyList.empty())
        return;
    if (FGameLevel >= LastLevel) {
        ExplodeAll();
        ClearInput();
        ShowGameMessage(QString(),
                        {QStringLiteral("마지막 레벨까지 성공했습니다."),
                         QStringLiteral("당신이 타비로입니다.")},
                        caNone, 46);
        SetTimer(false);
        FinishGame();
        return;
    }
    ++FGameLevel;
    SetTimer(false);
    LabelsChanged();
    ClearInput();
    if (OnNewBackground)
        OnNewBackground(this);
    FEarthAniTick.Start();
    ShowGameMessage(QString(),
                    {QStringLiteral("START LEVEL ") + QString::number(FGameLevel),
                     QStringLiteral(" "), QStringLiteral("PRESS ENTER")},
                    caStartTimer, 50);
    FExplosionCount = 0;
}

void TSaveMeGame::GameOverStep() {
    if (FEnded)
        return;
    // Counted before the moons are bombed: a bombed moon that ends its
    // explosion at once comes back here and must not bomb them again.
    const bool first = FFailGameStep == 0;
    ++FFailGameStep;
    if (first)
        ExplodeAll();
    if (FEnded || FFailGameStep <= FailGameSteps)
        return;
    SetTimer(false);
    ShowGameMessage(QString(), {QStringLiteral("GAME OVER !!")}, caNone, 150);
    FinishGame();
}

void TSaveMeGame::FinishGame() {
    FEnded = true;
    if (OnGameFinished)
        OnGameFinished(this, FScore, FGameLevel, FGameLanguageDesc);
}

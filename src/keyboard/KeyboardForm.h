#pragma once

#include "app/KeyboardLayouts.h"
#include "app/SettingsRecords.h"
#include "gl/GLTypes.h"
#include "history/DrillRecorder.h"
#include "keyboard/KeyboardExercise.h"
#include "keyboard/SelKeyList.h"

#include <memory>
#include <QImage>
#include <QWidget>

class QKeyEvent;
class QMouseEvent;
class TGLPanel;
class THistoryRecorder;
class TGLTextureAnimation;
class TGLTextureMessage;
class TMaterialItem;
class TObjLoader;
class TTextureItem;
class TThreadTimer;
class T3DModel;

// The single-key drill ("키보드연습"): a 3D keyboard fills the window, the
// character to type floats in front of it in a translucent shell, and the
// fingers show which finger strikes it. The rules live in TKeyboardExercise;
// this window feeds it keys (judged by their physical position) and timer
// ticks, and draws its state.
//
// The window frees itself when closed. There is at most one practice
// screen; StartDrill replaces a running one.
class TKeyboardForm : public QWidget {
    Q_OBJECT
public:
    // Sets the drill up from the process-wide KeyboardSetup record. Throws
    // ERavlinError when the keyboard model or one of its textures cannot be
    // read. `random` (0 .. n-1) is for tests; empty: seeded from the clock.
    explicit TKeyboardForm(QWidget* parent = nullptr, std::function<int(int)> random = {});
    ~TKeyboardForm() override;

    // (Re)reads KeyboardSetup: layout, groups, glyph font, model, message.
    void Initialize();
    // The next problem; it stands still and waits afresh.
    void NextProblem();

    // The one practice screen, or nullptr.
    static TKeyboardForm* Current();
    // Frees a running practice screen, creates a new one from KeyboardSetup,
    // gives it its first problem, shows it modeless and returns it.
    static TKeyboardForm* StartDrill();

    // Draws a frame, or with `selecting` returns the key code of the key
    // object under the pointer (-1 when none; -1 when not selecting).
    int DrawKeyboardScene(bool selecting);
    // The timer's tick (public so tests can step the drill).
    void ThreadTimerTimer();
    // Paints the key captions of the setup's layout on a key-cap bitmap: a
    // 60-pixel row per keyboard row, each key 60 x Width pixels wide.
    static void DrawKeyCapTexture(QImage& bitmap, const TKeyboardSetupRec& setup);
    // Key events as the window receives them (also from the panel).
    void HandleKeyPress(QKeyEvent* event);
    void HandleKeyRelease(QKeyEvent* event);

    TGLPanel* KeyboardPanel;
    std::unique_ptr<TObjLoader> KeyboardObj;
    TThreadTimer* ThreadTimer;

    TKeyboardExercise& Exercise() { return *FExercise; }
    TSelKeyList& SelKeyList() { return *FSelKeyList; }
    TGLTextureMessage& Message() { return *FMessage; }
    const TGLArrayf3& ExpMaxVisiblePos() const { return FExpMaxVisiblePos; }
    const TGLArrayf3& ExpMinVisiblePos() const { return FExpMinVisiblePos; }

    // The message shown during the fingers' flight.
    static const char* const kFingerMessage;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormActivate();
    void UpdateVisibleExtents();
    void KeyboardPanelMouseDown(QMouseEvent* event);
    void KeyboardPanelMouseUp(QMouseEvent* event);
    void ShowTextMessage(const QString& imageFile, const QString& text, int fontSize, bool modal);
    void PlaySound(TKeyboardSound sound);
    void Redraw();
    int RandomBelow(int n) const;
    void DrawObject(const QString& name);
    void ApplyProblemMotion();
    void DrawProblemCaption();
    void DrawProblemShell(const T3DModel& shell);
    void DrawFinger(const T3DModel& finger);
    void DrawThunder();
    void FadeFingerMessage();

    void KeyboardObjGetTextureSuffix(const QString& ObjectName, QString& SuffixName);
    void KeyboardObjGetTextureFileName(TTextureItem* item, QString& TextureFileName);
    void KeyboardObjTextureLoaded(TTextureItem* item, QImage& Bitmap);
    void KeyboardObjGetMaterialProperty(const QString& ObjectName, TMaterialItem* Material);

    std::function<int(int)> FRandom;
    std::unique_ptr<TSelKeyList> FSelKeyList;
    std::unique_ptr<TKeyboardExercise> FExercise;
    std::unique_ptr<TGLTextureAnimation> FExplosionAni;
    std::unique_ptr<TGLTextureMessage> FMessage;
    TEnglishKeyboardLayout FKeyLayout;
    // The key-cap picture of the settings, as a path.
    QString FKeyCapTexture;
    TGLArrayf3 FExpMaxVisiblePos;
    TGLArrayf3 FExpMinVisiblePos;
    bool FDestroying = false;
    // The drill's facts, written to the history when the window closes.
    TDrillRecorder FDrill;
    std::unique_ptr<THistoryRecorder> FHistory;
    // Writes the drill so far into the history (window closed or freed).
    void RecordDrill();
    // Tells the recorder about a problem that has just appeared.
    void NoteProblemShown();
    // Weights the pick by the history when the setup asks for it.
    void ApplyWeakKeyWeights();
};

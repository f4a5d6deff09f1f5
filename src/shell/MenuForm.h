#pragma once

#include "gl/GLTexturePanelList.h"
#include "gl/GLTypes.h"

#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <QImage>
#include <QStringList>
#include <QWidget>

class QDialog;
class QMouseEvent;
class QUrl;
class T3DModel;
class TGLPanel;
class TObjLoader;
class TRavlinUpdater;
class TTextureItem;
class TThreadTimer;

// The two effects the menu plays.
enum TMenuSound { msClick, msMouseOver };

// What the menu hands to the desktop and the user. Every unassigned member
// does the real thing; tests assign them so that nothing blocks or leaves
// the process.
struct TMenuServices {
    // The update page asked at creation; empty: the maker's page.
    QString UpdatePageUrl;
    // Where the update check keeps a downloaded banner; empty: the settings
    // folder.
    QString BannerFileName;
    // A Yes/No question box; true for Yes.
    std::function<bool(QWidget* parent, const QString& caption, const QString& text)> AskYesNo;
    // Opens a web address in the desktop's browser.
    std::function<void(const QUrl& url)> OpenUrl;
    // Shows a dialog the menu created, modally.
    std::function<void(QDialog& dialog)> ExecDialog;
    // Shows a topic of the help pages.
    std::function<void(QWidget* parent, const QString& topic)> ShowHelpTopic;
    // Plays one of the menu's effects.
    std::function<void(TMenuSound sound)> PlaySound;
    // Random(n): a uniformly drawn integer 0 .. n - 1.
    std::function<int(int n)> Random;
    // A monotonic clock in milliseconds.
    std::function<std::uint32_t()> TickCount;
};

// The program's main window: a 3D scene of slowly turning objects, one per
// activity, in two staggered columns against the right edge over a drifting
// cloud sky. The
// object under the pointer shows its caption in a hint panel with a short
// sound; clicking spins it and opens its activity. Every twenty seconds or
// so the weather may turn to rain with lightning, or clear up. A banner
// shows the picture the update check may have fetched and opens its link.
//
// Creating the menu runs the update check (blocking, bounded in time) and
// offers the maker's web page when a newer version exists. The animation
// runs only while the program is active.
class TMenuForm : public QWidget {
    Q_OBJECT
public:
    explicit TMenuForm(const TMenuServices& services = {}, QWidget* parent = nullptr);
    ~TMenuForm() override;

    // The program's own version, compared with the update page's.
    static constexpr const char* kVersion = "3.6";
    // The maker's web page, offered when a newer version exists.
    static const char* const kMakerPageUrl;
    // The help topic the help object opens.
    static QString HelpTopic() { return QStringLiteral("타비로이란.htm"); }
    // The number a version string reads as; -1 when it is not a number.
    static double VersionNumber(const QString& version);

    // One frame of the scene; while selecting, a picking pass at the pointer
    // that returns the name of the object under it (empty for none).
    QString DrawMenuScene(bool selecting);
    // The animation timer's handler (every 200 ms).
    void AniTimerTimer(TThreadTimer* Sender);

    TGLPanel* MenuPanel;
    TThreadTimer* AniTimer;
    std::unique_ptr<TObjLoader> MenuObj;
    TGLTexturePanelList HintPanelList;

    TRavlinUpdater* Updater() const { return FUpdater.get(); }
    bool IsRainy() const { return FIsRainy; }
    int AniTick() const { return FAniTick; }
    int BackAniTick() const { return FBackAniTick; }
    const QString& SelObjectName() const { return FSelObjectName; }
    const QString& HintObjectName() const { return FHintObjectName; }
    const TGLArrayf3& ModelMaxVisiblePos() const { return FModelMaxVisiblePos; }
    const TGLArrayf3& ModelMinVisiblePos() const { return FModelMinVisiblePos; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void FormActivate();
    void FormDeactivate();
    void MenuPanelMouseDown(TGLPanel* Sender, QMouseEvent* Event);
    void MenuPanelMouseUp(TGLPanel* Sender, QMouseEvent* Event);
    void MenuPanelClick(TGLPanel* Sender);
    void MenuPanelDrawScene(TGLPanel* Sender);
    void MenuPanelResize(TGLPanel* Sender);
    void MenuObjGetTextureSuffix(const QString& ObjectName, QString& SuffixName);
    void MenuObjGetTextureFileName(TTextureItem* item, QString& TextureFileName);
    void MenuObjTextureLoaded(TTextureItem* item, QImage& Bitmap);

    void AskForNewVersion();
    void CreateHintPanels();
    void OpenMenuItem(const QString& objectName);
    void ExecDialog(QDialog& dialog);
    void OpenUrl(const QString& address);
    void Play(TMenuSound sound);
    int Random(int n);
    std::uint32_t TickCount();
    void StepTicks();
    void UpdateVisiblePos();

    void DrawSky();
    void DrawWeather();
    void ShowHint(const T3DModel& model, float turn, bool selecting);
    void PlaceHint(TGLTexturePanelItem& hint, const T3DModel& model, float turn);
    void PlaceAtRightEdge(const T3DModel& model);
    void DrawObject(const QString& name);

    TMenuServices FServices;

    bool FIsRainy = true;
    // Waits for the update check running beside the scene's loading; once
    // done, FUpdater holds its answer.
    void JoinUpdateCheck();
    std::unique_ptr<TRavlinUpdater> FUpdater;
    std::future<std::unique_ptr<TRavlinUpdater>> FPendingUpdater;
    std::uint32_t FTimerTick = 0;
    std::int32_t FAniTick = 0;
    std::int32_t FBackAniTick = 0;
    std::uint32_t FMouseDownedTick = 0;
    QStringList FObjectList;
    std::int32_t FRotateSelectedByXAxis = 0;
    QString FSelObjectName;
    QString FHintObjectName;
    TGLArrayf3 FModelMaxVisiblePos;
    TGLArrayf3 FModelMinVisiblePos;
    QString FMouseOverSnd_ObjName;
    // The object the hint callouts were last placed for in a drawn frame.
    QString FHintPlacedFor;
};

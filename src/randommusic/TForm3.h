#pragma once

#include <QDialog>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <vector>

class Dialogs;
class HandlerGuard;
class IniFile;
class QLabel;
class QListWidget;
class QSpinBox;

// The random-music window: the pool of tunes in the folder "随机音乐", the playlist drawn from it,
// and the number of tunes a draw takes. Created hidden at start-up; shown modally on demand.
class TForm3 : public QDialog {
    Q_OBJECT
  public:
    using OrderSource = std::function<std::vector<int>(int n)>;

    // `folder` is the random-music folder; `order` draws the permutation (fresh each call).
    TForm3(const QString& folder, IniFile& settings, Dialogs& dialogs, HandlerGuard& guard,
           QWidget* parent = nullptr, OrderSource order = {});

    // Clears pool and playlist, scans the folder again and draws a new playlist. A call made
    // while a rebuild is under way is ignored, so nobody ever sees a half-built pool.
    void Rebuild();

    // The count field's change handler: refuses a count larger than the pool, else stores it.
    void se1Change();

    QStringList pool() const;
    QStringList playlist() const;

    // Index of the next playlist entry to play; kNoPlaylist when no playlist is in progress.
    static constexpr std::uint16_t kNoPlaylist = 20;
    std::uint16_t PlayIndex = kNoPlaylist;

    QLabel* lbl1 = nullptr;
    QLabel* lbl2 = nullptr;
    QLabel* lbl3 = nullptr;
    QLabel* lbl4 = nullptr;
    QListWidget* lst1 = nullptr;
    QListWidget* lst2 = nullptr;
    QSpinBox* se1 = nullptr;

  private:
    void FormCreate();

    QString folder_;
    IniFile& settings_;
    Dialogs& dialogs_;
    HandlerGuard& guard_;
    OrderSource order_;
    bool rebuilding_ = false;
};

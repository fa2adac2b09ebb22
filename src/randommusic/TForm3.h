#pragma once

#include <QDialog>

class Dialogs;
class HandlerGuard;
class IniFile;
class QLabel;
class QListWidget;
class QSpinBox;
class RandomPlaylist;

// The random-music window: shows the pool and the playlist of the random music and edits the
// number of tunes a draw takes. Created hidden at start-up; shown modally on demand.
class TForm3 : public QDialog {
    Q_OBJECT
  public:
    // Builds the window and, as its creation does, has the pool scanned and a playlist drawn.
    TForm3(RandomPlaylist& music, IniFile& settings, Dialogs& dialogs, HandlerGuard& guard,
           QWidget* parent = nullptr);

    // The count field's change handler: refuses a count larger than the pool, else stores it.
    void se1Change();

    QLabel* lbl1 = nullptr;
    QLabel* lbl2 = nullptr;
    QLabel* lbl3 = nullptr;
    QLabel* lbl4 = nullptr;
    QLabel* lbl5 = nullptr;  // the warning when the folder holds fewer tunes than a draw takes

    // What lbl5 says for that many tunes and that draw size; empty when they suffice.
    static QString shortageText(qsizetype tunes, int drawCount);
    QListWidget* lst1 = nullptr;
    QListWidget* lst2 = nullptr;
    QSpinBox* se1 = nullptr;

  private:
    // Shows the pool, the playlist and the count of the latest draw.
    void showDraw();
    void showShortage();

    RandomPlaylist& music_;
    IniFile& settings_;
    Dialogs& dialogs_;
    HandlerGuard& guard_;
};

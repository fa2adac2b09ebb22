#include "randommusic/TForm3.h"

#include <QLabel>
#include <QListWidget>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/Dialogs.h"
#include "core/HandlerGuard.h"
#include "core/IniFile.h"
#include "randommusic/MusicPool.h"

namespace {
const QString kSet = QStringLiteral("Set");
const QString kCount = QStringLiteral("Music_SJ");
constexpr int kMaxCount = 10;
}  // namespace

TForm3::TForm3(const QString& folder, IniFile& settings, Dialogs& dialogs, HandlerGuard& guard,
               QWidget* parent, OrderSource order)
    : QDialog(parent),
      folder_(folder),
      settings_(settings),
      dialogs_(dialogs),
      guard_(guard),
      order_(order ? std::move(order)
                   : OrderSource([](int n) { return randommusic::RandomOrder(n); })) {
    setObjectName(QStringLiteral("TForm3"));
    setWindowTitle(QStringLiteral("随机音乐"));
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);
    resize(461, 434);

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    lbl1 = new QLabel(QStringLiteral("随机音乐文件夹里的文件(至少8首)"), this);
    lbl2 = new QLabel(QStringLiteral("共有 0 首音乐"), this);
    lbl2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    top->addWidget(lbl1);
    top->addWidget(lbl2);
    layout->addLayout(top);
    lst1 = new QListWidget(this);
    layout->addWidget(lst1, 3);
    lbl3 = new QLabel(QStringLiteral("随机播放列表"), this);
    layout->addWidget(lbl3);
    lst2 = new QListWidget(this);
    layout->addWidget(lst2, 2);
    auto* bottom = new QHBoxLayout;
    lbl4 = new QLabel(QStringLiteral("随机播放数目设定(1-10)："), this);
    se1 = new QSpinBox(this);
    se1->setRange(1, kMaxCount);
    se1->setValue(4);
    bottom->addWidget(lbl4);
    bottom->addWidget(se1);
    bottom->addStretch();
    layout->addLayout(bottom);
    connect(se1, &QSpinBox::valueChanged, this, [this] { guard_.run([this] { se1Change(); }); });

    Rebuild();
}

QStringList TForm3::pool() const {
    QStringList items;
    for (int i = 0; i < lst1->count(); ++i) {
        items << lst1->item(i)->text();
    }
    return items;
}

QStringList TForm3::playlist() const {
    QStringList items;
    for (int i = 0; i < lst2->count(); ++i) {
        items << lst2->item(i)->text();
    }
    return items;
}

void TForm3::Rebuild() {
    if (rebuilding_) {
        return;
    }
    rebuilding_ = true;
    lst2->clear();
    lst1->clear();
    FormCreate();
    rebuilding_ = false;
}

void TForm3::FormCreate() {
    const QStringList tunes = randommusic::scanPool(folder_);
    lst1->addItems(tunes);
    lbl2->setText(QStringLiteral("共有 %1 首音乐").arg(tunes.size()));

    const int count = std::min(settings_.readInteger(kSet, kCount, 4), kMaxCount);
    se1->setValue(count);  // shown within 1..10; a change runs se1Change first

    const std::vector<int> order =
        count > tunes.size() ? std::vector<int>() : order_(static_cast<int>(tunes.size()));
    lst2->addItems(randommusic::drawPlaylist(tunes, count, order));
    PlayIndex = kNoPlaylist;
}

void TForm3::se1Change() {
    if (lst1->count() < se1->value()) {
        dialogs_.message(QStringLiteral("随机音乐数大于可供选择的音乐数，重新设定"));
        se1->setValue(1);
        return;
    }
    settings_.writeInteger(kSet, kCount, se1->value());
}

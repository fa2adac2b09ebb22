#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QtEndian>

#include "EventWait.h"
#include "ScopedEnv.h"
#include "media/TestMedia.h"
#include "media/WavFile.h"
#include "recorder/RecorderControl.h"
#include "recorder/TForm4.h"
#include "ringing/SchedulerFixture.h"

namespace {

TEST(CreateWavTest, TheHeaderOfEachWorkedExample) {
    TempDir dir;
    CreateWav(2, 16, 44100, dir.file("a.wav"));
    const QByteArray a = dir.read("a.wav");
    ASSERT_EQ(a.size(), 44);
    EXPECT_EQ(a.left(4), "RIFF");
    EXPECT_EQ(qFromLittleEndian<quint32>(a.constData() + 4), 36u);
    EXPECT_EQ(a.mid(8, 8), "WAVEfmt ");
    EXPECT_EQ(qFromLittleEndian<quint32>(a.constData() + 16), 16u);
    EXPECT_EQ(qFromLittleEndian<quint16>(a.constData() + 20), 1u);
    EXPECT_EQ(qFromLittleEndian<quint16>(a.constData() + 22), 2u);
    EXPECT_EQ(qFromLittleEndian<quint32>(a.constData() + 24), 44100u);
    EXPECT_EQ(qFromLittleEndian<quint32>(a.constData() + 28), 176400u);
    EXPECT_EQ(qFromLittleEndian<quint16>(a.constData() + 32), 4u);
    EXPECT_EQ(qFromLittleEndian<quint16>(a.constData() + 34), 16u);
    EXPECT_EQ(a.mid(36, 4), "data");
    EXPECT_EQ(qFromLittleEndian<quint32>(a.constData() + 40), 0u);

    dir.write("b.wav", "an older, longer file that is replaced");
    CreateWav(1, 8, 11025, dir.file("b.wav"));
    const QByteArray b = dir.read("b.wav");
    ASSERT_EQ(b.size(), 44);
    EXPECT_EQ(qFromLittleEndian<quint32>(b.constData() + 28), 11025u);
    EXPECT_EQ(qFromLittleEndian<quint16>(b.constData() + 32), 1u);
    EXPECT_THROW(CreateWav(1, 8, 11025, dir.file("no/such/folder.wav")), AppError);
}

// The recorder through the real window with the real GStreamer back end, recording from a test
// tone instead of a microphone.
struct RecorderTest : SchedulerFixture {
    ScopedEnv source{"TOLLVANE_AUDIO_SOURCE", "audiotestsrc is-live=true wave=sine freq=440"};
    ScopedEnv sink{"TOLLVANE_AUDIO_SINK", "fakesink sync=true"};
    RecorderTest() {
        realPlayer = true;
        QDir(folder.path()).mkpath("Music");
        testmedia::writeWav(folder.file("sys.mp3"), 300);  // any playable tune will do
    }
    TForm4& w() { return *form->Form4; }
    void choose(const char* channels, const char* bits, const char* rate) {
        w().cbb1->setCurrentText(channels);
        w().cbb2->setCurrentText(bits);
        w().cbb3->setCurrentText(rate);
    }
    QString target() const {
        return folder.file("Music/" + form->Form4->edt1->text().trimmed() + ".wav");
    }
    // Records until about `ms` of sound is in the file being recorded.
    void recordFor(int ms) {
        const QString file = RecorderControl::partFile(target());
        const qint64 bytesPerSecond = w().cbb1->currentText().toLongLong() *
                                      w().cbb2->currentText().toLongLong() / 8 *
                                      w().cbb3->currentText().toLongLong();
        w().btn1->click();
        ASSERT_TRUE(
            waitUntil([&] { return QFile(file).size() > 44 + ms * bytesPerSecond / 1000; }, 10000))
            << dialogs.boxes.join(";").toStdString();
    }
};

TEST_F(RecorderTest, EachFormatGivesACompleteStandardWav) {
    start();
    for (const char* channels : {"1", "2"}) {
        for (const char* bits : {"8", "16"}) {
            for (const char* rate : {"11025", "44100"}) {
                const QString name = QStringLiteral("r%1-%2-%3").arg(channels, bits, rate);
                w().edt1->setText(name);
                choose(channels, bits, rate);
                recordFor(300);
                w().btn2->click();
                const QByteArray file = folder.read("Music/" + name + ".wav");
                const auto format = media::readWavFormat(folder.file("Music/" + name + ".wav"));
                ASSERT_TRUE(format) << name.toStdString();
                EXPECT_EQ(format->channels, QByteArray(channels).toInt());
                EXPECT_EQ(format->bits, QByteArray(bits).toInt());
                EXPECT_EQ(format->rate, QByteArray(rate).toInt());
                const quint32 data = qFromLittleEndian<quint32>(file.constData() + 40);
                EXPECT_EQ(data + 44, static_cast<quint32>(file.size())) << name.toStdString();
                EXPECT_EQ(qFromLittleEndian<quint32>(file.constData() + 4), data + 36);
                EXPECT_EQ(data % static_cast<quint32>(format->blockAlign()), 0u);
                // A sine around the format's silence: 128 for unsigned 8 bits, 0 for 16.
                double sum = 0;
                const int step = format->bits / 8;
                const qsizetype n = (file.size() - 44) / step;
                for (qsizetype i = 0; i < n; ++i) {
                    const char* p = file.constData() + 44 + i * step;
                    sum += step == 1 ? static_cast<quint8>(*p) : qFromLittleEndian<qint16>(p);
                }
                EXPECT_NEAR(sum / static_cast<double>(n), step == 1 ? 128.0 : 0.0,
                            step == 1 ? 3.0 : 300.0)
                    << name.toStdString();
            }
        }
    }
    EXPECT_EQ(dialogs.boxes.size(), 8);
    EXPECT_EQ(dialogs.boxes.front(),
              " 信息 | 声音录制完毕 !\n" + folder.file("Music/r1-8-11025.wav") + "|info");
    EXPECT_TRUE(QDir(folder.file("Music")).entryList({"*.recording"}, QDir::Files).isEmpty());
    EXPECT_EQ(log.of("record-start").size(), 8);
    EXPECT_TRUE(log.of("record-stop").front().endsWith("1ch 8bit 11025Hz"));
}

TEST_F(RecorderTest, NamesButtonsAndRefusals) {
    TForm1& f = start();
    f.btn12->click();
    EXPECT_TRUE(w().isVisible());
    EXPECT_EQ(w().windowTitle(), "录音");
    EXPECT_EQ(w().size(), QSize(545, 204));
    EXPECT_EQ(w().edt1->text(), "Temp");
    EXPECT_TRUE(w().btn1->isEnabled());
    EXPECT_FALSE(w().btn2->isEnabled());  // nothing to stop before a start

    w().edt1->setText("");
    w().btn1->click();
    EXPECT_EQ(dialogs.messages, QStringList{"文件名不能为空"});

    w().edt1->setText("  speech  ");
    const QByteArray old(1000, 'x');
    folder.write("Music/speech.wav", old);
    dialogs.answers = {false};  // an existing file is replaced only when the user agrees
    w().btn1->click();
    EXPECT_EQ(dialogs.questions,
              QStringList{folder.file("Music/speech.wav") + " 已经存在。\n要用新的录音替换它吗？"});
    EXPECT_TRUE(log.of("record-start").isEmpty());
    EXPECT_EQ(folder.read("Music/speech.wav"), old);
    dialogs.answers = {true};
    recordFor(100);
    // While recording: only 停止录音, the name and format fixed, the time and level shown.
    EXPECT_FALSE(w().btn1->isEnabled());
    EXPECT_TRUE(w().btn2->isEnabled());
    for (QWidget* field : std::initializer_list<QWidget*>{w().edt1, w().cbb1, w().cbb2, w().cbb3}) {
        EXPECT_FALSE(field->isEnabled()) << field->accessibleName().toStdString();
    }
    ASSERT_TRUE(waitUntil([&] { return w().level->value() > 40; }, 5000));  // a loud sine
    EXPECT_TRUE(w().lblRecording->text().startsWith("正在录音 00:0"));
    EXPECT_EQ(folder.read("Music/speech.wav"), old);  // untouched until the stop
    w().btn2->click();
    EXPECT_TRUE(media::readWavFormat(folder.file("Music/speech.wav")));
    EXPECT_TRUE(w().btn1->isEnabled());
    EXPECT_TRUE(w().cbb1->isEnabled());
    EXPECT_TRUE(w().lblRecording->text().isEmpty());

    w().edt1->setText("   ");  // blanks only: the file ".wav"
    recordFor(50);
    w().btn2->click();
    EXPECT_TRUE(QFile::exists(folder.file("Music/.wav")));

    QDir(folder.file("Music")).removeRecursively();
    w().btn1->click();
    // The text as it was, then the reason and what to check.
    EXPECT_TRUE(dialogs.boxes.last().startsWith(" 错误 | 媒体设备初始化失败！ \n"));
    EXPECT_TRUE(dialogs.boxes.last().contains(RecorderControl::checkInputText()));
    EXPECT_TRUE(w().btn1->isEnabled());
    EXPECT_FALSE(w().btn2->isEnabled());
    EXPECT_EQ(log.of("error").size(), 1);
}

TEST_F(RecorderTest, ClosingAbandonsTheRecordingAndReopensTheTune) {
    TForm1& f = start();
    testmedia::writeWav(folder.file("Music/Temp.wav"), 200);
    const QByteArray old = folder.read("Music/Temp.wav");
    f.btn12->click();
    dialogs.answers = {true};
    recordFor(100);
    w().close();
    EXPECT_FALSE(w().isVisible());
    // Given up: the older file stays byte for byte, nothing is left beside it.
    EXPECT_EQ(folder.read("Music/Temp.wav"), old);
    EXPECT_EQ(QDir(folder.file("Music")).entryList(QDir::Files), QStringList{"Temp.wav"});
    EXPECT_EQ(f.mp1->FileName(), folder.file("sys.mp3"));
    EXPECT_TRUE(f.mp1->isOpen());

    // Without the tune, closing still closes; the failure is reported once.
    QFile::remove(folder.file("sys.mp3"));
    f.btn12->click();
    w().close();
    f.btn12->click();
    w().close();
    EXPECT_FALSE(w().isVisible());
    EXPECT_EQ(dialogs.errors.size(), 1);
}

TEST_F(RecorderTest, ABellDuringARecordingRingsAndTheRecordingIsKept) {
    const QString bell = folder.file("Music/bell.wav");
    testmedia::writeWav(bell, 500);
    fill("temp.dat", {makeRow(8, 0, 0, "上课", bell)});
    TForm1& f = startRinging(at(0, 7, 59, 58));
    f.btn12->click();
    recordFor(200);
    tick(at(0, 8, 0, 0));
    EXPECT_EQ(rings().size(), 1);
    EXPECT_EQ(f.mp1->FileName(), bell);
    const auto format = media::readWavFormat(folder.file("Music/Temp.wav"));
    ASSERT_TRUE(format);
    const QByteArray file = folder.read("Music/Temp.wav");
    EXPECT_GT(file.size(), 44 + 200 * 176);  // 200 ms of 44.1 kHz stereo, 16 bits
    EXPECT_EQ(qFromLittleEndian<quint32>(file.constData() + 40) + 44,
              static_cast<quint32>(file.size()));
    ASSERT_EQ(log.of("record-stop").size(), 1);
    EXPECT_TRUE(log.of("record-stop").front().endsWith(" interrupted"));
    EXPECT_EQ(dialogs.notices.size(), 1);
    EXPECT_TRUE(w().btn1->isEnabled());
    EXPECT_FALSE(w().btn2->isEnabled());
}

TEST_F(RecorderTest, AnInputThatFailsAfterStartingIsReported) {
    // A source that starts, then cannot deliver: the error comes later, on the bus.
    ScopedEnv broken{"TOLLVANE_AUDIO_SOURCE", "audiotestsrc is-live=true ! video/x-raw"};
    TForm1& f = start();
    testmedia::writeWav(folder.file("Music/Temp.wav"), 200);
    const QByteArray old = folder.read("Music/Temp.wav");
    f.btn12->click();
    dialogs.answers = {true};
    w().btn1->click();
    ASSERT_TRUE(waitUntil([&] { return !dialogs.boxes.isEmpty(); }, 5000));
    EXPECT_TRUE(dialogs.boxes.last().startsWith(" 错误 | 媒体设备初始化失败！ \n"));
    EXPECT_TRUE(w().btn1->isEnabled());
    EXPECT_EQ(log.of("error").size(), 1);
    EXPECT_EQ(folder.read("Music/Temp.wav"), old);  // a failed recording replaces nothing
    EXPECT_EQ(QDir(folder.file("Music")).entryList(QDir::Files), QStringList{"Temp.wav"});
}

}  // namespace

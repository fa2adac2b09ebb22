#include "media/WavFile.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

#include "core/AppError.h"

namespace media {

namespace {

constexpr int kHeaderBytes = 44;
constexpr int kMaxRate = 768000;

void put16(QByteArray& out, std::uint16_t v) {
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

void put32(QByteArray& out, std::uint32_t v) {
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

AppError fileError(const QString& what, const QString& file, const QString& why) {
    return AppError(QStringLiteral("%1 %2：%3").arg(what, QDir::toNativeSeparators(file), why));
}

}  // namespace

QByteArray wavHeader(const WavFormat& f, std::uint32_t dataBytes) {
    QByteArray out;
    out.reserve(kHeaderBytes);
    out.append("RIFF", 4);
    put32(out, 36 + dataBytes);
    out.append("WAVE", 4);
    out.append("fmt ", 4);
    put32(out, 16);
    put16(out, 1);  // PCM
    put16(out, static_cast<std::uint16_t>(f.channels));
    put32(out, static_cast<std::uint32_t>(f.rate));
    put32(out, static_cast<std::uint32_t>(f.byteRate()));
    put16(out, static_cast<std::uint16_t>(f.blockAlign()));
    put16(out, static_cast<std::uint16_t>(f.bits));
    out.append("data", 4);
    put32(out, dataBytes);
    return out;
}

std::optional<WavFormat> readWavFormat(const QString& file) {
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray h = in.read(kHeaderBytes);
    if (h.size() != kHeaderBytes || !h.startsWith("RIFF") || h.mid(8, 8) != "WAVEfmt " ||
        h.mid(36, 4) != "data" || qFromLittleEndian<std::uint16_t>(h.constData() + 20) != 1) {
        return std::nullopt;
    }
    WavFormat f;
    f.channels = qFromLittleEndian<std::uint16_t>(h.constData() + 22);
    f.rate = static_cast<int>(qFromLittleEndian<std::uint32_t>(h.constData() + 24));
    f.bits = qFromLittleEndian<std::uint16_t>(h.constData() + 34);
    // A rate beyond any sound card's is no recording of ours (and would overflow the byte rate).
    if ((f.channels != 1 && f.channels != 2) || (f.bits != 8 && f.bits != 16) || f.rate <= 0 ||
        f.rate > kMaxRate) {
        return std::nullopt;
    }
    return f;
}

std::optional<WavFormat> emptyRecordingFormat(const QString& file) {
    return QFile(file).size() == kHeaderBytes ? readWavFormat(file) : std::nullopt;
}

void finishWav(const QString& file, const WavFormat& format) {
    QFile out(file);
    if (!out.open(QIODevice::ReadWrite)) {
        throw fileError(QStringLiteral("无法保存录音"), file, out.errorString());
    }
    const qint64 samples = std::max<qint64>(0, out.size() - kHeaderBytes);
    const qint64 whole = samples - samples % format.blockAlign();
    const std::uint32_t data =
        static_cast<std::uint32_t>(std::min<qint64>(whole, 0xFFFFFFFFLL - 36));
    if (!out.resize(kHeaderBytes + data) || !out.seek(0) ||
        out.write(wavHeader(format, data)) != kHeaderBytes || !out.flush()) {
        throw fileError(QStringLiteral("无法保存录音"), file, out.errorString());
    }
}

void truncateToHeader(const QString& file) {
    QFile out(file);
    out.resize(kHeaderBytes);
}

}  // namespace media

void CreateWav(std::uint16_t channels, std::uint16_t bits, std::int32_t rate, const QString& file) {
    media::WavFormat f;
    f.channels = channels;
    f.bits = bits;
    f.rate = rate;
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        out.write(media::wavHeader(f, 0)) != 44 || !out.flush()) {
        throw AppError(QStringLiteral("无法创建 %1：%2")
                           .arg(QDir::toNativeSeparators(file), out.errorString()));
    }
}

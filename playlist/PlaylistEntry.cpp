#include "playlist/PlaylistEntry.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <filesystem>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace caldra {

double sizeInMb(qint64 bytes)
{
    // Dividing by 2^20 is exact in double, so the tie test must be exact too:
    // work in whole hundredths with the remainder kept in units of 2^-20.
    constexpr quint64 kMebi = quint64(1) << 20;
    const quint64 length = bytes > 0 ? quint64(bytes) : 0;
    const quint64 scaledRest = (length % kMebi) * 100;
    quint64 hundredths = (length / kMebi) * 100 + scaledRest / kMebi;
    const quint64 remainder = scaledRest % kMebi;
    if (remainder > kMebi / 2 || (remainder == kMebi / 2 && hundredths % 2 == 1))
        ++hundredths;
    return double(hundredths) / 100.0;
}

QString numberText(double value, const QLocale &locale)
{
    if (!std::isfinite(value))
        return QString::number(value);
    // 15 significant digits in scientific form, "d.dddddddddddddde+XX", then
    // laid out again without the exponent.
    const QString scientific = QString::number(std::fabs(value), 'e', 14);
    const qsizetype e = scientific.indexOf(u'e');
    QString digits = scientific.left(e);
    digits.remove(u'.');
    while (digits.size() > 1 && digits.endsWith(u'0'))
        digits.chop(1);
    if (digits == u"0")
        return QStringLiteral("0");
    const int point = scientific.mid(e + 1).toInt() + 1;

    QString whole;
    QString fraction;
    if (point <= 0) {
        whole = QStringLiteral("0");
        fraction = QString(-point, u'0') + digits;
    } else if (point >= digits.size()) {
        whole = digits + QString(point - digits.size(), u'0');
    } else {
        whole = digits.left(point);
        fraction = digits.mid(point);
    }
    QString text = value < 0 ? QString(u'-' + whole) : whole;
    if (!fraction.isEmpty())
        text += locale.decimalPoint() + fraction;
    return text;
}

QString mbText(double megabytes, const QLocale &locale)
{
    return numberText(megabytes, locale) + u" mb";
}

FileLength fileLength(const QString &path)
{
    // A NUL would cut the name short and size some other file.
    if (path.contains(QChar(u'\0')))
        return {0, Failure::fromErrno(EINVAL)};
    std::error_code error;
    const std::filesystem::path native(QFile::encodeName(path).toStdString());
    const std::uintmax_t bytes = std::filesystem::file_size(native, error);
    if (error)
        return {0, Failure::fromErrorCode(error)};
    return {qint64(bytes), std::nullopt};
}

QStringList musicFilesBelow(const QString &folder)
{
    static const QStringList kMusicSuffixes = {
        QStringLiteral("mp3"), QStringLiteral("wma"),  QStringLiteral("ogg"),
        QStringLiteral("oga"), QStringLiteral("opus"), QStringLiteral("flac"),
        QStringLiteral("m4a"), QStringLiteral("aac"),  QStringLiteral("wav"),
    };
    QStringList files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (kMusicSuffixes.contains(QFileInfo(path).suffix(), Qt::CaseInsensitive))
            files.append(QDir::toNativeSeparators(path));
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace caldra

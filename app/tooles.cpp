// The non-UI half of tooles: times and dates, validation, the device code, files under the
// documents directory, texts, chapter lists and sign-in expiry.
#include "app/tooles.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringList>
#include <QTimeZone>
#include <QUrl>
#include <QtDebug>
#include <limits>
#include <sys/utsname.h>

#include "engines/HttpRequest.h"
#include "engines/Reachability.h"
#include "platform/Clock.h"
#include "platform/Paths.h"
#include "platform/UserDefaults.h"
#include "service/Service.h"
#include "storage/UserStore.h"

namespace {
const QLocale& chineseLocale() {
    static const QLocale locale(QLocale::Chinese, QLocale::China);
    return locale;
}

// Translates a Unicode date pattern ("yyyy '-' MM '-' dd ' ' EEEE") into Qt's format
// language. Quoted text stays quoted; letters Qt would read differently are mapped,
// letters with no Qt counterpart are kept as literal text.
QString qtDateFormat(const QString& pattern) {
    QString out;
    const qsizetype n = pattern.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('\'')) {
            // Copy the quoted run, '' included, as Qt reads quotes the same way.
            qsizetype j = i + 1;
            while (j < n) {
                if (pattern.at(j) == QLatin1Char('\'')) {
                    if (j + 1 < n && pattern.at(j + 1) == QLatin1Char('\'')) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            out += pattern.mid(i, qMin(j, n - 1) - i + 1);
            i = j + 1;
            continue;
        }
        if (!(c >= QLatin1Char('a') && c <= QLatin1Char('z')) &&
            !(c >= QLatin1Char('A') && c <= QLatin1Char('Z'))) {
            out += c;
            ++i;
            continue;
        }
        qsizetype run = 1;
        while (i + run < n && pattern.at(i + run) == c)
            ++run;
        i += run;
        const char letter = c.toLatin1();
        switch (letter) {
        case 'y':
        case 'u':
            out += run == 2 ? QStringLiteral("yy") : QStringLiteral("yyyy");
            break;
        case 'M':
        case 'L':
            out += QString(qMin<qsizetype>(run, 4), QLatin1Char('M'));
            break;
        case 'd':
            out += run == 1 ? QStringLiteral("d") : QStringLiteral("dd");
            break;
        case 'E':
        case 'c':
        case 'e':
            out += run >= 4 ? QStringLiteral("dddd") : QStringLiteral("ddd");
            break;
        case 'H':
        case 'k':
            out += run == 1 ? QStringLiteral("H") : QStringLiteral("HH");
            break;
        case 'h':
        case 'K':
            out += run == 1 ? QStringLiteral("h") : QStringLiteral("hh");
            break;
        case 'm':
            out += run == 1 ? QStringLiteral("m") : QStringLiteral("mm");
            break;
        case 's':
            out += run == 1 ? QStringLiteral("s") : QStringLiteral("ss");
            break;
        case 'S':
            out += run == 3 ? QStringLiteral("zzz") : QStringLiteral("z");
            break;
        case 'a':
            out += QStringLiteral("AP");
            break;
        case 'z':
        case 'Z':
        case 'X':
        case 'x':
        case 'O':
        case 'v':
        case 'V':
            out += QStringLiteral("t");
            break;
        default:
            out += QLatin1Char('\'') + QString(run, c) + QLatin1Char('\'');
            break;
        }
    }
    return out;
}

QTimeZone beijingZone() {
    for (const char* id : {"Asia/Beijing", "Asia/Shanghai"}) {
        const QByteArray name(id);
        if (QTimeZone::isTimeZoneIdAvailable(name))
            return QTimeZone(name);
    }
    return QTimeZone::systemTimeZone();
}

// The integer at the start of a text, as the service's time stamps are read: optional
// white space and sign, then digits; anything else gives 0.
qint64 leadingInteger(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < n && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    qint64 value = 0;
    for (; i < n && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9'); ++i) {
        if (value > (std::numeric_limits<qint64>::max() - 9) / 10)
            break;
        value = value * 10 + (text.at(i).unicode() - '0');
    }
    return negative ? -value : value;
}

qint64 integerOf(const QVariant& value) {
    const QString text = Service::textOf(value);
    return text.isNull() ? 0 : leadingInteger(text);
}

bool matchesWhole(const QString& text, const QString& pattern) {
    const QRegularExpression re(QRegularExpression::anchoredPattern(pattern));
    return re.match(text).hasMatch();
}

struct DeviceCode {
    const char* machine;
    const char* code;
};

constexpr DeviceCode kDeviceCodes[] = {
    {"iPhone1,1", "IP_1G"}, {"iPhone1,2", "IP_3G"}, {"iPhone2,1", "IP_3GS"}, {"iPhone3,1", "IP_4"},
    {"iPhone4,1", "IP_4S"}, {"iPhone5,2", "IP_5"},  {"iPhone3,2", "VP_4"},   {"iPod1,1", "IT_1G"},
    {"iPod2,1", "IT_2G"},   {"iPod3,1", "IT_3G"},   {"iPod4,1", "IT_4G"},    {"iPad1,1", "IA"},
    {"iPad2,1", "IA_WF"},   {"iPad2,2", "IA_GSM)"}, {"iPad2,3", "IA_CA"},    {"i386", "SIL"},
    {"x86_64", "SIL"},
};
} // namespace

// --- Time and dates

QString tooles::currentTimeStr() {
    return QString::number(Clock::nowSecs());
}

QString tooles::intTimeToStr(const QString& stamp) {
    const QDateTime date = QDateTime::fromSecsSinceEpoch(leadingInteger(stamp));
    return QLocale().toString(date.toLocalTime(), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString tooles::Date2Str(const QDateTime& date) {
    return chineseLocale().toString(date.toLocalTime(), QStringLiteral("yyyyMMdd"));
}

QString tooles::Date2StrV(const QDateTime& date) {
    return chineseLocale().toString(date.toLocalTime(),
                                    qtDateFormat(QStringLiteral("yyyy '-' MM '-' dd ' ' EEEE")));
}

QString tooles::dateStr2int(const QString& text, const QString& format) {
    const QString qtFormat = qtDateFormat(format);
    QDateTime parsed = QLocale().toDateTime(text, qtFormat);
    if (!parsed.isValid())
        parsed = QLocale::c().toDateTime(text, qtFormat);
    if (!parsed.isValid())
        return QStringLiteral("0");
    // The text carries Beijing wall-clock time unless the pattern read a zone itself.
    if (parsed.timeSpec() == Qt::LocalTime)
        parsed = QDateTime(parsed.date(), parsed.time(), beijingZone());
    if (!parsed.isValid())
        return QStringLiteral("0");
    return QString::number(parsed.toSecsSinceEpoch());
}

// --- Validation

bool tooles::isMobileNumber(const QString& text) {
    static const char* const patterns[] = {
        R"(^1(3[0-9]|5[0-35-9]|8[025-9])\d{8}$)",
        R"(^1(34[0-8]|(3[5-9]|5[017-9]|8[278])\d)\d{7}$)",
        R"(^1((33|53|8[09])[0-9]|349)\d{7}$)",
        R"(^1(3[0-2]|5[256]|8[56])\d{8}$)",
    };
    for (const char* pattern : patterns) {
        if (matchesWhole(text, QString::fromLatin1(pattern)))
            return true;
    }
    return false;
}

bool tooles::isValidateEmail(const QString& text) {
    return matchesWhole(text, QStringLiteral(R"([A-Z0-9a-z._%+-]+@[A-Za-z0-9.-]+\.[A-Za-z]{2,4})"));
}

bool tooles::isValidateQQ(const QString& text) {
    // Anchored as a whole: "$" alone would let a trailing line break through.
    return matchesWhole(text, QStringLiteral(R"(^[1-9](\d){4,9}$)"));
}

// --- Device and network

QString tooles::deviceString() {
    struct utsname info {};
    if (uname(&info) != 0)
        return deviceStringForMachine(QString());
    return deviceStringForMachine(QString::fromLocal8Bit(info.machine));
}

QString tooles::deviceStringForMachine(const QString& machine) {
    for (const DeviceCode& entry : kDeviceCodes) {
        if (machine == QLatin1String(entry.machine))
            return QString::fromLatin1(entry.code);
    }
    qInfo("NOTE: Unknown device type: %s", qUtf8Printable(machine));
    return machine;
}

bool tooles::IsEnableWIFI() {
    return Reachability::isLocalWiFiReachable();
}

bool tooles::IsEnable3G() {
    return Reachability::isInternetReachable();
}

// --- Files under the documents directory

QString tooles::getDir(const QString& name) {
    const QString docs = Paths::documentsDir();
    QString component = name;
    while (component.startsWith(QLatin1Char('/')))
        component.remove(0, 1);
    while (component.endsWith(QLatin1Char('/')))
        component.chop(1);
    if (component.isEmpty())
        return docs;
    return docs + QLatin1Char('/') + component;
}

bool tooles::is_file_exist(const QString& name) {
    return QFileInfo::exists(getDir(name));
}

bool tooles::WithNameDeleteDataFile(const QString& path) {
    // Relative names resolve against the documents directory; the process's current
    // directory is left alone. Errors are not reported: the answer is always true.
    const QString docs = QDir::cleanPath(Paths::documentsDir());
    const QString target = QDir::cleanPath(QDir(docs).filePath(path));
    // Only what lies below the documents directory: not the directory itself (the database
    // and every cover with it), nothing reached by "..", an absolute path elsewhere or a
    // linked folder inside it that leads out.
    const QString canonicalDocs = QFileInfo(docs).canonicalFilePath();
    const QString canonicalParent = QFileInfo(QFileInfo(target).path()).canonicalFilePath();
    const auto inside = [](const QString& p, const QString& dir, bool orEqual) {
        return (orEqual && p == dir) || p.startsWith(dir + QLatin1Char('/'));
    };
    if (!inside(target, docs, false) || canonicalDocs.isEmpty() ||
        !inside(canonicalParent, canonicalDocs, true)) {
        qWarning("WithNameDeleteDataFile: refusing to remove %s, outside the documents directory",
                 qUtf8Printable(path));
        return true;
    }
    const QFileInfo info(target);
    if (info.isDir() && !info.isSymLink())
        QDir(target).removeRecursively();
    else
        QFile::remove(target);
    return true;
}

void tooles::saveImage(const QImage& image, const QString& fileName, const QString& type,
                       const QString& directory) {
    const QString lowered = type.toLower();
    const char* format = nullptr;
    QString extension;
    int quality = -1;
    if (lowered == QLatin1String("png")) {
        format = "PNG";
        extension = QStringLiteral("png");
    } else if (lowered == QLatin1String("jpg") || lowered == QLatin1String("jpeg")) {
        format = "JPEG";
        extension = QStringLiteral("jpg");
        quality = 100;
    } else {
        qInfo("文件后缀不认识");
        return;
    }
    if (image.isNull())
        return;
    QSaveFile file(QStringLiteral("%1/%2.%3").arg(directory, fileName, extension));
    if (!file.open(QIODevice::WriteOnly))
        return;
    if (image.save(&file, format, quality))
        file.commit();
    else
        file.cancelWriting();
}

QImage tooles::loadImage(const QString& fileName, const QString& type, const QString& directory) {
    const QString path = QStringLiteral("%1/%2.%3").arg(directory, fileName, type);
    if (QFileInfo::exists(path))
        return QImage(path);
    // saveImage writes lower-case extensions; a "PNG" asked for finds the "png" written.
    const QString lowered = QStringLiteral("%1/%2.%3").arg(directory, fileName, type.toLower());
    if (lowered != path && QFileInfo::exists(lowered))
        return QImage(lowered);
    return QImage();
}

QImage tooles::getImageFromURL(const QString& url) {
    const QUrl target(url);
    if (url.isEmpty() || !target.isValid() || target.isRelative())
        return QImage();
    HttpRequest request(target, nullptr);
    request.startSynchronous();
    if (request.error() != HttpRequest::Error::None)
        return QImage();
    return QImage::fromData(request.responseData());
}

QString tooles::getExtension(const QString& fileNameOrUrl) {
    QString path = fileNameOrUrl;
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    const QString last = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = last.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0 || dot == last.size() - 1)
        return QString(QLatin1String(""));
    return last.mid(dot + 1);
}

// --- Texts

QString tooles::strTrim(const QString& text) {
    return text.trimmed();
}

QString tooles::strReplace(const QString& text, const QString& needReplace,
                           const QString& toReplace) {
    // An empty needle matches nowhere (QString::replace would insert between every letter).
    if (needReplace.isEmpty())
        return text;
    return QString(text).replace(needReplace, toReplace);
}

QString tooles::flattenHTML(const QString& html) {
    if (html.isEmpty())
        return html;
    QString result = html;
    const qsizetype n = html.size();
    qsizetype pos = 0;
    while (pos < n) {
        const qsizetype open = html.indexOf(QLatin1Char('<'), pos);
        if (open < 0)
            break; // nothing but text up to the end
        const qsizetype close = html.indexOf(QLatin1Char('>'), open);
        const qsizetype end = close < 0 ? n : close;
        const QString tag = html.mid(open, end - open); // "<p", "</p", "<br /"
        pos = end;
        result.replace(tag + QLatin1Char('>'), QString());
        result.replace(QLatin1String("&nbsp;"), QString());
        result = result.trimmed();
        if (close >= 0)
            pos = close + 1;
    }
    // A text without tags still loses its &nbsp; entities and outer white space.
    result.replace(QLatin1String("&nbsp;"), QString());
    return result.trimmed();
}

QString tooles::getChapterIdStr(quint32 start, quint32 countChapter) {
    const quint64 first = quint64(start) + 1;
    const quint64 last = quint64(start) + 10 < countChapter ? quint64(start) + 10 : countChapter;
    QStringList numbers;
    for (quint64 id = first; id <= last; ++id)
        numbers.append(QString::number(id));
    return numbers.join(QLatin1Char(','));
}

// --- Sign-in expiry

void tooles::cleanToken() {
    const UserDefaults& store = UserDefaults::standard();
    const QVariantMap info = store.dictionaryForKey(QStringLiteral("user_info"));
    if (!info.contains(QStringLiteral("login_time")))
        return;
    // A login_time that is no number reads as 0, so the sign-in counts as long expired.
    const qint64 loginTime = integerOf(info.value(QStringLiteral("login_time")));
    if (Clock::nowSecs() - loginTime > 604800)
        cleanUserToken();
}

void tooles::cleanUserToken() {
    UserStore::signOut();
}

// --- Opening a URL in the system

void tooles::OpenUrl(const QString& url) {
    const QUrl target = QUrl::fromUserInput(url);
    if (!target.isValid()) {
        qInfo("OpenUrl: not a URL: %s", qUtf8Printable(url));
        return;
    }
    QDesktopServices::openUrl(target);
}

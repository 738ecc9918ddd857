#include "tools/bookd/SampleCatalog.h"

#include <QBuffer>
#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <array>
#include <cstdint>

namespace {

// splitmix64: a small generator whose sequence is the same everywhere (the standard
// distributions are not), so the catalog does not change between machines.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // In [lo, hi].
    int range(int lo, int hi) { return lo + int(next() % std::uint64_t(hi - lo + 1)); }
    template <typename List> const auto& pick(const List& list) {
        return list[std::size_t(next() % std::size(list))];
    }

private:
    std::uint64_t state_;
};

std::uint64_t seedFor(int a, int b = 0, int c = 0) {
    return (std::uint64_t(a) << 40) ^ (std::uint64_t(b) << 16) ^ std::uint64_t(c) ^ 0x5EEDF011A5ull;
}

const std::array<const char*, 11> kCategories = {"玄幻奇幻", "武侠仙侠", "都市生活", "历史军事",
                                                 "科幻末世", "灵异悬疑", "网游竞技", "青春校园",
                                                 "古代言情", "现代言情", "推理侦探"};

struct TitleEntry {
    const char* title;
    int category;
};

const TitleEntry kTitles[] = {
    {"九天星辰诀", 1},     {"剑来长安", 2},         {"都市医圣", 3},        {"大唐游侠传", 4},
    {"星际迷航日志", 5},   {"盗墓秘闻", 6},         {"网游之王者归来", 7},  {"我的校花同桌", 8},
    {"锦绣田园", 9},       {"总裁的契约新娘", 10},  {"侦探笔记", 11},       {"苍穹之上", 1},
    {"青云仙途", 2},       {"重生之商海沉浮", 3},   {"大宋风华", 4},        {"末世求生手册", 5},
    {"深夜诡事录", 6},     {"电竞之巅", 7},         {"时光里的少年", 8},    {"凤栖梧桐", 9},
    {"豪门长媳", 10},      {"无声的证人", 11},      {"万古神帝录", 1},      {"雪中行", 2},
    {"最强兵王", 3},       {"三国之烽火连天", 4},   {"机甲纪元", 5},        {"山海异闻录", 6},
    {"全职召唤师", 7},     {"青春不散场", 8},       {"庶女倾城", 9},        {"暖婚蜜爱", 10},
    {"迷雾小镇", 11},      {"逆天改命", 1},         {"江湖夜话", 2},        {"神级修理工", 3},
    {"沧海横流", 4},       {"量子深渊", 5},         {"灵异公寓", 6},        {"篮球少年", 7},
    {"归途", 8},           {"穿越之农家小娘子", 9}, {"你是我的小确幸", 10}, {"第七个嫌疑人", 11},
    {"异界铁匠铺", 1},     {"红尘问剑", 2},         {"乡村小神医", 3},      {"烽烟十六国", 4},
    {"火星移民局", 5},     {"午夜电台", 6},         {"明月几时有", 8},      {"一梦千年", 9},
    {"魔法学院的少女", 1}, {"仙门弃徒", 2},         {"天道酬勤", 3},        {"醉卧沙场", 4},
    {"破晓", 5},           {"龙城夜雨", 6},         {"宫墙柳", 9},          {"北境狼王", 1},
    {"丹道宗师", 2},       {"将军夫人有点甜", 9},   {"剑气纵横三万里", 2},  {"少年游", 2},
    {"云中谁寄锦书来", 9}, {"长生不老药", 2},
};

const char* const kAuthors[] = {"烟雨江南客", "我吃青椒", "唐家小少",   "南山有雪", "北冥鱼",
                                "墨染青衣",   "风吹半夏", "十二月的雨", "夜半听风", "孤舟蓑笠翁",
                                "老猫不吃鱼", "一叶知秋", "三生石上",   "苏小暖",   "陆离",
                                "白衣卿相",   "酒醉江湖", "梦入星河",   "天下归一", "紫陌红尘"};

const char* const kSites[] = {"笔趣阁",  "起点书屋", "纵横文学", "逐浪小说",
                              "17K书城", "书海阁",   "看书网",   "顶点小说"};

const char* const kHeroes[] = {"林风",   "萧逸",   "叶青",   "陈默", "苏晴",   "沈月",
                               "李长歌", "赵无极", "顾北辰", "楚云", "宁采薇", "韩冰"};

const char* const kChapterPhrases[] = {
    "风起云涌", "初入江湖", "夜雨孤灯",   "暗流涌动",   "故人重逢", "一剑西来",
    "山雨欲来", "峰回路转", "意外之喜",   "生死一线",   "月下对饮", "惊鸿一瞥",
    "龙吟九霄", "破茧成蝶", "旧事重提",   "步步惊心",   "尘埃落定", "不速之客",
    "险象环生", "柳暗花明", "心有千千结", "大雪满弓刀", "归去来兮", "锋芒初露",
    "同舟共济", "背水一战", "前尘往事",   "灯火阑珊",   "一诺千金", "天外来客",
    "迷局",     "真相",     "试炼",       "重逢",       "抉择",     "远行"};

const char* const kSentences[] = {
    "%1站在山门前，望着远处翻涌的云海，心中久久不能平静。",
    "夜色渐深，长街上只剩下几盏昏黄的灯笼在风里摇晃。",
    "“你终于来了。”那人缓缓转过身，眼中带着一丝说不清的笑意。",
    "%1深吸一口气，将那封泛黄的书信收入怀中，转身走进了茫茫雨幕。",
    "窗外的雨声渐渐大了起来，敲打在青石板上，像是某种古老的节拍。",
    "没有人知道，这一战之后，天下的格局将彻底改变。",
    "他握紧了手中的剑，剑身微微颤动，仿佛也感受到了主人的决心。",
    "%1摇了摇头，低声说道：“有些事情，总要有人去做。”",
    "清晨的阳光透过薄雾洒在院子里，几只麻雀在屋檐下叽叽喳喳地叫着。",
    "那一刻，时间仿佛静止了，四周只剩下彼此的心跳声。",
    "老人捋了捋花白的胡须，意味深长地看了%1一眼。",
    "远处传来阵阵钟声，悠远而苍凉，像是在诉说着一段被遗忘的往事。",
    "人群中响起一阵惊呼，所有人的目光都落在了那个少年身上。",
    "%1并没有急着回答，只是端起茶杯，轻轻吹散了上面的热气。",
    "风从北方吹来，带着草原上特有的气息，也带来了战争的消息。",
    "她笑了笑，眉眼弯弯，像极了那年春天开在墙角的桃花。",
    "这座城市从来不缺少故事，缺少的只是愿意倾听的人。",
    "%1知道，从踏出这一步开始，便再也没有回头路可走了。",
    "桌上的烛火跳动了一下，映得墙上的影子忽明忽暗。",
    "“三天之后，城外十里亭，不见不散。”留下这句话，黑衣人便消失在夜色之中。",
    "山路崎岖，马车一路颠簸，车厢里的人却睡得格外安稳。",
    "%1的修为在这一刻终于突破了瓶颈，体内的灵力如同江河奔涌。",
    "街角的小面馆依旧开着，老板娘一边擦着桌子，一边哼着不知名的小曲。",
    "命运的齿轮，就在这个平凡的午后，悄无声息地开始转动。",
    "他忽然想起了很多年前的那个夏天，想起了那条开满栀子花的小巷。",
    "众人面面相觑，谁也没有想到事情竟会发展到这一步。",
    "%1抬头望去，只见天边一道流光划过，转瞬便没入了群山之间。",
    "空气中弥漫着淡淡的药香，让人紧绷的心神也放松了几分。"};

const char* const kIntroSentences[] = {"少年%1出身寒微，却身怀一段惊天的秘密。",
                                       "一场意外，让%1的人生从此走上了截然不同的道路。",
                                       "江湖风云再起，各方势力暗中角逐，谁才是最后的赢家？",
                                       "这是一个关于成长、友情与守护的故事。",
                                       "乱世之中，%1以一己之力，搅动天下风云。",
                                       "当平凡的日子被打破，%1才发现身边的一切都不简单。",
                                       "热血与梦想交织，欢笑与泪水同行。",
                                       "万千世界，唯我独行；纵使前路坎坷，亦当一往无前。",
                                       "本书节奏明快，情节跌宕，敬请收藏追读。"};

QString fill(const char* pattern, const QString& hero) {
    return QString::fromUtf8(pattern).replace(QLatin1String("%1"), hero);
}

QString heroFor(int bookId) {
    Rng rng(seedFor(bookId, 7));
    return QString::fromUtf8(rng.pick(kHeroes));
}

int chapterCountFor(int bookId, Rng& rng) {
    // A few fixed lengths, so that one-chapter books, the ten-chapter fetch boundary and
    // long books are all in the catalog.
    switch (bookId) {
    case 1:
        return 420;
    case 2:
        return 100;
    case 3:
        return 25;
    case 4:
        return 12;
    case 5:
        return 11;
    case 6:
        return 10;
    case 7:
        return 1;
    case 8:
        return 256;
    case 9:
        return 333;
    default:
        return rng.range(18, 180);
    }
}

} // namespace

QList<SampleCategory> SampleCatalog::categories() {
    QList<SampleCategory> list;
    for (std::size_t i = 0; i < kCategories.size(); ++i)
        list.append({int(i) + 1, QString::fromUtf8(kCategories[i])});
    return list;
}

QList<SampleBook> SampleCatalog::books() {
    QList<SampleBook> list;
    const qint64 base = 1796000000; // late November 2026
    int id = 0;
    for (const TitleEntry& entry : kTitles) {
        ++id;
        Rng rng(seedFor(id));
        SampleBook book;
        book.id = id;
        book.title = QString::fromUtf8(entry.title);
        book.categoryId = entry.category;
        book.author = QString::fromUtf8(rng.pick(kAuthors));
        book.chapters = chapterCountFor(id, rng);
        book.status = (book.chapters < 15 || rng.range(0, 99) < 35) ? QStringLiteral("已完结")
                                                                    : QStringLiteral("连载中");
        book.updateTime = base - rng.range(0, 60 * 24 * 3600);

        const QString hero = heroFor(id);
        QStringList sentences;
        const int count = rng.range(2, 4);
        for (int i = 0; i < count; ++i)
            sentences << fill(rng.pick(kIntroSentences), hero);
        if (id % 4 == 0) {
            book.intro = QStringLiteral("<p>&nbsp;&nbsp;&nbsp;&nbsp;") +
                         sentences.mid(0, 1).join(QString()) + QStringLiteral("</p><p>") +
                         sentences.mid(1).join(QString()) + QStringLiteral("</p>");
        } else if (id % 5 == 0) {
            book.intro = sentences.join(QStringLiteral("<br/>&nbsp;&nbsp;"));
        } else {
            book.intro = sentences.join(QString());
        }

        if (id % 9 == 0)
            book.coverType.clear();
        else
            book.coverType = (id % 3 == 1) ? QStringLiteral("png") : QStringLiteral("jpg");
        book.hasSiteName = (id != 13);
        const int siteCount = rng.range(1, 3);
        const int firstSite = rng.range(0, int(std::size(kSites)) - 1);
        for (int i = 0; i < siteCount; ++i)
            book.sites << QString::fromUtf8(kSites[(firstSite + i * 3) % std::size(kSites)]);
        book.readCount = rng.range(1200, 480000);
        book.favCount = rng.range(80, 36000);
        list.append(book);
    }

    // The two recommendation lists: every second book from the front is a daily pick, the
    // others, from the back, are the selected works; 33 each, so both need several pages.
    int daily = 0;
    for (int i = 0; i < list.size(); i += 2)
        list[i].dailyRank = ++daily;
    int popular = 0;
    for (int i = int(list.size()) - 1; i >= 0; i -= 2)
        list[i].popularRank = ++popular;
    return list;
}

QString SampleCatalog::chapterTitle(int bookId, int chapter) {
    Rng rng(seedFor(bookId, chapter, 1));
    return QStringLiteral("第%1章 %2")
        .arg(chapter)
        .arg(QString::fromUtf8(rng.pick(kChapterPhrases)));
}

QString SampleCatalog::chapterContent(int bookId, int chapter) {
    Rng rng(seedFor(bookId, chapter, 2));
    const QString hero = heroFor(bookId);
    // Bytes of UTF-8 to reach; the last paragraph may add a few hundred more.
    const int target = rng.range(3100, 9400);
    QString html;
    int bytes = 0;
    while (bytes < target) {
        QString paragraph = QStringLiteral("<p>&nbsp;&nbsp;&nbsp;&nbsp;");
        const int sentences = rng.range(2, 5);
        for (int i = 0; i < sentences; ++i)
            paragraph += fill(rng.pick(kSentences), hero);
        paragraph += QStringLiteral("</p>\n");
        bytes += int(paragraph.toUtf8().size());
        html += paragraph;
    }
    return html;
}

QByteArray SampleCatalog::coverImage(int bookId, const QString& type) {
    Rng rng(seedFor(bookId, 0, 3));
    const int w = 240, h = 320;
    QImage image(w, h, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    const QColor top = QColor::fromHsv(rng.range(0, 359), rng.range(90, 200), rng.range(120, 220));
    const QColor bottom = top.darker(rng.range(160, 260));
    QLinearGradient gradient(0, 0, 0, h);
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    painter.fillRect(0, 0, w, h, gradient);

    // A moon, a range of hills and a spine: enough to tell the covers apart on a shelf.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 250, 230, 170));
    const int r = rng.range(24, 46);
    painter.drawEllipse(QPoint(rng.range(60, 180), rng.range(60, 120)), r, r);
    QPainterPath hills;
    hills.moveTo(0, h);
    int x = 0;
    while (x < w) {
        const int step = rng.range(40, 90);
        hills.lineTo(x + step / 2, rng.range(h / 2, h * 3 / 4));
        x += step;
        hills.lineTo(x, h - rng.range(40, 90));
    }
    hills.lineTo(w, h);
    hills.closeSubpath();
    painter.setBrush(bottom.darker(140));
    painter.drawPath(hills);
    painter.fillRect(0, 0, 14, h, QColor(0, 0, 0, 70));
    painter.setBrush(QColor(255, 255, 255, 200));
    painter.drawRect(40, 24, w - 80, 6);
    painter.drawRect(60, 40, w - 120, 4);

    // Title and author need the font database, which only a GUI application has.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        QString title, author;
        for (const SampleBook& b : books()) {
            if (b.id == bookId) {
                title = b.title;
                author = b.author;
            }
        }
        QFont font(QStringLiteral("Noto Serif CJK SC"));
        font.setBold(true);
        font.setPixelSize(title.size() > 6 ? 26 : 34);
        painter.setFont(font);
        painter.setPen(QColor(255, 255, 255));
        painter.drawText(QRect(24, 54, w - 48, 130), Qt::AlignCenter | Qt::TextWordWrap, title);
        font.setBold(false);
        font.setPixelSize(16);
        painter.setFont(font);
        painter.setPen(QColor(255, 255, 255, 220));
        painter.drawText(QRect(0, h - 42, w, 30), Qt::AlignCenter, author + QStringLiteral(" 著"));
    }
    painter.end();

    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const bool jpeg = type == QLatin1String("jpg") || type == QLatin1String("jpeg");
    if (!image.save(&buffer, jpeg ? "JPEG" : "PNG", jpeg ? 85 : -1))
        return {};
    return bytes;
}

QString SampleCatalog::welcomeText(const QString& nickname) {
    return QStringLiteral(
               "亲爱的%1，欢迎加入folia书城！在这里，您可以收藏喜欢的书籍、同步阅读记录，"
               "遇到章节错误时也可以随时向我们反馈。祝您阅读愉快！")
        .arg(nickname);
}

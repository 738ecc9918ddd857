#include "tools/bookd/BookServer.h"

#include "tools/bookd/RequestSignature.h"
#include "tools/bookd/SampleCatalog.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSaveFile>
#include <QtDebug>

#include <httplib.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>

namespace {

const QString kOk = QStringLiteral("ok");

QJsonObject refuse(const QString& msg) {
    return QJsonObject{{QStringLiteral("result"), QStringLiteral("error")},
                       {QStringLiteral("msg"), msg}};
}

QJsonObject ok(QJsonObject fields = {}) {
    fields.insert(QStringLiteral("result"), kOk);
    return fields;
}

// A whole decimal number within [lo, hi], or nothing.
std::optional<qint64> number(const QString& text, qint64 lo, qint64 hi) {
    bool valid = false;
    const qint64 n = text.trimmed().toLongLong(&valid);
    if (!valid || n < lo || n > hi)
        return std::nullopt;
    return n;
}

std::optional<BookStore::Paging> paging(const QMap<QString, QString>& params) {
    BookStore::Paging p;
    if (params.contains(QStringLiteral("limit"))) {
        // Lists never hand out more than fifty at a time, whatever is asked.
        const auto limit = number(params.value(QStringLiteral("limit")), 1, 1000000);
        if (!limit)
            return std::nullopt;
        p.limit = int(std::min<qint64>(*limit, 50));
    }
    if (params.contains(QStringLiteral("page"))) {
        const auto page = number(params.value(QStringLiteral("page")), 1, 1000000);
        if (!page)
            return std::nullopt;
        p.page = int(*page);
    }
    return p;
}

// The book a call names, when it is a valid book number.
std::optional<int> bookIdIn(const QMap<QString, QString>& params) {
    const auto id = number(params.value(QStringLiteral("book_id")), 1, INT_MAX);
    return id ? std::optional<int>(int(*id)) : std::nullopt;
}

std::optional<qint64> messageIdIn(const QMap<QString, QString>& params) {
    return number(params.value(QStringLiteral("check_mail")), 1, LLONG_MAX);
}

// A success that tells the reader what was done.
QJsonObject done(const QString& msg) {
    return ok({{QStringLiteral("msg"), msg}});
}

QJsonObject listAnswer(const BookStore::Page& page) {
    return ok({{QStringLiteral("books"), page.items}, {QStringLiteral("count"), page.count}});
}

const QString kBadParams = QStringLiteral("参数错误");
const QString kNoBook = QStringLiteral("书籍不存在");
const QString kSignIn = QStringLiteral("请先登录");
const QString kSignInAgain = QStringLiteral("登录已失效，请重新登录");

bool isMobile(const QString& s) {
    static const QRegularExpression re(QStringLiteral("^1[3-9]\\d{9}$"));
    return re.match(s).hasMatch();
}

bool isEmail(const QString& s) {
    static const QRegularExpression re(QStringLiteral("^[^@\\s]+@[^@\\s]+\\.[^@\\s]+$"));
    return s.size() <= 100 && re.match(s).hasMatch();
}

// The Host header as the client sent it, when it is a plain host[:port]; covers are
// addressed under it so that a client reaching bookd by another name can load them.
QString hostOf(const httplib::Request& req) {
    const QString host = QString::fromStdString(req.get_header_value("Host"));
    static const QRegularExpression re(
        QStringLiteral("^[A-Za-z0-9.\\-]+(:\\d{1,5})?$|^\\[[0-9A-Fa-f:.]+\\](:\\d{1,5})?$"));
    return re.match(host).hasMatch() ? host : QString();
}

// gzip of the bytes, or nothing when zlib fails.
std::optional<std::string> gzip(const std::string& in) {
    z_stream z{};
    if (deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return std::nullopt;
    std::string out(deflateBound(&z, uLong(in.size())), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    z.avail_in = uInt(in.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(out.size());
    const int rc = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    if (rc != Z_STREAM_END)
        return std::nullopt;
    return out;
}

bool acceptsGzip(const httplib::Request& req) {
    return req.get_header_value("Accept-Encoding").find("gzip") != std::string::npos;
}

// The JSON answer, declared UTF-8 (clients decode an undeclared body as Latin-1) and
// gzip-encoded for clients that accept it.
void sendJson(httplib::Response& res, const QJsonObject& body, int status = 200,
              bool compress = false) {
    res.status = status;
    std::string bytes = QJsonDocument(body).toJson(QJsonDocument::Compact).toStdString();
    if (compress) {
        if (auto packed = gzip(bytes)) {
            bytes = std::move(*packed);
            res.set_header("Content-Encoding", "gzip");
        }
    }
    res.set_content(std::move(bytes), "application/json; charset=utf-8");
}

} // namespace

BookServer::BookServer(Options options)
    : options_(std::move(options)), store_(options_.clock),
      random_(options_.seed ? *options_.seed : std::random_device{}()) {}

BookServer::~BookServer() {
    stop();
}

QString BookServer::baseUrl() const {
    return QStringLiteral("http://%1:%2").arg(options_.host).arg(port_);
}

bool BookServer::bind() {
    if (!store_.open(options_.dataDir))
        return false;
    server_ = std::make_unique<httplib::Server>();
    install();
    port_ = options_.port == 0
                ? server_->bind_to_any_port(options_.host.toStdString())
                : (server_->bind_to_port(options_.host.toStdString(), options_.port) ? options_.port
                                                                                     : -1);
    if (port_ <= 0) {
        qWarning("bookd: cannot listen on %s port %d", qPrintable(options_.host), options_.port);
        server_.reset();
        port_ = 0;
        return false;
    }
    return true;
}

void BookServer::run() {
    if (server_)
        server_->listen_after_bind();
}

bool BookServer::start() {
    if (!bind())
        return false;
    thread_ = std::thread([this] { run(); });
    // Answer only once the accept loop runs, so a caller can connect at once.
    for (int waited = 0; !server_->is_running(); ++waited) {
        if (waited > 5000) {
            qWarning("bookd: the server did not start");
            stop();
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

QString BookServer::logLine(const QString& peer, const QString& method, const QByteArray& target,
                            int status, size_t bytes) {
    // Sign-in and registration carry the password in the query, and most calls the
    // reader's token: neither goes into the log.
    static const QRegularExpression secret(QStringLiteral("([?&](password|token)=)[^&]*"));
    QString shown = QString::fromLatin1(target);
    shown.replace(secret, QStringLiteral("\\1***"));
    return QStringLiteral("bookd: %1 %2 %3 -> %4, %5 bytes")
        .arg(peer, method, shown)
        .arg(status)
        .arg(qulonglong(bytes));
}

void BookServer::stop() {
    if (server_)
        server_->stop();
    if (thread_.joinable())
        thread_.join();
}

bool BookServer::isSigned(const QString& path) {
    static const QStringList unsignedPaths = {
        QStringLiteral("/data/getcontent"),   QStringLiteral("/data/menu"),
        QStringLiteral("/data/alsoread"),     QStringLiteral("/data/getSitesNameByBookId"),
        QStringLiteral("/data/categorylist"), QStringLiteral("/lookup")};
    return !unsignedPaths.contains(path);
}

const QMap<QString, BookServer::Route>& BookServer::routes() {
    static const QMap<QString, Route> table = {
        {QStringLiteral("/site/getdevice"), {&BookServer::getdevice, {}}},
        {QStringLiteral("/site/logout"), {&BookServer::logout, {}}},
        {QStringLiteral("/site/login"), {&BookServer::login, {}}},
        {QStringLiteral("/site/send_validate_code"), {&BookServer::sendValidateCode, {}}},
        {QStringLiteral("/site/reg"), {&BookServer::reg, {}}},
        {QStringLiteral("/site/favouite"), {&BookServer::favouite, kSignInAgain}},
        {QStringLiteral("/site/readchapter"), {&BookServer::readchapter, kSignIn}},
        {QStringLiteral("/site/removeReadrecord"), {&BookServer::removeReadrecord, kSignInAgain}},
        {QStringLiteral("/site/delete_read_record"), {&BookServer::deleteReadRecord, kSignInAgain}},
        {QStringLiteral("/feedback/reporterror"), {&BookServer::reporterror, {}}},
        {QStringLiteral("/feedback/form"), {&BookServer::feedbackForm, {}}},
        {QStringLiteral("/data/getcontent"), {&BookServer::getcontent, {}}},
        {QStringLiteral("/data/menu"), {&BookServer::menu, {}}},
        {QStringLiteral("/data/bookinfo"), {&BookServer::bookinfo, {}}},
        {QStringLiteral("/data/alsoread"), {&BookServer::alsoread, {}}},
        {QStringLiteral("/data/getSitesNameByBookId"), {&BookServer::sitesName, {}}},
        {QStringLiteral("/data/suggest"), {&BookServer::suggest, {}}},
        {QStringLiteral("/data/booklist"), {&BookServer::booklist, {}}},
        {QStringLiteral("/data/categorylist"), {&BookServer::categorylist, {}}},
        {QStringLiteral("/data/getreadlog"), {&BookServer::getreadlog, kSignInAgain}},
        {QStringLiteral("/data/getfavouite"), {&BookServer::getfavouite, kSignInAgain}},
        {QStringLiteral("/msg/mymsg"), {&BookServer::mymsg, kSignInAgain}},
        {QStringLiteral("/msg/notice_read"), {&BookServer::noticeRead, kSignInAgain}},
        {QStringLiteral("/msg/notice_delete"), {&BookServer::noticeDelete, kSignInAgain}},
        {QStringLiteral("/lookup"), {&BookServer::lookup, {}}},
    };
    return table;
}

QJsonObject BookServer::answer(const Call& call) {
    const Route route = routes().value(call.path);
    if (!route.handler)
        return refuse(QStringLiteral("接口不存在"));
    if (isSigned(call.path) && !RequestSignature::verify(call.params))
        return refuse(QStringLiteral("校验失败"));
    Call withUser = call;
    withUser.user = userOf(call);
    if (!route.withoutReader.isEmpty() && !withUser.user)
        return refuse(route.withoutReader);
    return (this->*route.handler)(withUser);
}

void BookServer::install() {
    httplib::Server& s = *server_;
    // stop() waits for open connections, so this also bounds how long stopping takes.
    s.set_keep_alive_timeout(options_.idleSeconds);
    s.set_read_timeout(options_.idleSeconds, 0);
    s.set_pre_routing_handler([this](const httplib::Request&, httplib::Response& res) {
        if (options_.delayMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(options_.delayMs));
        return injectFailure(res) ? httplib::Server::HandlerResponse::Handled
                                  : httplib::Server::HandlerResponse::Unhandled;
    });
    s.Get(R"(/covers/(\d+)\.(png|jpg))",
          [this](const httplib::Request& req, httplib::Response& res) { serveCover(req, res); });
    const auto call = [this](const httplib::Request& req, httplib::Response& res) {
        serveCall(req, res);
    };
    for (auto it = routes().cbegin(); it != routes().cend(); ++it) {
        // The reader fetches some chapters with POST and the parameters in the query.
        s.Get(it.key().toStdString(), call);
        s.Post(it.key().toStdString(), call);
    }
    s.set_error_handler([](const httplib::Request&, httplib::Response& res) {
        if (res.status == 404)
            sendJson(res, refuse(QStringLiteral("接口不存在")), 404);
    });
    if (options_.log) {
        s.set_logger([](const httplib::Request& req, const httplib::Response& res) {
            const QByteArray line =
                logLine(QString::fromStdString(req.remote_addr), QString::fromStdString(req.method),
                        QByteArray::fromStdString(req.target), res.status, res.body.size())
                    .toUtf8();
            std::fprintf(stderr, "%s\n", line.constData());
        });
    }
}

bool BookServer::injectFailure(httplib::Response& res) {
    if (options_.failRate <= 0)
        return false;
    int kind = 0;
    {
        std::lock_guard lock(randomMutex_);
        if (std::uniform_real_distribution<double>(0, 1)(random_) >= options_.failRate)
            return false;
        kind = std::uniform_int_distribution<int>(0, 2)(random_);
    }
    ++failures_;
    switch (kind) {
    case 0:
        // A dropped connection: the headers promise a body that never comes.
        res.set_content_provider(4096, "application/json",
                                 [](size_t, size_t, httplib::DataSink&) { return false; });
        break;
    case 1:
        res.status = 500;
        res.set_content("<html><body><h1>500 Internal Server Error</h1></body></html>",
                        "text/html");
        break;
    default:
        res.set_content("<html><body>Service temporarily unavailable</body></html>", "text/html");
        break;
    }
    return true;
}

void BookServer::serveCall(const httplib::Request& req, httplib::Response& res) {
    Call call;
    call.path = QString::fromStdString(req.path);
    const auto mark = req.target.find('?');
    if (mark != std::string::npos)
        call.params =
            RequestSignature::parseQuery(QByteArray::fromStdString(req.target.substr(mark + 1)));
    const QString host = hostOf(req);
    call.base = host.isEmpty() ? baseUrl() : QStringLiteral("http://") + host;
    sendJson(res, answer(call), 200, acceptsGzip(req));
}

void BookServer::serveCover(const httplib::Request& req, httplib::Response& res) {
    const int bookId = QString::fromStdString(req.matches[1]).toInt();
    const QString type = QString::fromStdString(req.matches[2]);
    if (store_.coverType(bookId) != type) {
        sendJson(res, refuse(QStringLiteral("图片不存在")), 404);
        return;
    }
    const QString dir = QDir(store_.dataDir()).filePath(QStringLiteral("covers"));
    const QString path = QDir(dir).filePath(QStringLiteral("%1.%2").arg(bookId).arg(type));
    QByteArray bytes;
    {
        // Drawn once, then served from the catalog's folder.
        std::lock_guard lock(coverMutex_);
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            bytes = file.readAll();
        } else {
            bytes = SampleCatalog::coverImage(bookId, type);
            QSaveFile out(path);
            if (QDir().mkpath(dir) && out.open(QIODevice::WriteOnly)) {
                out.write(bytes);
                out.commit();
            }
        }
    }
    if (bytes.isEmpty()) {
        sendJson(res, refuse(QStringLiteral("图片不存在")), 500);
        return;
    }
    res.set_content(bytes.toStdString(), type == QLatin1String("png") ? "image/png" : "image/jpeg");
}

qint64 BookServer::userOf(const Call& c) {
    return store_.userForToken(c.params.value(QStringLiteral("token")));
}

int BookServer::chaptersOf(std::optional<int> bookId) {
    return bookId ? store_.chapterCount(*bookId) : 0;
}

// --- accounts

QJsonObject BookServer::sendValidateCode(const Call& c) {
    const QString mobile = c.params.value(QStringLiteral("mobile"));
    if (!isMobile(mobile))
        return refuse(QStringLiteral("手机号格式不正确"));
    if (store_.mobileTaken(mobile))
        return refuse(QStringLiteral("该手机号已注册"));
    // The client compares the user's entry with the code it gets back here; the text
    // message would carry the same code.
    return done(store_.issueCode(mobile));
}

QJsonObject BookServer::reg(const Call& c) {
    const QString mobile = c.params.value(QStringLiteral("mobile"));
    const QString email = c.params.value(QStringLiteral("email"));
    const QString password = c.params.value(QStringLiteral("password"));
    const QString channel = c.params.value(QStringLiteral("channel"));
    if (mobile.isEmpty() && email.isEmpty())
        return refuse(QStringLiteral("请输入手机号或邮箱"));
    if (password.size() < 6 || password.size() > 16)
        return refuse(QStringLiteral("密码长度应为6-16位"));
    if (!mobile.isEmpty()) {
        if (!isMobile(mobile))
            return refuse(QStringLiteral("手机号格式不正确"));
        if (store_.mobileTaken(mobile))
            return refuse(QStringLiteral("该手机号已注册"));
        if (!store_.consumeCode(mobile))
            return refuse(QStringLiteral("验证码无效或已过期，请重新获取"));
    } else {
        if (!isEmail(email))
            return refuse(QStringLiteral("邮箱格式不正确"));
        if (store_.emailTaken(email))
            return refuse(QStringLiteral("该邮箱已注册"));
    }
    const qint64 id =
        store_.createUser(mobile, mobile.isEmpty() ? email : QString(), password, channel);
    if (!id)
        return refuse(QStringLiteral("注册失败，请稍后再试"));
    const QString token = store_.signIn(id);
    return ok({{QStringLiteral("msg"), QStringLiteral("注册成功")},
               {QStringLiteral("token"), token},
               {QStringLiteral("userinfo"), store_.userInfo(id)}});
}

QJsonObject BookServer::login(const Call& c) {
    const QString username = c.params.value(QStringLiteral("username"));
    const QString password = c.params.value(QStringLiteral("password"));
    if (username.isEmpty() || password.isEmpty())
        return refuse(QStringLiteral("用户名和密码不能为空"));
    const qint64 id = store_.checkPassword(username, password);
    if (!id)
        return refuse(QStringLiteral("用户名或密码错误"));
    const QString token = store_.signIn(id);
    if (token.isEmpty())
        return refuse(QStringLiteral("登录失败，请稍后再试"));
    return ok({{QStringLiteral("msg"), QStringLiteral("登录成功")},
               {QStringLiteral("token"), token},
               {QStringLiteral("userinfo"), store_.userInfo(id)}});
}

QJsonObject BookServer::logout(const Call& c) {
    const QString token = c.params.value(QStringLiteral("token"));
    if (token.isEmpty())
        return refuse(kSignIn);
    if (!store_.signOut(token))
        return refuse(kSignInAgain);
    return done(QStringLiteral("已退出登录"));
}

QJsonObject BookServer::getdevice(const Call& c) {
    static const QRegularExpression hex(QStringLiteral("^[0-9A-Fa-f]{8,200}$"));
    const QString deviceToken = c.params.value(QStringLiteral("device_token"));
    if (!hex.match(deviceToken).hasMatch())
        return refuse(kBadParams);
    store_.addDevice(deviceToken.toLower());
    return ok();
}

// --- catalog

QJsonObject BookServer::getcontent(const Call& c) {
    const auto bookId = bookIdIn(c.params);
    const int chapters = chaptersOf(bookId);
    if (!chapters)
        return refuse(kNoBook);
    QJsonArray list;
    const QStringList asked = c.params.value(QStringLiteral("chapters")).split(QLatin1Char(','));
    // A request names at most fifty chapters; the client asks for ten.
    for (const QString& item : asked.mid(0, 50)) {
        const auto n = number(item, 1, chapters);
        if (!n)
            continue;
        list.append(QJsonObject{
            {QStringLiteral("book_id"), *bookId},
            {QStringLiteral("chapter_number"), int(*n)},
            {QStringLiteral("title"), SampleCatalog::chapterTitle(*bookId, int(*n))},
            {QStringLiteral("content"), SampleCatalog::chapterContent(*bookId, int(*n))}});
    }
    const auto book = store_.book(*bookId, c.base, 0);
    if (!book)
        return refuse(kNoBook);
    QJsonObject summary;
    for (const char* key : {"book_id", "title", "last_chapter_number", "coverimg"})
        summary.insert(QLatin1String(key), book->value(QLatin1String(key)));
    return ok({{QStringLiteral("chapters"),
                list.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(list)},
               {QStringLiteral("book"), summary}});
}

QJsonObject BookServer::menu(const Call& c) {
    const auto bookId = bookIdIn(c.params);
    const int chapters = chaptersOf(bookId);
    if (!chapters)
        return refuse(kNoBook);
    QJsonArray list;
    for (int n = 1; n <= chapters; ++n) {
        list.append(
            QJsonObject{{QStringLiteral("chapter_number"), QString::number(n)},
                        {QStringLiteral("title"), SampleCatalog::chapterTitle(*bookId, n)}});
    }
    return ok({{QStringLiteral("book_id"), *bookId}, {QStringLiteral("chapter_list"), list}});
}

QJsonObject BookServer::bookinfo(const Call& c) {
    const auto bookId = bookIdIn(c.params);
    const auto book = bookId ? store_.book(*bookId, c.base, c.user) : std::nullopt;
    if (!book)
        return refuse(kNoBook);
    return ok({{QStringLiteral("book"), *book}});
}

QJsonObject BookServer::alsoread(const Call& c) {
    const auto bookId = bookIdIn(c.params);
    if (!chaptersOf(bookId))
        return refuse(kNoBook);
    const QJsonArray books = store_.alsoRead(*bookId, c.base, 0);
    return ok({{QStringLiteral("books"), books}, {QStringLiteral("count"), books.size()}});
}

QJsonObject BookServer::sitesName(const Call& c) {
    const auto bookId = bookIdIn(c.params);
    const auto book = bookId ? store_.book(*bookId, c.base, 0) : std::nullopt;
    if (!book)
        return refuse(kNoBook);
    QJsonArray sites;
    for (const QString& name : store_.sites(*bookId))
        sites.append(QJsonObject{{QStringLiteral("source_site_name"), name}});
    return ok({{QStringLiteral("book_id"), *bookId},
               {QStringLiteral("book_title"), book->value(QStringLiteral("title"))},
               {QStringLiteral("author"), book->value(QStringLiteral("author"))},
               {QStringLiteral("source_site_names"), sites}});
}

QJsonObject BookServer::suggest(const Call& c) {
    const QString list = c.params.value(QStringLiteral("category"));
    const auto p = paging(c.params);
    if ((list != QLatin1String("daily") && list != QLatin1String("popular")) || !p)
        return refuse(kBadParams);
    return listAnswer(store_.suggest(list, *p, c.base, c.user));
}

QJsonObject BookServer::booklist(const Call& c) {
    const auto p = paging(c.params);
    if (!p)
        return refuse(kBadParams);
    if (c.params.contains(QStringLiteral("order"))) {
        const QString order = c.params.value(QStringLiteral("order"));
        if (order != QLatin1String("read") && order != QLatin1String("favouite"))
            return refuse(kBadParams);
        return listAnswer(store_.ranked(order, *p, c.base, c.user));
    }
    if (c.params.contains(QStringLiteral("category"))) {
        const auto category = number(c.params.value(QStringLiteral("category")), 1, INT_MAX);
        if (!category)
            return refuse(kBadParams);
        return listAnswer(store_.byCategory(int(*category), *p, c.base, c.user));
    }
    if (c.params.contains(QStringLiteral("keyword"))) {
        const QString keyword = c.params.value(QStringLiteral("keyword")).trimmed();
        if (keyword.isEmpty())
            return refuse(QStringLiteral("请输入搜索关键字"));
        return listAnswer(store_.search(keyword, *p, c.base, c.user));
    }
    return refuse(kBadParams);
}

QJsonObject BookServer::categorylist(const Call&) {
    return ok({{QStringLiteral("category"), store_.categories()}});
}

QJsonObject BookServer::lookup(const Call& c) {
    if (c.params.value(QStringLiteral("id")).isEmpty())
        return QJsonObject{{QStringLiteral("resultCount"), 0},
                           {QStringLiteral("results"), QJsonArray()}};
    const QString id = c.params.value(QStringLiteral("id"));
    const QJsonObject app{
        {QStringLiteral("version"), options_.appVersion},
        {QStringLiteral("trackViewUrl"),
         QStringLiteral("https://apps.example.com/app/folia/id%1").arg(id)},
        {QStringLiteral("description"),
         QStringLiteral(
             "folia %1 更新内容：\n1. 阅读页翻页更流畅；\n2. 修复了部分章节加载失败的问题。")
             .arg(options_.appVersion)},
    };
    return QJsonObject{{QStringLiteral("resultCount"), 1},
                       {QStringLiteral("results"), QJsonArray{app}}};
}

// --- user data

QJsonObject BookServer::favouite(const Call& c) {
    const auto bookId = bookIdIn(c.params);
    const QString fav = c.params.value(QStringLiteral("fav"));
    if (fav != QLatin1String("1") && fav != QLatin1String("0"))
        return refuse(kBadParams);
    if (!chaptersOf(bookId))
        return refuse(kNoBook);
    store_.setFavourite(c.user, *bookId, fav == QLatin1String("1"));
    return done(fav == QLatin1String("1") ? QStringLiteral("收藏成功")
                                          : QStringLiteral("已取消收藏"));
}

QJsonObject BookServer::getfavouite(const Call& c) {
    const auto p = paging(c.params);
    if (!p)
        return refuse(kBadParams);
    return listAnswer(store_.favourites(c.user, *p, c.base));
}

QJsonObject BookServer::readchapter(const Call& c) {
    const auto bookId = bookIdIn(c.params);
    const int chapters = chaptersOf(bookId);
    if (!chapters)
        return refuse(kNoBook);
    const auto chapter = number(c.params.value(QStringLiteral("chapter")), 1, chapters);
    if (!chapter)
        return refuse(kBadParams);
    store_.recordRead(c.user, *bookId, int(*chapter));
    return ok();
}

QJsonObject BookServer::getreadlog(const Call& c) {
    const auto p = paging(c.params);
    if (!p)
        return refuse(kBadParams);
    const BookStore::Page page = store_.readLog(c.user, *p, c.base);
    return ok({{QStringLiteral("chapters"), page.items},
               {QStringLiteral("count"), QString::number(page.count)}});
}

QJsonObject BookServer::removeReadrecord(const Call& c) {
    const auto bookId = bookIdIn(c.params);
    if (!bookId)
        return refuse(kBadParams);
    store_.removeRead(c.user, *bookId);
    return done(QStringLiteral("删除成功"));
}

QJsonObject BookServer::deleteReadRecord(const Call& c) {
    if (c.params.value(QStringLiteral("book_id")) == QLatin1String("ALL")) {
        store_.clearReads(c.user);
        return done(QStringLiteral("阅读记录已清空"));
    }
    return removeReadrecord(c);
}

QJsonObject BookServer::mymsg(const Call& c) {
    const auto p = paging(c.params);
    if (!p)
        return refuse(kBadParams);
    const BookStore::Page page = store_.messages(c.user, *p);
    return ok({{QStringLiteral("msgs"),
                QJsonObject{{QStringLiteral("data"), page.items},
                            {QStringLiteral("count"), QString::number(page.count)}}}});
}

QJsonObject BookServer::noticeRead(const Call& c) {
    const auto id = messageIdIn(c.params);
    if (!id || !store_.markMessageRead(c.user, *id))
        return refuse(QStringLiteral("消息不存在"));
    return ok();
}

QJsonObject BookServer::noticeDelete(const Call& c) {
    const auto id = messageIdIn(c.params);
    if (!id || !store_.deleteMessage(c.user, *id))
        return refuse(QStringLiteral("消息不存在"));
    return done(QStringLiteral("删除成功"));
}

QJsonObject BookServer::feedbackForm(const Call& c) {
    const QString content = c.params.value(QStringLiteral("content"));
    const QString type = c.params.value(QStringLiteral("type"));
    if (type != QLatin1String("1") && type != QLatin1String("2"))
        return refuse(kBadParams);
    if (content.trimmed().isEmpty())
        return refuse(QStringLiteral("反馈内容不能为空"));
    // Feedback from a reader whose sign-in has lapsed is still worth keeping.
    store_.addFeedback(c.user, type, content.left(4000),
                       c.params.value(QStringLiteral("email")).left(100),
                       c.params.value(QStringLiteral("qq")).left(20),
                       c.params.value(QStringLiteral("channel")).left(40));
    return done(QStringLiteral("提交成功"));
}

QJsonObject BookServer::reporterror(const Call& c) {
    const auto bookId = bookIdIn(c.params);
    const int chapters = chaptersOf(bookId);
    if (!chapters)
        return refuse(kNoBook);
    const auto chapter = number(c.params.value(QStringLiteral("chapter_number")), 1, chapters);
    if (!chapter)
        return refuse(kBadParams);
    store_.addErrorReport(c.user, *bookId, int(*chapter),
                          c.params.value(QStringLiteral("channel")).left(40));
    return done(QStringLiteral("提交成功"));
}

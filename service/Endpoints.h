#pragma once

// The book service's endpoint paths, in one place.
namespace Endpoints {
// signed
inline constexpr char getdevice[] = "/site/getdevice";
inline constexpr char logout[] = "/site/logout";
inline constexpr char login[] = "/site/login";
inline constexpr char sendValidateCode[] = "/site/send_validate_code";
inline constexpr char reg[] = "/site/reg";
inline constexpr char favouite[] = "/site/favouite";
inline constexpr char readchapter[] = "/site/readchapter";
inline constexpr char removeReadrecord[] = "/site/removeReadrecord";
inline constexpr char deleteReadRecord[] = "/site/delete_read_record";
inline constexpr char reporterror[] = "/feedback/reporterror";
inline constexpr char feedbackForm[] = "/feedback/form";
inline constexpr char bookinfo[] = "/data/bookinfo";
inline constexpr char suggest[] = "/data/suggest";
inline constexpr char booklist[] = "/data/booklist";
inline constexpr char getreadlog[] = "/data/getreadlog";
inline constexpr char getfavouite[] = "/data/getfavouite";
inline constexpr char mymsg[] = "/msg/mymsg";
inline constexpr char noticeRead[] = "/msg/notice_read";
inline constexpr char noticeDelete[] = "/msg/notice_delete";
// unsigned
inline constexpr char getcontent[] = "/data/getcontent";
inline constexpr char menu[] = "/data/menu";
inline constexpr char alsoread[] = "/data/alsoread";
inline constexpr char getSitesNameByBookId[] = "/data/getSitesNameByBookId";
inline constexpr char categorylist[] = "/data/categorylist";
// the app-store lookup, under the lookup base
inline constexpr char lookup[] = "/lookup";
} // namespace Endpoints

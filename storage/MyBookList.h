#pragma once

#include <QMetaType>
#include <QString>
#include <QVariant>
#include <QVariantMap>

// One book as the service describes it in a list answer (recommendations, rankings,
// search results, reading records, favorites). A value: copies are independent.
//
// A text property the answer does not hold is a null QString (no value). The identifier
// and the last chapter number are kept as they arrived (text or number); write them with
// Service::textOf when a URL needs them.
class MyBookList final {
public:
    MyBookList() = default;
    ~MyBookList();

    // Fills the thirteen properties from one element of an answer's book array.
    static MyBookList initWithDictionary(const QVariantMap& dictionary);

    QVariant myId() const { return myId_; }
    QString myTitle() const { return myTitle_; }
    QString myAuthor() const { return myAuthor_; }
    QString myCover() const { return myCover_; }
    QVariantMap myCategory() const { return myCategory_; }
    QVariant myLast_chapter_number() const { return myLast_chapter_number_; }
    QString myLast_chapter_title() const { return myLast_chapter_title_; }
    QString myLast_update_time() const { return myLast_update_time_; }
    QString myStatus() const { return myStatus_; }
    QString myIntro() const { return myIntro_; }
    QString mySource_site_name() const { return mySource_site_name_; }
    QString myFavorite() const { return myFavorite_; }
    QString mySource_site_nums() const { return mySource_site_nums_; }

    void setMyId(const QVariant& value) { myId_ = value; }
    void setMyTitle(const QString& value) { myTitle_ = value; }
    void setMyAuthor(const QString& value) { myAuthor_ = value; }
    void setMyCover(const QString& value) { myCover_ = value; }
    void setMyCategory(const QVariantMap& value) { myCategory_ = value; }
    void setMyLast_chapter_number(const QVariant& value) { myLast_chapter_number_ = value; }
    void setMyLast_chapter_title(const QString& value) { myLast_chapter_title_ = value; }
    void setMyLast_update_time(const QString& value) { myLast_update_time_ = value; }
    void setMyStatus(const QString& value) { myStatus_ = value; }
    void setMyIntro(const QString& value) { myIntro_ = value; }
    void setMySource_site_name(const QString& value) { mySource_site_name_ = value; }
    void setMyFavorite(const QString& value) { myFavorite_ = value; }
    void setMySource_site_nums(const QString& value) { mySource_site_nums_ = value; }

private:
    QVariant myId_;
    QString myTitle_;
    QString myAuthor_;
    QString myCover_;
    QVariantMap myCategory_;
    QVariant myLast_chapter_number_;
    QString myLast_chapter_title_;
    QString myLast_update_time_;
    QString myStatus_;
    QString myIntro_;
    QString mySource_site_name_;
    QString myFavorite_;
    QString mySource_site_nums_;
};

Q_DECLARE_METATYPE(MyBookList)

#include "reader/TextPosition.h"

#include <algorithm>
#include <limits>

namespace {

// Pages after the last character of a chapter have no first character.
constexpr int kNoStart = std::numeric_limits<int>::max();

} // namespace

// Walks the rendered text nodes of the body in document order and counts their characters
// that are not white space. A character belongs to the page that holds the middle of its box;
// for each page edge, the first character at or below it is found by bisection inside the
// one text node that crosses the edge, so a long chapter costs one box query per text node
// plus a few per page. Text that is not rendered (a script, a hidden element) has no boxes
// and is not counted, at any size.
QString TextPosition::startsScript(int pageHeight) {
    return QStringLiteral(
               "(function(P){var b=document.body;if(!b||P<=0)return [0];"
               "var sy=window.scrollY||0,w=document.createTreeWalker(b,NodeFilter.SHOW_TEXT,null),"
               "r=document.createRange(),starts=[0],count=0,next=P,n;"
               "function mid(node,i){r.setStart(node,i);r.setEnd(node,i+1);"
               "var q=r.getClientRects();if(!q.length)return -1;var x=q[q.length-1];"
               "return (x.top+x.bottom)/2+sy;}"
               "while((n=w.nextNode())){var t=n.data;if(!/\\S/.test(t))continue;"
               "r.selectNodeContents(n);var q=r.getClientRects();if(!q.length)continue;"
               "var bottom=0;for(var k=0;k<q.length;k++)bottom=Math.max(bottom,q[k].bottom+sy);"
               "if(bottom<=next){count+=t.replace(/\\s+/g,'').length;continue;}"
               "var idx=[];for(var i=0;i<t.length;i++)if(!/\\s/.test(t[i]))idx.push(i);"
               "var lo=0;while(lo<idx.length&&bottom>next){var a=lo,z=idx.length;"
               "while(a<z){var m=(a+z)>>1;if(mid(n,idx[m])>=next)z=m;else a=m+1;}"
               "if(a>=idx.length)break;var y=mid(n,idx[a]);"
               "while(next<=y){starts.push(count+a);next+=P;}lo=a+1;}"
               "count+=idx.length;}"
               "return starts;})(%1)")
        .arg(pageHeight);
}

bool TextPosition::setStarts(const QVariant& answer, int pageCount) {
    clear();
    if (pageCount < 1 || answer.typeId() != QMetaType::QVariantList)
        return false;
    const QVariantList list = answer.toList();
    QList<int> starts;
    starts.reserve(pageCount);
    for (const QVariant& v : list) {
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (!ok || d < 0 || d > std::numeric_limits<int>::max() - 1 || d != static_cast<int>(d))
            return false;
        const int offset = static_cast<int>(d);
        if (!starts.isEmpty() && offset < starts.last())
            return false;
        starts.append(offset);
    }
    if (starts.isEmpty() || starts.first() != 0)
        return false;
    starts.resize(std::min<qsizetype>(starts.size(), pageCount));
    while (starts.size() < pageCount)
        starts.append(kNoStart);
    starts_ = std::move(starts);
    return true;
}

void TextPosition::clear() {
    starts_.clear();
}

int TextPosition::startOfPage(int page) const {
    if (page < 1 || page > starts_.size())
        return -1;
    const int start = starts_.at(page - 1);
    return start == kNoStart ? -1 : start;
}

int TextPosition::pageOfOffset(int offset) const {
    if (starts_.isEmpty() || offset < 0)
        return 0;
    // The last page that starts at or before the character: pages without a character of
    // their own share the start of the next one and are passed over.
    const auto it = std::upper_bound(starts_.cbegin(), starts_.cend(), offset);
    return std::max(1, static_cast<int>(it - starts_.cbegin()));
}

int ReadingAnchor::follow(const TextPosition& position, int chapter, int page) {
    if (offset_ < 0 || chapter != chapter_ || page != page_)
        pin(position.startOfPage(page), chapter, page);
    return offset_;
}

void ReadingAnchor::pin(int offset, int chapter, int page) {
    offset_ = offset;
    chapter_ = chapter;
    page_ = page;
}

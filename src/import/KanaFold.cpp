#include "import/KanaFold.h"

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace {

// Half-width for ァ (U+30A1) to ヶ (U+30F6), small kana as large ones; for
// voiced kana their base's.
constexpr char16_t HalfWidth[] = u"ｱｱｲｲｳｳｴｴｵｵｶｶｷｷｸｸｹｹｺｺｻｻｼｼｽｽｾｾｿｿﾀﾀﾁﾁﾂﾂﾂﾃﾃﾄﾄﾅﾆﾇﾈﾉﾊﾊﾊﾋﾋﾋﾌﾌﾌﾍﾍﾍﾎﾎﾎﾏﾐﾑﾒﾓﾔﾔﾕﾕﾖﾖﾗﾘﾙﾚﾛﾜﾜｲｴｦﾝｳｶｹ";
static_assert(std::size(HalfWidth) - 1 == 0x30F6 - 0x30A1 + 1);

} // namespace

bool KanaFold::isReadingChar(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'ｦ' && u <= u'ﾟ' && u != u'ｰ') || u == u'-' || (u >= u'A' && u <= u'Z');
}

QString KanaFold::bankKana(QStringView text, bool keepOthers)
{
    // Char by char rather than through NFKC and NFD: a statement of half a
    // million lines has every payer name read this way.
    static const std::array<QString, 0x30F6 - 0x30A1 + 1> fromWide = [] {
        std::array<QString, 0x30F6 - 0x30A1 + 1> table;
        for (char16_t u = 0x30A1; u <= 0x30F6; ++u) {
            const QString apart = QString(QChar(u)).normalized(QString::NormalizationForm_D);
            QString &half = table[u - 0x30A1];
            half = QChar(HalfWidth[apart.at(0).unicode() - 0x30A1]);
            if (apart.size() > 1)
                half += apart.at(1) == QChar(0x3099) ? u'ﾞ' : u'ﾟ';
        }
        return table;
    }();
    QString out;
    out.reserve(text.size());
    bool afterKana = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype before = out.size();
        char16_t u = text.at(i).unicode();
        if (u >= 0xFF01 && u <= 0xFF5E)
            u = char16_t(u - 0xFEE0); // full-width ASCII
        if (u >= u'ぁ' && u <= u'ゖ')
            u = char16_t(u + (u'ァ' - u'ぁ'));
        if (u >= 0x30A1 && u <= 0x30F6) {
            out += fromWide[u - 0x30A1];
        } else if (u >= u'ｦ' && u <= u'ﾝ') {
            // The banks print small kana as large ones. Every payer name's
            // character passes here: ｧ to ｯ are one run, indexed rather than searched.
            out += u >= u'ｧ' && u <= u'ｯ' ? QChar(u"ｱｲｳｴｵﾔﾕﾖﾂ"[u - u'ｧ']) : QChar(u);
        } else if (u == 0x3099 || u == u'゛' || u == u'ﾞ') {
            out += u'ﾞ';
        } else if (u == 0x309A || u == u'゜' || u == u'ﾟ') {
            out += u'ﾟ';
        } else if (QStringView(u"ーｰ-‐‑–—―−～〜").contains(QChar(u))) {
            // A long vowel follows a kana; elsewhere, or a hyphen before a
            // number ("ﾀﾛｳ-1234"), it is a separator.
            const bool beforeDigit = u != u'ー' && u != u'ｰ' && i + 1 < text.size() && text.at(i + 1).isDigit();
            if (afterKana && out.back() != u'-' && !beforeDigit)
                out += u'-';
            else if (keepOthers)
                out += u' ';
        } else if (u >= u'a' && u <= u'z') {
            out += QChar(u - u'a' + u'A');
        } else if (u >= u'A' && u <= u'Z') {
            out += QChar(u);
        } else if (u == u'(' || u == u')' || u == u'.' || u == u',') {
            out += QChar(u);
        } else if (u == u'、' || u == u'・' || u == u'･' || u == u'､') {
            out += u',';
        } else if (u == u'｡') {
            out += u'.';
        } else if (QChar(u).isSpace()) {
            if (keepOthers)
                out += u' ';
        } else if (keepOthers) {
            out += QChar(u);
        }
        afterKana = out.size() > before && isReadingChar(out.back());
    }
    return out;
}

QString KanaFold::foldVariants(QStringView text)
{
    // A variant and its plain form stand at the same place.
    static constexpr QStringView Variants = u"髙﨑嵜碕齋齊齎邊邉澤濱濵廣國櫻藪眞槇冨德惠學瀨淺實榮圓壽彌萬與增鷗嶋嶌曾藏昻";
    static constexpr QStringView Plain = u"高崎崎崎斎斎斎辺辺沢浜浜広国桜薮真槙富徳恵学瀬浅実栄円寿弥万与増鴎島島曽蔵昂";
    // NFKC for what has a compatibility form (㈱, full-width brackets,
    // half-width kana, the compatibility ideographs): 﨑 keeps its own code
    // point, the table takes it. Plain names skip it, as most do.
    const bool compatible = std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= 0x3200 && u <= 0x33FF) || (u >= 0xF900 && u <= 0xFAFF) || u >= 0xFF00 || c.isSurrogate();
    });
    QString folded = compatible ? text.toString().normalized(QString::NormalizationForm_KC) : text.toString();
    // 𠮷 (the "tsuchi" 吉) lies outside the basic plane.
    folded.replace(u"𠮷"_s, u"吉"_s);
    for (QChar &c : folded) {
        if (const qsizetype at = Variants.indexOf(c); at >= 0)
            c = Plain.at(at);
    }
    return folded;
}

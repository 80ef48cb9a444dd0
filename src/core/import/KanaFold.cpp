#include "core/import/KanaFold.h"

#include <QHash>

using namespace Qt::StringLiterals;

namespace {

// Half-width for ァ (U+30A1) to ヶ (U+30F6), small kana as large ones. Voiced
// kana are taken apart before they get here, so theirs are never used.
constexpr char16_t HalfWidth[] = u"ｱｱｲｲｳｳｴｴｵｵｶｶｷｷｸｸｹｹｺｺｻｻｼｼｽｽｾｾｿｿﾀﾀﾁﾁﾂﾂﾂﾃﾃﾄﾄﾅﾆﾇﾈﾉﾊﾊﾊﾋﾋﾋﾌﾌﾌﾍﾍﾍﾎﾎﾎﾏﾐﾑﾒﾓﾔﾔﾕﾕﾖﾖﾗﾘﾙﾚﾛﾜﾜｲｴｦﾝｳｶｹ";
static_assert(std::size(HalfWidth) - 1 == 0x30F6 - 0x30A1 + 1);

bool isLongVowel(char16_t u)
{
    switch (u) {
    case u'ー': case u'-': case u'‐': case u'‑': case u'–': case u'—': case u'―': case u'−': case u'～': case u'〜':
        return true;
    default:
        return false;
    }
}

} // namespace

bool KanaFold::isReadingChar(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'ｦ' && u <= u'ﾟ' && u != u'ｰ') || u == u'-' || (u >= u'A' && u <= u'Z');
}

QString KanaFold::bankKana(QStringView text, bool keepOthers)
{
    // NFKC makes half-width kana full-width and full-width letters ASCII;
    // NFD then takes the voiced kana apart into base and mark.
    const QString wide = text.toString().normalized(QString::NormalizationForm_KC).normalized(QString::NormalizationForm_D);
    QString out;
    out.reserve(wide.size());
    bool afterKana = false;
    for (qsizetype i = 0; i < wide.size(); ++i) {
        const qsizetype before = out.size();
        char16_t u = wide.at(i).unicode();
        if (u >= u'ぁ' && u <= u'ゖ')
            u = char16_t(u + (u'ァ' - u'ぁ'));
        if (u >= 0x30A1 && u <= 0x30F6) {
            out += QChar(HalfWidth[u - 0x30A1]);
        } else if (u == 0x3099 || u == u'゛') {
            out += u'ﾞ';
        } else if (u == 0x309A || u == u'゜') {
            out += u'ﾟ';
        } else if (isLongVowel(u)) {
            // A long vowel follows a kana; elsewhere, or a hyphen before a
            // number ("ﾀﾛｳ-1234"), it is a separator.
            const bool beforeDigit = u != u'ー' && i + 1 < wide.size() && wide.at(i + 1).isDigit();
            if (afterKana && out.back() != u'-' && !beforeDigit)
                out += u'-';
            else if (keepOthers)
                out += u' ';
        } else if (u >= u'a' && u <= u'z') {
            out += QChar(u - u'a' + u'A');
        } else if (u >= u'A' && u <= u'Z') {
            out += QChar(u);
        } else if (u == u'(' || u == u')' || u == u'.' || u == u',' || u == u'、' || u == u'・') {
            out += (u == u'、' || u == u'・') ? u',' : QChar(u);
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
    static const QHash<QChar, QChar> variants = [] {
        QHash<QChar, QChar> map;
        const std::pair<char16_t, char16_t> pairs[] = {
            {u'髙', u'高'}, {u'﨑', u'崎'}, {u'嵜', u'崎'}, {u'碕', u'崎'}, {u'齋', u'斎'}, {u'齊', u'斎'},
            {u'齎', u'斎'}, {u'邊', u'辺'}, {u'邉', u'辺'}, {u'澤', u'沢'}, {u'濱', u'浜'}, {u'濵', u'浜'},
            {u'廣', u'広'}, {u'國', u'国'}, {u'櫻', u'桜'}, {u'藪', u'薮'}, {u'眞', u'真'}, {u'槇', u'槙'},
            {u'冨', u'富'}, {u'德', u'徳'}, {u'惠', u'恵'}, {u'學', u'学'}, {u'瀨', u'瀬'}, {u'淺', u'浅'},
            {u'實', u'実'}, {u'榮', u'栄'}, {u'圓', u'円'}, {u'壽', u'寿'}, {u'彌', u'弥'}, {u'萬', u'万'},
            {u'與', u'与'}, {u'增', u'増'}, {u'鷗', u'鴎'}, {u'嶋', u'島'}, {u'嶌', u'島'}, {u'曾', u'曽'},
            {u'藏', u'蔵'}, {u'昻', u'昂'}};
        for (const auto &[variant, plain] : pairs)
            map.insert(QChar(variant), QChar(plain));
        return map;
    }();
    // NFKC first: compatibility ideographs such as 﨑 keep their own code
    // point, but ㈱ and full-width brackets come out plain.
    QString folded = text.toString().normalized(QString::NormalizationForm_KC);
    // 𠮷 (the "tsuchi" 吉) lies outside the basic plane.
    folded.replace(u"𠮷"_s, u"吉"_s);
    for (QChar &c : folded)
        c = variants.value(c, c);
    return folded;
}

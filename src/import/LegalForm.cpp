#include "import/LegalForm.h"

#include <QList>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

struct Form
{
    const char16_t *name;  // as a 会社名 writes it
    const char16_t *bank;  // the banks' abbreviation
    const char16_t *kana;  // written out in the banks' kana
};

// Longer names first, so that 一般社団法人 is not taken for 社団法人.
constexpr Form Forms[] = {
    {u"特定非営利活動法人", u"ﾄｸﾋ", u"ﾄｸﾃｲﾋｴｲﾘｶﾂﾄﾞｳﾎｳｼﾞﾝ"},
    {u"一般社団法人", u"ｼﾔ", u"ｲﾂﾊﾟﾝｼﾔﾀﾞﾝﾎｳｼﾞﾝ"},
    {u"公益社団法人", u"ｼﾔ", u"ｺｳｴｷｼﾔﾀﾞﾝﾎｳｼﾞﾝ"},
    {u"一般財団法人", u"ｻﾞｲ", u"ｲﾂﾊﾟﾝｻﾞｲﾀﾞﾝﾎｳｼﾞﾝ"},
    {u"公益財団法人", u"ｻﾞｲ", u"ｺｳｴｷｻﾞｲﾀﾞﾝﾎｳｼﾞﾝ"},
    {u"医療法人社団", u"ｲ", u"ｲﾘﾖｳﾎｳｼﾞﾝｼﾔﾀﾞﾝ"},
    {u"医療法人財団", u"ｲ", u"ｲﾘﾖｳﾎｳｼﾞﾝｻﾞｲﾀﾞﾝ"},
    {u"社会福祉法人", u"ﾌｸ", u"ｼﾔｶｲﾌｸｼﾎｳｼﾞﾝ"},
    {u"独立行政法人", u"ﾄﾞｸ", u"ﾄﾞｸﾘﾂｷﾞﾖｳｾｲﾎｳｼﾞﾝ"},
    {u"司法書士法人", u"ｼﾎｳ", u"ｼﾎｳｼﾖｼﾎｳｼﾞﾝ"},
    {u"行政書士法人", u"ｷﾞﾖｳ", u"ｷﾞﾖｳｾｲｼﾖｼﾎｳｼﾞﾝ"},
    {u"農事組合法人", u"ﾉｳ", u"ﾉｳｼﾞｸﾐｱｲﾎｳｼﾞﾝ"},
    {u"税理士法人", u"ｾﾞｲ", u"ｾﾞｲﾘｼﾎｳｼﾞﾝ"},
    {u"弁護士法人", u"ﾍﾞﾝ", u"ﾍﾞﾝｺﾞｼﾎｳｼﾞﾝ"},
    {u"株式会社", u"ｶ", u"ｶﾌﾞｼｷｶﾞｲｼﾔ"},
    {u"有限会社", u"ﾕ", u"ﾕｳｹﾞﾝｶﾞｲｼﾔ"},
    {u"合同会社", u"ﾄﾞ", u"ｺﾞｳﾄﾞｳｶﾞｲｼﾔ"},
    {u"合資会社", u"ｼ", u"ｺﾞｳｼｶﾞｲｼﾔ"},
    {u"合名会社", u"ﾒ", u"ｺﾞｳﾒｲｶﾞｲｼﾔ"},
    {u"相互会社", u"ｿ", u"ｿｳｺﾞｶﾞｲｼﾔ"},
    {u"医療法人", u"ｲ", u"ｲﾘﾖｳﾎｳｼﾞﾝ"},
    {u"社団法人", u"ｼﾔ", u"ｼﾔﾀﾞﾝﾎｳｼﾞﾝ"},
    {u"財団法人", u"ｻﾞｲ", u"ｻﾞｲﾀﾞﾝﾎｳｼﾞﾝ"},
    {u"学校法人", u"ｶﾞｸ", u"ｶﾞﾂｺｳﾎｳｼﾞﾝ"},
    {u"宗教法人", u"ｼﾕｳ", u"ｼﾕｳｷﾖｳﾎｳｼﾞﾝ"},
    {u"監査法人", u"ｶﾝｻ", u"ｶﾝｻﾎｳｼﾞﾝ"},
    {u"NPO法人", u"ﾄｸﾋ", u"NPOﾎｳｼﾞﾝ"},
};

// How a 会社名 shortens its form in brackets: (株) is what NFKC makes of ㈱.
constexpr std::pair<const char16_t *, const char16_t *> Shortened[] = {
    {u"(株)", u"ｶ"}, {u"(有)", u"ﾕ"}, {u"(同)", u"ﾄﾞ"}, {u"(資)", u"ｼ"}, {u"(名)", u"ﾒ"},
    {u"(医)", u"ｲ"}, {u"(社)", u"ｼﾔ"}, {u"(財)", u"ｻﾞｲ"}, {u"(福)", u"ﾌｸ"}, {u"(学)", u"ｶﾞｸ"},
    {u"(宗)", u"ｼﾕｳ"}, {u"(特非)", u"ﾄｸﾋ"}};

// The banks' abbreviations, longest first so that ｼﾔ is not taken for ｼ.
const QStringList &abbreviations()
{
    static const QStringList all = [] {
        QStringList list;
        for (const Form &form : Forms) {
            if (!list.contains(QStringView(form.bank)))
                list.append(QString::fromUtf16(form.bank));
        }
        std::stable_sort(list.begin(), list.end(), [](const QString &a, const QString &b) { return a.size() > b.size(); });
        return list;
    }();
    return all;
}

// The forms written out in kana, with 会社 as ｶﾞｲｼﾔ or ｶｲｼﾔ.
const QList<std::pair<QString, QString>> &writtenOut()
{
    static const QList<std::pair<QString, QString>> all = [] {
        QList<std::pair<QString, QString>> list;
        for (const Form &form : Forms) {
            const QString kana = QString::fromUtf16(form.kana);
            list.append({kana, QString::fromUtf16(form.bank)});
            if (kana.contains(u"ｶﾞｲｼﾔ"_s))
                list.append({QString(kana).replace(u"ｶﾞｲｼﾔ"_s, u"ｶｲｼﾔ"_s), QString::fromUtf16(form.bank)});
        }
        return list;
    }();
    return all;
}

LegalForm::Split cut(QStringView text, qsizetype at, qsizetype length, const QString &form)
{
    return {text.left(at).toString() + text.sliced(at + length), form};
}

} // namespace

LegalForm::Split LegalForm::ofName(QStringView name)
{
    // Every form has 会 or 法, every shortened one a bracket: most names have none.
    if (!name.contains(u'会') && !name.contains(u'法') && !name.contains(u'('))
        return {name.toString(), QString()};
    for (const Form &form : Forms) {
        if (const qsizetype at = name.indexOf(QStringView(form.name)); at >= 0)
            return cut(name, at, QStringView(form.name).size(), QString::fromUtf16(form.bank));
    }
    for (const auto &[shortened, bank] : Shortened) {
        if (const qsizetype at = name.indexOf(QStringView(shortened)); at >= 0)
            return cut(name, at, QStringView(shortened).size(), QString::fromUtf16(bank));
    }
    return {name.toString(), QString()};
}

LegalForm::Split LegalForm::ofPayer(QStringView text)
{
    if (text.contains(u'(') || text.contains(u')')) {
        // Within brackets, before the name, after it.
        for (const QString &bank : abbreviations()) {
            const QString within = u'(' + bank + u')', before = bank + u')', after = u'(' + bank;
            if (const qsizetype at = text.indexOf(within); at >= 0)
                return cut(text, at, within.size(), bank);
            if (text.startsWith(before))
                return cut(text, 0, before.size(), bank);
            if (text.endsWith(after))
                return cut(text, text.size() - after.size(), after.size(), bank);
        }
    }
    // Written out: at the start or the end only, where it cannot be part of the name.
    for (const auto &[written, bank] : writtenOut()) {
        if (text.startsWith(written))
            return cut(text, 0, written.size(), bank);
        if (text.endsWith(written) && text.size() > written.size())
            return cut(text, text.size() - written.size(), written.size(), bank);
    }
    return {text.toString(), QString()};
}

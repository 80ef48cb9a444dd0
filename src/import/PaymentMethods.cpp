#include "import/PaymentMethods.h"

#include "core/settings/SuiteSettings.h"

using namespace Qt::StringLiterals;

PaymentMethods PaymentMethods::read(const SuiteSettings &settings)
{
    PaymentMethods methods;
    const char16_t *keys[] = {u"MethodsConvenience", u"MethodsService", u"MethodsDeferred", u"MethodsCashOnDelivery"};
    for (qsizetype kind = 1; kind < methods.m_words.size(); ++kind) {
        const QString key = QString::fromUtf16(keys[kind - 1]);
        const QString value = settings.ini(key, methods.m_words.at(kind).join(u','));
        QStringList words;
        for (const QString &word : value.split(u',')) {
            if (!word.trimmed().isEmpty())
                words.append(word.trimmed());
        }
        methods.m_words[kind] = words;
    }
    return methods;
}

bool PaymentMethods::pays(FileKind kind, const QString &method) const
{
    // The banks pay every order, as they always have: a customer may transfer
    // what a slip or a service failed to collect.
    const QStringList &words = m_words.at(int(kind));
    return kind == FileKind::Bank
           || std::any_of(words.cbegin(), words.cend(), [&method](const QString &word) { return method.contains(word); });
}

QString PaymentMethods::kindName(FileKind kind)
{
    const char16_t *names[] = {u"銀行", u"コンビニ収納", u"決済サービス", u"後払い", u"代引"};
    return QString::fromUtf16(names[int(kind)]);
}

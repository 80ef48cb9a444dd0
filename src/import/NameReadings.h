#pragma once

#include <QString>
#include <QStringList>

#include <memory>

namespace MeCab {
class Lattice;
class Model;
class Tagger;
}

// The readings of names through MeCab and its IPA dictionary, found through
// the dictionary's own configuration (mecabrc). Every dictionary word at
// every position counts, not only the likeliest path: 森 亮 is ﾓﾘ ﾘﾖｳ as
// often as ﾓﾘ ｱｷﾗ. Readings are in the banks' kana (KanaFold); kana in a
// name read as themselves. Without a usable dictionary nothing is read and
// why() says why.
class NameReadings final
{
public:
    // Readings of one name beyond this many are not kept: the ones made of
    // fewer words come first.
    static constexpr int MaxReadings = 32;
    // Longer texts are no names.
    static constexpr int MaxLength = 100;

    // MeCab's arguments; empty for its own configuration.
    explicit NameReadings(const QString &arguments = QString());
    ~NameReadings();
    NameReadings(const NameReadings &) = delete;
    NameReadings &operator=(const NameReadings &) = delete;

    // The dictionary of the default configuration, loaded once for the process.
    static std::shared_ptr<const NameReadings> shared();

    bool available() const { return m_model != nullptr; }
    QString why() const { return m_why; }

    // Reads names with one tagger, for one thread at a time: the readings of
    // a name without spaces, its variant kanji folded; none when a character
    // has no reading.
    class Reader final
    {
    public:
        explicit Reader(const NameReadings &readings);
        ~Reader();
        Reader(const Reader &) = delete;
        Reader &operator=(const Reader &) = delete;
        QStringList readings(const QString &name) const;

    private:
        std::unique_ptr<MeCab::Tagger> m_tagger;
        std::unique_ptr<MeCab::Lattice> m_lattice;
    };

private:
    std::unique_ptr<MeCab::Model> m_model;
    QString m_why;
};

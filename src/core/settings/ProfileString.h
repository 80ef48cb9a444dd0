#pragma once

#include <QList>
#include <QString>

// Reads one key of an INI file as the Windows private-profile string call
// does, for the files the suite shares with its Windows installations:
// - section and key names match without regard to case, and blanks around
//   names and values are ignored; lines starting with ';' are comments;
// - only the first section of a name is searched, and the first key in it wins;
// - a missing file, section or key gives the default (with its trailing
//   blanks dropped); a key that is present with nothing after '=' gives "";
//   a line without '=' is no key;
// - one pair of matching quotes (" or ') around a value is removed;
// - the result fits a buffer of bufferBytes bytes with its terminating NUL,
//   so it is cut to bufferBytes - 1 bytes. A value from the file is measured
//   in the file's own encoding (see StoredText), the default in UTF-8, and
//   the cut never splits a character.
QString ReadProfileString(const QString &section, const QString &key, const QString &defaultValue,
                          qsizetype bufferBytes, const QString &filePath);

// Where ReadProfileString finds key, in INI text split into lines at '\n':
// the first section named section, its key line and value, and its last
// line that is not blank, as line numbers; -1 where there is none.
struct ProfileSpot
{
    qsizetype section = -1;
    qsizetype lastInSection = -1;
    qsizetype key = -1;
    QStringView value; // blanks around it removed, quotes kept
};
ProfileSpot FindProfileKey(const QList<QStringView> &lines, QStringView section, QStringView key);

#include "datahub/scrambler.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QtDebug>

namespace {
const char Version = 3;
const int HashLength = 20;

quint16 checksum(const QByteArray &data)
{
    return qChecksum(data.constData(), uint(data.size()));
}
}

Scrambler::Scrambler() = default;

Scrambler::Scrambler(quint64 key)
    : m_key(key)
{
    splitKey();
}

void Scrambler::setKey(quint64 key)
{
    m_key = key;
    splitKey();
}

void Scrambler::splitKey()
{
    m_keyBytes.resize(8);
    for (int i = 0; i < 8; ++i)
        m_keyBytes[i] = char((m_key >> (8 * i)) & 0xff);
}

QByteArray Scrambler::encryptBytes(QByteArray plain)
{
    if (m_keyBytes.isEmpty()) {
        qWarning() << "No key set.";
        m_lastError = ErrorNoKeySet;
        return QByteArray();
    }

    char flags = 0;
    if (m_compressionMode == CompressionAlways) {
        plain = qCompress(plain, 9);
        flags |= FlagCompressed;
    } else if (m_compressionMode == CompressionAuto) {
        const QByteArray compressed = qCompress(plain, 9);
        if (compressed.size() < plain.size()) {
            plain = compressed;
            flags |= FlagCompressed;
        }
    }

    QByteArray integrity;
    if (m_protectionMode == ProtectionChecksum) {
        flags |= FlagChecksum;
        const quint16 sum = checksum(plain);
        integrity.append(char(sum >> 8));
        integrity.append(char(sum & 0xff));
    } else if (m_protectionMode == ProtectionHash) {
        flags |= FlagHash;
        integrity = QCryptographicHash::hash(plain, QCryptographicHash::Sha1);
    }

    // The random lead byte makes two scramblings of the same password differ throughout, because
    // every later byte is chained to it.
    QByteArray sequence;
    sequence.reserve(1 + integrity.size() + plain.size());
    sequence.append(char(QRandomGenerator::global()->generate() & 0xff));
    sequence.append(integrity);
    sequence.append(plain);

    char prev = 0;
    for (int i = 0; i < sequence.size(); ++i) {
        sequence[i] = char(sequence.at(i) ^ m_keyBytes.at(i % 8) ^ prev);
        prev = sequence.at(i);
    }

    QByteArray result;
    result.reserve(2 + sequence.size());
    result.append(Version);
    result.append(flags);
    result.append(sequence);
    m_lastError = ErrorNoError;
    return result;
}

QByteArray Scrambler::encryptUtf8(const QString &text)
{
    return encryptBytes(text.toUtf8());
}

QString Scrambler::encryptText(const QString &text)
{
    return encryptBytesToText(text.toUtf8());
}

QString Scrambler::encryptBytesToText(const QByteArray &plain)
{
    const QByteArray cypher = encryptBytes(plain);
    if (cypher.isEmpty())
        return QString();
    return QString::fromLatin1(cypher.toBase64());
}

QByteArray Scrambler::decryptBytes(const QByteArray &cypher)
{
    if (m_keyBytes.isEmpty()) {
        qWarning() << "No key set.";
        m_lastError = ErrorNoKeySet;
        return QByteArray();
    }
    if (cypher.size() <= 2)
        return QByteArray();
    if (cypher.at(0) != Version) {
        m_lastError = ErrorUnknownVersion;
        qWarning() << "Invalid version or not a cyphertext.";
        return QByteArray();
    }

    const char flags = cypher.at(1);
    QByteArray data = cypher.mid(2);
    char prev = 0;
    for (int i = 0; i < data.size(); ++i) {
        const char c = data.at(i);
        data[i] = char(c ^ prev ^ m_keyBytes.at(i % 8));
        prev = c;
    }
    data.remove(0, 1);

    // With both integrity flags set only the checksum is tested; stored strings rely on that order.
    if (flags & FlagChecksum) {
        if (data.size() < 2) {
            m_lastError = ErrorIntegrityFailed;
            return QByteArray();
        }
        const quint16 stored = quint16((quint8(data.at(0)) << 8) | quint8(data.at(1)));
        data.remove(0, 2);
        if (checksum(data) != stored) {
            m_lastError = ErrorIntegrityFailed;
            return QByteArray();
        }
    } else if (flags & FlagHash) {
        if (data.size() < HashLength) {
            m_lastError = ErrorIntegrityFailed;
            return QByteArray();
        }
        const QByteArray stored = data.left(HashLength);
        data.remove(0, HashLength);
        if (QCryptographicHash::hash(data, QCryptographicHash::Sha1) != stored) {
            m_lastError = ErrorIntegrityFailed;
            return QByteArray();
        }
    }

    if (flags & FlagCompressed)
        data = qUncompress(data);

    m_lastError = ErrorNoError;
    return data;
}

QString Scrambler::decryptText(const QString &cypherText)
{
    return QString::fromUtf8(decryptTextToBytes(cypherText));
}

QString Scrambler::decryptBytesToText(const QByteArray &cypher)
{
    return QString::fromUtf8(decryptBytes(cypher));
}

QByteArray Scrambler::decryptTextToBytes(const QString &cypherText)
{
    return decryptBytes(QByteArray::fromBase64(cypherText.toLatin1()));
}

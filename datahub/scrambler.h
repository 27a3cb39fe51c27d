#ifndef SCRAMBLER_H
#define SCRAMBLER_H

#include <QByteArray>
#include <QObject>
#include <QString>

// Reversible scrambling with a 64-bit key, used to keep the mail password out of plain sight in the
// settings table. It hides a password from a casual reader of the database; it is not encryption a
// determined attacker would respect.
//
// Output: a version byte (3), a flags byte, then a random byte, an integrity value and the (maybe
// compressed) data, all chained by XOR with the eight key bytes. The stored passwords depend on this
// exact layout.
class Scrambler : public QObject
{
    Q_OBJECT

public:
    enum CompressionMode {
        CompressionAuto = 0,   // keep the compressed form only when it is strictly shorter
        CompressionAlways = 1,
        CompressionNever = 2
    };
    enum IntegrityProtectionMode {
        ProtectionNone = 0,
        ProtectionChecksum = 1,
        ProtectionHash = 2
    };
    enum Error {
        ErrorNoError = 0,
        ErrorNoKeySet = 1,
        ErrorUnknownVersion = 2,
        ErrorIntegrityFailed = 3
    };

    Scrambler();
    explicit Scrambler(quint64 key);

    void setKey(quint64 key);
    bool hasKey() const { return !m_keyBytes.isEmpty(); }

    void setCompressionMode(CompressionMode mode) { m_compressionMode = mode; }
    CompressionMode compressionMode() const { return m_compressionMode; }
    void setIntegrityProtectionMode(IntegrityProtectionMode mode) { m_protectionMode = mode; }
    IntegrityProtectionMode integrityProtectionMode() const { return m_protectionMode; }
    Error lastError() const { return m_lastError; }

    QByteArray encryptBytes(QByteArray plain);
    QByteArray encryptUtf8(const QString &text);
    QString encryptText(const QString &text);
    QString encryptBytesToText(const QByteArray &plain);

    QByteArray decryptBytes(const QByteArray &cypher);
    QString decryptText(const QString &cypherText);
    QString decryptBytesToText(const QByteArray &cypher);
    QByteArray decryptTextToBytes(const QString &cypherText);

private:
    enum Flag {
        FlagCompressed = 0x01,
        FlagChecksum = 0x02,
        FlagHash = 0x04
    };

    void splitKey();

    quint64 m_key = 0;
    QByteArray m_keyBytes;
    CompressionMode m_compressionMode = CompressionAuto;
    IntegrityProtectionMode m_protectionMode = ProtectionChecksum;
    Error m_lastError = ErrorNoError;
};

#endif // SCRAMBLER_H

#include "testdatabase.h"

#include "datahub/scrambler.h"

namespace {
const quint64 Key = Q_UINT64_C(0x0123456789ABCDEF);

// CRC-16 of ISO 3309 written out here rather than taken from Qt, so that a change in how the
// checksum is computed shows up as a failure instead of passing silently.
quint16 iso3309(const QByteArray &data)
{
    quint16 crc = 0xffff;
    for (char ch : data) {
        crc ^= quint8(ch);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0x8408) : quint16(crc >> 1);
    }
    return quint16(~crc);
}

// Undoes the chaining with the key split least significant byte first.
QByteArray unchain(const QByteArray &sequence, quint64 key)
{
    QByteArray out = sequence;
    char prev = 0;
    for (int i = 0; i < out.size(); ++i) {
        const char c = out.at(i);
        out[i] = char(c ^ prev ^ char((key >> (8 * (i % 8))) & 0xff));
        prev = c;
    }
    return out;
}
}

class TestScrambler : public QObject
{
    Q_OBJECT

private slots:
    void roundTripsInEveryMode_data()
    {
        QTest::addColumn<int>("compression");
        QTest::addColumn<int>("protection");
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<int>("flags");

        const QByteArray shortText("hunter22");
        const QByteArray repetitive(2000, 'a');
        QByteArray binary;
        for (int i = 0; i < 256; ++i)
            binary.append(char(i));

        QTest::newRow("auto, checksum, short: stays plain") << 0 << 1 << shortText << 2;
        QTest::newRow("auto, checksum, repetitive: compressed") << 0 << 1 << repetitive << 3;
        QTest::newRow("auto, checksum, empty") << 0 << 1 << QByteArray() << 2;
        QTest::newRow("always, checksum, short") << 1 << 1 << shortText << 3;
        QTest::newRow("always, hash, empty") << 1 << 2 << QByteArray() << 5;
        QTest::newRow("never, checksum, repetitive") << 2 << 1 << repetitive << 2;
        QTest::newRow("never, hash, binary") << 2 << 2 << binary << 4;
        QTest::newRow("auto, hash, repetitive") << 0 << 2 << repetitive << 5;
        QTest::newRow("auto, none, binary") << 0 << 0 << binary << 0;
        QTest::newRow("always, none, repetitive") << 1 << 0 << repetitive << 1;
    }

    void roundTripsInEveryMode()
    {
        QFETCH(int, compression);
        QFETCH(int, protection);
        QFETCH(QByteArray, plain);
        QFETCH(int, flags);

        Scrambler s(Key);
        s.setCompressionMode(Scrambler::CompressionMode(compression));
        s.setIntegrityProtectionMode(Scrambler::IntegrityProtectionMode(protection));
        const QByteArray cypher = s.encryptBytes(plain);
        QCOMPARE(int(cypher.at(0)), 3);
        QCOMPARE(int(cypher.at(1)), flags);
        QCOMPARE(s.lastError(), Scrambler::ErrorNoError);

        // A fresh scrambler in default modes reads whatever the flags say.
        Scrambler reader(Key);
        QCOMPARE(reader.decryptBytes(cypher), plain);
        QCOMPARE(reader.lastError(), Scrambler::ErrorNoError);
    }

    void layoutOfAScrambledPassword()
    {
        Scrambler s(Key);
        const QByteArray plain("secret");
        const QByteArray cypher = s.encryptBytes(plain);
        QCOMPARE(cypher.size(), 2 + 1 + 2 + plain.size());
        QCOMPARE(int(cypher.at(0)), 3);
        QCOMPARE(int(cypher.at(1)), 2);

        QCOMPARE(iso3309("123456789"), quint16(0x906e));
        const QByteArray sequence = unchain(cypher.mid(2), Key);
        const quint16 sum = iso3309(plain);
        QCOMPARE(quint8(sequence.at(1)), quint8(sum >> 8));
        QCOMPARE(quint8(sequence.at(2)), quint8(sum & 0xff));
        QCOMPARE(sequence.mid(3), plain);

        // Nothing scrambles to version, flags, random byte and checksum only.
        const QByteArray empty = s.encryptBytes(QByteArray());
        QCOMPARE(empty.size(), 5);
        QCOMPARE(int(empty.at(1)), 2);
        QCOMPARE(s.decryptBytes(empty), QByteArray());
        QCOMPARE(s.lastError(), Scrambler::ErrorNoError);
    }

    void readsAStoredPassword()
    {
        // Scrambled outside this program (random byte 0x5A), as a stored setting would be.
        Scrambler s(Key);
        QCOMPARE(s.decryptText(QStringLiteral("AwK1btgBpUQUZv5chWg+")), QStringLiteral("Pässword1"));
        QCOMPARE(s.lastError(), Scrambler::ErrorNoError);
    }

    void textFormsCarryAnyText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("ascii") << QStringLiteral("mail-pass 123");
        QTest::newRow("latin-1") << QStringLiteral("Pässwörd");
        QTest::newRow("beyond latin-1") << QStringLiteral("пароль € 漢字 🔑");
        QTest::newRow("long") << QString(500, QLatin1Char('x'));
    }

    void textFormsCarryAnyText()
    {
        QFETCH(QString, text);
        Scrambler s(Key);
        const QString cypher = s.encryptText(text);
        QVERIFY(!cypher.isEmpty());
        QCOMPARE(cypher.size() % 4, 0);
        for (QChar c : cypher)
            QVERIFY(c.unicode() < 128);
        QCOMPARE(s.decryptText(cypher), text);
        QCOMPARE(s.decryptBytesToText(s.encryptUtf8(text)), text);
    }

    void wrongKeyFailsTheCheck()
    {
        Scrambler writer(Key);
        Scrambler reader(Key + 1);
        QCOMPARE(reader.decryptText(writer.encryptText(QStringLiteral("secret-password"))), QString());
        QCOMPARE(reader.lastError(), Scrambler::ErrorIntegrityFailed);
    }

    void badVersionIsRefusedWithAWarning()
    {
        Scrambler s(Key);
        QByteArray cypher = s.encryptBytes("secret");
        cypher[0] = 2;
        QTest::ignoreMessage(QtWarningMsg, "Invalid version or not a cyphertext.");
        QCOMPARE(s.decryptBytes(cypher), QByteArray());
        QCOMPARE(s.lastError(), Scrambler::ErrorUnknownVersion);
    }

    void anyChangedByteFailsTheCheck_data()
    {
        QTest::addColumn<int>("protection");
        QTest::addColumn<int>("position");
        for (int position = 2; position < 2 + 1 + 20 + 6; position += 3) {
            if (position < 2 + 1 + 2 + 6)
                QTest::addRow("checksum, byte %d", position) << 1 << position;
            QTest::addRow("hash, byte %d", position) << 2 << position;
        }
    }

    void anyChangedByteFailsTheCheck()
    {
        QFETCH(int, protection);
        QFETCH(int, position);
        Scrambler s(Key);
        s.setIntegrityProtectionMode(Scrambler::IntegrityProtectionMode(protection));
        QByteArray cypher = s.encryptBytes("secret");
        cypher[position] = char(cypher.at(position) ^ 0x10);
        QCOMPARE(s.decryptBytes(cypher), QByteArray());
        QCOMPARE(s.lastError(), Scrambler::ErrorIntegrityFailed);
    }

    void tooShortInputLeavesTheLastError()
    {
        Scrambler s(Key);
        QTest::ignoreMessage(QtWarningMsg, "Invalid version or not a cyphertext.");
        s.decryptBytes(QByteArray("\x01\x02\x03", 3));
        for (const QByteArray &input : {QByteArray(), QByteArray("\x03"), QByteArray("\x03\x02")}) {
            QCOMPARE(s.decryptBytes(input), QByteArray());
            QCOMPARE(s.lastError(), Scrambler::ErrorUnknownVersion);
        }
    }

    void withoutKeyNothingIsScrambled()
    {
        Scrambler s;
        QTest::ignoreMessage(QtWarningMsg, "No key set.");
        QCOMPARE(s.encryptText(QStringLiteral("secret")), QString());
        QCOMPARE(s.lastError(), Scrambler::ErrorNoKeySet);
        QTest::ignoreMessage(QtWarningMsg, "No key set.");
        QCOMPARE(s.decryptBytes(QByteArray("\x03\x02\x00\x00\x00", 5)), QByteArray());
        QCOMPARE(s.lastError(), Scrambler::ErrorNoKeySet);

        s.setKey(Key);
        Scrambler other(Key);
        QCOMPARE(other.decryptText(s.encryptText(QStringLiteral("secret"))), QStringLiteral("secret"));
    }

    void differentRandomBytesChangeEveryByte()
    {
        Scrambler s(Key);
        const QByteArray plain("the same password");
        const QByteArray first = s.encryptBytes(plain);
        QByteArray second;
        for (int attempt = 0; attempt < 100; ++attempt) {
            second = s.encryptBytes(plain);
            if (second.at(2) != first.at(2))
                break;
        }
        QVERIFY(second.at(2) != first.at(2));
        QCOMPARE(second.left(2), first.left(2));
        for (int i = 2; i < first.size(); ++i)
            QVERIFY2(first.at(i) != second.at(i), qPrintable(QString::number(i)));
        QCOMPARE(s.decryptBytes(first), plain);
        QCOMPARE(s.decryptBytes(second), plain);
    }
};

VELLORAN_TEST_MAIN(TestScrambler)
#include "tst_scrambler.moc"

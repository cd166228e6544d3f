#pragma once

#include <QByteArray>
#include <QString>
#include <QtEndian>
#include <cstring>

//! Little-endian bytes of a BIFF8 stream: a record is its 16-bit id, its 16-bit payload
//! length and the payload (at most MaxPayload bytes; longer data goes on in CONTINUE records).
class BiffStream {
public:
    //! The largest payload one record may carry.
    static constexpr int MaxPayload = 8224;

    //! Appends a whole record.
    void record(quint16 id, const QByteArray &payload) {
        u16(m_bytes, id);
        u16(m_bytes, quint16(payload.size()));
        m_bytes += payload;
    }
    //! Appends bytes that are already records.
    void append(const QByteArray &records) { m_bytes += records; }
    //! Absolute position of the next byte written.
    qsizetype pos() const { return m_bytes.size(); }
    const QByteArray &bytes() const { return m_bytes; }
    //! Overwrites 4 bytes at `at` (a position patched once it is known).
    void patch32(qsizetype at, quint32 value) { qToLittleEndian(value, m_bytes.data() + at); }

    static void u8(QByteArray &b, quint8 v) { b.append(char(v)); }
    static void u16(QByteArray &b, quint16 v) {
        char c[2];
        qToLittleEndian(v, c);
        b.append(c, 2);
    }
    static void u32(QByteArray &b, quint32 v) {
        char c[4];
        qToLittleEndian(v, c);
        b.append(c, 4);
    }
    static void f64(QByteArray &b, double v) {
        quint64 bits;
        std::memcpy(&bits, &v, 8);
        char c[8];
        qToLittleEndian(bits, c);
        b.append(c, 8);
    }
    //! True when every character fits in one byte (a "compressed" BIFF8 string).
    static bool isNarrow(const QString &s) {
        for (QChar c : s)
            if (c.unicode() > 0xFF) return false;
        return true;
    }
    //! Characters of `s` from `from`, `count` of them: one byte each when narrow, else UTF-16LE.
    static void chars(QByteArray &b, const QString &s, qsizetype from, qsizetype count, bool narrow) {
        for (qsizetype i = from; i < from + count; ++i) {
            const char16_t c = s.at(i).unicode();
            narrow ? u8(b, quint8(c)) : u16(b, c);
        }
    }
    //! A string with an 8-bit length (sheet and font names).
    static void shortString(QByteArray &b, const QString &s) {
        const bool narrow = isNarrow(s);
        u8(b, quint8(s.size()));
        u8(b, narrow ? 0 : 1);
        chars(b, s, 0, s.size(), narrow);
    }
    //! A string with a 16-bit length (number formats).
    static void longString(QByteArray &b, const QString &s) {
        const bool narrow = isNarrow(s);
        u16(b, quint16(s.size()));
        u8(b, narrow ? 0 : 1);
        chars(b, s, 0, s.size(), narrow);
    }

private:
    QByteArray m_bytes;
};

#include "SharedStrings.h"

#include "BiffRecordIds.h"

#include <QVector>
#include <algorithm>

quint32 SharedStrings::add(const QString &text) {
    ++m_references;
    const auto it = m_index.constFind(text);
    if (it != m_index.cend()) return *it;
    const auto index = quint32(m_strings.size());
    m_index.insert(text, index);
    m_strings.append(text);
    return index;
}

void SharedStrings::write(BiffStream &out) const {
    // Every dsst-th string is indexed in EXTSST by its stream position, so a reader can seek;
    // at most 128 buckets keep that record small.
    const qsizetype unique = m_strings.size();
    const int dsst = int(std::max<qsizetype>(8, (unique + 127) / 128));
    struct Bucket {
        quint32 position;
        quint16 offsetInRecord;
    };
    QVector<Bucket> buckets;

    QByteArray payload;
    BiffStream::u32(payload, m_references);
    BiffStream::u32(payload, quint32(unique));
    quint16 id = BiffId::Sst;
    auto flush = [&] {
        out.record(id, payload);
        payload.clear();
        id = BiffId::Continue;
    };

    for (qsizetype i = 0; i < unique; ++i) {
        const QString &s = m_strings.at(i);
        const bool narrow = BiffStream::isNarrow(s);
        const int charSize = narrow ? 1 : 2;
        // A string's 3-byte header is never split from its first character.
        if (payload.size() + 3 + (s.isEmpty() ? 0 : charSize) > BiffStream::MaxPayload) flush();
        if (i % dsst == 0)
            buckets.append({quint32(out.pos() + 4 + payload.size()), quint16(4 + payload.size())});
        BiffStream::u16(payload, quint16(s.size()));
        BiffStream::u8(payload, narrow ? 0 : 1);
        qsizetype done = 0;
        for (;;) {
            const qsizetype room = (BiffStream::MaxPayload - payload.size()) / charSize;
            const qsizetype n = std::min(room, s.size() - done);
            BiffStream::chars(payload, s, done, n, narrow);
            done += n;
            if (done == s.size()) break;
            // The characters go on in a CONTINUE record that restates their width.
            flush();
            BiffStream::u8(payload, narrow ? 0 : 1);
        }
    }
    flush();

    QByteArray ext;
    BiffStream::u16(ext, quint16(dsst));
    for (const Bucket &b : buckets) {
        BiffStream::u32(ext, b.position);
        BiffStream::u16(ext, b.offsetInRecord);
        BiffStream::u16(ext, 0);
    }
    out.record(BiffId::ExtSst, ext);
}

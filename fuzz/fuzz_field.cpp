// Text assigned to a fixed-width field: always exactly N bytes, the text's leading whole
// characters and then spaces, never half a two-byte character.
//
// Input: one byte for the width (1 to 80), then UTF-16 code units as typed or pasted, lone
// surrogates included.

#include "fuzz/FuzzCheck.h"
#include "store/PetRecord.h"
#include "store/Sjis.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstring>

namespace {

bool isLead(char byte)
{
    return Sjis::isLeadByte(static_cast<unsigned char>(byte));
}

// The longest run of whole characters at the start of `bytes` that fits in `width`.
qsizetype wholeCharacters(const QByteArray& bytes, int width)
{
    qsizetype end = 0;
    while (end < bytes.size()) {
        const qsizetype next = end + (isLead(bytes[end]) ? 2 : 1);
        if (next > width || next > bytes.size())
            break;
        end = next;
    }
    return end;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const int width = 1 + data[0] % 80;
    QString text(qsizetype((size - 1) / 2), Qt::Uninitialized);
    std::memcpy(text.data(), data + 1, std::size_t(text.size()) * 2);

    const QByteArray field = Sjis::fitField(text, width);
    FUZZ_CHECK(field.size() == width);
    // Walking the field character by character ends exactly at its end.
    qsizetype at = 0;
    while (at < width)
        at += isLead(field[at]) ? 2 : 1;
    FUZZ_CHECK(at == width);
    const QByteArray encoded = Sjis::encode(text);
    const qsizetype kept = wholeCharacters(encoded, width);
    FUZZ_CHECK(field.left(kept) == encoded.left(kept));
    FUZZ_CHECK(field.mid(kept) == QByteArray(width - kept, ' '));
    (void)Sjis::fieldText(field);
    (void)Sjis::shownText(field);

    // A record's fields hold the same bytes.
    TextField<30> kind;
    setText(kind, text);
    FUZZ_CHECK(QByteArray(kind.data(), 30) == Sjis::fitField(text, 30));
    TextField<10> sex;
    setText(sex, text);
    FUZZ_CHECK(QByteArray(sex.data(), 10) == Sjis::fitField(text, 10));
    return 0;
}

// Numbers read from typed text: record numbers and birth-date parts (readNumber and the integer
// conversions), weights (readWeight), and a weight written as text and read back.

#include "fuzz/FuzzCheck.h"
#include "store/Failure.h"
#include "store/Numbers.h"
#include "store/RecordFile.h"

#include <QString>

#include <cfloat>
#include <cmath>
#include <cstdint>

namespace {

const QString Overflow = QStringLiteral("オーバーフローしました。");
const QString TypeMismatch = QStringLiteral("型が一致しません。");

void integers(double value)
{
    try {
        const qint16 small = Numbers::toInt16(value);
        FUZZ_CHECK(std::fabs(small - value) <= 0.5);
    } catch (const Failure& f) {
        FUZZ_CHECK(f.description() == Overflow);
        FUZZ_CHECK(!(value > -32768.5 && value < 32767.5));
    }
    try {
        const qint32 large = Numbers::toInt32(value);
        FUZZ_CHECK(std::fabs(large - value) <= 0.5);
    } catch (const Failure& f) {
        FUZZ_CHECK(f.description() == Overflow);
        FUZZ_CHECK(!(value > -2147483648.5 && value < 2147483647.5));
    }
}

void weight(const QString& text)
{
    float value = 0;
    try {
        value = Numbers::readWeight(text);
    } catch (const Failure& f) {
        FUZZ_CHECK(f.description() == TypeMismatch || f.description() == Overflow);
        return;
    }
    FUZZ_CHECK(std::isfinite(value));
    // Seven significant digits bring the weight back to within a rounding of the last digit, as a
    // weight and as a number.
    const QString written = Numbers::formatFloat(value);
    const double number = Numbers::readNumber(written);
    const float reread = Numbers::readWeight(written);
    FUZZ_CHECK(std::fabs(number - value) <= std::fabs(value) * 1e-6 || std::fabs(value) < FLT_MIN);
    FUZZ_CHECK(std::fabs(reread - value) <= std::fabs(value) * 1e-6f || std::fabs(value) < FLT_MIN);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const double value = Numbers::readNumber(text);
        FUZZ_CHECK(std::isfinite(value));
        integers(value);
    } catch (const Failure& f) {
        FUZZ_CHECK(f.description() == Overflow);
    }
    bool converts = true;
    qint32 number = 0;
    try {
        number = readRecordNumber(text);
    } catch (const Failure& f) {
        FUZZ_CHECK(f.description() == Overflow);
        converts = false;
    }
    FUZZ_CHECK(isValidRecordNumber(text) == (converts && number >= 1 && number <= RecordFile::MaxRecords));
    weight(text);
    return 0;
}

#include "OstrelKit/Updater/UpdateLogic.h"

#include <QStringList>
#include <gnu/libc-version.h>
#include <sodium.h>

namespace dormio {

namespace {

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Compares two runs of ASCII digits by value without converting them, so no length overflows.
int compareNumbers(QStringView a, QStringView b) {
    while (a.size() > 1 && a.front() == u'0')
        a = a.mid(1);
    while (b.size() > 1 && b.front() == u'0')
        b = b.mid(1);
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

qsizetype digitRunEnd(QStringView text, qsizetype from) {
    while (from < text.size() && isDigit(text[from]))
        ++from;
    return from;
}

int compareNumerically(QStringView a, QStringView b) {
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            const qsizetype endA = digitRunEnd(a, i), endB = digitRunEnd(b, j);
            if (const int order = compareNumbers(a.sliced(i, endA - i), b.sliced(j, endB - j))) return order;
            i = endA;
            j = endB;
            continue;
        }
        if (a[i] != b[j]) return a[i] < b[j] ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

// Standard base64 with padding and nothing else in it, decoding to exactly `size` bytes. The text's
// length is checked first, so nothing oversized ever reaches the decoder.
std::optional<QByteArray> strictBase64(const QString& text, size_t size) {
    const size_t encodedSize = sodium_base64_ENCODED_LEN(size, sodium_base64_VARIANT_ORIGINAL) - 1;
    if (size_t(text.size()) != encodedSize) return std::nullopt;
    const QByteArray ascii = text.toLatin1();
    QByteArray bytes(qsizetype(size), '\0');
    size_t decoded = 0;
    if (sodium_base642bin(reinterpret_cast<unsigned char*>(bytes.data()), size, ascii.constData(),
                          size_t(ascii.size()), nullptr, &decoded, nullptr,
                          sodium_base64_VARIANT_ORIGINAL) != 0 ||
        decoded != size)
        return std::nullopt;
    return bytes;
}

} // namespace

SystemVersion SystemVersion::read(const QString& dotted) {
    int numbers[3] = {0, 0, 0};
    int count = 0;
    for (const QString& piece : dotted.split(u'.', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int number = piece.toInt(&ok, 10);
        if (!ok || piece != piece.trimmed()) continue;
        numbers[count++] = number;
        if (count == 3) break;
    }
    return {numbers[0], numbers[1], numbers[2]};
}

SystemVersion SystemVersion::running() {
    return read(QString::fromLatin1(gnu_get_libc_version()));
}

namespace UpdateLogic {

bool isNewer(const QString& candidate, const QString& current) {
    return compareNumerically(candidate, current) > 0;
}

bool systemSupports(const std::optional<QString>& minimum, SystemVersion system) {
    if (!minimum || minimum->isEmpty()) return true;
    return system >= SystemVersion::read(*minimum);
}

bool verify(const QByteArray& data, const QString& signature, const QString& publicKey) {
    const auto signatureBytes = strictBase64(signature, crypto_sign_BYTES);
    const auto keyBytes = strictBase64(publicKey, crypto_sign_PUBLICKEYBYTES);
    if (!signatureBytes || !keyBytes || sodium_init() < 0) return false;
    return crypto_sign_verify_detached(reinterpret_cast<const unsigned char*>(signatureBytes->constData()),
                                       reinterpret_cast<const unsigned char*>(data.constData()),
                                       size_t(data.size()),
                                       reinterpret_cast<const unsigned char*>(keyBytes->constData())) == 0;
}

} // namespace UpdateLogic

} // namespace dormio

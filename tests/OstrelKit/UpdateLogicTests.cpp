#include "OstrelKit/Updater/UpdateLogic.h"

#include <QByteArray>
#include <gnu/libc-version.h>
#include <gtest/gtest.h>
#include <sodium.h>

namespace dormio {
namespace {

TEST(UpdateLogic, IsNewerComparesNumbersByValue) {
    struct Case {
        const char* candidate;
        const char* current;
        bool newer;
    };
    const Case cases[] = {
        {"1.10", "1.9", true},
        {"2.0", "2.0", false},
        {"1.0.1", "1.0", true},
        {"1.0.0", "1.0", true},
        {"1.9", "1.10", false},
        {"1.0", "1.0.0", false},
        {"2.0", "10.0", false},
        {"10.0", "9.99", true},
        {"2.1.0b", "2.1.0a", true},
        {"2.1.0", "2.1.0-beta", false},
        {"1.99999999999999999999999", "1.9999999999999999999999", true}, // no overflow in long runs
        {"1.01", "1.1", false},
        {"1.1", "1.01", false}, // leading zeros: the same number
        {"", "1.0", false},
        {"1.0", "", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UpdateLogic::isNewer(c.candidate, c.current), c.newer)
            << c.candidate << " vs " << c.current;
}

TEST(UpdateLogic, SystemSupportsReadsTheMinimumLeniently) {
    struct Case {
        std::optional<QString> minimum;
        SystemVersion system;
        bool supported;
    };
    const Case cases[] = {
        {std::nullopt, {0, 0, 0}, true},
        {"", {0, 0, 0}, true},
        {"14", {14, 0, 0}, true},
        {"14.4", {14, 3, 1}, false},
        {"13.5.2", {14, 0, 0}, true},
        {"14.2.1.7", {14, 2, 1}, true}, // read as 14.2.1
        {"14.2.1.7", {14, 2, 0}, false},
        {"14..2", {14, 2, 0}, true}, // read as 14.2
        {"14..2", {14, 1, 9}, false},
        {"14.x.1", {14, 1, 0}, true}, // read as 14.1
        {"14.x.1", {14, 0, 9}, false},
        {"beta", {0, 0, 0}, true}, // no digits: 0.0.0, met by every system
        {"2.36", {2, 36, 0}, true},
        {"2.37", {2, 36, 0}, false},
        {" 2.40", {2, 36, 0}, false},                // " 2" is no number and drops out: read as 40
        {"99999999999999999999.1", {1, 0, 0}, true}, // out of range: dropped, read as 1
    };
    for (const Case& c : cases)
        EXPECT_EQ(UpdateLogic::systemSupports(c.minimum, c.system), c.supported)
            << c.minimum.value_or("(none)").toStdString() << " on " << c.system.major << "." << c.system.minor
            << "." << c.system.patch;
}

TEST(UpdateLogic, TheRunningSystemIsTheCLibrary) {
    EXPECT_EQ(SystemVersion::running(), SystemVersion::read(gnu_get_libc_version()));
    EXPECT_GE(SystemVersion::running().major, 2);
}

class Verify : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_GE(sodium_init(), 0);
        unsigned char publicKey[crypto_sign_PUBLICKEYBYTES];
        unsigned char secretKey[crypto_sign_SECRETKEYBYTES];
        crypto_sign_keypair(publicKey, secretKey);
        unsigned char signature[crypto_sign_BYTES];
        crypto_sign_detached(signature, nullptr, reinterpret_cast<const unsigned char*>(data.constData()),
                             size_t(data.size()), secretKey);
        key =
            QString::fromLatin1(QByteArray(reinterpret_cast<char*>(publicKey), sizeof publicKey).toBase64());
        sig =
            QString::fromLatin1(QByteArray(reinterpret_cast<char*>(signature), sizeof signature).toBase64());
    }

    const QByteArray data = "the archive's bytes";
    QString key;
    QString sig;
};

TEST_F(Verify, AcceptsTheSignatureOverTheSameBytesOnly) {
    EXPECT_TRUE(UpdateLogic::verify(data, sig, key));
    EXPECT_FALSE(UpdateLogic::verify(data + "!", sig, key));
    QByteArray tampered = data;
    tampered[3] = char(tampered[3] ^ 1);
    EXPECT_FALSE(UpdateLogic::verify(tampered, sig, key));
}

TEST_F(Verify, RefusesMalformedSignaturesAndKeysWithoutTrying) {
    const QByteArray keyBytes = QByteArray::fromBase64(key.toLatin1());
    const QByteArray sigBytes = QByteArray::fromBase64(sig.toLatin1());
    const auto b64 = [](const QByteArray& bytes) { return QString::fromLatin1(bytes.toBase64()); };
    const std::pair<QString, QString> cases[] = {
        {sig.left(40) + "\n" + sig.mid(40), key},  // a line break
        {sig, key.left(20) + " " + key.mid(20)},   // a space
        {sig.chopped(2), key},                     // padding missing
        {sig, QString(key).replace(43, 1, "A")},   // padding replaced
        {sig, b64(keyBytes.left(31))},             // 31-byte key
        {sig, b64(keyBytes + 'x')},                // 33-byte key
        {b64(sigBytes.left(63)), key},             // 63-byte signature
        {b64(sigBytes + 'x'), key},                // 65-byte signature
        {QString(sig).replace(0, 1, "*"), key},    // outside the alphabet
        {QString(sig).replace(4, 4, "-_-_"), key}, // the URL-safe alphabet
        {"", ""},
        {sig, QString(100000, u'A')}, // oversized
    };
    for (const auto& [signature, publicKey] : cases)
        EXPECT_FALSE(UpdateLogic::verify(data, signature, publicKey))
            << signature.toStdString() << " / " << publicKey.toStdString();
}

TEST_F(Verify, RefusesBase64WithBitsLeftOver) {
    // The last character before "=" carries bits beyond the 32 bytes: the same key written another way.
    QString noncanonical = key;
    const QByteArray alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const qsizetype last = alphabet.indexOf(key.at(42).toLatin1());
    noncanonical[42] = QChar(alphabet.at((last & ~3) | ((last & 3) ^ 1)));
    ASSERT_EQ(QByteArray::fromBase64(noncanonical.toLatin1()), QByteArray::fromBase64(key.toLatin1()));
    EXPECT_FALSE(UpdateLogic::verify(data, sig, noncanonical));
}

} // namespace
} // namespace dormio

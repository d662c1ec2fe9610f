#include "updater/SetupSignature.h"

#include <bcrypt.h>

#include <cstring>
#include <vector>

#include "base/ScopedHandles.h"
#include "updater/SigningKey.h"

namespace tarnock::updater {

namespace {

bool Succeeded(NTSTATUS status) { return status >= 0; }

std::string_view TrimLineEnds(std::string_view text) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

template <size_t N>
std::optional<std::array<unsigned char, N>> ParseHex(std::string_view text) {
    text = TrimLineEnds(text);
    std::array<unsigned char, N> bytes{};
    if (text.size() != N * 2) return std::nullopt;
    for (size_t i = 0; i < N; ++i) {
        const int high = HexValue(text[2 * i]);
        const int low = HexValue(text[2 * i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes[i] = static_cast<unsigned char>(high * 16 + low);
    }
    return bytes;
}

// A version as the statement carries it: 1 to 4 numbers joined by single dots.
bool IsPlainVersion(std::string_view text) {
    int parts = 0;
    size_t digits = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            if (++digits > 5) return false;
            continue;
        }
        if (c != '.' || digits == 0) return false;
        digits = 0;
        ++parts;
    }
    return digits > 0 && parts < 4;
}

class Sha256 {
public:
    Sha256() {
        if (Succeeded(BCryptOpenAlgorithmProvider(algorithm_.Put(), BCRYPT_SHA256_ALGORITHM, nullptr, 0)))
            BCryptCreateHash(algorithm_.Get(), hash_.Put(), nullptr, 0, nullptr, 0, 0);
    }
    bool Add(const void* data, ULONG size) {
        return hash_ && Succeeded(BCryptHashData(hash_.Get(), static_cast<PUCHAR>(const_cast<void*>(data)), size, 0));
    }
    std::optional<Sha256Digest> Finish() {
        Sha256Digest digest{};
        if (!hash_ || !Succeeded(BCryptFinishHash(hash_.Get(), digest.data(), static_cast<ULONG>(digest.size()), 0)))
            return std::nullopt;
        return digest;
    }

private:
    ScopedCryptAlgorithm algorithm_;  // declared first: the hash closes before its provider
    ScopedCryptHash hash_;
};

}  // namespace

std::optional<Signature> ParseSignatureHex(std::string_view text) { return ParseHex<64>(text); }
std::optional<Sha256Digest> ParseSha256Hex(std::string_view text) { return ParseHex<32>(text); }

std::optional<std::uint64_t> ParseFileSize(std::string_view text) {
    text = TrimLineEnds(text);
    if (text.empty() || text.size() > 19) return std::nullopt;  // 19 digits always fit in 64 bits
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (value == 0) return std::nullopt;
    return value;
}

std::optional<SignedOffer> ParseOffer(std::string_view version, std::string_view architecture,
                                      std::string_view fileSize, std::string_view sha256,
                                      std::string_view signature) {
    SignedOffer offer;
    offer.version = std::string(TrimLineEnds(version));
    offer.architecture = std::string(TrimLineEnds(architecture));
    if (!IsPlainVersion(offer.version)) return std::nullopt;
    if (offer.architecture != "x64" && offer.architecture != "x86") return std::nullopt;
    const std::optional<std::uint64_t> size = ParseFileSize(fileSize);
    const std::optional<Sha256Digest> digest = ParseSha256Hex(sha256);
    const std::optional<Signature> parsedSignature = ParseSignatureHex(signature);
    if (!size || !digest || !parsedSignature) return std::nullopt;
    offer.size = *size;
    offer.sha256 = *digest;
    offer.signature = *parsedSignature;
    return offer;
}

std::string OfferStatement(const SignedOffer& offer) {
    static const char kHex[] = "0123456789abcdef";
    std::string hash;
    for (unsigned char byte : offer.sha256) {
        hash += kHex[byte >> 4];
        hash += kHex[byte & 15];
    }
    return "Tarnock-Setup\nVersion=" + offer.version + "\nArch=" + offer.architecture +
           "\nFileSize=" + std::to_string(offer.size) + "\nSHA256=" + hash + "\n";
}

bool VerifyOfferSignature(const SignedOffer& offer, const PublicKey& key) {
    const std::optional<Sha256Digest> digest = Sha256Of(OfferStatement(offer));
    return digest && VerifyDigestSignature(key, *digest, offer.signature);
}

std::optional<Sha256Digest> Sha256Of(std::string_view bytes) {
    Sha256 hash;
    if (!hash.Add(bytes.data(), static_cast<ULONG>(bytes.size()))) return std::nullopt;
    return hash.Finish();
}

std::optional<FileDigest> HashOpenFile(HANDLE file) {
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return std::nullopt;
    Sha256 hash;
    FileDigest result;
    std::vector<unsigned char> buffer(64 * 1024);
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr)) return std::nullopt;
        if (read == 0) break;
        if (!hash.Add(buffer.data(), read)) return std::nullopt;
        result.size += read;
    }
    const std::optional<Sha256Digest> digest = hash.Finish();
    if (!digest) return std::nullopt;
    result.digest = *digest;
    return result;
}

bool FileMatchesOffer(HANDLE file, const SignedOffer& offer) {
    const std::optional<FileDigest> digest = HashOpenFile(file);
    return digest && digest->size == offer.size && digest->digest == offer.sha256;
}

bool VerifyDigestSignature(const PublicKey& key, const Sha256Digest& digest, const Signature& signature) {
    ScopedCryptAlgorithm algorithm;
    if (!Succeeded(BCryptOpenAlgorithmProvider(algorithm.Put(), BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0)))
        return false;
    unsigned char blob[sizeof(BCRYPT_ECCKEY_BLOB) + sizeof(PublicKey)] = {};
    BCRYPT_ECCKEY_BLOB header{};
    header.dwMagic = BCRYPT_ECDSA_PUBLIC_P256_MAGIC;
    header.cbKey = 32;
    std::memcpy(blob, &header, sizeof(header));
    std::memcpy(blob + sizeof(header), key.data(), key.size());
    ScopedCryptKey imported;
    if (!Succeeded(BCryptImportKeyPair(algorithm.Get(), nullptr, BCRYPT_ECCPUBLIC_BLOB, imported.Put(), blob,
                                       sizeof(blob), 0)))
        return false;
    // bcrypt takes non-const buffers but only reads them.
    Sha256Digest hashCopy = digest;
    Signature signatureCopy = signature;
    return BCryptVerifySignature(imported.Get(), nullptr, hashCopy.data(), static_cast<ULONG>(hashCopy.size()),
                                 signatureCopy.data(), static_cast<ULONG>(signatureCopy.size()), 0) == 0;
}

const PublicKey& BuiltInSigningKey() {
    static const PublicKey key = [] {
        PublicKey k{};
        std::memcpy(k.data(), kSigningPublicKey, k.size());
        return k;
    }();
    return key;
}

}  // namespace tarnock::updater

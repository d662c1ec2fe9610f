#include "updater/SetupSignature.h"

#include <bcrypt.h>

#include <cstring>
#include <vector>

#include "base/ScopedHandles.h"
#include "updater/SigningKey.h"

namespace tarnock::updater {

namespace {

struct AlgorithmTraits {
    using Handle = BCRYPT_ALG_HANDLE;
    static Handle Empty() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { BCryptCloseAlgorithmProvider(h, 0); }
};
struct KeyHandleTraits {
    using Handle = BCRYPT_KEY_HANDLE;
    static Handle Empty() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { BCryptDestroyKey(h); }
};
struct HashTraits {
    using Handle = BCRYPT_HASH_HANDLE;
    static Handle Empty() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { BCryptDestroyHash(h); }
};
using ScopedAlgorithm = UniqueHandle<AlgorithmTraits>;
using ScopedCryptKey = UniqueHandle<KeyHandleTraits>;
using ScopedHash = UniqueHandle<HashTraits>;

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

}  // namespace

std::optional<Signature> ParseSignatureHex(std::string_view text) {
    text = TrimLineEnds(text);
    Signature signature{};
    if (text.size() != signature.size() * 2) return std::nullopt;
    for (size_t i = 0; i < signature.size(); ++i) {
        const int high = HexValue(text[2 * i]);
        const int low = HexValue(text[2 * i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        signature[i] = static_cast<unsigned char>(high * 16 + low);
    }
    return signature;
}

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

std::optional<FileDigest> HashFile(const std::string& path) {
    ScopedHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return std::nullopt;
    ScopedAlgorithm algorithm;
    if (!Succeeded(BCryptOpenAlgorithmProvider(algorithm.Put(), BCRYPT_SHA256_ALGORITHM, nullptr, 0)))
        return std::nullopt;
    ScopedHash hash;
    if (!Succeeded(BCryptCreateHash(algorithm.Get(), hash.Put(), nullptr, 0, nullptr, 0, 0))) return std::nullopt;
    FileDigest result;
    std::vector<unsigned char> buffer(64 * 1024);
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr))
            return std::nullopt;
        if (read == 0) break;
        if (!Succeeded(BCryptHashData(hash.Get(), buffer.data(), read, 0))) return std::nullopt;
        result.size += read;
    }
    if (!Succeeded(BCryptFinishHash(hash.Get(), result.digest.data(), static_cast<ULONG>(result.digest.size()), 0)))
        return std::nullopt;
    return result;
}

bool VerifyDigestSignature(const PublicKey& key, const Sha256Digest& digest, const Signature& signature) {
    ScopedAlgorithm algorithm;
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

bool VerifySetupFile(const std::string& path, std::uint64_t expectedSize, const Signature& signature,
                     const PublicKey& key) {
    if (expectedSize == 0) return false;
    const std::optional<FileDigest> digest = HashFile(path);
    if (!digest || digest->size != expectedSize) return false;
    return VerifyDigestSignature(key, digest->digest, signature);
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

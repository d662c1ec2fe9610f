// Verification of a downloaded setup program: its size and an ECDSA P-256 signature over
// the SHA-256 of the whole file, checked with the system's own cryptography (bcrypt).
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarnock::updater {

using PublicKey = std::array<unsigned char, 64>;   // X || Y
using Signature = std::array<unsigned char, 64>;   // r || s
using Sha256Digest = std::array<unsigned char, 32>;

// 128 hex digits (either case); blanks, carriage returns and line feeds around them are
// ignored. Anything else gives nothing.
std::optional<Signature> ParseSignatureHex(std::string_view text);

// A byte count written in decimal digits only (surrounding blanks, carriage returns and
// line feeds ignored), at least 1. Anything else, overflow included, gives nothing.
std::optional<std::uint64_t> ParseFileSize(std::string_view text);

// SHA-256 of the file's contents and its length; nothing when it cannot be read.
struct FileDigest {
    Sha256Digest digest{};
    std::uint64_t size = 0;
};
std::optional<FileDigest> HashFile(const std::string& path);

// True only for a valid signature of `digest` under `key`.
bool VerifyDigestSignature(const PublicKey& key, const Sha256Digest& digest, const Signature& signature);

// The whole check: the file is exactly `expectedSize` bytes and signed by `key`.
bool VerifySetupFile(const std::string& path, std::uint64_t expectedSize, const Signature& signature,
                     const PublicKey& key);

// The key built into this program.
const PublicKey& BuiltInSigningKey();

}  // namespace tarnock::updater

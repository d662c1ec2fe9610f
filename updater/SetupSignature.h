// The signed offer of a setup program. The version page carries the setup's version,
// architecture, size and SHA-256 and an ECDSA P-256 signature over the statement
//
//     Tarnock-Setup\nVersion=<version>\nArch=<x64|x86>\nFileSize=<bytes>\nSHA256=<64 hex>\n
//
// (LF line ends, the hash in lower case). Only the whole statement is signed, so no field
// can be taken from one signed release and combined with another. Checked with the
// system's own cryptography (bcrypt).
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

// The architecture this updater installs for: the setup of the other one is refused.
#if defined(_WIN64)
inline constexpr char kThisArchitecture[] = "x64";
#else
inline constexpr char kThisArchitecture[] = "x86";
#endif

// Largest setup program accepted; a signed size above it is refused before any download.
inline constexpr std::uint64_t kMaxSetupSize = 256ull * 1024 * 1024;

// The fields of an offer as the version page gives them (blanks and line ends around each
// value removed), parsed strictly.
struct SignedOffer {
    std::string version;
    std::string architecture;
    std::uint64_t size = 0;
    Sha256Digest sha256{};
    Signature signature{};
};

// 128 hex digits (either case); blanks, carriage returns and line feeds around them are
// ignored. Anything else gives nothing.
std::optional<Signature> ParseSignatureHex(std::string_view text);
// 64 hex digits, the same way.
std::optional<Sha256Digest> ParseSha256Hex(std::string_view text);

// A byte count written in decimal digits only (surrounding blanks, carriage returns and
// line feeds ignored), at least 1. Anything else, overflow included, gives nothing.
std::optional<std::uint64_t> ParseFileSize(std::string_view text);

// All five values present and well-formed (the size may still be above the limit);
// nothing otherwise.
std::optional<SignedOffer> ParseOffer(std::string_view version, std::string_view architecture,
                                      std::string_view fileSize, std::string_view sha256,
                                      std::string_view signature);

// The text the signature covers.
std::string OfferStatement(const SignedOffer& offer);

// True only when the offer's signature is valid for its statement under `key`.
bool VerifyOfferSignature(const SignedOffer& offer, const PublicKey& key);

// SHA-256 of a byte string; nothing when the system cannot compute it.
std::optional<Sha256Digest> Sha256Of(std::string_view bytes);

// SHA-256 and length of an open file's contents from its start; nothing on a read error.
struct FileDigest {
    Sha256Digest digest{};
    std::uint64_t size = 0;
};
std::optional<FileDigest> HashOpenFile(HANDLE file);

// True when the open file is exactly the offered setup (size and hash).
bool FileMatchesOffer(HANDLE file, const SignedOffer& offer);

// True only for a valid signature of `digest` under `key`.
bool VerifyDigestSignature(const PublicKey& key, const Sha256Digest& digest, const Signature& signature);

// The key built into this program.
const PublicKey& BuiltInSigningKey();

}  // namespace tarnock::updater

// Key derivation and AES-256-GCM from CNG, loaded when a strong file is first
// read or written.
#include <windows.h>
#include <bcrypt.h>

#include <climits>

#include "platform/crypto.h"
#include "platform/lazy_function.h"

namespace platform {
namespace {

// mingw-w64's headers lack it.
constexpr NTSTATUS kAuthTagMismatch = static_cast<NTSTATUS>(0xC000A002);

template <typename Function>
Function* load(const char* name) {
    Function* function = lazyFunction<Function>(L"bcrypt.dll", name);
    if (!function) throw CryptoError();
    return function;
}

// The functions of CNG that are used, loaded together at the first use.
struct Cng {
    decltype(BCryptOpenAlgorithmProvider)* openAlgorithm =
        load<decltype(BCryptOpenAlgorithmProvider)>("BCryptOpenAlgorithmProvider");
    decltype(BCryptCloseAlgorithmProvider)* closeAlgorithm =
        load<decltype(BCryptCloseAlgorithmProvider)>("BCryptCloseAlgorithmProvider");
    decltype(BCryptSetProperty)* setProperty =
        load<decltype(BCryptSetProperty)>("BCryptSetProperty");
    decltype(BCryptGenerateSymmetricKey)* generateKey =
        load<decltype(BCryptGenerateSymmetricKey)>("BCryptGenerateSymmetricKey");
    decltype(BCryptDestroyKey)* destroyKey = load<decltype(BCryptDestroyKey)>("BCryptDestroyKey");
    decltype(BCryptEncrypt)* encrypt = load<decltype(BCryptEncrypt)>("BCryptEncrypt");
    decltype(BCryptDecrypt)* decrypt = load<decltype(BCryptDecrypt)>("BCryptDecrypt");
    decltype(BCryptDeriveKeyPBKDF2)* derive =
        load<decltype(BCryptDeriveKeyPBKDF2)>("BCryptDeriveKeyPBKDF2");
};

// Throws CryptoError when CNG or one of its functions is missing.
const Cng& cng() {
    static const Cng functions;
    return functions;
}

void check(NTSTATUS status) {
    if (!BCRYPT_SUCCESS(status)) throw CryptoError();
}

ULONG sizeOf(std::size_t size) {
    if (size > ULONG_MAX / 2) throw CryptoError();
    return static_cast<ULONG>(size);
}

// CNG takes its inputs through non-const pointers without writing to them.
PUCHAR bytesOf(std::string_view text) {
    return reinterpret_cast<PUCHAR>(const_cast<char*>(text.data()));
}

class Algorithm {
public:
    Algorithm(const wchar_t* name, ULONG flags) {
        check(cng().openAlgorithm(&handle_, name, nullptr, flags));
    }
    ~Algorithm() { cng().closeAlgorithm(handle_, 0); }
    Algorithm(const Algorithm&) = delete;
    Algorithm& operator=(const Algorithm&) = delete;
    BCRYPT_ALG_HANDLE handle() const { return handle_; }

private:
    BCRYPT_ALG_HANDLE handle_ = nullptr;
};

// An AES-256 key in GCM mode.
class GcmKey {
public:
    explicit GcmKey(const SecretBytes& key) : aes_(BCRYPT_AES_ALGORITHM, 0) {
        if (key.size() != kAesKeySize) throw CryptoError();
        check(
            cng().setProperty(aes_.handle(), BCRYPT_CHAINING_MODE,
                              reinterpret_cast<PUCHAR>(const_cast<wchar_t*>(BCRYPT_CHAIN_MODE_GCM)),
                              sizeof(BCRYPT_CHAIN_MODE_GCM), 0));
        check(cng().generateKey(aes_.handle(), &handle_, nullptr, 0, const_cast<PUCHAR>(key.data()),
                                sizeOf(key.size()), 0));
    }
    ~GcmKey() { cng().destroyKey(handle_); }
    GcmKey(const GcmKey&) = delete;
    GcmKey& operator=(const GcmKey&) = delete;
    BCRYPT_KEY_HANDLE handle() const { return handle_; }

private:
    Algorithm aes_;
    BCRYPT_KEY_HANDLE handle_ = nullptr;
};

BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO modeInfo(std::string_view nonce, std::string_view associated,
                                               PUCHAR tag) {
    if (nonce.size() != kGcmNonceSize) throw CryptoError();
    BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info;
    BCRYPT_INIT_AUTH_MODE_INFO(info);
    info.pbNonce = bytesOf(nonce);
    info.cbNonce = sizeOf(nonce.size());
    info.pbAuthData = associated.empty() ? nullptr : bytesOf(associated);
    info.cbAuthData = sizeOf(associated.size());
    info.pbTag = tag;
    info.cbTag = kGcmTagSize;
    return info;
}

}  // namespace

SecretBytes deriveKeyPbkdf2Sha256(std::string_view password, std::string_view salt,
                                  std::uint32_t iterations, std::size_t length) {
    const Algorithm hmac(BCRYPT_SHA256_ALGORITHM, BCRYPT_ALG_HANDLE_HMAC_FLAG);
    SecretBytes key(length);
    // An empty password is passed by a valid pointer all the same.
    const char none = 0;
    check(cng().derive(hmac.handle(),
                       bytesOf(password.empty() ? std::string_view(&none, 0) : password),
                       sizeOf(password.size()), bytesOf(salt), sizeOf(salt.size()), iterations,
                       key.data(), sizeOf(length), 0));
    return key;
}

std::string sealAesGcm(const SecretBytes& key, std::string_view nonce, std::string_view associated,
                       std::string_view plain) {
    const GcmKey gcm(key);
    std::string sealed(plain.size() + kGcmTagSize, '\0');
    auto* out = reinterpret_cast<PUCHAR>(sealed.data());
    BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info = modeInfo(nonce, associated, out + plain.size());
    ULONG written = 0;
    check(cng().encrypt(gcm.handle(), bytesOf(plain), sizeOf(plain.size()), &info, nullptr, 0, out,
                        sizeOf(plain.size()), &written, 0));
    if (written != plain.size()) throw CryptoError();
    return sealed;
}

// Wine writes the plain text out before it checks the tag: the buffer is
// wiped by SecretBytes whatever the answer.
std::optional<SecretBytes> openAesGcm(const SecretBytes& key, std::string_view nonce,
                                      std::string_view associated, std::string_view sealed) {
    if (sealed.size() < kGcmTagSize) return std::nullopt;
    const std::string_view cipher = sealed.substr(0, sealed.size() - kGcmTagSize);
    std::string tag(sealed.substr(cipher.size()));
    const GcmKey gcm(key);
    BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info =
        modeInfo(nonce, associated, reinterpret_cast<PUCHAR>(tag.data()));
    SecretBytes plain(cipher.size() + 1);  // never empty, so data() is never null
    ULONG written = 0;
    const NTSTATUS status =
        cng().decrypt(gcm.handle(), bytesOf(cipher), sizeOf(cipher.size()), &info, nullptr, 0,
                      plain.data(), sizeOf(cipher.size()), &written, 0);
    if (status == kAuthTagMismatch) return std::nullopt;
    check(status);
    if (written != cipher.size()) throw CryptoError();
    plain.resize(cipher.size());
    return plain;
}

}  // namespace platform

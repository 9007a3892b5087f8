// Key derivation and AES-256-GCM for the native tests, from OpenSSL.
#include <openssl/evp.h>

#include <climits>
#include <memory>

#include "platform/crypto.h"

namespace platform {
namespace {

using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;

CipherContext gcmContext(const SecretBytes& key, std::string_view nonce, bool encrypt) {
    CipherContext context(EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
    if (!context || key.size() != kAesKeySize || nonce.size() != kGcmNonceSize ||
        EVP_CipherInit_ex(context.get(), EVP_aes_256_gcm(), nullptr, key.data(),
                          reinterpret_cast<const unsigned char*>(nonce.data()), encrypt) != 1)
        throw CryptoError();
    return context;
}

const unsigned char* bytesOf(std::string_view text) {
    return reinterpret_cast<const unsigned char*>(text.data());
}

int lengthOf(std::string_view text) {
    if (text.size() > INT_MAX / 2) throw CryptoError();
    return static_cast<int>(text.size());
}

void addAssociated(EVP_CIPHER_CTX* context, std::string_view associated) {
    int written = 0;
    if (!associated.empty() && EVP_CipherUpdate(context, nullptr, &written, bytesOf(associated),
                                                lengthOf(associated)) != 1)
        throw CryptoError();
}

}  // namespace

SecretBytes deriveKeyPbkdf2Sha256(std::string_view password, std::string_view salt,
                                  std::uint32_t iterations, std::size_t length) {
    SecretBytes key(length);
    if (iterations == 0 || iterations > INT_MAX ||
        PKCS5_PBKDF2_HMAC(password.data(), lengthOf(password), bytesOf(salt), lengthOf(salt),
                          static_cast<int>(iterations), EVP_sha256(), static_cast<int>(length),
                          key.data()) != 1)
        throw CryptoError();
    return key;
}

std::string sealAesGcm(const SecretBytes& key, std::string_view nonce, std::string_view associated,
                       std::string_view plain) {
    const CipherContext context = gcmContext(key, nonce, true);
    addAssociated(context.get(), associated);
    std::string sealed(plain.size() + kGcmTagSize, '\0');
    auto* out = reinterpret_cast<unsigned char*>(sealed.data());
    int written = 0;
    int last = 0;
    if ((!plain.empty() &&
         EVP_EncryptUpdate(context.get(), out, &written, bytesOf(plain), lengthOf(plain)) != 1) ||
        EVP_EncryptFinal_ex(context.get(), out + written, &last) != 1 ||
        EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_GET_TAG, kGcmTagSize, out + plain.size()) !=
            1)
        throw CryptoError();
    return sealed;
}

std::optional<SecretBytes> openAesGcm(const SecretBytes& key, std::string_view nonce,
                                      std::string_view associated, std::string_view sealed) {
    if (sealed.size() < kGcmTagSize) return std::nullopt;
    const std::string_view cipher = sealed.substr(0, sealed.size() - kGcmTagSize);
    std::string tag(sealed.substr(cipher.size()));
    const CipherContext context = gcmContext(key, nonce, false);
    addAssociated(context.get(), associated);
    SecretBytes plain(cipher.size() + 1);  // never empty, so data() is never null
    int written = 0;
    if ((!cipher.empty() && EVP_DecryptUpdate(context.get(), plain.data(), &written,
                                              bytesOf(cipher), lengthOf(cipher)) != 1) ||
        EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_SET_TAG, kGcmTagSize, tag.data()) != 1)
        throw CryptoError();
    int last = 0;
    if (EVP_DecryptFinal_ex(context.get(), plain.data() + written, &last) != 1) {
        return std::nullopt;  // the vector wipes what was decrypted
    }
    plain.resize(cipher.size());
    return plain;
}

}  // namespace platform

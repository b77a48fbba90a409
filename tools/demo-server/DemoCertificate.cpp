#include "DemoCertificate.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <filesystem>
#include <memory>

namespace {

constexpr long kValiditySeconds = 10L * 365 * 24 * 60 * 60;
constexpr const char* kSubjectAltNames = "IP:127.0.0.1,DNS:localhost";

template <typename T, void (*Free)(T*)> struct OpenSslDeleter
{
    void operator()(T* p) const { Free(p); }
};
using PKeyPtr = std::unique_ptr<EVP_PKEY, OpenSslDeleter<EVP_PKEY, EVP_PKEY_free>>;
using X509Ptr = std::unique_ptr<X509, OpenSslDeleter<X509, X509_free>>;
using ExtPtr = std::unique_ptr<X509_EXTENSION, OpenSslDeleter<X509_EXTENSION, X509_EXTENSION_free>>;

std::string openSslError(const std::string& sWhat)
{
    char buffer[256] = {};
    ERR_error_string_n(ERR_get_error(), buffer, sizeof buffer);
    return sWhat + ": " + buffer;
}

bool addExtension(X509* cert, int nid, const char* value)
{
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, cert, cert, nullptr, nullptr, 0);
    ExtPtr ext(X509V3_EXT_conf_nid(nullptr, &ctx, nid, value));
    return ext && X509_add_ext(cert, ext.get(), -1) == 1;
}

X509Ptr makeCertificate(EVP_PKEY* key, std::string& sError)
{
    X509Ptr cert(X509_new());
    if (!cert) {
        sError = openSslError("X509_new");
        return nullptr;
    }
    X509_set_version(cert.get(), 2);
    // A fresh random serial, so a regenerated certificate never repeats an old one.
    unsigned char serial[4] = {};
    RAND_bytes(serial, sizeof serial);
    const long serialNumber
        = ((long(serial[0]) & 0x7f) << 24) | (long(serial[1]) << 16) | (long(serial[2]) << 8) | long(serial[3]) | 1;
    ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), serialNumber);
    X509_gmtime_adj(X509_getm_notBefore(cert.get()), 0);
    X509_gmtime_adj(X509_getm_notAfter(cert.get()), kValiditySeconds);
    X509_set_pubkey(cert.get(), key);

    X509_NAME* name = X509_get_subject_name(cert.get());
    X509_NAME_add_entry_by_txt(
        name, "O", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("Orbisk demo"), -1, -1, 0);
    X509_NAME_add_entry_by_txt(
        name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1, 0);
    X509_set_issuer_name(cert.get(), name);

    if (!addExtension(cert.get(), NID_subject_alt_name, kSubjectAltNames)
        || !addExtension(cert.get(), NID_basic_constraints, "critical,CA:FALSE")) {
        sError = openSslError("certificate extensions");
        return nullptr;
    }
    if (X509_sign(cert.get(), key, EVP_sha256()) == 0) {
        sError = openSslError("X509_sign");
        return nullptr;
    }
    return cert;
}

// Writes through a temporary file and renames it into place, so an interrupted
// run never leaves half a PEM file behind.
template <typename Writer> bool writePem(const std::filesystem::path& path, Writer write, std::string& sError)
{
    const std::filesystem::path temp = path.string() + ".tmp";
    BIO* bio = BIO_new_file(temp.string().c_str(), "w");
    if (!bio) {
        sError = openSslError("cannot create " + temp.string());
        return false;
    }
    const bool written = write(bio) == 1;
    BIO_free(bio);
    if (!written) {
        sError = openSslError("cannot write " + temp.string());
        std::filesystem::remove(temp);
        return false;
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        sError = "cannot rename " + temp.string() + ": " + ec.message();
        return false;
    }
    return true;
}

} // namespace

bool ensureDemoCertificate(const std::string& sDir, DemoCertificate& certificate, std::string& sError)
{
    const std::filesystem::path dir(sDir);
    const std::filesystem::path certPath = dir / "cert.pem";
    const std::filesystem::path keyPath = dir / "key.pem";
    certificate.certPath = certPath.string();
    certificate.keyPath = keyPath.string();

    if (std::filesystem::exists(certPath) && std::filesystem::exists(keyPath))
        return true;

    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        sError = "cannot create " + sDir + ": " + ec.message();
        return false;
    }

    PKeyPtr key(EVP_EC_gen("P-256"));
    if (!key) {
        sError = openSslError("EVP_EC_gen");
        return false;
    }
    X509Ptr cert = makeCertificate(key.get(), sError);
    if (!cert)
        return false;

    const bool keyWritten = writePem(
        keyPath,
        [&](BIO* bio) { return PEM_write_bio_PrivateKey(bio, key.get(), nullptr, nullptr, 0, nullptr, nullptr); },
        sError);
    if (!keyWritten)
        return false;
    std::filesystem::permissions(keyPath, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write, ec);
    return writePem(
        certPath, [&](BIO* bio) { return PEM_write_bio_X509(bio, cert.get()); }, sError);
}

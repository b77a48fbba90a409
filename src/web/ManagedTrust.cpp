#include "web/ManagedTrust.h"

#include <QHostAddress>

#include <openssl/x509.h>
#include <openssl/x509_vfy.h>
#include <openssl/x509v3.h>

#include <memory>

// Qt 5.15 verifies a chain only against the default configuration's authorities, and
// its errors name certificates by their place in the list it was given rather than in
// the chain it built: a server that sends the trusted authority's certificate beside
// a look-alike of its own gets errors that read like a genuine chain. OpenSSL is asked
// directly instead, with the administrator's authorities as the only trust anchors.
namespace {

using X509Ptr = std::unique_ptr<X509, decltype(&X509_free)>;

X509Ptr toX509(const QSslCertificate& certificate)
{
    const QByteArray der = certificate.toDer();
    const auto* pData = reinterpret_cast<const unsigned char*>(der.constData());
    return X509Ptr(d2i_X509(nullptr, &pData, der.size()), &X509_free);
}

bool isMadeOutFor(X509* pCertificate, const QString& sHost)
{
    const QByteArray host = sHost.toLatin1();
    if (!QHostAddress(sHost).isNull())
        return X509_check_ip_asc(pCertificate, host.constData(), 0) == 1;
    const unsigned int flags = X509_CHECK_FLAG_NEVER_CHECK_SUBJECT | X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS;
    return X509_check_host(pCertificate, host.constData(), size_t(host.size()), flags, nullptr) == 1;
}

bool isIssuedByOneOf(
    X509* pLeaf, const QList<QSslCertificate>& chain, const QList<QSslCertificate>& cas, const QDateTime& now)
{
    std::unique_ptr<X509_STORE, decltype(&X509_STORE_free)> store(X509_STORE_new(), &X509_STORE_free);
    const auto freeAll = [](STACK_OF(X509) * pStack) { sk_X509_pop_free(pStack, X509_free); };
    std::unique_ptr<STACK_OF(X509), decltype(freeAll)> untrusted(sk_X509_new_null(), freeAll);
    std::unique_ptr<X509_STORE_CTX, decltype(&X509_STORE_CTX_free)> context(X509_STORE_CTX_new(), &X509_STORE_CTX_free);
    if (!store || !untrusted || !context)
        return false;
    for (const QSslCertificate& ca : cas) {
        const X509Ptr anchor = toX509(ca);
        if (anchor)
            X509_STORE_add_cert(store.get(), anchor.get());
    }
    for (int i = 1; i < chain.size(); ++i) {
        X509Ptr sent = toX509(chain.at(i));
        if (sent && sk_X509_push(untrusted.get(), sent.get()) > 0)
            sent.release();
    }
    if (X509_STORE_CTX_init(context.get(), store.get(), pLeaf, untrusted.get()) != 1)
        return false;
    X509_VERIFY_PARAM* pParam = X509_STORE_CTX_get0_param(context.get());
    // A listed intermediate is an anchor of its own; its issuer need not be known.
    X509_VERIFY_PARAM_set_flags(pParam, X509_V_FLAG_PARTIAL_CHAIN);
    X509_VERIFY_PARAM_set_time(pParam, time_t(now.toSecsSinceEpoch()));
    X509_STORE_CTX_set_purpose(context.get(), X509_PURPOSE_SSL_SERVER);
    return X509_verify_cert(context.get()) == 1;
}

} // namespace

ManagedTrust::Rule ManagedTrust::ruleFor(
    const QList<QSslCertificate>& chain, const QString& sHost, const QDateTime& now) const
{
    if (chain.isEmpty() || (fingerprints.isEmpty() && cas.isEmpty()))
        return Rule::None;
    const X509Ptr leaf = toX509(chain.first());
    if (!leaf || !isMadeOutFor(leaf.get(), sHost))
        return Rule::None;
    if (fingerprints.contains(CertificateTrustStore::fingerprintOf(chain.first())))
        return Rule::Fingerprint;
    if (!cas.isEmpty() && isIssuedByOneOf(leaf.get(), chain, cas, now))
        return Rule::Authority;
    return Rule::None;
}

CertificateTrustStore::Verdict ManagedTrust::userVerdict(
    const CertificateTrustStore& store, const QString& sServer, const QString& sFingerprint) const
{
    return allowExceptions ? store.verdict(sServer, sFingerprint) : CertificateTrustStore::Verdict::Unknown;
}
